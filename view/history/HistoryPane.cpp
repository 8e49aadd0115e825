#include "view/history/HistoryPane.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/SafeSave.h"
#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"
#include "view/history/HistoryChart.h"
#include "view/history/HistoryPointsModel.h"
#include "view/widgets/Prompts.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

struct RangeChoice {
    ChartRange range;
    int caption;
};

// clang-format off
constexpr RangeChoice kRanges[] = {
    { ChartRange::Day, Ids::CaptionRangeDay },
    { ChartRange::Week, Ids::CaptionRangeWeek },
    { ChartRange::Month, Ids::CaptionRangeMonth },
    { ChartRange::SixMonths, Ids::CaptionRangeSixMonths },
    { ChartRange::Year, Ids::CaptionRangeYear },
    { ChartRange::Everything, Ids::CaptionRangeEverything },
};
// clang-format on

} // namespace

HistoryPane::HistoryPane(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_clock([] { return QDateTime::currentSecsSinceEpoch(); })
{
    setObjectName(u"HistoryPane"_s);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    m_rangeButtons = new QButtonGroup(this);
    m_rangeButtons->setExclusive(true);
    for (const RangeChoice &r : kRanges) {
        auto *button = new QToolButton(this);
        button->setText(tessera::ResourceString(r.caption));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setChecked(r.range == m_range);
        m_rangeButtons->addButton(button, static_cast<int>(r.range));
        bar->addWidget(button);
    }
    connect(m_rangeButtons, &QButtonGroup::idClicked, this,
        [this](int id) { setRange(static_cast<ChartRange>(id)); });
    m_note = new QLabel(this);
    m_note->setTextInteractionFlags(Qt::NoTextInteraction);
    bar->addStretch(1);
    bar->addWidget(m_note);

    m_menuButton = new QToolButton(this);
    m_menuButton->setText(u"…"_s);
    m_menuButton->setAutoRaise(true);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(m_menuButton);
    QAction *exportAction = menu->addAction(tessera::ResourceString(Ids::CaptionHistoryExport));
    connect(exportAction, &QAction::triggered, this, [this] { exportPoints(); });
    m_menuButton->setMenu(menu);
    bar->addWidget(m_menuButton);

    m_chart = new HistoryChart(this);
    m_empty = new QLabel(this);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_empty);
    m_stack->addWidget(m_chart);

    m_points = new HistoryPointsModel(this);
    m_table = new QTableView(this);
    m_table->setModel(m_points);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Every row has the same form: a screenful of them tells the widths (measuring a year of
    // points took most of a redraw).
    m_table->horizontalHeader()->setResizeContentsPrecision(40);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->addWidget(m_stack);
    m_split->addWidget(m_table);
    m_split->setStretchFactor(0, 2);
    m_split->setStretchFactor(1, 1);
    m_split->setChildrenCollapsible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_split, 1);
    showEmpty(tessera::ResourceString(Ids::TipHistoryNoSelection));
}

HistoryPane::~HistoryPane() = default;

void HistoryPane::setOrientation(Qt::Orientation orientation)
{
    m_split->setOrientation(orientation);
}

QSize HistoryPane::sizeHint() const
{
    // A band below the list that leaves the list most of a window's height.
    const int line = fontMetrics().height();
    return { line * 40, line * 14 };
}

void HistoryPane::setHistoryFile(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    m_store.reset();
    refresh();
}

void HistoryPane::setCodes(const QStringList &codes)
{
    if (codes == m_codes)
        return;
    m_codes = codes;
    refresh();
}

void HistoryPane::setRange(ChartRange range)
{
    if (QAbstractButton *b = m_rangeButtons->button(static_cast<int>(range)))
        b->setChecked(true);
    if (range == m_range)
        return;
    m_range = range;
    refresh();
    Q_EMIT rangeChanged(range);
}

void HistoryPane::refreshIfShown(const QStringList &codes)
{
    for (const QString &code : codes) {
        if (m_codes.mid(0, kMaxChartCodes).contains(code)) {
            refresh();
            return;
        }
    }
}

