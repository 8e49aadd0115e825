#include "app/ui/CScheduleDlg.h"

#include "app/core/AppSettings.h"
#include "app/core/CronTable.h"
#include "app/core/FileDialogFilters.h"
#include "app/core/TaskInput.h"
#include "app/ui/ControlIds.h"
#include "app/ui/PromptTexts.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "corelib/widgets/SelectFolderDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextBlock>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameLimit = 48;
// Paths as long as the system allows: a shorter limit would cut a deep path into another one.
constexpr int kPathLimit = 4096;

// The crontab as text, read-only, the lines of the program's tasks highlighted and orphaned
// markers greyed.
void showCrontabText(const TaskStore &store, QWidget *parent)
{
    const tessera::Result<CronTable> table = store.read();
    QDialog dlg(parent);
    dlg.setObjectName(u"CrontabView"_s);
    dlg.setWindowTitle(u"crontab"_s);
    auto *text = new QPlainTextEdit(&dlg);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setPlainText(table ? QString::fromUtf8(table->text()) : table.error().message);
    QList<QTextEdit::ExtraSelection> marks;
    if (table) {
        const QList<bool> taskLines = table->taskLines();
        qsizetype line = 0;
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next(), ++line) {
            const bool task = taskLines.value(line);
            if (!task && !CronTable::markerName(block.text().toUtf8()))
                continue;
            QTextEdit::ExtraSelection mark;
            mark.format.setBackground(task ? QColor(0xFF, 0xF2, 0xCC) : QColor(0xE6, 0xE6, 0xE6));
            mark.format.setForeground(task ? QColor(Qt::black) : QColor(0x60, 0x60, 0x60));
            mark.format.setProperty(QTextFormat::FullWidthSelection, true);
            mark.cursor = QTextCursor(block);
            marks << mark;
        }
    }
    text->setExtraSelections(marks);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto *top = new QVBoxLayout(&dlg);
    top->addWidget(text);
    top->addWidget(buttons);
    dlg.resize(dlg.fontMetrics().averageCharWidth() * 90, dlg.fontMetrics().lineSpacing() * 20);
    dlg.exec();
}

QPushButton *browseButton(QWidget *parent, const QString &name, int tipId)
{
    auto *b = new QPushButton(u"..."_s, parent);
    b->setObjectName(name);
    b->setToolTip(tessera::ResourceString(tipId));
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(u"..."_s) + b->fontMetrics().averageCharWidth() * 4);
    return b;
}

} // namespace

