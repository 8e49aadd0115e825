#include "app/ui/RecentFiles.h"

#include "app/ui/CommandIcons.h"
#include "app/ui/FrameState.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

QString groupName()
{
    return FrameSettingsGroup() + QStringLiteral("/Recent File List");
}

// The icon of a recent file, by its extension.
QIcon fileIcon(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"xls" || ext == u"xlsx")
        return CommandIcon("file-xlsx");
    if (ext == u"kabu")
        return CommandIcon("file-kabu");
    if (ext == u"json")
        return CommandIcon("file-json");
    if (ext == u"csv")
        return CommandIcon("file-csv");
    return CommandIcon("file-other");
}

} // namespace

RecentFiles::RecentFiles(QMenu &menu, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
{ }

void RecentFiles::load()
{
    QSettings settings;
    settings.beginGroup(groupName());
    m_files.clear();
    for (int k = 1; k <= kCount; ++k) {
        const QString path = settings.value(QStringLiteral("File%1").arg(k)).toString();
        if (!path.isEmpty())
            m_files << path;
    }
    rebuildMenu();
}

void RecentFiles::store() const
{
    QSettings settings;
    settings.beginGroup(groupName());
    for (int k = 1; k <= kCount; ++k) {
        const QString key = QStringLiteral("File%1").arg(k);
        if (k <= m_files.size())
            settings.setValue(key, m_files[k - 1]);
        else
            settings.remove(key);
    }
}

void RecentFiles::add(const QString &path)
{
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kCount)
        m_files.removeLast();
    rebuildMenu();
}

void RecentFiles::remove(const QString &path)
{
    m_files.removeAll(path);
    rebuildMenu();
}

void RecentFiles::rebuildMenu()
{
    for (QAction *a : std::as_const(m_actions)) {
        m_menu.removeAction(a);
        a->deleteLater();
    }
    m_actions.clear();
    const QList<QAction *> entries = m_menu.actions();
    QAction *before = entries.size() >= 2 ? entries[entries.size() - 2] : nullptr;
    for (int k = 0; k < m_files.size(); ++k) {
        const QString path = m_files[k];
        const QString label = QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(path).fileName());
        auto *a = new QAction(fileIcon(path), label, this);
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { Q_EMIT openRequested(path); });
        m_menu.insertAction(before, a);
        m_actions << a;
    }
}
