#include "app/ui/HelpCommand.h"

#include "app/ui/ControlIds.h"
#include "app/ui/PromptTexts.h"
#include "corelib/DataFiles.h"
#include "corelib/StringIds.h"
#include "view/widgets/OpenAddress.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace {
constexpr auto kHelpFileName = "quotra.html";
// The design's "no control" id: such a control takes the default help.
constexpr int kNoControlId = 9;
} // namespace

HelpCommand::HelpCommand(QObject *parent, Prompts &prompts)
    : QObject(parent)
    , m_path(DefaultHelpPath())
    , m_prompts(&prompts)
{ }

QString HelpCommand::DefaultHelpPath()
{
    QString found = tessera::FindDataFile(QLatin1String(kHelpFileName));
    if (!found.isEmpty())
        return found;
    return QCoreApplication::applicationFilePath() + QStringLiteral(".html");
}

QString HelpCommand::TopicOf(const QWidget *control)
{
    for (const QWidget *w = control; w; w = w->parentWidget()) {
        const std::optional<int> id = ControlIdOf(w);
        if (!id)
            continue;
        if (*id == kNoControlId)
            return {};
        return QStringLiteral("c%1").arg(*id);
    }
    return {};
}

bool HelpCommand::show(const QString &topic)
{
    if (!QFileInfo(m_path).isFile()) {
        TellNumbered(*m_prompts, Ids::MsgHelpFileMissing, { m_path }, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    // An open menu or a mouse grab would keep the browser's window from taking over.
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QUrl url = QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath());
    if (!topic.isEmpty())
        url.setFragment(topic);
    return OpenAddress(url, *m_prompts);
}

bool HelpCommand::showForFocus()
{
    return show(TopicOf(QApplication::focusWidget()));
}
