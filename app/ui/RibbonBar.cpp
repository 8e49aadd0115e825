#include "app/ui/RibbonBar.h"

#include "app/ui/PopupHover.h"

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
#include <functional>

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
    ClearHoverAfterMenus(button);
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

// The width a layout gives `widget`: its size hint within its minimum and maximum sizes,
// asked even while the widget is hidden (a folded group's button, a popup's contents).
int hintWidth(const QWidget *widget)
{
    return widget->sizeHint()
        .expandedTo(widget->minimumSizeHint())
        .boundedTo(widget->maximumSize())
        .expandedTo(widget->minimumSize())
        .width();
}

// A nested layout keeps the hints it computed until it is activated again; measuring a
// group right after its buttons changed asks every level afresh.
void invalidateLayouts(QLayout *layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout *inner = layout->itemAt(i)->layout())
            invalidateLayouts(inner);
    }
    layout->invalidate();
}

int freshWidth(QWidget *widget)
{
    if (widget->layout())
        invalidateLayouts(widget->layout());
    return hintWidth(widget);
}

int freshHeight(QWidget *widget)
{
    if (widget->layout())
        invalidateLayouts(widget->layout());
    return widget->sizeHint().expandedTo(widget->minimumSizeHint()).height();
}

// The popup of a folded group. Enter that a box of the group passes on (it committed its
// value) closes it, as Escape does; a click on the group's own button closes it without
// opening it again at once.
class GroupPopup : public QFrame {
public:
    GroupPopup(QWidget *parent, QToolButton *opener)
        : QFrame(parent, Qt::Popup)
        , m_opener(opener)
    {
        setObjectName(QStringLiteral("RibbonGroupPopup"));
        setFrameShape(QFrame::StyledPanel);
        auto *box = new QVBoxLayout(this);
        box->setContentsMargins(3, 3, 3, 2);
        box->setSpacing(0);
        box->setSizeConstraint(QLayout::SetFixedSize);
    }

    std::function<void()> hidden;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            close();
            return;
        }
        QFrame::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const QRect opener(m_opener->mapToGlobal(QPoint(0, 0)), m_opener->size());
        setAttribute(Qt::WA_NoMouseReplay, opener.contains(event->globalPosition().toPoint()));
        QFrame::mousePressEvent(event);
    }
    void hideEvent(QHideEvent *event) override
    {
        QFrame::hideEvent(event);
        ClearStaleHover(m_opener);
        if (hidden)
            hidden();
    }

private:
    QToolButton *m_opener;
};

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

void RibbonBar::setCompact(Group &group, bool compact)
{
    group.compact = compact;
    const Qt::ToolButtonStyle style = compact ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon;
    for (QToolButton *b : std::as_const(group.smallButtons)) {
        if (!b->icon().isNull() && b->toolButtonStyle() != style)
            b->setToolButtonStyle(style);
    }
}

void RibbonBar::setFolded(Group &group, bool folded)
{
    if (group.folded == folded)
        return;
    group.folded = folded;
    if (folded) {
        // The popup shows the group as it is on a wide window, captions and all.
        group.popup->layout()->addWidget(group.body);
        setCompact(group, false);
        group.body->show();
        group.button->show();
    } else {
        group.popup->hide();
        static_cast<QBoxLayout *>(group.slot->layout())->insertWidget(0, group.body);
        group.body->show();
        group.button->hide();
    }
    refreshHints(group);
}

void RibbonBar::refreshHints(Group &group)
{
    // A layout learns of its widgets' new hints only when it is next activated; the panel
    // asks the group's size at once, so every level is told now.
    for (QWidget *w : { group.body, group.slot }) {
        invalidateLayouts(w->layout());
        w->updateGeometry();
    }
}

