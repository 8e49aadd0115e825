#include "app/core/CronTable.h"
#include "app/core/ScheduledTask.h"
#include "app/core/TaskAddresses.h"
#include "app/core/TaskInput.h"
#include "app/core/TaskStore.h"
#include "app/core/UnattendedRun.h"
#include "corelib/StringIds.h"

#include "tests/support/FakeCrontab.h"
#include "tests/support/QtTestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

const QString kProgram = u"/usr/local/bin/quotra"_s;
const QString kFlatpak = u"/app/bin/quotra"_s;

ScheduledTask taskA(const QString &program, bool autoRun = true, const QString &folder = u"/out"_s)
{
    // Monday and Friday at 18:30.
    return MakeScheduledTask(u"a"_s, 34, 18, 30, autoRun, folder, u"/lists/a.kabu"_s, program);
}

// ---- Command words

TEST(TaskCommand, OrdinaryEditionWithAutoAndFolder)
{
    const ScheduledTask task = taskA(kProgram);
    EXPECT_EQ(task.path(), u"Quotra\\a"_s);
    EXPECT_EQ(task.days, 34);
    EXPECT_EQ(task.command, (QStringList { kProgram, u"/Auto"_s, u"/Folder/out"_s, u"/lists/a.kabu"_s }));
    EXPECT_EQ(CronTable::jobLine(task),
        "30 18 * * 1,5 '/usr/local/bin/quotra' '/Auto' '/Folder/out' '/lists/a.kabu'");
}

TEST(TaskCommand, PackagedEditionStartsTheProtocol)
{
    for (const QString &program : { kFlatpak, u"/snap/quotra/12/bin/quotra"_s }) {
        const ScheduledTask task = taskA(program);
        EXPECT_EQ(
            task.command, (QStringList { u"xdg-open"_s, u"quotra.kabu:/Auto*/Folder/out*/lists/a.kabu"_s }))
            << program.toStdString();
    }
    EXPECT_FALSE(IsSandboxedProgram(u"/usr/bin/quotra"_s));
    EXPECT_FALSE(IsSandboxedProgram(u"/home/u/apps/quotra"_s));
}

TEST(TaskCommand, ARegisteredAddressCarriesARandomTokenFirst)
{
    const QString token = u"0123456789abcdef0123456789abcdef"_s;
    EXPECT_EQ(
        MakeScheduledTask(u"a"_s, 34, 18, 30, true, u"/out"_s, u"/lists/a.kabu"_s, kFlatpak, token).command,
        (QStringList {
            u"xdg-open"_s, u"quotra.kabu:/Token"_s + token + u"*/Auto*/Folder/out*/lists/a.kabu"_s }));
    // The program's own command line needs none.
    EXPECT_EQ(MakeScheduledTask(u"a"_s, 34, 18, 30, true, {}, u"/l.kabu"_s, kProgram, token).command,
        (QStringList { kProgram, u"/Auto"_s, u"/l.kabu"_s }));

    const TaskInput input { u"a"_s, 34, 18, 30, true, {}, u"/lists/a.kabu"_s };
    const QString first = ProtocolAddressOf(TaskOfInput(input, kFlatpak).command);
    const QString second = ProtocolAddressOf(TaskOfInput(input, kFlatpak).command);
    EXPECT_EQ(TaskTokenOf(first).size(), 32);
    EXPECT_NE(TaskTokenOf(first), TaskTokenOf(second));
    // The parse of the address still finds the run it asks for; the token piece is no option.
    bool autoRun = false;
    QString folder;
    QString list;
    ReadTaskCommand({ u"xdg-open"_s, first }, autoRun, folder, list);
    EXPECT_TRUE(autoRun);
    EXPECT_EQ(list, u"/lists/a.kabu"_s);
    EXPECT_EQ(WithTaskToken(u"quotra.kabu:/Tokenold*/Auto*/l.kabu"_s, token),
        u"quotra.kabu:/Token"_s + token + u"*/Auto*/l.kabu"_s);
}