CScheduleDlg::CScheduleDlg(
    const QString &listPath, AppSettings &settings, const TaskStore &store, QWidget *parent, Prompts &prompts)
    : QDialog(parent)
    , m_settings(settings)
    , m_store(store)
    , m_prompts(prompts)
    , m_docPath(listPath)
    , m_programPath(ScheduledProgramPath())
{
    setObjectName(u"CScheduleDlg"_s);
    setWindowTitle(tessera::ResourceString(Ids::CaptionScheduleDialog));

    m_name = new QComboBox(this);
    m_name->setObjectName(u"Name1113"_s);
    SetControlId(m_name, 1113);
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->lineEdit()->setMaxLength(kNameLimit);
    m_list = new QLineEdit(this);
    m_list->setObjectName(u"List"_s);
    m_list->setMaxLength(kPathLimit);
    m_listButton = browseButton(this, u"List1126"_s, Ids::TipChooseList);
    SetControlId(m_listButton, 1126);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(u"Folder1123"_s);
    SetControlId(m_folder, 1123);
    m_folder->setMaxLength(kPathLimit);
    m_folder->setToolTip(tessera::ResourceString(Ids::TipOutputFolder));
    m_folderButton = browseButton(this, u"Folder1125"_s, Ids::TipChooseOutputFolder);
    SetControlId(m_folderButton, 1125);
    m_time = new QTimeEdit(QTime::currentTime(), this);
    m_time->setObjectName(u"Time"_s);
    m_time->setDisplayFormat(u"HH:mm"_s);
    m_time->setMaximumWidth(m_time->fontMetrics().averageCharWidth() * 12);
    m_auto = new QCheckBox(tessera::ResourceString(Ids::CaptionTaskAuto), this);
    m_auto->setObjectName(u"Auto1112"_s);
    SetControlId(m_auto, 1112);
    m_crontabButton = new QPushButton(tessera::ResourceString(Ids::CaptionShowCrontab), this);
    m_crontabButton->setObjectName(u"Crontab1114"_s);
    SetControlId(m_crontabButton, 1114);
    m_crontabButton->setToolTip(tessera::ResourceString(Ids::TipOpenTaskScheduler));
    m_crontabButton->setAutoDefault(false);

    auto *dayRow = new QHBoxLayout;
    // Control ids: 1111 Sunday, 1105-1110 Monday to Saturday.
    for (int day = 0; day < 7; ++day) {
        auto *box = new QCheckBox(DayName(day, japaneseDays()), this);
        box->setObjectName(u"Day%1"_s.arg(day == 0 ? 1111 : 1104 + day));
        SetControlId(box, day == 0 ? 1111 : 1104 + day);
        m_days[static_cast<size_t>(day)] = box;
        dayRow->addWidget(box);
    }
    dayRow->addStretch();

    const auto withButton = [](QWidget *field, QPushButton *button) {
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(button);
        return row;
    };
    auto *form = new QFormLayout;
    const auto label = [this](int id, QWidget *buddy) {
        auto *l = new QLabel(tessera::ResourceString(id), this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(Ids::CaptionTaskName, m_name), m_name);
    form->addRow(label(Ids::CaptionTaskList, m_list), withButton(m_list, m_listButton));
    form->addRow(label(Ids::CaptionTaskTime, m_time), m_time);
    form->addRow(label(Ids::CaptionTaskDays, m_days[1]), dayRow);
    form->addRow(QString(), m_auto);
    form->addRow(label(Ids::CaptionTaskFolder, m_folder), withButton(m_folder, m_folderButton));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->addButton(m_crontabButton, QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleDlg::reject);
    connect(m_auto, &QCheckBox::toggled, this, &CScheduleDlg::enableFolder);
    connect(m_folderButton, &QPushButton::clicked, this, &CScheduleDlg::chooseFolder);
    connect(m_listButton, &QPushButton::clicked, this, &CScheduleDlg::chooseList);
    connect(m_crontabButton, &QPushButton::clicked, this, &CScheduleDlg::showCrontab);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 64);

    // The values the dialog starts with: the list's name, its file, now, TaskWeek, AutoFolder.
    const QString defaultName = QFileInfo(listPath).completeBaseName();
    m_list->setText(listPath);
    for (int day = 0; day < 7; ++day)
        m_days[static_cast<size_t>(day)]->setChecked(settings.taskWeek & (1u << day));
    m_auto->setChecked(settings.taskWeek & kTaskWeekAuto);
    m_folder->setText(settings.autoFolder);

    m_tasks = store.tasks();
    for (const ScheduledTask &task : m_tasks)
        m_name->addItem(task.name);
    m_name->setCurrentIndex(-1);
    m_name->setEditText(defaultName);
    for (qsizetype i = 0; i < m_tasks.size(); ++i) {
        if (m_tasks[i].name == defaultName) {
            m_name->setCurrentIndex(static_cast<int>(i));
            loadTask(m_tasks[i]);
        }
    }
    connect(m_name, &QComboBox::activated, this, &CScheduleDlg::onTaskPicked);
    connect(m_name, &QComboBox::editTextChanged, this, &CScheduleDlg::onNameEdited);
    m_ok->setEnabled(!m_name->currentText().isEmpty());
    enableFolder();
    m_name->setFocus();
    m_name->lineEdit()->selectAll();
}

bool CScheduleDlg::japaneseDays() const
{
    return m_settings.currentLanguage == 1041;
}

quint16 CScheduleDlg::dayBits() const
{
    quint16 bits = 0;
    for (int day = 0; day < 7; ++day) {
        if (m_days[static_cast<size_t>(day)]->isChecked())
            bits |= static_cast<quint16>(1u << day);
    }
    return bits;
}

void CScheduleDlg::loadTask(const ScheduledTask &task)
{
    {
        const QSignalBlocker block(m_name);
        m_name->setEditText(task.name);
    }
    m_folder->setText(task.folder);
    m_list->setText(task.listFile);
    m_time->setTime(QTime(task.hour, task.minute));
    for (int day = 0; day < 7; ++day)
        m_days[static_cast<size_t>(day)]->setChecked(task.days & (1u << day));
    m_auto->setChecked(task.autoRun);
    enableFolder();
}