void RibbonBar::measureGroups()
{
    int tallest = 0;
    for (Group &g : m_groupList) {
        const bool compact = g.compact;
        setCompact(g, false);
        g.fullWidth = freshWidth(g.body);
        tallest = std::max(tallest, freshHeight(g.body));
        setCompact(g, true);
        g.compactWidth = freshWidth(g.body);
        setCompact(g, compact);
        g.foldedWidth = hintWidth(g.button);
    }
    // A folded group keeps the panel's height: its button fills the group's place.
    for (Group &g : m_groupList)
        g.slot->setMinimumHeight(tallest);
    m_measured = true;
}

void RibbonBar::fitGroups()
{
    if (m_groupList.isEmpty())
        return;
    if (!m_measured) {
        measureGroups();
        m_fittedWidth = -1;
    }
    if (width() == m_fittedWidth)
        return;
    m_fittedWidth = width();

    const QMargins margins = m_groups->contentsMargins();
    int fixed = margins.left() + margins.right();
    for (const QWidget *line : std::as_const(m_separators))
        fixed += hintWidth(line);

    const int count = groupCount();
    // The steps in their order; of two with the same place the right group's first.
    struct Step {
        int order;
        int group;
        bool fold;
    };
    QList<Step> steps;
    for (int g = 0; g < count; ++g) {
        const Group &grp = m_groupList[g];
        if (grp.captionsStep > 0)
            steps.append({ grp.captionsStep, g, false });
        if (grp.foldStep > 0)
            steps.append({ grp.foldStep, g, true });
    }
    std::stable_sort(steps.begin(), steps.end(), [](const Step &a, const Step &b) {
        return a.order != b.order ? a.order < b.order : a.group > b.group;
    });

    // As few steps as make the groups fit; all of them when nothing does.
    QList<bool> folded(count, false);
    QList<bool> compact(count, false);
    for (qsizetype taken = 0;; ++taken) {
        int needed = fixed;
        for (int g = 0; g < count; ++g) {
            const Group &grp = m_groupList[g];
            needed += folded[g] ? grp.foldedWidth : compact[g] ? grp.compactWidth : grp.fullWidth;
        }
        if (needed <= width() || taken == steps.size())
            break;
        const Step &step = steps[taken];
        (step.fold ? folded : compact)[step.group] = true;
    }
    for (int g = 0; g < count; ++g) {
        Group &grp = m_groupList[g];
        setFolded(grp, folded[g]);
        if (!grp.folded && grp.compact != compact[g]) {
            setCompact(grp, compact[g]);
            refreshHints(grp);
        }
    }
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

int RibbonBar::groupOfFoldedButton(const QWidget *widget) const
{
    for (int g = 0; g < groupCount(); ++g) {
        if (widget && m_groupList[g].button == widget)
            return g;
    }
    return -1;
}

int RibbonBar::groupOfPopup(const QWidget *widget) const
{
    for (int g = 0; g < groupCount(); ++g) {
        if (widget && m_groupList[g].popup == widget)
            return g;
    }
    return -1;
}

void RibbonBar::openGroup(int group)
{
    Group &g = m_groupList[group];
    if (!g.folded)
        return;
    QWidget *popup = g.popup;
    popup->adjustSize();
    // Below the button, inside the screen; above it when there is no room below.
    QPoint pos = g.button->mapToGlobal(QPoint(0, g.button->height()));
    if (const QScreen *screen = g.button->screen()) {
        const QRect area = screen->availableGeometry();
        pos.setX(std::max(area.left(), std::min(pos.x(), area.right() + 1 - popup->width())));
        if (pos.y() + popup->height() > area.bottom() + 1)
            pos.setY(std::max(area.top(), g.button->mapToGlobal(QPoint(0, 0)).y() - popup->height()));
    }
    popup->move(pos);
    popup->show();
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

QToolButton *RibbonBar::addTabRowAction(QAction *action)
{
    QToolButton *button = commandButton(
        this, action, QStringLiteral("RibbonTabRowButton"), Qt::ToolButtonIconOnly, kSmallIcon);
    m_tabRowRight->addWidget(button);
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
