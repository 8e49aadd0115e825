#include "app/ui/RibbonBar.h"

#include "app/ui/PopupHover.h"
#include "app/ui/RibbonParts.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

using namespace ribbon;

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

// The two rows are placed by hand: the groups keep their natural width (captions dropped and
// groups folded as far as the fold order allows) and a window narrower than even that cuts
// the last groups off at the right, instead of squeezing every button or forcing the window
// wider.
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

void RibbonBar::requestRefit()
{
    m_measured = false;
    if (m_refitQueued)
        return;
    m_refitQueued = true;
    // After the whole window took the new style or font, so that every control is measured
    // in it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refitQueued = false;
            m_fitting = true;
            fitGroups();
            m_fitting = false;
            layoutRows();
        },
        Qt::QueuedConnection);
}

void RibbonBar::layoutRows()
{
    const int tabHeight = m_tabRowWidget->sizeHint().height();
    m_tabRowWidget->setGeometry(0, 0, width(), tabHeight);
    const QSize panel = m_panel->sizeHint();
    m_panel->setGeometry(0, tabHeight, std::max(width(), panel.width()), panel.height());
    // The groups take their places now, not at the next turn of the event loop: a folded
    // group's button is where it is drawn as soon as the window has its width.
    m_groups->activate();
}

bool RibbonBar::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::LayoutRequest:
        updateGeometry();
        layoutRows();
        break;
    case QEvent::StyleChange:
    case QEvent::FontChange:
        requestRefit();
        break;
    default:
        break;
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
    ClearHoverAfterMenus(m_systemButton);
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
    m_quickButtons.append(button);
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
    ClearHoverAfterMenus(button);
    m_tabRowRight->addWidget(button);
    if (!keyTip.isEmpty())
        m_tabTips.append({ keyTip, button });
    return button;
}

QToolButton *RibbonBar::addTabRowAction(QAction *action, const QString &keyTip)
{
    QToolButton *button = commandButton(
        this, action, QStringLiteral("RibbonTabRowButton"), Qt::ToolButtonIconOnly, kSmallIcon);
    m_tabRowRight->addWidget(button);
    if (!keyTip.isEmpty())
        m_tabTips.append({ keyTip, button });
    return button;
}

void RibbonBar::beginGroup(
    const QString &caption, const QIcon &icon, const QString &foldTip, int captionsStep, int foldStep)
{
    Group g;
    g.caption = caption;
    g.captionsStep = captionsStep;
    g.foldStep = foldStep;
    g.slot = new QWidget(this);
    g.slot->setObjectName(QStringLiteral("RibbonGroupSlot"));
    auto *slotBox = new QHBoxLayout(g.slot);
    slotBox->setContentsMargins(0, 0, 0, 0);
    slotBox->setSpacing(0);

    m_group = new QWidget(g.slot);
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
    slotBox->addWidget(m_group);
    g.body = m_group;

    // The folded form: one button the whole group's height, styled as the large buttons.
    g.button = new QToolButton(g.slot);
    g.button->setObjectName(QStringLiteral("RibbonLargeButton"));
    g.button->setText(caption + QStringLiteral(" \u25BE"));
    g.button->setAccessibleName(caption);
    g.button->setToolTip(caption);
    g.button->setIcon(icon);
    g.button->setIconSize(QSize(kLargeIcon, kLargeIcon));
    g.button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    g.button->setAutoRaise(true);
    g.button->setFocusPolicy(Qt::NoFocus);
    g.button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    g.button->setMinimumWidth(48);
    g.button->hide();
    slotBox->addWidget(g.button);
    auto *popup = new GroupPopup(g.slot, g.button);
    g.popup = popup;
    const int index = groupCount();
    connect(g.button, &QToolButton::clicked, this, [this, index] { openGroup(index); });
    if (!foldTip.isEmpty())
        m_controlTips.append({ foldTip, g.button });

    m_column = 0;
    m_row = 0;
    m_groupList.append(g);
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
    m_groupList.back().commands.append(action);
    addGroupControl(button, keyTip);
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
    m_groupList.back().smallButtons.append(button);
    m_groupList.back().commands.append(action);
    addGroupControl(button, keyTip);
    return button;
}

QWidget *RibbonBar::addSmallWidget(
    QWidget *widget, const QString &caption, const QString &keyTip, bool startsGroup, QAction *command)
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
    if (command)
        m_groupList.back().commands.append(command);
    addGroupControl(widget, keyTip);
    return widget;
}

void RibbonBar::addGroupControl(QWidget *control, const QString &keyTip)
{
    Group &g = m_groupList.back();
    if (!keyTip.isEmpty()) {
        m_controlTips.append({ keyTip, control });
        g.tips.append({ keyTip, control });
    }
    // A command given from a folded group's popup closes the popup, as a menu closes.
    if (auto *button = qobject_cast<QToolButton *>(control)) {
        QWidget *popup = g.popup;
        connect(button, &QToolButton::triggered, popup, [popup] {
            if (popup->isVisible())
                popup->close();
        });
    }
}

void RibbonBar::endGroup()
{
    m_groupGrid->setColumnStretch(m_column + 1, 1);
    // Groups are laid out left to right; the stretch stays last.
    m_groups->insertWidget(m_groups->count() - 1, m_groupList.back().slot);
    QFrame *line = verticalLine(this);
    m_groups->insertWidget(m_groups->count() - 1, line);
    m_separators.append(line);
    m_group = nullptr;
    m_groupGrid = nullptr;
    requestRefit();
}
