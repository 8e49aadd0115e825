#pragma once

#include "history/ChartData.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class HistoryChart;
class HistoryPointsModel;
class HistoryStore;
class Prompts;
class QButtonGroup;
class QLabel;
class QStackedWidget;
class QTableView;
class QToolButton;

// The price history of the selected rows: range buttons over a line chart of the stored
// prices (several codes as change in % from the range's start), the points as a table
// below, and their export as CSV from the pane's menu. It reads the history file through a
// connection of its own, so the recorder's writes never wait for it.
class HistoryPane : public QWidget {
    Q_OBJECT
public:
    // `now` gives the end of every range (UTC seconds); tests fix it.
    using Clock = std::function<qint64()>;

    explicit HistoryPane(Prompts &prompts, QWidget *parent = nullptr);
    ~HistoryPane() override;

    // The history file to read; the pane opens it when it first needs it and again after
    // it was missing or failed.
    void setHistoryFile(const QString &path);
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The codes to show, the first kMaxChartCodes of them drawn.
    void setCodes(const QStringList &codes);
    const QStringList &codes() const { return m_codes; }
    void setRange(ChartRange range);
    ChartRange range() const { return m_range; }

    // Reads the points again (after an update stored new ones). Does nothing while hidden:
    // showing the pane reads them.
    void refresh();
    // Redraws when one of `codes` is shown.
    void refreshIfShown(const QStringList &codes);

    // Writes the shown points, oldest first, to a CSV file the user names; false when
    // cancelled or failed (the user was told why).
    bool exportPoints();

    // Chart and table side by side (Qt::Horizontal, for a pane below the list) or one over
    // the other (Qt::Vertical, for a pane beside it).
    void setOrientation(Qt::Orientation orientation);
    QSize sizeHint() const override;

    HistoryChart &chart() const { return *m_chart; }
    const HistoryPointsModel &pointsModel() const { return *m_points; }
    // The text shown in place of the chart when there is nothing to draw; empty when the
    // chart is shown.
    QString emptyText() const;
    // The note beside the range buttons (more codes selected than drawn).
    QString noteText() const;

Q_SIGNALS:
    void rangeChanged(ChartRange range);

protected:
    void showEvent(QShowEvent *event) override;

private:
    HistoryStore *store();
    void showEmpty(const QString &text);

    Prompts &m_prompts;
    QString m_path;
    std::unique_ptr<HistoryStore> m_store;
    Clock m_clock;
    QStringList m_codes;
    // Everything by default: the first updates of a new list spread across the chart.
    ChartRange m_range = ChartRange::Everything;
    QButtonGroup *m_rangeButtons = nullptr;
    QToolButton *m_menuButton = nullptr;
    QLabel *m_note = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_empty = nullptr;
    HistoryChart *m_chart = nullptr;
    QTableView *m_table = nullptr;
    class QSplitter *m_split = nullptr;
    HistoryPointsModel *m_points = nullptr;
    bool m_stale = true;
};
