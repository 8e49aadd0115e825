#include "app/ui/RibbonBar.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;
constexpr int kRowsPerColumn = 3;

// A flat button showing a command: the ribbon's controls never take the keyboard focus
// from the list (the key tips reach them), and screen readers read the command's caption.
QToolButton *commandButton(
    QWidget *parent, QAction *action, const QString &name, Qt::ToolButtonStyle style, int iconSize)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setToolButtonStyle(style);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(action->text());
    return button;
}

QFrame *verticalLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setObjectName(QStringLiteral("RibbonSeparator"));
    return line;
}

} // namespace

RibbonBar::RibbonBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RibbonBar"));
    setAttribute(Qt::WA_StyledBackground);
    auto *tabRowWidget = new QWidget(this);
    m_tabRowWidget = tabRowWidget;
    tabRowWidget->setObjectName(QStringLiteral("RibbonTabRow"));
    tabRowWidget->setAttribute(Qt::WA_StyledBackground);
    m_tabRow = new QHBoxLayout(tabRowWidget);
    m_tabRow->setContentsMargins(4, 3, 4, 0);
    m_tabRow->setSpacing(2);
    m_quickAccess = new QHBoxLayout;
    m_quickAccess->setSpacing(0);
    m_tabRowRight = new QHBoxLayout;
    m_tabRowRight->setSpacing(2);

    auto *panel = new QWidget(this);
    m_panel = panel;
    panel->setObjectName(QStringLiteral("RibbonPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    m_groups = new QHBoxLayout(panel);
    m_groups->setContentsMargins(4, 4, 4, 2);
    m_groups->setSpacing(0);
    m_groups->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// The two rows are placed by hand: the groups keep their natural width and a window
// narrower than them cuts the last groups off at the right, instead of squeezing every
// button or forcing the window wider.
QSize RibbonBar::sizeHint() const
{
    const QSize tabs = m_tabRowWidget->sizeHint();
    const QSize panel = m_panel->sizeHint();
    return { std::max(tabs.width(), panel.width()), tabs.height() + panel.height() };
}

QSize RibbonBar::minimumSizeHint() const
{
    return { 0, sizeHint().height() };
}

void RibbonBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_fitting) {
        m_fitting = true;
        fitGroups();
        m_fitting = false;
    }
    layoutRows();
}

void RibbonBar::fitGroups()
{
    // Like an office ribbon: when the groups do not fit, the small buttons of the last
    // groups drop their captions (icon only, the caption stays in the tooltip), group by
    // group from the right; when the window grows again they get them back. Each group's
    // two widths are measured once.
    if (m_savings.size() != m_groupWidgets.size()) {
        // Measured while every caption still shows. A column of small buttons gets
        // narrower by its widest caption.
        m_fullWidth = m_panel->sizeHint().width();
        m_savings.clear();
        for (const QList<QToolButton *> &group : std::as_const(m_smallButtons)) {
            QHash<int, int> widest;
            for (QToolButton *b : group) {
                if (b->icon().isNull())
                    continue;
                const int caption = b->fontMetrics().horizontalAdvance(b->text()) + 6;
                const int column = b->property("ribbonColumn").toInt();
                widest[column] = std::max(widest.value(column), caption);
            }
            int saving = 0;
            for (const int w : std::as_const(widest))
                saving += w;
            m_savings << saving;
        }
    }
    int needed = m_fullWidth;
    qsizetype firstCollapsed = m_groupWidgets.size();
    while (firstCollapsed > 0 && needed > width()) {
        --firstCollapsed;
        needed -= m_savings[firstCollapsed];
    }
    if (firstCollapsed == m_firstCollapsed)
        return;
    m_firstCollapsed = firstCollapsed;
    for (qsizetype g = 0; g < m_groupWidgets.size(); ++g) {
        const Qt::ToolButtonStyle style
            = g >= firstCollapsed ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon;
        for (QToolButton *b : std::as_const(m_smallButtons[g])) {
            if (!b->icon().isNull() && b->toolButtonStyle() != style)
                b->setToolButtonStyle(style);
        }
    }
}

void RibbonBar::layoutRows()
{
    const int tabHeight = m_tabRowWidget->sizeHint().height();
    m_tabRowWidget->setGeometry(0, 0, width(), tabHeight);
    const QSize panel = m_panel->sizeHint();
    m_panel->setGeometry(0, tabHeight, std::max(width(), panel.width()), panel.height());
}

bool RibbonBar::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        layoutRows();
    }
    return QWidget::event(event);
}

QToolButton *RibbonBar::setSystemMenu(const QString &caption, QMenu *menu, const QString &keyTip)
{
    m_systemButton = new QToolButton(this);
    m_systemButton->setObjectName(QStringLiteral("RibbonSystemButton"));
    m_systemButton->setText(caption);
    m_systemButton->setAccessibleName(caption);
    m_systemButton->setMenu(menu);
    m_systemButton->setPopupMode(QToolButton::InstantPopup);
    m_systemButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_tabRow->insertWidget(0, m_systemButton);
    m_tabTips.append({ keyTip, m_systemButton });
    return m_systemButton;
}

