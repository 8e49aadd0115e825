#include "app/ui/PeriodSpinBox.h"

#include <QLineEdit>

namespace {
// Long enough for any mistyped number, short enough that the value cannot overflow.
constexpr int kMaxTextLength = 6;
} // namespace

PeriodSpinBox::PeriodSpinBox(int minimum, int maximum, QWidget *parent)
    : QSpinBox(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
{
    // The spin box's own range only has to hold what can be typed.
    setRange(kNotANumber, 999999);
    lineEdit()->setMaxLength(kMaxTextLength);
}

void PeriodSpinBox::stepBy(int steps)
{
    const int next = value() + steps;
    if (isAcceptable(next))
        QSpinBox::stepBy(steps);
}

QAbstractSpinBox::StepEnabled PeriodSpinBox::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    if (isAcceptable(value() + 1))
        enabled |= StepUpEnabled;
    if (isAcceptable(value() - 1))
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State PeriodSpinBox::validate(QString &input, int &pos) const
{
    Q_UNUSED(input);
    Q_UNUSED(pos);
    return QValidator::Acceptable;
}

int PeriodSpinBox::valueFromText(const QString &text) const
{
    bool ok = false;
    const int minutes = text.trimmed().toInt(&ok);
    return ok && minutes >= 0 ? minutes : kNotANumber;
}
