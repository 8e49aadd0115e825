#pragma once

#include <QString>

#include <optional>
#include <vector>

// Price alerts belong to a code, not to a list: every list that holds the code shares them.
// Each code has a note and up to one condition of each kind, switched on or off.
enum class AlertKind : int {
    Above = 0, // the price at or above the threshold
    Below = 1, // the price at or below the threshold
    RiseBy = 2, // the change ratio at or above +threshold %
    FallBy = 3, // the change ratio at or below -threshold %
};
inline constexpr int kAlertKindCount = 4;

struct AlertCondition {
    AlertCondition() = default;
    AlertCondition(AlertKind kind, double threshold, bool enabled = true)
        : kind(kind)
        , threshold(threshold)
        , enabled(enabled)
    { }

    AlertKind kind = AlertKind::Above;
    double threshold = 0; // a price, or a ratio in % (never negative: the kind gives the sign)
    bool enabled = true;
    // True until the condition fires, and again once it stops holding: a condition fires
    // once per crossing, not at every update while it holds.
    bool armed = true;
    std::optional<qint64> firedTime; // UTC seconds of the last firing
    std::optional<double> firedValue; // the price or ratio it fired at

    friend bool operator==(const AlertCondition &, const AlertCondition &) = default;
};

struct Alert {
    QString code;
    QString note;
    std::vector<AlertCondition> conditions; // in kind order, each kind once

    const AlertCondition *condition(AlertKind kind) const;
    AlertCondition *condition(AlertKind kind);
    // Whether one of the conditions fired and has not stopped holding since.
    bool hasFired() const;

    friend bool operator==(const Alert &, const Alert &) = default;
};

// One condition that fired in a check.
struct AlertFiring {
    QString code;
    QString note;
    AlertKind kind = AlertKind::Above;
    double threshold = 0;
    double value = 0; // the price or the ratio in %
    qint64 time = 0;
};

// Whether `kind` at `threshold` holds for a price and a change ratio in %; nothing when the
// value it looks at is missing (a quote without a price, "---"), which leaves the condition
// as it was.
std::optional<bool> AlertHolds(
    AlertKind kind, double threshold, std::optional<double> price, std::optional<double> ratio);

// Takes `condition` through one new quote at `time`: true when it fires now (it was armed
// and now holds: it is disarmed and the firing is recorded); a disarmed condition that no
// longer holds is armed again. A switched-off condition never changes.
bool StepAlert(
    AlertCondition &condition, std::optional<double> price, std::optional<double> ratio, qint64 time);

// The condition in words for the window, the notification and the command line:
// "現在値 2,500 以上", "前日比 +5% 以上".
QString AlertConditionText(AlertKind kind, double threshold);

// The value a firing shows: the price grouped, or the ratio with its sign and "%".
QString AlertValueText(AlertKind kind, double value);

// A firing as one line for standard output (unattended runs and scripts):
// "alert CODE KIND THRESHOLD: VALUE at yyyy-MM-dd HH:mm:ss", then " -- NOTE" when there is a
// note; the numbers in their shortest exact form, the time local.
QString AlertFiringLine(const AlertFiring &firing);

// The kind named on the command line ("above", "below", "rise", "fall"); nothing else.
std::optional<AlertKind> AlertKindOfName(const QString &name);
const char *AlertKindName(AlertKind kind);
