#pragma once

#include "document/Holdings.h"
#include "view/table/CellText.h" // ProfitSum

#include <QDialog>

class CQuotraView;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct QuoteRecord;

// The holdings dialog on one record: purchase day, amount, shares and memo. OK writes the
// entry into the record (ApplyHoldingsEntry); a number field that holds no number keeps the
// dialog open with a hint beside the buttons. Cancel leaves the record alone. The memo is
// white on 0x383838 with a dark palette, black on white otherwise.
class UserDataDlg : public QDialog {
    Q_OBJECT
public:
    explicit UserDataDlg(QuoteRecord &record, QWidget *parent = nullptr);

    QDateEdit *dateEdit() const { return m_date; }
    QLineEdit *amountEdit() const { return m_amount; }
    QLineEdit *sharesEdit() const { return m_shares; }
    QPlainTextEdit *memoEdit() const { return m_memo; }
    QPushButton *clearButton() const { return m_clear; }
    QLabel *hintLabel() const { return m_hint; }
    QLabel *memoCountLabel() const { return m_count; }

    void accept() override;
    void clearHoldings(); // 1122: amount, shares and memo emptied, the day kept

protected:
    void changeEvent(QEvent *event) override;

private:
    void limitMemo();
    void applyMemoColours();
    bool readNumber(QLineEdit *edit, double *value);

    QuoteRecord &m_record;
    QDateEdit *m_date;
    QLineEdit *m_amount;
    QLineEdit *m_shares;
    QPlainTextEdit *m_memo;
    QPushButton *m_clear;
    QLabel *m_count;
    QLabel *m_hint;
};

// 32797 on the view's selection: the dialog edits the first selected row; on OK the other
// selected rows, in list order, take its holdings with their own profit. The document is
// marked modified and the list sorted again. False on Cancel or without a selection.
bool RunHoldingsCommand(CQuotraView &view, QWidget *parent);
// 32798: the selected rows and the sum of their profit, shown with message 2036
// (SumOfProfitText).
ProfitSum RunProfitSumCommand(CQuotraView &view);
