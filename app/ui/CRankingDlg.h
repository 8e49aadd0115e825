#pragma once

#include <QDialog>

class CQuotraView;
class QComboBox;
class QPushButton;
struct AppSettings;

// The ranking dialog: the six rankings in a drop-down list, selected from RankingNo (none
// for a stored value outside the table). OK applies the selected ranking to the view's list
// (entry 0 without a selection) and stores the choice; the web button opens the ranking's
// page in the browser and leaves the dialog open.
class CRankingDlg : public QDialog {
    Q_OBJECT
public:
    CRankingDlg(CQuotraView &view, AppSettings &settings, QWidget *parent = nullptr);

    QComboBox *rankingBox() const { return m_box; }
    QPushButton *webButton() const { return m_web; }
    // The entry OK applies: the selection, or 0 without one.
    int chosenIndex() const;
    // Why the last apply read nothing ("" when it worked or has not run).
    const QString &readError() const { return m_readError; }

    void accept() override;
    void openPage(); // 1117

private:
    CQuotraView &m_view;
    AppSettings &m_settings;
    QComboBox *m_box;
    QPushButton *m_web;
    QString m_readError;
};

// Applies ranking `index` to the view's list: reads the page, inserts, sorts by the entry's
// field (through the off-screen key when the field is hidden), updates every ranked code and
// titles the list. The page is read in the background: the window keeps painting and Escape
// stops the reading. A page that cannot be read, or a reading stopped, changes nothing;
// false then, with `error` set.
bool ApplyRankingToView(CQuotraView &view, int index, QString *error = nullptr);
