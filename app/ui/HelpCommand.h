#pragma once

#include "view/widgets/Prompts.h"

#include <QObject>
#include <QString>

class QWidget;

// Help (F1): the help page "quotra.html" shipped with the program, shown in the desktop's
// browser, at the topic of the control that has the focus when there is one.
class HelpCommand : public QObject {
    Q_OBJECT
public:
    // The missing-file message and the page go through `prompts`.
    explicit HelpCommand(QObject *parent = nullptr, Prompts &prompts = DesktopPrompts());

    // The page beside the program or in the installed data folder; when neither exists, the
    // program's own path with ".html", which the missing-file message then names.
    static QString DefaultHelpPath();
    // The topic of a control: "c<id>" for the control id given to it (or to the nearest of
    // its parents with one) by SetControlId: the code box's 32776 gives "c32776". Control id
    // 9 and controls without an id have no topic of their own.
    static QString TopicOf(const QWidget *control);

    QString helpPath() const { return m_path; }
    void setHelpPath(const QString &path) { m_path = path; }
    // Tests that reach the window's help answer in the desktop's place.
    void setPrompts(Prompts &prompts) { m_prompts = &prompts; }

    // Shows `topic` (empty: the page's start). A missing file shows message 2200 with its
    // path and returns false.
    bool show(const QString &topic = {});
    // F1: the topic of the focused control.
    bool showForFocus();

private:
    QString m_path;
    Prompts *m_prompts;
};
