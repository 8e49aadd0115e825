#include "app/ui/RibbonBar.h"

#include "app/ui/RibbonParts.h"

#include <QBoxLayout>
#include <QScreen>

#include <algorithm>

// The ribbon making room on a narrow window: captions dropped and groups folded, step by
// step in the order of the group table, and the folded groups' popups.

using namespace ribbon;

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
