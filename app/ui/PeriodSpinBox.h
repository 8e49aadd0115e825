#pragma once

#include <QSpinBox>

// The update period box (32773): whole minutes, spin buttons that stop at 1 and 120. Typing
// is free, so that a committed value outside the range, or text that is no number, reaches
// the commit as such (value() is then below 1 or above 120) and can be refused with a
// message instead of being clamped silently.
class PeriodSpinBox : public QSpinBox {
    Q_OBJECT
public:
    static constexpr int kNotANumber = -1;
    explicit PeriodSpinBox(int minimum, int maximum, QWidget *parent = nullptr);

    // Whether a committed value is a period the box accepts.
    bool isAcceptable(int minutes) const { return minutes >= m_minimum && minutes <= m_maximum; }

    void stepBy(int steps) override;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    StepEnabled stepEnabled() const override;

private:
    int m_minimum;
    int m_maximum;
};
