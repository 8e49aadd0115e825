#include "history/AlertRules.h"

#include "corelib/Messages.h"
#include "corelib/NumberText.h"
#include "corelib/StringIds.h"
#include "history/HistoryCsv.h"

#include <QDateTime>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct KindInfo {
    AlertKind kind;
    const char *name;
    int text; // the condition's words, %1 the threshold
    bool onRatio;
};

// clang-format off
constexpr KindInfo kKinds[kAlertKindCount] = {
    { AlertKind::Above, "above", Ids::CaptionAlertAbove, false },
    { AlertKind::Below, "below", Ids::CaptionAlertBelow, false },
    { AlertKind::RiseBy, "rise", Ids::CaptionAlertRiseBy, true },
    { AlertKind::FallBy, "fall", Ids::CaptionAlertFallBy, true },
};
// clang-format on

const KindInfo &info(AlertKind kind)
{
    return kKinds[static_cast<int>(kind)];
}

} // namespace

const AlertCondition *Alert::condition(AlertKind kind) const
{
    const auto it = std::find_if(
        conditions.begin(), conditions.end(), [kind](const AlertCondition &c) { return c.kind == kind; });
    return it == conditions.end() ? nullptr : &*it;
}

AlertCondition *Alert::condition(AlertKind kind)
{
    return const_cast<AlertCondition *>(std::as_const(*this).condition(kind));
}

bool Alert::hasFired() const
{
    return std::any_of(
        conditions.begin(), conditions.end(), [](const AlertCondition &c) { return c.enabled && !c.armed; });
}

std::optional<bool> AlertHolds(
    AlertKind kind, double threshold, std::optional<double> price, std::optional<double> ratio)
{
    switch (kind) {
    case AlertKind::Above:
        return price ? std::optional(*price >= threshold) : std::nullopt;
    case AlertKind::Below:
        return price ? std::optional(*price <= threshold) : std::nullopt;
    case AlertKind::RiseBy:
        return ratio ? std::optional(*ratio >= threshold) : std::nullopt;
    case AlertKind::FallBy:
        return ratio ? std::optional(*ratio <= -threshold) : std::nullopt;
    }
    return std::nullopt;
}

bool StepAlert(
    AlertCondition &condition, std::optional<double> price, std::optional<double> ratio, qint64 time)
{
    if (!condition.enabled)
        return false;
    const std::optional<bool> holds = AlertHolds(condition.kind, condition.threshold, price, ratio);
    if (!holds)
        return false;
    if (!*holds) {
        condition.armed = true;
        return false;
    }
    if (!condition.armed)
        return false;
    condition.armed = false;
    condition.firedTime = time;
    condition.firedValue = info(condition.kind).onRatio ? ratio : price;
    return true;
}

QString AlertConditionText(AlertKind kind, double threshold)
{
    const KindInfo &k = info(kind);
    const QString value
        = k.onRatio ? tessera::GroupedNumber(threshold) + u'%' : tessera::GroupedNumber(threshold);
    return tessera::FormatResourceString(k.text, { value });
}

QString AlertValueText(AlertKind kind, double value)
{
    return info(kind).onRatio ? tessera::GroupedNumber(value, false, true) + u'%'
                              : tessera::GroupedNumber(value);
}

QString AlertFiringLine(const AlertFiring &firing)
{
    QString line
        = u"alert %1 %2 %3: %4 at %5"_s.arg(firing.code, QLatin1StringView(AlertKindName(firing.kind)),
            HistoryValueText(firing.threshold), HistoryValueText(firing.value),
            QDateTime::fromSecsSinceEpoch(firing.time).toString(u"yyyy-MM-dd HH:mm:ss"_s));
    if (!firing.note.isEmpty())
        line += u" -- "_s + firing.note;
    return line;
}

std::optional<AlertKind> AlertKindOfName(const QString &name)
{
    for (const KindInfo &k : kKinds) {
        if (name == QLatin1StringView(k.name))
            return k.kind;
    }
    return std::nullopt;
}

const char *AlertKindName(AlertKind kind)
{
    return info(kind).name;
}