TEST(TaskCommand, AutoOffAndNoFolderLeaveOnlyTheList)
{
    EXPECT_EQ(taskA(kProgram, false, {}).command, (QStringList { kProgram, u"/lists/a.kabu"_s }));
    EXPECT_EQ(
        taskA(kFlatpak, false, {}).command, (QStringList { u"xdg-open"_s, u"quotra.kabu:/lists/a.kabu"_s }));
}

TEST(TaskCommand, TrailingSeparatorsLeaveTheFolder)
{
    EXPECT_EQ(taskA(kProgram, true, u"/out//"_s).command.at(2), u"/Folder/out"_s);
    EXPECT_EQ(taskA(kProgram, true, u"D:\\out\\"_s).command.at(2), u"/FolderD:\\out"_s);
    EXPECT_EQ(FolderWithoutTrailingSeparators(u"/"_s), u"/"_s);
}

TEST(TaskCommand, TrailingBlanksLeaveTheName)
{
    EXPECT_EQ(TaskPath(u"weekly  "_s), u"Quotra\\weekly"_s);
}

TEST(TaskCommand, DayTexts)
{
    EXPECT_EQ(DayText(34, false), u"MON,FRI"_s);
    EXPECT_EQ(DayText(34, true), u"月,金"_s);
    EXPECT_EQ(DayText(0x7F, false), u"SUN,MON,TUE,WED,THU,FRI,SAT"_s);
    EXPECT_EQ(DayText(0, false), QString());
}

TEST(TaskCommand, OptionsReadBackInAnyCase)
{
    bool autoRun = false;
    QString folder;
    QString list;
    ReadTaskCommand({ kProgram, u"/AUTO"_s, u"/FOLDER/out"_s, u"/lists/a.kabu"_s }, autoRun, folder, list);
    EXPECT_TRUE(autoRun);
    EXPECT_EQ(folder, u"/out"_s);
    EXPECT_EQ(list, u"/lists/a.kabu"_s);
    // The folder as a word of its own, the quoted protocol pieces of a hand-written task.
    ReadTaskCommand({ kProgram, u"/folder"_s, u"/o u t"_s, u"/lists/l.kabu"_s }, autoRun, folder, list);
    EXPECT_FALSE(autoRun);
    EXPECT_EQ(folder, u"/o u t"_s);
    EXPECT_EQ(list, u"/lists/l.kabu"_s);
    ReadTaskCommand(
        { u"xdg-open"_s, u"quotra.kabu:/auto*/Folder\"/out\"*\"/lists/a.kabu\""_s }, autoRun, folder, list);
    EXPECT_TRUE(autoRun);
    EXPECT_EQ(folder, u"/out"_s);
    EXPECT_EQ(list, u"/lists/a.kabu"_s);
    // A list path that merely contains "auto" is no option.
    ReadTaskCommand({ kProgram, u"/home/u/autosave/a.kabu"_s }, autoRun, folder, list);
    EXPECT_FALSE(autoRun);
    EXPECT_EQ(list, u"/home/u/autosave/a.kabu"_s);
}

// ---- Quoting for cron's shell

// Runs the quoted word as cron would: its "%" handling, then /bin/sh printing the word.
QString throughCronShell(const QString &word)
{
    QProcess sh;
    sh.start(u"/bin/sh"_s,
        { u"-c"_s, CronPreparedCommand(u"printf '%s' "_s.replace(u"%"_s, u"\\%"_s) + CronShellQuote(word)) });
    sh.waitForFinished(10000);
    return QString::fromUtf8(sh.readAllStandardOutput());
}

class CronQuoting : public testing::TestWithParam<std::string> { };

TEST_P(CronQuoting, EveryCharacterReachesTheProgram)
{
    const QString word = QString::fromStdString(GetParam());
    EXPECT_EQ(throughCronShell(word), word);
    EXPECT_EQ(SplitCronCommand(CronShellQuote(word)), QStringList { word });
}

