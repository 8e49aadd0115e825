#include "view/history/HistoryChart.h"

#include "corelib/NumberText.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The axis' label format for the span shown: times within a day or two, days beyond.
QString TimeFormat(qint64 span)
{
    constexpr qint64 kDay = 24 * 3600;
    if (span <= 2 * kDay)
        return u"HH:mm"_s;
    if (span <= 14 * kDay)
        return u"MM/dd HH:mm"_s;
    if (span <= 400 * kDay)
        return u"MM/dd"_s;
    return u"yyyy/MM"_s;
}

bool IsDark(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

} // namespace

HistoryChart::HistoryChart(QWidget *parent)
    // The view owns the chart it is made with; one set later would leave the view's own
    // first chart behind.
    : QChartView(new QChart, parent)
{
    QChart *chart = this->chart();
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis = new QDateTimeAxis(chart);
    m_valueAxis = new QValueAxis(chart);
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_valueAxis, Qt::AlignLeft);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    setMinimumHeight(120);
    applyPalette();
}

void HistoryChart::setSeries(std::vector<ChartSeries> series, qint64 from, qint64 to, bool percent)
{
    m_series = std::move(series);
    m_percent = percent;
    QChart *c = chart();
    c->removeAllSeries();
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const ChartSeries &s : m_series) {
        auto *line = new QLineSeries(c);
        line->setName(s.code);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(s.samples.size()));
        for (const HistorySample &p : s.samples) {
            points.append(QPointF(double(p.time) * 1000.0, p.value));
            low = std::min(low, p.value);
            high = std::max(high, p.value);
        }
        line->replace(points);
        c->addSeries(line);
        line->attachAxis(m_timeAxis);
        line->attachAxis(m_valueAxis);
    }
    c->legend()->setVisible(m_series.size() > 1);
    if (low > high) {
        low = 0;
        high = 1;
    } else if (low == high) {
        // A flat line sits in the middle of a band around its value.
        const double pad = low == 0 ? 1 : std::abs(low) * 0.01;
        low -= pad;
        high += pad;
    }
    m_valueAxis->setRange(low, high);
    m_valueAxis->applyNiceNumbers();
    m_valueAxis->setLabelFormat(percent ? u"%.1f%%"_s : u"%.6g"_s);
    const qint64 end = std::max(to, from + 60);
    m_timeAxis->setRange(QDateTime::fromSecsSinceEpoch(from), QDateTime::fromSecsSinceEpoch(end));
    m_timeAxis->setFormat(TimeFormat(end - from));
    // A label about every 120 pixels, so that none is cut short.
    m_timeAxis->setTickCount(std::clamp(viewport()->width() / 120, 2, 8));
    applyPalette();
}

QString HistoryChart::pointText(const QPoint &pos) const
{
    if (m_series.empty() || !chart()->plotArea().contains(mapToScene(pos)))
        return {};
    const QPointF value = chart()->mapToValue(mapToScene(pos));
    const auto at = static_cast<qint64>(std::llround(value.x() / 1000.0));
    const ChartSeries *best = nullptr;
    const HistorySample *bestSample = nullptr;
    double bestDistance = std::numeric_limits<double>::max();
    // Nearest in time within each line, then the nearest of those in value.
    for (const ChartSeries &s : m_series) {
        if (s.samples.empty())
            continue;
        auto it = std::lower_bound(s.samples.begin(), s.samples.end(), at,
            [](const HistorySample &p, qint64 t) { return p.time < t; });
        if (it == s.samples.end() || (it != s.samples.begin() && at - (it - 1)->time < it->time - at))
            it = it == s.samples.begin() ? it : it - 1;
        const double distance = std::abs(it->value - value.y());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &s;
            bestSample = &*it;
        }
    }
    if (!bestSample)
        return {};
    const QString shown = m_percent ? tessera::GroupedNumber(bestSample->value, false, true) + u" %"_s
                                    : tessera::GroupedNumber(bestSample->value);
    return u"%1  %2\n%3"_s.arg(best->code, tessera::FormatLocalTime(bestSample->time, true), shown);
}

void HistoryChart::mouseMoveEvent(QMouseEvent *event)
{
    QChartView::mouseMoveEvent(event);
    const QString text = pointText(event->position().toPoint());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

void HistoryChart::changeEvent(QEvent *event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        applyPalette();
}

void HistoryChart::applyPalette()
{
    const QPalette &p = palette();
    QChart *c = chart();
    // The theme picks line colours that read on the background; the background, the texts
    // and the grid then take the window's own colours.
    const QChart::ChartTheme theme = IsDark(p) ? QChart::ChartThemeDark : QChart::ChartThemeLight;
    if (c->theme() != theme)
        c->setTheme(theme);
    c->setBackgroundBrush(p.brush(QPalette::Base));
    c->setBackgroundRoundness(0);
    c->legend()->setLabelColor(p.color(QPalette::Text));
    for (QAbstractAxis *axis :
        { static_cast<QAbstractAxis *>(m_timeAxis), static_cast<QAbstractAxis *>(m_valueAxis) }) {
        axis->setLabelsColor(p.color(QPalette::Text));
        axis->setGridLineColor(p.color(QPalette::Mid));
        axis->setLinePenColor(p.color(QPalette::Mid));
    }
    setBackgroundBrush(p.brush(QPalette::Base));
}
