#include "app/ui/FrameBoxes.h"

#include "app/core/AppSettings.h"
#include "app/core/UpdateSchedule.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/PromptTexts.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateScheduler.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/Prompts.h"

#include <QLineEdit>

FrameBoxes::FrameBoxes(const Parts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{
    connect(&m_parts.codeBox, &QLineEdit::textEdited, this, &FrameBoxes::codeEdited);
    connect(&m_parts.codeBox, &QLineEdit::returnPressed, this, &FrameBoxes::codeCommitted);
    connect(&m_parts.periodBox, &QSpinBox::editingFinished, this, &FrameBoxes::periodCommitted);
}

void FrameBoxes::codeEdited(const QString &text)
{
    const QString cut = CodeBoxText(text);
    if (cut != text) {
        m_parts.codeBox.setText(cut);
        m_parts.codeBox.setCursorPosition(static_cast<int>(cut.size()));
    }
}

void FrameBoxes::codeCommitted()
{
    const QString code = m_parts.codeBox.text();
    if (code.isEmpty())
        return;
    const CQuotraDoc::AddCodeOutcome added = m_parts.document.AddCode(code);
    TellNumbered(m_parts.prompts, added.message);
    if (added.result == CQuotraDoc::AddCodeResult::Added) {
        m_parts.view.selectCode(code);
        m_parts.codeBox.clear();
    }
}

void FrameBoxes::periodCommitted()
{
    PeriodSpinBox &box = m_parts.periodBox;
    AppSettings &settings = m_parts.settings;
    const int minutes = box.value();
    if (!box.isAcceptable(minutes)) {
        // Refused: the box shows the period that stays in force.
        box.setValue(static_cast<int>(settings.updateSpan / 60));
        TellNumbered(m_parts.prompts, Ids::MsgPeriodOutOfRange, {}, tessera::MbOk | tessera::MbIconWarning);
        return;
    }
    if (static_cast<quint64>(minutes) * 60 == settings.updateSpan)
        return;
    settings.updateSpan = static_cast<quint64>(minutes) * 60;
    m_parts.scheduler.restart(false);
    m_parts.panes.showMessage(tessera::FormatResourceString(Ids::MsgPeriodSet, { QString::number(minutes) }));
}
