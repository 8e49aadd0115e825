#pragma once

#include "app/ui/FrameActions.h"
#include "history/AlertRules.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class AlertNotifier;
class CQuotraDoc;
class CQuotraView;
class HistoryPane;
class HistoryRecorder;
class HistoryStore;
class Prompts;
class QDockWidget;
class QMainWindow;
class StatusBarPanes;
struct AppSettings;

// The window's price history pane and its price alerts: the dock with the chart of the
// selected rows (the first rows of the list when none is selected), redrawn when an update
// stores new points; the alert dialog of the current row and the list of every alert; the
// bells of the rows whose alert fired; and the notification of each run's firings on the
// desktop (the status bar without a notification service, standard output in an unattended
// run).
class PriceWatch : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QMainWindow &window;
        CQuotraView &view;
        CQuotraDoc &document;
        HistoryRecorder &recorder;
        StatusBarPanes &panes;
        AppSettings &settings;
        const CommandActions &actions;
        Prompts &prompts;
        bool unattended = false;
    };
    explicit PriceWatch(const Parts &parts, QObject *parent = nullptr);
    ~PriceWatch() override;

    QDockWidget &dock() const { return *m_dock; }
    HistoryPane &pane() const { return *m_pane; }
    AlertNotifier &notifier() const { return *m_notifier; }

    // 32821: the alert dialog of the current row; false when there is no row or it was
    // cancelled or could not be stored (the user was told why).
    bool editAlert();
    // 32822: the list of every alert.
    void showAlertList();
    // Reads which alerts have fired from the history file and marks their rows.
    void reloadMarks();

private:
    void followSelection();
    void onAlertsFired(const std::vector<AlertFiring> &fired);
    QString nameOf(const QString &code) const;
    // The history file the alerts live in, made when `create`; the user is told why not.
    std::unique_ptr<HistoryStore> openStore(bool create) const;

    Parts m_parts;
    QDockWidget *m_dock = nullptr;
    HistoryPane *m_pane = nullptr;
    AlertNotifier *m_notifier = nullptr;
};