HistoryStore *HistoryPane::store()
{
    if (!m_store && !m_path.isEmpty()) {
        // The pane only reads: a missing file stays missing until the first update makes it.
        tessera::Result<std::unique_ptr<HistoryStore>> opened
            = HistoryStore::Open(m_path, HistoryStore::OpenMode::Existing);
        if (opened)
            m_store = std::move(*opened);
    }
    return m_store.get();
}

void HistoryPane::refresh()
{
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    const QString tooMany = m_codes.size() > kMaxChartCodes
        ? tessera::FormatResourceString(Ids::TipHistoryTooManyCodes, { QString::number(kMaxChartCodes) })
        : QString();
    m_note->setText(tooMany);
    if (m_codes.isEmpty()) {
        m_points->setPoints({});
        showEmpty(tessera::ResourceString(Ids::TipHistoryNoSelection));
        return;
    }
    HistoryStore *history = store();
    if (!history) {
        m_points->setPoints({});
        showEmpty(tessera::ResourceString(Ids::TipHistoryNoFile));
        return;
    }
    const int columns = std::max(50, m_chart->viewport()->width());
    tessera::Result<ChartData> chart = LoadChart(*history, m_codes, m_range, m_clock(), columns);
    if (!chart) {
        // A file that failed once is opened anew next time (it may have been replaced).
        m_store.reset();
        m_points->setPoints({});
        showEmpty(tessera::FormatResourceString(Ids::MsgHistoryNotKept, { chart.error().message }));
        return;
    }
    const bool anything = std::any_of(
        chart->lines.begin(), chart->lines.end(), [](const ChartSeries &s) { return !s.samples.empty(); });
    m_points->setPoints(std::move(chart->points));
    if (!anything) {
        showEmpty(tessera::ResourceString(Ids::TipHistoryNoPoints));
        return;
    }
    m_chart->setSeries(std::move(chart->lines), chart->from, chart->to, chart->percent);
    // Several codes share one axis of change in %: the note beside the ranges says so.
    if (chart->percent) {
        const QString change = tessera::ResourceString(Ids::CaptionHistoryChange);
        m_note->setText(tooMany.isEmpty() ? change : change + u"  "_s + tooMany);
    }
    m_stack->setCurrentWidget(m_chart);
}

void HistoryPane::showEmpty(const QString &text)
{
    m_empty->setText(text);
    m_chart->setSeries({}, 0, 0, false);
    m_stack->setCurrentWidget(m_empty);
}

QString HistoryPane::emptyText() const
{
    return m_stack->currentWidget() == m_empty ? m_empty->text() : QString();
}

QString HistoryPane::noteText() const
{
    return m_note->text();
}

void HistoryPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

bool HistoryPane::exportPoints()
{
    const std::vector<HistoryPoint> &points = m_points->points();
    FileQuestion question;
    question.caption = tessera::ResourceString(Ids::CaptionHistoryExport).remove(u"(&E)"_s).remove(u"..."_s);
    question.folder = QDir::homePath();
    question.filters = QStringList { tessera::ResourceString(Ids::FilterHistoryCsv) };
    question.suggested
        = (m_codes.isEmpty() ? u"history"_s : m_codes.mid(0, kMaxChartCodes).join(u'-')) + u".csv"_s;
    question.suffix = u"csv"_s;
    const QString path = m_prompts.saveFile(window(), question);
    if (path.isEmpty())
        return false;
    const QByteArray bytes = HistoryPointsCsv(points).toUtf8();
    const tessera::Status written = SaveFileSafely(path, [&](QIODevice &device) -> tessera::Status {
        if (!WriteAll(device, bytes.constData(), bytes.size()))
            return tessera::Error { SaveErrorCommit, DeviceErrorReason(device) };
        return tessera::Ok {};
    });
    if (!written.ok()) {
        m_prompts.message(
            tessera::FormatResourceString(Ids::MsgHistoryExportFailed, { written.error().message }),
            tessera::MbOk | tessera::MbIconError);
        return false;
    }
    return true;
}