void RibbonBar::setTabCaption(const QString &caption, const QString &keyTip)
{
    m_tab = new QToolButton(this);
    m_tab->setObjectName(QStringLiteral("RibbonTab"));
    m_tab->setText(caption);
    m_tab->setAccessibleName(caption);
    m_tab->setCheckable(true);
    m_tab->setChecked(true);
    m_tab->setFocusPolicy(Qt::NoFocus);
    m_tabRow->addWidget(m_tab);
    m_tabRow->addStretch(1);
    m_tabRow->addLayout(m_quickAccess);
    m_tabRow->addSpacing(12);
    m_tabRow->addLayout(m_tabRowRight);
    m_tabTips.append({ keyTip, m_tab });
}

void RibbonBar::addQuickAccess(QAction *action)
{
    QToolButton *button = commandButton(
        this, action, QStringLiteral("RibbonQuickAccess"), Qt::ToolButtonIconOnly, kSmallIcon);
    m_quickAccess->addWidget(button);
    m_tabTips.append({ QString::number(m_quickAccess->count()), button });
}

QToolButton *RibbonBar::addTabRowMenu(const QString &caption, QMenu *menu, const QString &keyTip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("RibbonTabRowButton"));
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    m_tabRowRight->addWidget(button);
    if (!keyTip.isEmpty())
        m_tabTips.append({ keyTip, button });
    return button;
}

QToolButton *RibbonBar::addTabRowAction(QAction *action)
{
    QToolButton *button = commandButton(
        this, action, QStringLiteral("RibbonTabRowButton"), Qt::ToolButtonIconOnly, kSmallIcon);
    m_tabRowRight->addWidget(button);
    return button;
}

void RibbonBar::beginGroup(const QString &caption)
{
    m_group = new QWidget(this);
    m_group->setObjectName(QStringLiteral("RibbonGroup"));
    m_group->setAccessibleName(caption);
    auto *box = new QVBoxLayout(m_group);
    box->setContentsMargins(4, 0, 4, 0);
    box->setSpacing(1);
    m_groupGrid = new QGridLayout;
    m_groupGrid->setHorizontalSpacing(2);
    m_groupGrid->setVerticalSpacing(1);
    m_groupGrid->setContentsMargins(0, 0, 0, 0);
    box->addLayout(m_groupGrid, 1);
    auto *label = new QLabel(caption, m_group);
    label->setObjectName(QStringLiteral("RibbonGroupCaption"));
    label->setAlignment(Qt::AlignCenter);
    box->addWidget(label);
    m_column = 0;
    m_row = 0;
    m_smallButtons.append(QList<QToolButton *>());
}

void RibbonBar::addSeparatorColumn()
{
    if (m_row != 0 || m_column != 0) {
        if (m_row != 0)
            ++m_column;
        m_groupGrid->addWidget(verticalLine(m_group), 0, m_column, kRowsPerColumn, 1);
        ++m_column;
        m_row = 0;
    }
}

QToolButton *RibbonBar::addLargeButton(QAction *action, const QString &keyTip, bool startsGroup)
{
    if (startsGroup)
        addSeparatorColumn();
    else if (m_row != 0) {
        ++m_column;
        m_row = 0;
    }
    QToolButton *button = commandButton(
        m_group, action, QStringLiteral("RibbonLargeButton"), Qt::ToolButtonTextUnderIcon, kLargeIcon);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    button->setMinimumWidth(48);
    m_groupGrid->addWidget(button, 0, m_column, kRowsPerColumn, 1);
    ++m_column;
    m_row = 0;
    if (!keyTip.isEmpty())
        m_controlTips.append({ keyTip, button });
    return button;
}

void RibbonBar::placeSmall(QWidget *control, bool startsGroup)
{
    if (startsGroup)
        addSeparatorColumn();
    m_groupGrid->addWidget(control, m_row, m_column, Qt::AlignLeft | Qt::AlignVCenter);
    control->setProperty("ribbonColumn", m_column);
    if (++m_row == kRowsPerColumn) {
        m_row = 0;
        ++m_column;
    }
}

QToolButton *RibbonBar::addSmallButton(QAction *action, const QString &keyTip, bool startsGroup)
{
    QToolButton *button = commandButton(
        m_group, action, QStringLiteral("RibbonSmallButton"), Qt::ToolButtonTextBesideIcon, kSmallIcon);
    placeSmall(button, startsGroup);
    m_smallButtons.back().append(button);
    if (!keyTip.isEmpty())
        m_controlTips.append({ keyTip, button });
    return button;
}

QWidget *RibbonBar::addSmallWidget(
    QWidget *widget, const QString &caption, const QString &keyTip, bool startsGroup)
{
    QWidget *cell = widget;
    if (!caption.isEmpty()) {
        cell = new QWidget(m_group);
        auto *row = new QHBoxLayout(cell);
        row->setContentsMargins(4, 0, 0, 0);
        row->setSpacing(4);
        auto *label = new QLabel(caption, cell);
        label->setBuddy(widget);
        row->addWidget(label);
        widget->setParent(cell);
        row->addWidget(widget);
    } else {
        widget->setParent(m_group);
    }
    if (widget->accessibleName().isEmpty())
        widget->setAccessibleName(caption);
    placeSmall(cell, startsGroup);
    if (!keyTip.isEmpty())
        m_controlTips.append({ keyTip, widget });
    return widget;
}

void RibbonBar::endGroup()
{
    m_groupGrid->setColumnStretch(m_column + 1, 1);
    // Groups are laid out left to right; the stretch stays last.
    m_groups->insertWidget(m_groups->count() - 1, m_group);
    m_groupWidgets.append(m_group);
    m_groups->insertWidget(m_groups->count() - 1, verticalLine(this));
    m_group = nullptr;
    m_groupGrid = nullptr;
}
