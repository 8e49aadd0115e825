#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

// The recent files: the last lists opened or saved, newest first, at most kCount, kept in
// the settings group "Recent File List" (File1 ... File8). Each is an action "&N name" with
// the file kind's icon, placed in `menu` before its last two entries (the separator and
// Exit); choosing one asks for it to be opened.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 8;

    explicit RecentFiles(QMenu &menu, QObject *parent = nullptr);

    const QStringList &files() const { return m_files; }
    // The menu's actions for the files, in the files' order.
    const QList<QAction *> &actions() const { return m_actions; }

    // Reads the stored list; entries that are empty are left out.
    void load();
    void store() const;
    // `path` goes first (once); the oldest beyond kCount drop out.
    void add(const QString &path);
    void remove(const QString &path);

Q_SIGNALS:
    void openRequested(const QString &path);

private:
    void rebuildMenu();

    QMenu &m_menu;
    QStringList m_files;
    QList<QAction *> m_actions;
};
