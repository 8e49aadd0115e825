#pragma once

#include "history/AlertRules.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;

// The price alert of one security: each condition on or off with its threshold, the current
// value beside it and its last firing, and a note. The caller reads and stores the alert.
class CAlertDlg : public QDialog {
    Q_OBJECT
public:
    // `price` and `ratio` (in %) are the row's current values where it has them.
    CAlertDlg(const QString &code, const QString &name, const Alert &alert, std::optional<double> price,
        std::optional<double> ratio, QWidget *parent = nullptr);

    // The alert as the dialog shows it: the conditions switched on, and those switched off
    // that had been set before (kept, but silent).
    Alert alert() const;

    QCheckBox *conditionBox(AlertKind kind) const { return m_rows[static_cast<size_t>(kind)].enabled; }
    QDoubleSpinBox *thresholdBox(AlertKind kind) const { return m_rows[static_cast<size_t>(kind)].threshold; }
    QLineEdit *noteBox() const { return m_note; }

private:
    struct Row {
        QCheckBox *enabled = nullptr;
        QDoubleSpinBox *threshold = nullptr;
        QLabel *lastFired = nullptr;
        bool existed = false;
    };

    Alert m_alert;
    std::array<Row, kAlertKindCount> m_rows;
    QLineEdit *m_note = nullptr;
};