INSTANTIATE_TEST_SUITE_P(Dangerous, CronQuoting,
    testing::Values("/home/u/my lists/a.kabu", "it's", "say \"hi\"", "$HOME", "`id`", "$(id)", "back\\slash",
        "100%", "%", "%%", "a\\%b", "50% off\\", "semi;colon & pipe|", "star*glob?", "tab\there", "#hash",
        "日本語 フォルダ", "'", "''", "\\", "~user", "new"),
    [](const testing::TestParamInfo<std::string> &info) { return "case" + std::to_string(info.index); });

TEST(CronQuoting, AWholeLineSplitsBackIntoItsWords)
{
    const QStringList words = { kProgram, u"/Auto"_s, u"/Folder/o'u t%"_s, u"/l $x.kabu"_s };
    EXPECT_EQ(SplitCronCommand(CronCommandLine(words)), words);
    // Cron's stdin part after an unescaped "%" is no part of the command.
    EXPECT_EQ(SplitCronCommand(u"echo a%b"_s), (QStringList { u"echo"_s, u"a"_s }));
    EXPECT_EQ(SplitCronCommand(u"echo \"a\\\"b\" c\\ d"_s), (QStringList { u"echo"_s, u"a\"b"_s, u"c d"_s }));
}

// ---- The crontab table

TEST(CronTableText, OtherLinesStayByteForByte)
{
    const QByteArray before
        = "# my jobs\r\nMAILTO=me@example.org\n\n*/5 * * * *  /usr/bin/backup --fast   \n";
    CronTable table(before);
    ASSERT_TRUE(table.setTask(taskA(kProgram)));
    const QByteArray after = table.text();
    EXPECT_TRUE(after.startsWith(before));
    EXPECT_EQ(after.mid(before.size()),
        "# Quotra\\a\n30 18 * * 1,5 '/usr/local/bin/quotra' '/Auto' '/Folder/out' '/lists/a.kabu'\n");
    ASSERT_TRUE(table.removeTask(u"a"_s));
    EXPECT_EQ(table.text(), before);
}

TEST(CronTableText, ALastLineWithoutLineFeedGainsOne)
{
    CronTable table("0 1 * * * echo hi");
    ASSERT_TRUE(table.setTask(taskA(kProgram)));
    EXPECT_TRUE(table.text().startsWith("0 1 * * * echo hi\n# Quotra\\a\n"));
}

TEST(CronTableText, ReplacingTouchesOnlyItsBlock)
{
    CronTable table;
    ASSERT_TRUE(table.setTask(taskA(kProgram)));
    ScheduledTask b = MakeScheduledTask(u"b"_s, 1, 6, 5, false, {}, u"/b.kabu"_s, kProgram);
    ASSERT_TRUE(table.setTask(b));
    const QByteArray withBoth = table.text();
    ScheduledTask a2 = MakeScheduledTask(u"a"_s, 64, 7, 0, false, {}, u"/lists/a.kabu"_s, kProgram);
    ASSERT_TRUE(table.setTask(a2));
    const QList<QByteArray> lines = table.text().split('\n');
    ASSERT_EQ(lines.size(), 5); // two blocks and the final empty piece
    EXPECT_EQ(lines[0], "# Quotra\\a");
    EXPECT_EQ(lines[1], "0 7 * * 6 '/usr/local/bin/quotra' '/lists/a.kabu'");
    EXPECT_EQ(lines[2] + '\n' + lines[3] + '\n', withBoth.mid(withBoth.indexOf("# Quotra\\b")));
    ASSERT_EQ(table.tasks().size(), 2);
    EXPECT_EQ(table.tasks()[0].days, 64);
}