void CScheduleDlg::onTaskPicked(int index)
{
    if (index >= 0 && index < m_tasks.size())
        loadTask(m_tasks[index]);
    m_ok->setEnabled(!m_name->currentText().isEmpty());
}

void CScheduleDlg::onNameEdited(const QString &text)
{
    // A typed name is no registered task (yet): the list file goes back to the open list.
    const int match = m_name->findText(text, Qt::MatchExactly);
    if (match < 0)
        m_list->setText(m_docPath);
    m_ok->setEnabled(!text.isEmpty());
}

void CScheduleDlg::enableFolder()
{
    m_folder->setEnabled(m_auto->isChecked());
    m_folderButton->setEnabled(m_auto->isChecked());
}

void CScheduleDlg::chooseFolder()
{
    QString path = m_folder->text();
    if (tessera::SelectFolderDlg(path, tessera::ResourceString(Ids::CaptionChooseOutputFolder), this) == 1)
        m_folder->setText(path);
}

void CScheduleDlg::chooseList()
{
    FileQuestion question;
    question.caption = tessera::ResourceString(Ids::CaptionChooseList);
    question.folder = QFileInfo(m_docPath).absolutePath();
    question.filters = QtNameFilters(FileDialogFilter(FileDialogKind::OpenSeveral));
    const QString path = m_prompts.openFile(this, question);
    if (!path.isEmpty())
        m_list->setText(path);
}

void CScheduleDlg::showCrontab()
{
    showCrontabText(m_store, this);
}

void CScheduleDlg::accept()
{
    registerOrDelete(m_prompts.shiftHeld());
}

void CScheduleDlg::registerOrDelete(bool deleting)
{
    TaskInput input;
    input.name = m_name->currentText();
    input.days = dayBits();
    input.hour = m_time->time().hour();
    input.minute = m_time->time().minute();
    input.autoRun = m_auto->isChecked();
    input.folder = m_folder->text();
    input.listFile = m_list->text();

    if (TrimmedTaskName(input.name).isEmpty()) {
        TellNumbered(m_prompts, Ids::MsgTaskNameMissing);
        m_name->setFocus();
        return;
    }
    if (deleting) {
        const std::unique_ptr<QSettings> settingsStore = AppSettings::OpenStore();
        TaskAddressBook book(*settingsStore);
        const tessera::Status deleted = DeleteTask(m_store, book, input.name);
        if (!deleted) {
            m_prompts.message(
                TaskFailureText(Ids::MsgTaskDeleteFailed, deleted.error().message), tessera::MbIconError);
            return;
        }
        TellNumbered(m_prompts, Ids::MsgTaskDeleted, { TaskPath(input.name) }, tessera::MbIconInformation);
        QDialog::reject();
        return;
    }
    if (const int problem = CheckTaskInput(input)) {
        TellNumbered(m_prompts, problem);
        if (problem == Ids::MsgOutputFolderMissing)
            m_folder->setFocus();
        else if (problem == Ids::MsgListFileMissing)
            m_list->setFocus();
        return;
    }
    const ScheduledTask task = TaskOfInput(input, m_programPath);
    m_settings.taskWeek = TaskWeekOf(input.days, input.autoRun);
    m_settings.autoFolder = FolderWithoutTrailingSeparators(m_folder->text());
    const std::unique_ptr<QSettings> settingsStore = AppSettings::OpenStore();
    TaskAddressBook book(*settingsStore);
    const tessera::Status registered = RegisterTask(m_store, book, task);
    if (registered)
        m_prompts.message(TaskRegisteredText(task, japaneseDays()), tessera::MbIconInformation);
    else
        m_prompts.message(
            TaskFailureText(Ids::MsgTaskRegisterFailed, registered.error().message), tessera::MbIconError);
    QDialog::accept();
}

void RunScheduleCommand(const QString &listPath, AppSettings &settings, QWidget *parent, Prompts &prompts)
{
    if (listPath.isEmpty()) {
        TellNumbered(prompts, Ids::MsgSaveListBeforeTask);
        return;
    }
    const TaskStore store;
    CScheduleDlg dlg(listPath, settings, store, parent, prompts);
    prompts.exec(dlg);
}
