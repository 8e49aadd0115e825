#include "app/ui/ControlIds.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr auto kProperty = "quotraControlId";
} // namespace

void SetControlId(QObject *control, int id)
{
    if (control)
        control->setProperty(kProperty, id);
}

std::optional<int> ControlIdOf(const QObject *control)
{
    if (!control)
        return std::nullopt;
    const QVariant id = control->property(kProperty);
    if (!id.isValid())
        return std::nullopt;
    return id.toInt();
}
