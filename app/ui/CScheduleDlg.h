#pragma once

#include "app/core/ScheduledTask.h"
#include "app/core/TaskStore.h"
#include "view/widgets/Prompts.h"

#include <QDialog>
#include <QList>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;
struct AppSettings;

// The schedule dialog for one list file: the weekly unattended run of that list, kept in the
// user's crontab. The name box lists the tasks already registered; picking one loads it.
// OK registers (Shift+OK deletes the named task) after checking the input; TaskWeek and
// AutoFolder take the dialog's values before the registration. The list to run is chosen
// and the dialog's messages are shown through `prompts`.
class CScheduleDlg : public QDialog {
    Q_OBJECT
public:
    CScheduleDlg(const QString &listPath, AppSettings &settings, const TaskStore &store,
        QWidget *parent = nullptr, Prompts &prompts = DesktopPrompts());

    QComboBox *nameBox() const { return m_name; }
    QLineEdit *folderEdit() const { return m_folder; }
    QLineEdit *listEdit() const { return m_list; }
    QTimeEdit *timeEdit() const { return m_time; }
    QCheckBox *dayBox(int day) const { return m_days[static_cast<size_t>(day)]; } // 0 Sunday
    QCheckBox *autoBox() const { return m_auto; }
    QPushButton *folderButton() const { return m_folderButton; }
    QPushButton *listButton() const { return m_listButton; }
    QPushButton *crontabButton() const { return m_crontabButton; }
    QPushButton *okButton() const { return m_ok; }
    const QList<ScheduledTask> &existingTasks() const { return m_tasks; }

    // The program the registered command starts (tests point it elsewhere).
    void setProgramPath(const QString &path) { m_programPath = path; }
    // OK with or without Shift held.
    void registerOrDelete(bool deleting);
    void accept() override;

    quint16 dayBits() const;

private:
    void loadTask(const ScheduledTask &task);
    void onNameEdited(const QString &text);
    void onTaskPicked(int index);
    void enableFolder();
    void chooseFolder(); // 1125
    void chooseList(); // 1126
    void showCrontab(); // 1114
    bool japaneseDays() const;

    AppSettings &m_settings;
    const TaskStore &m_store;
    Prompts &m_prompts;
    QString m_docPath;
    QString m_programPath;
    QList<ScheduledTask> m_tasks;
    QComboBox *m_name;
    QLineEdit *m_folder;
    QLineEdit *m_list;
    QTimeEdit *m_time;
    std::array<QCheckBox *, 7> m_days {};
    QCheckBox *m_auto;
    QPushButton *m_folderButton;
    QPushButton *m_listButton;
    QPushButton *m_crontabButton;
    QPushButton *m_ok;
};

// Command 5013 for the document's list file: message 2216 when the list has no file yet,
// else the dialog, both through `prompts`.
void RunScheduleCommand(
    const QString &listPath, AppSettings &settings, QWidget *parent, Prompts &prompts = DesktopPrompts());
