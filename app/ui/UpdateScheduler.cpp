#include "app/ui/UpdateScheduler.h"

#include "app/core/AppSettings.h"
#include "app/core/UnattendedRun.h"
#include "app/ui/PromptTexts.h"
#include "document/CQuotraDoc.h"
#include "view/widgets/Prompts.h"

#include <QDateTime>
#include <QTimer>

UpdateScheduler::UpdateScheduler(CQuotraDoc &doc, const AppSettings &settings, const CCLineInfo &commandLine,
    ShownCodes shown, Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
    , m_settings(settings)
    , m_commandLine(commandLine)
    , m_shown(std::move(shown))
    , m_prompts(prompts)
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("UpdateTimer1234"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &UpdateScheduler::tick);
    connect(&m_doc, &CQuotraDoc::updateFinished, this,
        [this](quint64 generation, bool) { onUpdateFinished(generation); });
}

int UpdateScheduler::periodMs() const
{
    return static_cast<int>(static_cast<qint64>(m_settings.updateSpan) * 1000);
}

void UpdateScheduler::restart(bool opened)
{
    m_timer->stop();
    m_periodic.Forget();
    m_timer->start(opened && m_commandLine.autoRun ? kUnattendedDelayMs : periodMs());
}

void UpdateScheduler::stop()
{
    m_timer->stop();
}

int UpdateScheduler::remainingMs() const
{
    return m_timer->isActive() ? m_timer->remainingTime() : -1;
}

void UpdateScheduler::tick()
{
    m_timer->stop();
    if (!m_doc.isUpdating()) {
        const QStringList shown = m_shown ? m_shown() : QStringList();
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QStringList due = m_commandLine.autoRun
            ? shown
            : m_periodic.Due(m_doc.rows(), shown, now, static_cast<qint64>(m_settings.updateSpan));
        if (m_commandLine.autoRun || !due.isEmpty()) {
            const quint64 generation = m_doc.StartUpdate(due);
            m_periodic.RunStarted(due, now);
            if (m_commandLine.autoRun && m_unattendedGeneration == 0)
                m_unattendedGeneration = generation;
        }
        Q_EMIT ticked();
    }
    m_timer->start(periodMs());
}

void UpdateScheduler::onUpdateFinished(quint64 generation)
{
    if (!m_commandLine.autoRun || generation != m_unattendedGeneration)
        return;
    // The unattended run: save through the save routing; the window then ends the program.
    m_timer->stop();
    // The output folder was there at the start; gone now, the result is not written elsewhere.
    if (const QString missing = MissingOutputFolderText(m_commandLine); !missing.isEmpty()) {
        m_prompts.message(missing, tessera::MbOk | tessera::MbIconError);
        m_unattendedStatus = 1;
    } else {
        const SaveOutcome outcome = m_doc.DoSave(m_doc.GetPathName());
        TellSaveOutcome(m_prompts, outcome);
        m_unattendedStatus = outcome.wroteFile() ? 0 : 1;
    }
    Q_EMIT unattendedRunFinished(m_unattendedStatus);
}