TEST(CronTableText, TasksReadBack)
{
    CronTable table(CronTable(QByteArray()).text());
    ASSERT_TRUE(table.setTask(taskA(kProgram)));
    ASSERT_TRUE(
        table.setTask(MakeScheduledTask(u"p"_s, 34, 18, 30, true, u"/o ut"_s, u"/li/l's.kabu"_s, kFlatpak)));
    const QList<ScheduledTask> tasks = CronTable(table.text()).tasks();
    ASSERT_EQ(tasks.size(), 2);
    EXPECT_EQ(tasks[0].name, u"a"_s);
    EXPECT_EQ(tasks[0].days, 34);
    EXPECT_EQ(tasks[0].hour, 18);
    EXPECT_EQ(tasks[0].minute, 30);
    EXPECT_TRUE(tasks[0].autoRun);
    EXPECT_EQ(tasks[0].folder, u"/out"_s);
    EXPECT_EQ(tasks[0].listFile, u"/lists/a.kabu"_s);
    EXPECT_EQ(tasks[1].folder, u"/o ut"_s);
    EXPECT_EQ(tasks[1].listFile, u"/li/l's.kabu"_s);
}

TEST(CronTableText, HandWrittenLinesReadBack)
{
    const CronTable table("# Quotra\\hand\n"
                          "15 7 * * MON-fri,sun /opt/quotra/quotra /AUTO /FOLDER\"/x y\" \"/lists/h.kabu\"\n"
                          "# Quotra\\sunday\n"
                          "0 0 * * 7 quotra /l.kabu\n"
                          "# Quotra\\orphan\n"
                          "# just a comment\n");
    const QList<ScheduledTask> tasks = table.tasks();
    ASSERT_EQ(tasks.size(), 2);
    EXPECT_EQ(tasks[0].days, 0x3F); // Monday to Friday and Sunday
    EXPECT_EQ(tasks[0].hour, 7);
    EXPECT_EQ(tasks[0].minute, 15);
    EXPECT_TRUE(tasks[0].autoRun);
    EXPECT_EQ(tasks[0].folder, u"/x y"_s);
    EXPECT_EQ(tasks[0].listFile, u"/lists/h.kabu"_s);
    EXPECT_EQ(tasks[1].days, 1);
}

TEST(CronTableText, RefusesWhatCannotBeALine)
{
    CronTable table("x\n");
    EXPECT_FALSE(table.setTask(MakeScheduledTask(u"a\nb"_s, 1, 0, 0, false, {}, u"/l"_s, kProgram)));
    EXPECT_FALSE(
        table.setTask(MakeScheduledTask(u"a"_s, 1, 0, 0, false, {}, u"/l\n* * * * * rm -rf ~"_s, kProgram)));
    EXPECT_FALSE(table.setTask(MakeScheduledTask(u"a"_s, 0, 0, 0, false, {}, u"/l"_s, kProgram)));
    EXPECT_FALSE(table.setTask(MakeScheduledTask(u"  "_s, 1, 0, 0, false, {}, u"/l"_s, kProgram)));
    EXPECT_FALSE(table.setTask(MakeScheduledTask(u"a"_s, 1, 24, 0, false, {}, u"/l"_s, kProgram)));
    EXPECT_EQ(table.text(), "x\n");
    EXPECT_FALSE(table.removeTask(u"a"_s));
}

// A marker whose job line is gone or not the program's, and a comment of the user's that
// looks like one: never a task, never adopted, removed alone only when no task of the name
// is left to remove.
struct OrphanCase {
    const char *name;
    QByteArray before;
    QString marker;
};
void PrintTo(const OrphanCase &c, std::ostream *os)
{
    *os << c.name;
}
class CronTableOrphan : public testing::TestWithParam<OrphanCase> { };

TEST_P(CronTableOrphan, TheUsersLinesStayByteForByte)
{
    const OrphanCase &c = GetParam();
    CronTable table(c.before);
    EXPECT_TRUE(table.tasks().isEmpty());
    EXPECT_EQ(table.orphanedMarkers(), QStringList { c.marker });

    ScheduledTask task = MakeScheduledTask(c.marker, 34, 18, 30, true, {}, u"/lists/a.kabu"_s, kProgram);
    ASSERT_TRUE(table.setTask(task));
    EXPECT_EQ(
        table.text(), c.before + CronTable::markerLine(c.marker) + '\n' + CronTable::jobLine(task) + '\n');
    ASSERT_EQ(table.tasks().size(), 1);
    EXPECT_EQ(table.tasks()[0].listFile, u"/lists/a.kabu"_s);
    task.minute = 45; // a change rewrites the task's own block
    ASSERT_TRUE(table.setTask(task));
    EXPECT_EQ(
        table.text(), c.before + CronTable::markerLine(c.marker) + '\n' + CronTable::jobLine(task) + '\n');

    ASSERT_TRUE(table.removeTask(c.marker));
    EXPECT_EQ(table.text(), c.before);
    // Asked again with no task of the name left, the marker goes alone.
    ASSERT_TRUE(table.removeTask(c.marker));
    QByteArray without = c.before;
    without.replace(QByteArray(CronTable::markerLine(c.marker) + '\n'), QByteArray());
    EXPECT_EQ(table.text(), without);
    EXPECT_FALSE(table.removeTask(c.marker));
}

