#include "app/ui/CCodeListDlg.h"

#include "app/ui/CodeListModel.h"
#include "app/ui/ControlIds.h"
#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "quotes/QuoteRecord.h"
#include "view/table/CellColors.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/PaletteColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The sorted column in the sort colours, the other cells as the list draws them: each row's
// own colours (the first record's), the system's where it has none.
class CodeListDelegate : public QStyledItemDelegate {
public:
    CodeListDelegate(const CodeListModel &model, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_model(model)
    { }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const CellPalette palette = CellPaletteFrom(option->palette);
        CellState state;
        state.selected = option->state & QStyle::State_Selected;
        state.disabled = !(option->state & QStyle::State_Enabled);
        state.sortedColumn = index.column() == m_model.sortColumn();
        const int field = index.column() == 0 ? FieldCode : FieldName;
        const CellColors colors = CellColorsOf(m_model.record(index.row()), field, state, palette);
        if (state.selected) {
            // Only the sorted cell of a selected row differs from the style's selection.
            if (state.sortedColumn) {
                option->palette.setColor(QPalette::Highlight, ToQColor(colors.back));
                option->palette.setColor(QPalette::HighlightedText, ToQColor(colors.text));
            }
            return;
        }
        option->backgroundBrush = ToQColor(colors.back);
        option->palette.setColor(QPalette::Text, ToQColor(colors.text));
    }

private:
    const CodeListModel &m_model;
};

} // namespace

QString CCodeListDlg::CountText(qint64 selected, qint64 codes)
{
    return tessera::EditString(selected) + u'/' + tessera::EditString(codes);
}

CCodeListDlg::CCodeListDlg(const CodeMap &map, int codeCount, std::vector<CompareColumn> columns,
    BuildWorkbook build, const QFont &listFont, QWidget *parent)
    : QDialog(parent)
    , m_columns(std::move(columns))
    , m_build(std::move(build))
    , m_codeCount(codeCount)
{
    setObjectName(QStringLiteral("CCodeListDlg"));
    setWindowTitle(tessera::ResourceString(Ids::CaptionCodeListDialog));
    setWindowIcon(QIcon(QStringLiteral(":/icons/file-xlsx.svg")));
    setSizeGripEnabled(true);

    m_model = new CodeListModel(map, this);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("CodeList1127"));
    SetControlId(m_list, 1127);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new CodeListDelegate(*m_model, m_list));
    m_list->setFont(listFont);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 6);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->setAccessibleName(tessera::ResourceString(Ids::CaptionCodeListDialog));
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, &CCodeListDlg::sortByColumn);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &CCodeListDlg::onSelectionChanged);
    connect(m_model, &CodeListModel::checkToggled, this, &CCodeListDlg::onCheckToggled);

    m_all = new QCheckBox(tessera::ResourceString(Ids::CaptionAllCodes), this);
    m_all->setObjectName(QStringLiteral("AllCodes1128"));
    SetControlId(m_all, 1128);
    connect(m_all, &QCheckBox::toggled, this, &CCodeListDlg::onAllCodesToggled);
    m_across = new QRadioButton(tessera::ResourceString(Ids::CaptionArrangeAcross), this);
    m_across->setObjectName(QStringLiteral("Across1129"));
    SetControlId(m_across, 1129);
    m_down = new QRadioButton(tessera::ResourceString(Ids::CaptionArrangeDown), this);
    m_down->setObjectName(QStringLiteral("Down1130"));
    SetControlId(m_down, 1130);
    m_across->setChecked(true);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Count1131"));
    SetControlId(m_count, 1131);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = m_buttons->button(QDialogButtonBox::Ok);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CCodeListDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CCodeListDlg::reject);

    auto *choices = new QHBoxLayout;
    choices->addWidget(m_all);
    choices->addStretch(1);
    choices->addWidget(m_across);
    choices->addWidget(m_down);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_buttons);
    auto *top = new QVBoxLayout(this);
    top->addWidget(m_list, 1);
    top->addLayout(choices);
    top->addLayout(bottom);

    fitColumns();
    m_count->setText(CountText(0, m_codeCount));
    m_ok->setEnabled(false);
    resize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 28);

    // A new pixel density would leave the fitted widths wrong; the dialog goes as if
    // cancelled.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, &CCodeListDlg::reject);
}

void CCodeListDlg::fitColumns()
{
    QHeaderView *header = m_list->horizontalHeader();
    header->resizeSection(0, ColumnDefOf(FieldCode).width);
    header->resizeSection(1, ColumnDefOf(FieldName).width);
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
}

void CCodeListDlg::onSelectionChanged()
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    // Selecting a row checks it and leaving one unchecks it, as a check list with automatic
    // checking does.
    m_syncing = true;
    std::vector<bool> selected(static_cast<size_t>(m_model->rowCount()), false);
    for (const QModelIndex &i : rows)
        selected[static_cast<size_t>(i.row())] = true;
    for (int r = 0; r < m_model->rowCount(); ++r)
        m_model->setChecked(r, selected[static_cast<size_t>(r)]);
    m_syncing = false;
    if (m_all->isChecked())
        return;
    m_count->setText(CountText(rows.size(), m_codeCount));
    m_ok->setEnabled(!rows.isEmpty());
}

void CCodeListDlg::onCheckToggled(int row, bool checked)
{
    if (m_syncing)
        return;
    QItemSelectionModel *selection = m_list->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    if (rows.size() < 2 || !selection->isRowSelected(row, {}))
        return;
    for (const QModelIndex &i : rows)
        m_model->setChecked(i.row(), checked);
}

void CCodeListDlg::onAllCodesToggled(bool all)
{
    if (all) {
        m_list->clearSelection();
        m_count->setText(CountText(m_codeCount, m_codeCount));
        m_list->setEnabled(false);
        m_ok->setEnabled(true);
    } else {
        m_count->setText(CountText(0, m_codeCount));
        m_list->setEnabled(true);
        m_ok->setEnabled(false);
    }
}

void CCodeListDlg::sortByColumn(int column)
{
    const Qt::SortOrder order = m_model->sortColumn() == column && m_model->sortOrder() == Qt::AscendingOrder
        ? Qt::DescendingOrder
        : Qt::AscendingOrder;
    m_model->sortRows(column, order);
    QHeaderView *header = m_list->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, order);
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        int first = rows.front().row();
        for (const QModelIndex &i : rows)
            first = std::min(first, i.row());
        m_list->scrollTo(m_model->index(first, 0));
    }
    m_list->viewport()->update();
}

void CCodeListDlg::accept()
{
    QStringList codes;
    if (!m_all->isChecked())
        codes = m_model->checkedCodes();
    // Rows left selected after their boxes were cleared: an empty list would mean every code.
    if (!m_all->isChecked() && codes.isEmpty()) {
        QApplication::beep();
        return;
    }
    const int choice = m_down->isChecked() ? 1 : 0;
    if (m_build)
        m_build(codes, choice);
    // The dialog stays open for another workbook from the same reading.
}
