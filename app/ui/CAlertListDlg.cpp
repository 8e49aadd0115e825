#include "app/ui/CAlertListDlg.h"

#include "app/ui/PromptTexts.h"
#include "corelib/NumberText.h"
#include "corelib/StringIds.h"
#include "history/AlertBook.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

QString AlertConditionsText(const Alert &alert)
{
    QStringList parts;
    for (const AlertCondition &c : alert.conditions) {
        const QString text = AlertConditionText(c.kind, c.threshold);
        parts << (c.enabled ? text : u'(' + text + u')');
    }
    return parts.join(u"、"_s);
}

namespace {

QString lastFiring(const Alert &alert)
{
    const AlertCondition *last = nullptr;
    for (const AlertCondition &c : alert.conditions) {
        if (c.firedTime && (!last || *c.firedTime > *last->firedTime))
            last = &c;
    }
    if (!last)
        return tessera::ResourceString(Ids::CaptionAlertNeverFired);
    return tessera::FormatLocalTime(*last->firedTime, true) + u"  "_s
        + AlertConditionText(last->kind, last->threshold) + u" ("_s
        + (last->firedValue ? AlertValueText(last->kind, *last->firedValue) : u"---"_s) + u')';
}

} // namespace

CAlertListDlg::CAlertListDlg(AlertBook &book, NameOf nameOf, QWidget *parent, Prompts &prompts)
    : QDialog(parent)
    , m_book(book)
    , m_prompts(prompts)
    , m_nameOf(std::move(nameOf))
{
    setWindowTitle(tessera::ResourceString(Ids::CaptionAlertList));
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({ tessera::ResourceString(Ids::CaptionAlertCode),
        tessera::ResourceString(Ids::CaptionAlertName), tessera::ResourceString(Ids::CaptionAlertConditions),
        tessera::ResourceString(Ids::CaptionAlertLastFired).section(u':', 0, 0),
        tessera::ResourceString(Ids::CaptionAlertNote).remove(u"(&M)"_s).remove(u':') });
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *remove = new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { deleteSelected(); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_delete
        = buttons->addButton(tessera::ResourceString(Ids::CaptionAlertDelete), QDialogButtonBox::ActionRole);
    m_switch
        = buttons->addButton(tessera::ResourceString(Ids::CaptionAlertSwitch), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteSelected(); });
    connect(m_switch, &QPushButton::clicked, this, [this] { switchSelected(); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool any = !m_list->selectedItems().isEmpty();
        m_delete->setEnabled(any);
        m_switch->setEnabled(any);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(760, 360);
    reload();
}

void CAlertListDlg::reload()
{
    tessera::Result<std::vector<Alert>> all = m_book.all();
    if (!all) {
        reportFailure(all.error());
        m_alerts.clear();
    } else {
        m_alerts = std::move(*all);
    }
    m_list->clear();
    for (const Alert &a : m_alerts) {
        auto *item = new QTreeWidgetItem(m_list,
            { a.code, m_nameOf ? m_nameOf(a.code) : QString(), AlertConditionsText(a), lastFiring(a),
                a.note });
        const bool off = std::none_of(
            a.conditions.begin(), a.conditions.end(), [](const AlertCondition &c) { return c.enabled; });
        if (off) {
            for (int column = 0; column < item->columnCount(); ++column)
                item->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    const bool any = !m_list->selectedItems().isEmpty();
    m_delete->setEnabled(any);
    m_switch->setEnabled(any);
}

void CAlertListDlg::reportFailure(const tessera::Error &error)
{
    TellNumbered(m_prompts, Ids::MsgAlertsNotKept, { error.message }, tessera::MbOk | tessera::MbIconError);
}

QStringList CAlertListDlg::selectedCodes() const
{
    QStringList codes;
    for (const QTreeWidgetItem *item : m_list->selectedItems())
        codes << item->text(0);
    return codes;
}

bool CAlertListDlg::deleteSelected()
{
    bool ok = true;
    for (const QString &code : selectedCodes()) {
        const tessera::Result<bool> removed = m_book.remove(code);
        if (!removed) {
            reportFailure(removed.error());
            ok = false;
            break;
        }
    }
    reload();
    Q_EMIT alertsChanged();
    return ok;
}

bool CAlertListDlg::switchSelected()
{
    const QStringList codes = selectedCodes();
    std::vector<Alert *> chosen;
    for (Alert &a : m_alerts) {
        if (codes.contains(a.code))
            chosen.push_back(&a);
    }
    const bool anyOn = std::any_of(chosen.begin(), chosen.end(), [](const Alert *a) {
        return std::any_of(
            a->conditions.begin(), a->conditions.end(), [](const AlertCondition &c) { return c.enabled; });
    });
    bool ok = true;
    for (Alert *a : chosen) {
        for (AlertCondition &c : a->conditions)
            c.enabled = !anyOn;
        const tessera::Status put = m_book.put(*a);
        if (!put) {
            reportFailure(put.error());
            ok = false;
            break;
        }
    }
    reload();
    m_list->clearSelection();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (codes.contains(m_list->topLevelItem(i)->text(0)))
            m_list->topLevelItem(i)->setSelected(true);
    }
    Q_EMIT alertsChanged();
    return ok;
}