INSTANTIATE_TEST_SUITE_P(Cases, CronTableOrphan,
    testing::Values(
        OrphanCase { "marker_then_user_job", "# Quotra\\a\n0 3 * * * /usr/bin/backup --all\n", u"a"_s },
        OrphanCase { "marker_at_the_end", "0 3 * * * /usr/bin/backup\n# Quotra\\a\n", u"a"_s },
        OrphanCase { "marker_then_blank_line", "# Quotra\\a\n\n0 3 * * * /usr/bin/backup\n", u"a"_s },
        OrphanCase {
            "marker_then_job_commented_out", "# Quotra\\a\n#30 18 * * 1 quotra /l.kabu\nX=1\n", u"a"_s },
        OrphanCase { "users_lookalike_comment",
            "MAILTO=me\n# Quotra\\my-notes\n*/5 * * * * /usr/bin/sync-notes\n", u"my-notes"_s }),
    [](const testing::TestParamInfo<OrphanCase> &info) { return std::string(info.param.name); });

TEST(CronTableText, OnlyCommandsOfTheProgramAreTasks)
{
    const struct {
        QStringList words;
        bool ours;
    } cases[] = {
        { { u"/usr/local/bin/quotra"_s, u"/Auto"_s, u"/l.kabu"_s }, true },
        { { u"quotra"_s, u"/l.kabu"_s }, true },
        { { u"xdg-open"_s, u"quotra.kabu:/Auto*/l.kabu"_s }, true },
        { { u"/usr/bin/xdg-open"_s, u"quotra.kabu:/l.kabu"_s }, true },
        { { u"/usr/bin/backup"_s }, false },
        { { u"/usr/bin/quotra-cli"_s, u"update"_s, u"/l.kabu"_s }, false },
        { { u"xdg-open"_s, u"https://example.org/"_s }, false },
        { { u"xdg-open"_s, u"Quotra.kabu:/l.kabu"_s }, false },
        { { u"sh"_s, u"-c"_s, u"quotra /l.kabu"_s }, false },
        { {}, false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsProgramCommand(c.words), c.ours) << c.words.join(u' ').toStdString();
    // A task that would not start the program is not written.
    CronTable table;
    ScheduledTask other = taskA(kProgram);
    other.command = QStringList { u"/usr/bin/backup"_s };
    EXPECT_FALSE(table.setTask(other));
    EXPECT_EQ(table.text(), QByteArray());
}

// ---- The store over a crontab program

TEST(TaskStoreCrontab, RegisterListReplaceDelete)
{
    FakeCrontab fake;
    const TaskStore store(fake.program());
    EXPECT_TRUE(store.tasks().isEmpty()); // no table yet
    fake.setTable("MAILTO=\"\"\n0 3 * * * /usr/bin/true\n");
    ASSERT_TRUE(store.registerTask(taskA(kProgram)));
    ASSERT_TRUE(store.registerTask(taskA(kProgram, false, {})));
    EXPECT_EQ(fake.table(),
        "MAILTO=\"\"\n0 3 * * * /usr/bin/true\n# Quotra\\a\n"
        "30 18 * * 1,5 '/usr/local/bin/quotra' '/lists/a.kabu'\n");
    ASSERT_EQ(store.tasks().size(), 1);
    EXPECT_FALSE(store.tasks()[0].autoRun);
    ASSERT_TRUE(store.deleteTask(u"a "_s));
    EXPECT_EQ(fake.table(), "MAILTO=\"\"\n0 3 * * * /usr/bin/true\n");
    const tessera::Status again = store.deleteTask(u"a"_s);
    ASSERT_FALSE(again);
    EXPECT_EQ(again.error().message, u"Quotra\\a: no such task"_s);
    EXPECT_FALSE(store.deleteTask(QString()));
}

TEST(TaskStoreCrontab, AFailingCrontabChangesNothingAndSaysWhy)
{
    FakeCrontab fake;
    const TaskStore store(fake.program());
    fake.setTable("0 3 * * * /usr/bin/true\n");
    fake.setFailure("crontab: your account is not allowed to use cron\n");
    const tessera::Status registered = store.registerTask(taskA(kProgram));
    ASSERT_FALSE(registered);
    EXPECT_EQ(registered.error().message, u"crontab: your account is not allowed to use cron"_s);
    EXPECT_TRUE(TaskFailureText(Ids::MsgTaskRegisterFailed, registered.error().message)
                    .endsWith(u"\n\ncrontab: your account is not allowed to use cron"_s));
    EXPECT_FALSE(store.deleteTask(u"a"_s));
    EXPECT_TRUE(store.tasks().isEmpty());
    fake.setFailure({});
    EXPECT_EQ(fake.table(), "0 3 * * * /usr/bin/true\n");
}

TEST(TaskStoreCrontab, AMissingProgramFails)
{
    const TaskStore store(u"/nonexistent/crontab"_s);
    const tessera::Status registered = store.registerTask(taskA(kProgram));
    ASSERT_FALSE(registered);
    EXPECT_FALSE(registered.error().message.isEmpty());
    const TaskStore none { QString() };
    EXPECT_TRUE(none.registerTask(taskA(kProgram)).error().message.contains(u"not found"_s));
}

TEST(TaskStoreCrontab, TheEnvironmentNamesTheProgram)
{
    FakeCrontab fake;
    qputenv("QUOTRA_CRONTAB", fake.program().toLocal8Bit());
    EXPECT_EQ(TaskStore().crontabProgram(), fake.program());
    qunsetenv("QUOTRA_CRONTAB");
}

// ---- Addresses of registered tasks in the settings

class TaskAddresses : public testing::Test {
protected:
    QTemporaryDir m_dir;
    QSettings m_settings { m_dir.filePath(u"Quotra.conf"_s), QSettings::IniFormat };
    TaskAddressBook m_book { m_settings };
    FakeCrontab m_cron;
    TaskStore m_store { m_cron.program() };
};

TEST_F(TaskAddresses, OnlyTheExactAddressWithItsTokenIsRegistered)
{
    const ScheduledTask task = TaskOfInput({ u"a"_s, 34, 18, 30, true, {}, u"/lists/a.kabu"_s }, kFlatpak);
    ASSERT_TRUE(RegisterTask(m_store, m_book, task));
    const QString address = ProtocolAddressOf(task.command);
    // The crontab runs exactly the address the settings keep.
    ASSERT_EQ(CronTable(m_cron.table()).tasks().size(), 1);
    EXPECT_EQ(ProtocolAddressOf(CronTable(m_cron.table()).tasks()[0].command), address);
    EXPECT_TRUE(m_book.isRegistered(address));

    const QString token = TaskTokenOf(address);
    QString otherToken = token;
    otherToken[0] = token[0] == u'0' ? u'1' : u'0';
    const QStringList others = { address + u"*/Folder/tmp"_s,
        QString(address).replace(u"/lists/a.kabu"_s, u"/x.kabu"_s),
        QString(address).replace(token, otherToken), QString(address).remove(u"/Token"_s + token + u'*'),
        u"quotra.kabu:/Auto*/lists/a.kabu"_s, QString() };
    for (const QString &other : others)
        EXPECT_FALSE(m_book.isRegistered(other)) << other.toStdString();

    // A new registration of the name replaces its address; deleting forgets it.
    const ScheduledTask again = TaskOfInput({ u"a"_s, 2, 6, 0, true, {}, u"/lists/a.kabu"_s }, kFlatpak);
    ASSERT_TRUE(RegisterTask(m_store, m_book, again));
    EXPECT_FALSE(m_book.isRegistered(address));
    EXPECT_TRUE(m_book.isRegistered(ProtocolAddressOf(again.command)));
    ASSERT_TRUE(DeleteTask(m_store, m_book, u"a"_s));
    EXPECT_TRUE(m_book.addresses().isEmpty());
}

TEST_F(TaskAddresses, TasksWrittenBeforeTokensGetOne)
{
    const QByteArray user = "MAILTO=me\n0 3 * * * /usr/bin/backup\n";
    m_cron.setTable(user
        + "# Quotra\\old\n15 7 * * MON-fri  'xdg-open' 'quotra.kabu:/Auto*/Folder/out*/lists/o.kabu'\n"
          "# Quotra\\plain\n0 6 * * 1 '/usr/bin/quotra' '/Auto' '/lists/p.kabu'\n");
    m_book.keep(u"gone"_s, u"quotra.kabu:/Token"_s + NewTaskToken() + u"*/Auto*/gone.kabu"_s);

    const tessera::Result<int> rewritten = AddTokensToTasks(m_store, m_book);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(*rewritten, 1);
    const QList<QByteArray> lines = m_cron.table().split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(m_cron.table().left(user.size() + 13), user + "# Quotra\\old\n");
    // The schedule fields stay as they were written; the address gains its token first.
    EXPECT_TRUE(lines[3].startsWith("15 7 * * MON-fri  'xdg-open' 'quotra.kabu:/Token"))
        << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith("*/Auto*/Folder/out*/lists/o.kabu'"));
    EXPECT_EQ(lines[5], "0 6 * * 1 '/usr/bin/quotra' '/Auto' '/lists/p.kabu'");
    const QList<ScheduledTask> tasks = CronTable(m_cron.table()).tasks();
    ASSERT_EQ(tasks.size(), 2);
    EXPECT_EQ(m_book.addresses(), QStringList { ProtocolAddressOf(tasks[0].command) });
    EXPECT_TRUE(m_book.isRegistered(ProtocolAddressOf(tasks[0].command)));
    EXPECT_EQ(tasks[0].folder, u"/out"_s);

    // Once done, nothing more to do.
    const QByteArray after = m_cron.table();
    const tessera::Result<int> second = AddTokensToTasks(m_store, m_book);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, 0);
    EXPECT_EQ(m_cron.table(), after);
}

