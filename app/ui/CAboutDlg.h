#pragma once

#include "app/core/VersionCheck.h"
#include "view/widgets/Prompts.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// The About box (dialog 100): the program's version (item 1101), the maker's mail link
// (1100, shown when a contact address is configured) and the check for a newer version
// (1102), which reads the published-version file at the configured address.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    using Done = std::function<void(std::optional<PublishedVersion>)>;
    using Reader = std::function<void(const QString &address, Done done)>;

    // The check's answers and the pages it opens go through `prompts`.
    CAboutDlg(const QString &checkAddress, const QString &contactAddress, QWidget *parent = nullptr,
        Prompts &prompts = DesktopPrompts());

    QLabel *versionLabel() const { return m_version; }
    QPushButton *checkButton() const { return m_check; }
    // Tests replace the network reader.
    void setReader(Reader reader) { m_reader = std::move(reader); }

    // Button 1102: reads the published version, tells the user, and closes the box.
    void checkVersion();
    // The answer to a read: 2021 (Yes opens the download page) when the published version is
    // newer, 2022 when it is not, nothing when it could not be read; the box closes.
    void finishCheck(const std::optional<PublishedVersion> &published);

    // Reads the file at `address` (an http, https or file address, or a plain path) with a
    // time limit and a size limit; `done` gets nothing on any failure.
    static void ReadPublishedVersion(QObject *context, const QString &address, Done done);

private:
    QString m_address;
    QLabel *m_version;
    QPushButton *m_check;
    Reader m_reader;
    Prompts &m_prompts;
    bool m_checking = false;
};

// The About command (57664): the box over `parent` with the configured addresses, run
// through `prompts`.
void RunAboutBox(QWidget *parent, Prompts &prompts = DesktopPrompts());
