#pragma once

#include <QDateEdit>

// A date box that is one field of its dialog: Tab and Shift+Tab leave it for the next or
// previous field, as in every other box, instead of walking its year, month and day; Left
// and Right move between those parts, and Up and Down (or typing) change the part chosen.
class DateFieldEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit DateFieldEdit(QDate date, QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
};
