#include "app/ui/CAlertDlg.h"

#include "corelib/Messages.h"
#include "corelib/NumberText.h"
#include "corelib/StringIds.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

struct RowInfo {
    AlertKind kind;
    int caption; // "現在値 %1 以上": the words around the threshold
    bool onRatio;
};

// clang-format off
constexpr RowInfo kRows[kAlertKindCount] = {
    { AlertKind::Above, Ids::CaptionAlertAbove, false },
    { AlertKind::Below, Ids::CaptionAlertBelow, false },
    { AlertKind::RiseBy, Ids::CaptionAlertRiseBy, true },
    { AlertKind::FallBy, Ids::CaptionAlertFallBy, true },
};
// clang-format on

QString lastFiredText(const AlertCondition *c)
{
    if (!c || !c->firedTime)
        return tessera::ResourceString(Ids::CaptionAlertNeverFired);
    return tessera::FormatResourceString(Ids::CaptionAlertLastFired,
        { tessera::FormatLocalTime(*c->firedTime, true),
            c->firedValue ? AlertValueText(c->kind, *c->firedValue) : u"---"_s });
}

} // namespace

CAlertDlg::CAlertDlg(const QString &code, const QString &name, const Alert &alert,
    std::optional<double> price, std::optional<double> ratio, QWidget *parent)
    : QDialog(parent)
    , m_alert(alert)
{
    m_alert.code = code;
    setWindowTitle(tessera::ResourceString(Ids::CaptionAlerts) + u" - "_s
        + (name.isEmpty() ? code : code + u' ' + name));
    auto *grid = new QGridLayout;
    for (int i = 0; i < kAlertKindCount; ++i) {
        const RowInfo &info = kRows[i];
        Row &row = m_rows[static_cast<size_t>(i)];
        const AlertCondition *c = alert.condition(info.kind);
        row.existed = c != nullptr;
        const QStringList words = tessera::ResourceString(info.caption).split(u"%1"_s);
        row.enabled = new QCheckBox(words.value(0).trimmed(), this);
        row.enabled->setChecked(c && c->enabled);
        row.threshold = new QDoubleSpinBox(this);
        row.threshold->setDecimals(2);
        row.threshold->setRange(info.onRatio ? 0.01 : 0, info.onRatio ? 1000 : 1e12);
        row.threshold->setGroupSeparatorShown(true);
        row.threshold->setSuffix(info.onRatio ? u"%"_s : QString());
        const std::optional<double> now = info.onRatio ? ratio : price;
        // A new condition starts at the current value (or 5 % for a ratio), so one step of
        // the arrows makes a sensible threshold.
        row.threshold->setValue(c ? c->threshold : (info.onRatio ? 5.0 : now.value_or(0)));
        row.threshold->setEnabled(row.enabled->isChecked());
        connect(row.enabled, &QCheckBox::toggled, row.threshold, &QWidget::setEnabled);
        auto *after = new QLabel(words.value(1).trimmed(), this);
        auto *current = new QLabel(tessera::FormatResourceString(Ids::CaptionAlertCurrent,
                                       { now ? AlertValueText(info.kind, *now) : u"---"_s }),
            this);
        row.lastFired = new QLabel(lastFiredText(c), this);
        row.lastFired->setEnabled(false);
        grid->addWidget(row.enabled, i, 0);
        grid->addWidget(row.threshold, i, 1);
        grid->addWidget(after, i, 2);
        grid->addWidget(current, i, 3);
        grid->addWidget(row.lastFired, i, 4);
    }
    grid->setColumnStretch(4, 1);
    auto *conditions = new QGroupBox(tessera::ResourceString(Ids::CaptionAlertConditions), this);
    conditions->setLayout(grid);

    m_note = new QLineEdit(alert.note, this);
    auto *form = new QFormLayout;
    form->addRow(tessera::ResourceString(Ids::CaptionAlertNote), m_note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(conditions);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

Alert CAlertDlg::alert() const
{
    Alert out;
    out.code = m_alert.code;
    out.note = m_note->text().trimmed();
    for (int i = 0; i < kAlertKindCount; ++i) {
        const Row &row = m_rows[static_cast<size_t>(i)];
        if (!row.enabled->isChecked() && !row.existed)
            continue;
        AlertCondition c(kRows[i].kind, row.threshold->value(), row.enabled->isChecked());
        if (const AlertCondition *old = m_alert.condition(c.kind)) {
            c.armed = old->armed;
            c.firedTime = old->firedTime;
            c.firedValue = old->firedValue;
        }
        out.conditions.push_back(c);
    }
    return out;
}
