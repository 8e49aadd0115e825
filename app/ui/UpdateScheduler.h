#pragma once

#include "app/core/CCLineInfo.h"
#include "app/core/UpdateSchedule.h"

#include <QObject>
#include <QStringList>

#include <functional>

class CQuotraDoc;
class Prompts;
class QTimer;
struct AppSettings;

// The periodic update: a timer of the settings' update period that, at each tick, updates
// the shown rows that are due (PeriodicUpdate). In an unattended run the tick comes a moment
// after the list is opened and updates every shown row; when that run ends the list is saved
// through the save routing and the run ends with its status.
class UpdateScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int kUnattendedDelayMs = 5000;
    // The codes of the rows the list shows, in display order.
    using ShownCodes = std::function<QStringList()>;

    UpdateScheduler(CQuotraDoc &doc, const AppSettings &settings, const CCLineInfo &commandLine,
        ShownCodes shown, Prompts &prompts, QObject *parent = nullptr);

    // Starts the period again; `opened`: a list was just opened (an unattended run starts).
    void restart(bool opened);
    void stop();
    // The timer's tick.
    void tick();
    // The time to the next tick, in milliseconds; -1 while stopped.
    int remainingMs() const;

    bool isUnattended() const { return m_commandLine.autoRun; }
    // Exit status of an unattended run: 0 saved, 1 not saved.
    int unattendedStatus() const { return m_unattendedStatus; }

Q_SIGNALS:
    // A tick looked at the rows (the list repaints their ages).
    void ticked();
    // The unattended run's update ended and its save was made (or refused).
    void unattendedRunFinished(int status);

private:
    void onUpdateFinished(quint64 generation);
    int periodMs() const;

    CQuotraDoc &m_doc;
    const AppSettings &m_settings;
    CCLineInfo m_commandLine;
    ShownCodes m_shown;
    Prompts &m_prompts;
    QTimer *m_timer;
    PeriodicUpdate m_periodic;
    quint64 m_unattendedGeneration = 0;
    int m_unattendedStatus = 1;
};
