#include "app/ui/CFindDlg.h"

#include "app/core/AppSettings.h"
#include "app/ui/ControlIds.h"
#include "corelib/CJre.h"

#include <QComboBox>

CFindDlg::CFindDlg(tessera::CJre &jre, AppSettings &settings, QWidget *parent)
    : CXFindDialog(jre, kTemplateId, parent)
    , m_settings(settings)
{
    // The help topics of the dialog and of its text box.
    SetControlId(this, kTemplateId);
    SetControlId(textBox(), 1152);
}

void CFindDlg::SaveOptions()
{
    m_settings.searchCase = matchCase();
    m_settings.searchRegular = matchRegular();
    m_settings.searchFuzzy = matchFuzzy();
}

void CFindDlg::SaveHistory()
{
    QStringList history;
    for (const QString &entry : historyEntries()) {
        if (!entry.isEmpty())
            history << entry;
    }
    m_settings.searchStrs = history;
}

void CFindDlg::LoadHistory()
{
    setHistory(m_settings.searchStrs);
}

void CFindDlg::SaveFuzzyOptions()
{
    m_settings.fuzzyOptions = tessera::CJre::GetFuzzyFold();
}
