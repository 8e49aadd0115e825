#pragma once

#include <QObject>

class CQuotraDoc;
class CQuotraView;
class PeriodSpinBox;
class Prompts;
class QLineEdit;
class StatusBarPanes;
class UpdateScheduler;
struct AppSettings;

// The ribbon's two boxes at work. The code box (32776) keeps what CodeBoxText keeps of the
// typed text; Enter adds the code to the list, selects its row and empties the box, or says
// why the code was not added. The period box (32773) takes a period in minutes: one out of
// range is refused with a warning and the box shows the period in force; a new one is the
// settings' update period, starts the period again and is said on the status bar.
class FrameBoxes : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QLineEdit &codeBox;
        PeriodSpinBox &periodBox;
        CQuotraDoc &document;
        CQuotraView &view;
        AppSettings &settings;
        UpdateScheduler &scheduler;
        StatusBarPanes &panes;
        Prompts &prompts;
    };
    explicit FrameBoxes(const Parts &parts, QObject *parent = nullptr);

    void codeEdited(const QString &text);
    void codeCommitted();
    void periodCommitted();

private:
    Parts m_parts;
};