TEST_F(TaskAddresses, AnUnreadableCrontabChangesNothing)
{
    const QString kept = u"quotra.kabu:/Token"_s + NewTaskToken() + u"*/Auto*/a.kabu"_s;
    m_book.keep(u"a"_s, kept);
    m_cron.setFailure("crontab: not allowed\n");
    EXPECT_FALSE(AddTokensToTasks(m_store, m_book));
    EXPECT_TRUE(m_book.isRegistered(kept));
}

// ---- Unattended runs asked for by an address

TEST(LinkRun, OnlyAnAddressThatIsNoRegisteredTaskNeedsConsent)
{
    const CCLineInfo own = CCLineInfo::Parse({ u"/Auto"_s, u"/l.kabu"_s });
    const CCLineInfo link = CCLineInfo::Parse({ u"quotra.kabu:/Auto*/l.kabu"_s });
    const CCLineInfo opening = CCLineInfo::Parse({ u"quotra.kabu:/l.kabu"_s });
    const struct {
        const CCLineInfo &line;
        bool registered;
        bool canAsk;
        LinkRunStart start;
    } cases[] = {
        { own, false, false, LinkRunStart::Run },
        { own, false, true, LinkRunStart::Run },
        { opening, false, false, LinkRunStart::Run }, // opens the list, writes nothing unasked
        { link, true, false, LinkRunStart::Run },
        { link, false, true, LinkRunStart::AskFirst },
        { link, false, false, LinkRunStart::Refuse },
    };
    for (const auto &c : cases)
        EXPECT_EQ(HowUnattendedRunStarts(c.line, c.registered, c.canAsk), c.start)
            << c.line.protocolAddress.toStdString() << c.registered << c.canAsk;
    EXPECT_EQ(link.protocolAddress, u"quotra.kabu:/Auto*/l.kabu"_s);
    EXPECT_TRUE(own.protocolAddress.isEmpty());
}

