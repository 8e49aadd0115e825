#pragma once

#include "corelib/widgets/CXFindDialog.h"

struct AppSettings;

// The program's find dialog: options, fuzzy options and history kept in AppSettings.
class CFindDlg : public tessera::CXFindDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 8896;

    CFindDlg(tessera::CJre &jre, AppSettings &settings, QWidget *parent = nullptr);

protected:
    void SaveOptions() override; // "SearchCase", "SearchRegular", "SearchFuzzy"
    void SaveHistory() override; // "SearchStrs": the non-empty entries, top to bottom
    void LoadHistory() override;
    void SaveFuzzyOptions() override; // "FuzzyOptions"

private:
    AppSettings &m_settings;
};
