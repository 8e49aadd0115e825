#include "view/widgets/UserDataDlg.h"

#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/CellText.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/DateFieldEdit.h"
#include "view/widgets/PaletteColors.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Number fields take digits, signs and separators only: no input-method composition.
QLineEdit *numberField(QWidget *parent, double value)
{
    auto *edit = new QLineEdit(parent);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText | Qt::ImhLatinOnly);
    edit->setAlignment(Qt::AlignRight);
    edit->setText(GroupedNumber(value));
    return edit;
}

} // namespace

UserDataDlg::UserDataDlg(QuoteRecord &record, QWidget *parent)
    : QDialog(parent)
    , m_record(record)
{
    setObjectName(QStringLiteral("UserDataDlg"));
    setWindowTitle(record.values[SlotName].toString());

    m_date = new DateFieldEdit(DateOfBuyday(record.buyday), this);
    m_date->setObjectName(QStringLiteral("PurchaseDay"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_amount = numberField(this, record.amount);
    m_amount->setObjectName(QStringLiteral("Amount"));
    m_shares = numberField(this, record.shares);
    m_shares->setObjectName(QStringLiteral("Shares"));
    m_memo = new QPlainTextEdit(record.memo.left(kMaxMemoLength), this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setTabChangesFocus(true);
    m_memo->setMinimumHeight(fontMetrics().lineSpacing() * 5);
    m_count = new QLabel(this);
    m_count->setAlignment(Qt::AlignRight);
    m_clear = new QPushButton(tessera::ResourceString(Ids::CaptionClearHoldings), this);
    m_clear->setAutoDefault(false);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("Hint"));
    m_hint->setWordWrap(true);
    m_hint->setVisible(false);
    QPalette hintPalette = m_hint->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(0xC0, 0x20, 0x20));
    m_hint->setPalette(hintPalette);

    auto *form = new QFormLayout;
    const auto addRow = [&](int captionId, QWidget *field) {
        auto *label = new QLabel(tessera::ResourceString(captionId), this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(Ids::CaptionPurchaseDay, m_date);
    addRow(Ids::CaptionAmount, m_amount);
    addRow(Ids::CaptionShares, m_shares);
    addRow(Ids::CaptionMemo, m_memo);
    form->addRow(QString(), m_count);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_clear, QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &UserDataDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UserDataDlg::reject);
    connect(m_clear, &QPushButton::clicked, this, &UserDataDlg::clearHoldings);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &UserDataDlg::limitMemo);
    for (QLineEdit *e : { m_amount, m_shares })
        connect(e, &QLineEdit::textEdited, m_hint, &QLabel::hide);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(m_hint);
    top->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    limitMemo();
    applyMemoColours();
}

void UserDataDlg::limitMemo()
{
    const QString text = m_memo->toPlainText();
    if (text.size() > kMaxMemoLength) {
        // Typing or pasting past the limit keeps the first 256 characters, cursor at the end.
        QSignalBlocker block(m_memo);
        qsizetype cut = kMaxMemoLength;
        if (text[cut - 1].isHighSurrogate())
            --cut;
        m_memo->setPlainText(text.left(cut));
        m_memo->moveCursor(QTextCursor::End);
    }
    m_count->setText(tessera::FormatResourceString(Ids::CaptionMemoCount,
        { QString::number(m_memo->toPlainText().size()), QString::number(kMaxMemoLength) }));
}

void UserDataDlg::applyMemoColours()
{
    QPalette p = m_memo->palette();
    const bool dark = IsDarkPalette(palette());
    p.setColor(QPalette::Base, dark ? QColor(0x38, 0x38, 0x38) : QColor(Qt::white));
    p.setColor(QPalette::Text, dark ? QColor(Qt::white) : QColor(Qt::black));
    m_memo->setPalette(p);
}

void UserDataDlg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyMemoColours();
}

void UserDataDlg::clearHoldings()
{
    m_amount->setText(QStringLiteral("0"));
    m_shares->setText(QStringLiteral("0"));
    m_memo->clear();
    m_hint->hide();
}

bool UserDataDlg::readNumber(QLineEdit *edit, double *value)
{
    const std::optional<double> v = ParseHoldingsNumber(edit->text());
    if (v) {
        *value = *v;
        return true;
    }
    m_hint->setText(tessera::ResourceString(Ids::MsgNotANumber));
    m_hint->show();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

void UserDataDlg::accept()
{
    HoldingsEntry entry;
    if (!readNumber(m_amount, &entry.amount) || !readNumber(m_shares, &entry.shares))
        return;
    entry.buyday = BuydayOfDate(m_date->date());
    entry.memo = m_memo->toPlainText();
    ApplyHoldingsEntry(m_record, entry);
    QDialog::accept();
}

// ---- The view's commands

bool RunHoldingsCommand(CQuotraView &view, QWidget *parent)
{
    const QStringList codes = view.selectedCodes();
    if (codes.isEmpty())
        return false;
    CQuotraDoc &doc = view.document();
    QuoteRecord *first = doc.record(codes.front());
    if (!first)
        return false;
    {
        UserDataDlg dlg(*first, parent ? parent : view.window());
        if (dlg.exec() != QDialog::Accepted)
            return false;
    }
    {
        tessera::ProgressRun run(view.progressDisplay(), Ids::ProgressCopyingHoldings);
        const qint64 total = codes.size();
        for (qsizetype i = 1; i < codes.size(); ++i) {
            if (QuoteRecord *r = doc.record(codes[i]))
                CopyHoldings(*first, *r);
            run.progress(i, total);
        }
        run.finish();
    }
    doc.MarkModified();
    view.listModel().allRowsUpdated();
    const HeaderModel &header = view.listModel().table().header();
    view.setSort(header.sortColumn(), header.ascending(), false);
    return true;
}

ProfitSum RunProfitSumCommand(CQuotraView &view)
{
    const QStringList codes = view.selectedCodes();
    std::vector<const QuoteRecord *> records;
    records.reserve(static_cast<size_t>(codes.size()));
    {
        tessera::ProgressRun run(view.progressDisplay(), Ids::ProgressSummingProfit);
        for (qsizetype i = 0; i < codes.size(); ++i) {
            if (const QuoteRecord *r = view.document().record(codes[i]))
                records.push_back(r);
            run.progress(i + 1, codes.size());
        }
        run.finish();
    }
    const ProfitSum sum = SumProfit(records);
    if (sum.rows > 0)
        tessera::ShowMessage(SumOfProfitText(sum), tessera::MbOk | tessera::MbIconInformation);
    return sum;
}
