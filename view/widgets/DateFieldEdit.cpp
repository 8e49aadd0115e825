#include "view/widgets/DateFieldEdit.h"

#include <QKeyEvent>

DateFieldEdit::DateFieldEdit(QDate date, QWidget *parent)
    : QDateEdit(date, parent)
{ }

bool DateFieldEdit::focusNextPrevChild(bool next)
{
    // The date box's own version steps through its sections first; a field of a form
    // hands the focus on at once.
    return QWidget::focusNextPrevChild(next); // NOLINT(bugprone-parent-virtual-call): on purpose
}

void DateFieldEdit::keyPressEvent(QKeyEvent *event)
{
    const bool left = event->key() == Qt::Key_Left;
    if ((left || event->key() == Qt::Key_Right) && !(event->modifiers() & ~Qt::KeypadModifier)) {
        const int section = currentSectionIndex() + (left ? -1 : 1);
        if (section >= 0 && section < sectionCount()) {
            setCurrentSectionIndex(section);
            setSelectedSection(sectionAt(section));
        }
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}