TEST(LinkRun, TheQuestionNamesTheListAndTheResult)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out"_s);
    ASSERT_TRUE(QDir().mkpath(out));
    const QDateTime at(QDate(2026, 3, 3), QTime(14, 5));
    const QString list = dir.filePath(u"notes.txt"_s);
    const CCLineInfo inPlace = CCLineInfo::Parse({ u"quotra.kabu:/Auto*"_s + list });
    EXPECT_EQ(ExpectedResultPath(inPlace, at), dir.filePath(u"notes.kabu"_s));
    const QString question = LinkRunQuestion(inPlace, at);
    EXPECT_TRUE(question.contains(list)) << question.toStdString();
    EXPECT_TRUE(question.contains(dir.filePath(u"notes.kabu"_s))) << question.toStdString();
    // A folder given with ".." is named as the folder it is.
    const CCLineInfo folder
        = CCLineInfo::Parse({ u"quotra.kabu:/Auto2*/Folder"_s + out + u"/../out*"_s + list });
    EXPECT_EQ(ExpectedResultPath(folder, at), out + u"/notes03031405.xlsx"_s);
    EXPECT_TRUE(LinkRunRefusedText(folder).contains(list));
}

TEST(LinkRun, AMissingOutputFolderIsNamed)
{
    QTemporaryDir dir;
    EXPECT_TRUE(MissingOutputFolderText(CCLineInfo::Parse({ u"/Auto"_s, u"/l.kabu"_s })).isEmpty());
    EXPECT_TRUE(
        MissingOutputFolderText(CCLineInfo::Parse({ u"/Folder"_s + dir.path(), u"/l.kabu"_s })).isEmpty());
    const QString missing = dir.filePath(u"gone"_s);
    EXPECT_TRUE(MissingOutputFolderText(CCLineInfo::Parse({ u"/Folder"_s + missing, u"/l.kabu"_s }))
                    .contains(missing));
}

