#pragma once

#include "document/workbook/CodeMap.h"

#include <QDialog>

#include <functional>

class CodeListModel;
class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// The code list dialog (156): every code read from several list files in a sortable check
// list, the all-codes box, the two arrangements and the count line. OK hands the chosen
// codes (none for all of them) and the arrangement to `build` and stays open, so one reading
// of the files can give several workbooks; Cancel closes.
class CCodeListDlg : public QDialog {
    Q_OBJECT
public:
    using BuildWorkbook = std::function<bool(const QStringList &codes, int choice)>;

    CCodeListDlg(const CodeMap &map, int codeCount, std::vector<CompareColumn> columns, BuildWorkbook build,
        const QFont &listFont, QWidget *parent = nullptr);

    QTableView *list() const { return m_list; } // 1127
    CodeListModel *model() const { return m_model; }
    QCheckBox *allCodesBox() const { return m_all; } // 1128
    QRadioButton *choiceButton(int choice) const { return choice == 0 ? m_across : m_down; } // 1129, 1130
    QLabel *countLine() const { return m_count; } // 1131
    QPushButton *okButton() const { return m_ok; }
    const std::vector<CompareColumn> &columns() const { return m_columns; }

    // The count line's text for `selected` of `codes` ("1,234/5,678").
    static QString CountText(qint64 selected, qint64 codes);

    void accept() override; // OK: builds a workbook, stays open
    // A header click: sorts by that column, the other direction when it is the sorted one.
    void sortByColumn(int column);

private:
    void onSelectionChanged();
    void onCheckToggled(int row, bool checked);
    void onAllCodesToggled(bool all);
    void fitColumns();

    std::vector<CompareColumn> m_columns;
    BuildWorkbook m_build;
    int m_codeCount;
    CodeListModel *m_model;
    QTableView *m_list;
    QCheckBox *m_all;
    QRadioButton *m_across;
    QRadioButton *m_down;
    QLabel *m_count;
    QDialogButtonBox *m_buttons;
    QPushButton *m_ok;
    bool m_syncing = false; // the check boxes are following the selection
};