// ---- The dialog's input rules

TEST(TaskInputRules, MessagesInTheirOrder)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(u"a.kabu"_s);
    QFile(list).open(QIODevice::WriteOnly);
    TaskInput input { u"a"_s, 34, 18, 30, true, dir.path(), list };
    EXPECT_EQ(CheckTaskInput(input), 0);
    input.days = 0;
    EXPECT_EQ(CheckTaskInput(input), Ids::MsgNoDaySelected);
    input.listFile = dir.filePath(u"missing.kabu"_s);
    EXPECT_EQ(CheckTaskInput(input), Ids::MsgListFileMissing);
    input.folder = dir.filePath(u"missing"_s);
    EXPECT_EQ(CheckTaskInput(input), Ids::MsgOutputFolderMissing);
    input.name = u"   "_s;
    EXPECT_EQ(CheckTaskInput(input), Ids::MsgTaskNameMissing);
    EXPECT_EQ(TaskWeekOf(34, true), 32768u + 34u);
    EXPECT_EQ(TaskWeekOf(0x1FF, false), 0x7Fu);
}

TEST(TaskInputRules, RegisteredMessage)
{
    const QString text
        = TaskRegisteredText(MakeScheduledTask(u"a"_s, 34, 9, 5, false, {}, u"/l.kabu"_s, kProgram), false);
    EXPECT_TRUE(text.contains(u"Quotra\\a"_s));
    EXPECT_TRUE(text.contains(u"/l.kabu"_s));
    EXPECT_TRUE(text.contains(u"MON,FRI"_s));
    EXPECT_TRUE(text.contains(u"9:05"_s));
}

} // namespace
