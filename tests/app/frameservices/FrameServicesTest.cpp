#include "app/ui/FrameServices.h"
#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/CopyDataProtocol.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CCustomiseDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CRankingDlg.h"
#include "app/ui/CommandTable.h"
#include "app/ui/CopyDataServer.h"
#include "app/ui/FileDropHandler.h"
#include "app/ui/HelpCommand.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateNotice.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/ListFile.h"
#include "tests/support/TestPaths.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/OpenAddress.h"

#include "quotes/SecurityCode.h"

#include "app/ui/ControlIds.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/SampleSite.h"
#include "tests/support/WindowTestSetup.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <functional>

#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Leaves a socket file at `path`, as a window that ended without closing would.
bool bindSocketFile(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

} // namespace

class FrameServicesTest : public QObject {
    Q_OBJECT

private:
    AppSettings settings;
    QStringList messages;
    QList<int> answers;
    std::function<void()> onMessage; // runs while a message box is open
    QTemporaryDir dir;
    QTemporaryDir runtime;

    // The frame's dialogs: cancelled unless a test answers; its messages take the path of
    // every other message, to `messages` and `answers`.
    FakePrompts prompts;

    std::unique_ptr<CMainFrame> makeFrame(const CCLineInfo &commandLine = {})
    {
        return std::make_unique<CMainFrame>(settings, commandLine, prompts);
    }
    // The customisation sheet, as `body` finds it when it runs.
    void onSheet(std::function<void(CCustomiseDlg &)> body)
    {
        prompts.onExec = [body = std::move(body)](QDialog &dialog) {
            auto *sheet = qobject_cast<CCustomiseDlg *>(&dialog);
            if (!sheet)
                return int(QDialog::Rejected);
            body(*sheet);
            return dialog.exec();
        };
    }
    QString listFile(const QString &name, std::initializer_list<RowSpec> rows)
    {
        const QString path = dir.filePath(name);
        writeFile(path, WriteListFile(MakeRows(rows), MakeLayout({ { 1, 1, 50 }, { 4, 1, 80 } }, 1, true)));
        return path;
    }
    // One raw request to the frame's socket; the answer byte, or -1 when none came.
    int request(const CMainFrame &frame, const QByteArray &bytes)
    {
        QLocalSocket socket;
        socket.connectToServer(frame.copyDataServer()->socketPath());
        if (!socket.waitForConnected(3000))
            return -1;
        socket.write(bytes);
        // The frame lives on this thread: let it run until the answer is there.
        QByteArray answer;
        for (int k = 0; k < 500 && answer.isEmpty(); ++k) {
            QTest::qWait(10);
            answer += socket.readAll();
        }
        return answer.isEmpty() ? -1 : answer.front();
    }
    // quotra-cli with `arguments`, run while the frame keeps answering; its exit code.
    int runCli(const QStringList &arguments, QByteArray *err = nullptr)
    {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        cli.setProcessEnvironment(env);
        cli.start(quotra::test::binPath(u"quotra-cli"), arguments);
        if (!cli.waitForStarted())
            return -1;
        for (int k = 0; k < 3000 && cli.state() != QProcess::NotRunning; ++k)
            QTest::qWait(10);
        if (err)
            *err = cli.readAllStandardError();
        return cli.state() == QProcess::NotRunning ? cli.exitCode() : -1;
    }

    // The longest time the event loop went without running its timers while `action` ran,
    // and whether the wait cursor showed meanwhile; `took` gets the time the action took.
    static qint64 longestLoopGap(const std::function<void()> &action, qint64 &took, bool &waitCursor)
    {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        waitCursor = false;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
            const QCursor *cursor = QApplication::overrideCursor();
            waitCursor = waitCursor || (cursor && cursor->shape() == Qt::WaitCursor);
        });
        clock.start();
        tick.start();
        action();
        took = clock.elapsed();
        return std::max(longest, took - last);
    }

public Q_SLOTS:
    // The browser, as the desktop services hand it an address.
    void openUrl(const QUrl &url) { openedUrls << url.toString(); }

private:
    QStringList openedUrls;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir.isValid());
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QVERIFY(PrepareWindowTests());
        tessera::SetMessageHandler([this](const QString &text, unsigned style) {
            messages << text;
            if (onMessage)
                onMessage();
            return answers.isEmpty() ? tessera::DefaultMessageResult(style) : answers.takeFirst();
        });
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        ResetWindowSettings(settings);
        messages.clear();
        answers.clear();
        onMessage = {};
        prompts = FakePrompts();
        prompts.onMessage
            = [](const QString &text, unsigned style) { return tessera::ShowMessage(text, style); };
    }

    // ---- Codes from other processes

    void windowListensOnAPrivateSocket()
    {
        auto frame = makeFrame();
        CopyDataServer *server = frame->copyDataServer();
        QVERIFY(server->isListening());
        QCOMPARE(server->socketPath(),
            CopyData::SocketPath(runtime.filePath(u"quotra"_s), QCoreApplication::applicationPid()));
        QFileInfo socket(server->socketPath());
        QVERIFY(socket.exists());
        QCOMPARE(socket.permissions()
                & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
        const QString path = server->socketPath();
        frame.reset();
        QVERIFY2(!QFileInfo::exists(path), "a closed window leaves no socket behind");
    }

    void payloadRulesOverTheSocket()
    {
        auto frame = makeFrame();
        frame->newDocument();
        const auto text = [](const QString &t) { return CopyData::EncodeRequest(CopyData::EncodeText(t)); };
        QCOMPARE(request(*frame, text(u"StockCode:7203"_s)), int(CopyData::kReplyHandled));
        frame->document().StopUpdate();
        QCOMPARE(frame->document().rows().size(), size_t(1));
        QVERIFY(frame->document().rows().count(u"7203"_s));
        QVERIFY(frame->document().IsModified());

        QCOMPARE(request(*frame, text(u"stockcode:6758"_s)), int(CopyData::kReplyNotHandled));
        QCOMPARE(request(*frame, CopyData::EncodeRequest({})), int(CopyData::kReplyNotHandled));
        // A declared size over 1 MiB is refused from the header alone.
        QByteArray huge(4, '\0');
        qToLittleEndian<quint32>(CopyData::kMaxPayloadBytes + 1, huge.data());
        QCOMPARE(request(*frame, huge), int(CopyData::kReplyNotHandled));
        // No zero character: the whole payload is the text.
        QCOMPARE(request(*frame, text(u"StockCode:6758"_s)), int(CopyData::kReplyHandled));
        frame->document().StopUpdate();
        QCOMPARE(frame->document().rows().size(), size_t(2));
        QVERIFY(frame->document().rows().count(u"6758"_s));
        // Text after a zero is not looked at.
        QByteArray zero = CopyData::EncodeText(u"StockCode:9984"_s);
        zero.append(2, '\0');
        zero.append(CopyData::EncodeText(u"\n8306"_s));
        QCOMPARE(request(*frame, CopyData::EncodeRequest(zero)), int(CopyData::kReplyHandled));
        frame->document().StopUpdate();
        QVERIFY(frame->document().rows().count(u"9984"_s));
        QVERIFY(!frame->document().rows().count(u"8306"_s));
    }

    // "StockCode:!!!" was answered as handled and opened a message box in the window, one per
    // message. Another program's message now never opens a box; the status bar says why.
    void aMessageFromAnotherProgramNeverOpensABox()
    {
        auto frame = makeFrame();
        frame->newDocument();
        const auto text = [](const QString &t) { return CopyData::EncodeRequest(CopyData::EncodeText(t)); };
        const auto pane = [&] { return frame->findChild<QLabel *>(u"Pane0"_s)->text(); };
        QCOMPARE(request(*frame, text(u"StockCode:!!!"_s)), int(CopyData::kReplyNotHandled));
        QCOMPARE(request(*frame, text(u"StockCode:"_s)), int(CopyData::kReplyNotHandled));
        QCOMPARE(pane(), tessera::ResourceString(Ids::MsgSentTextNoValidCode));
        QVERIFY(frame->document().rows().empty());
        QCOMPARE(request(*frame, text(u"StockCode:7203\n7203"_s)), int(CopyData::kReplyHandled));
        frame->document().StopUpdate();
        QCOMPARE(request(*frame, text(u"StockCode:7203"_s)), int(CopyData::kReplyHandled));
        QCOMPARE(pane(), tessera::ResourceString(Ids::MsgAlreadyListed));
        QCOMPARE(frame->document().rows().size(), size_t(1));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u" | "_s)));
    }

    // Thousands of idle connections were held open; beyond the cap the oldest is closed and a
    // new sender is still served.
    void idleConnectionsBeyondTheCapAreClosedOldestFirst()
    {
        auto frame = makeFrame();
        frame->newDocument();
        const int extra = 4;
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (size_t i = 0; i < CopyDataServer::kMaxConnections + extra; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(frame->copyDataServer()->socketPath());
            QVERIFY(idle.back()->waitForConnected(3000));
            QTest::qWait(5);
        }
        const auto closed = [&](size_t i) { return idle[i]->state() == QLocalSocket::UnconnectedState; };
        QTRY_VERIFY(closed(extra - 1));
        for (int i = 0; i < extra; ++i)
            QVERIFY(closed(size_t(i)));
        QTest::qWait(50);
        for (size_t i = extra; i < idle.size(); ++i)
            QVERIFY2(!closed(i), qPrintable(QString::number(i)));
        const QByteArray codes = CopyData::EncodeRequest(CopyData::EncodeText(u"StockCode:6758"_s));
        QCOMPARE(request(*frame, codes), int(CopyData::kReplyHandled));
        frame->document().StopUpdate();
    }

    void cliSendReachesTheWindow()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"send.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        const QString pid = QString::number(QCoreApplication::applicationPid());
        QCOMPARE(runCli({ u"send"_s, u"--pid"_s, pid, u"StockCode:6758\n9984"_s }), 0);
        frame->document().StopUpdate();
        QCOMPARE(frame->view().rowCount(), 3);
        QVERIFY(frame->document().rows().count(u"9984"_s));
        // Without --pid the most recent window is the one.
        QCOMPARE(runCli({ u"send"_s, u"StockCode:8306"_s }), 0);
        frame->document().StopUpdate();
        QVERIFY(frame->document().rows().count(u"8306"_s));

        QByteArray err;
        QCOMPARE(runCli({ u"send"_s, u"--pid"_s, pid, u"stockcode:4502"_s }, &err), 1);
        QVERIFY(err.contains("not handled"));
        QVERIFY(!frame->document().rows().count(u"4502"_s));
        QCOMPARE(runCli({ u"send"_s, u"--pid"_s, u"1"_s, u"StockCode:4502"_s }, &err), 2);
        QCOMPARE(runCli({ u"send"_s }, &err), 2);
        QVERIFY(err.contains("usage"));
    }

    // The program itself: a running window takes codes from quotra-cli send; after it is
    // killed, its socket is stale and the next send removes it and reaches nobody.
    void cliSendToTheRunningProgram()
    {
        QTemporaryDir work;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        env.insert(u"XDG_CONFIG_HOME"_s, work.filePath(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, work.filePath(u"data"_s));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"QUOTRA_SITE_ROOT"_s, u"http://127.0.0.1:1/"_s);
        program.setProcessEnvironment(env);
        program.start(quotra::test::binPath(u"quotra"), {});
        QVERIFY(program.waitForStarted());
        const QString socket = CopyData::SocketPath(runtime.filePath(u"quotra"_s), program.processId());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 30000);
        const QString pid = QString::number(program.processId());
        QCOMPARE(runCli({ u"send"_s, u"--pid"_s, pid, u"StockCode:7203"_s }), 0);
        QCOMPARE(runCli({ u"send"_s, u"--pid"_s, pid, u"StockCode7203"_s }), 1);
        program.kill();
        QVERIFY(program.waitForFinished());
        QVERIFY2(QFileInfo::exists(socket), "a killed window leaves its socket");
        QCOMPARE(runCli({ u"send"_s, u"StockCode:7203"_s }), 2);
        QVERIFY2(!QFileInfo::exists(socket), "the stale socket is removed");
    }

    void cliSendWithoutWindowRemovesStaleSockets()
    {
        // A socket file left by a process that is gone: our own id is still running, so
        // the file is made under the id of a child that has ended.
        QProcess child;
        child.start(u"true"_s);
        QVERIFY(child.waitForFinished());
        const qint64 gone = child.processId() > 0 ? child.processId() : 999999;
        const QString folder = CopyData::SocketFolder();
        QVERIFY(!folder.isEmpty());
        const QString stale = CopyData::SocketPath(folder, gone);
        QVERIFY(bindSocketFile(stale));
        QVERIFY(QFileInfo::exists(stale));
        QCOMPARE(runCli({ u"send"_s, u"StockCode:7203"_s }), 2);
        QVERIFY2(!QFileInfo::exists(stale), "the socket of an ended process is removed");
    }

    // ---- The update period box

    void periodBoxRefusesValuesOutsideTheRange()
    {
        settings.updateSpan = 3600;
        auto frame = makeFrame();
        frame->newDocument();
        PeriodSpinBox *box = frame->periodBox();
        frame->resize(1024, 640); // wide enough for the Settings group to show whole
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        const auto commit = [&](const QString &text) {
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return);
        };
        for (const QString &bad : { u"0"_s, u"121"_s, u"abc"_s, u"-5"_s, u"999999"_s }) {
            messages.clear();
            commit(bad);
            QCOMPARE(messages, QStringList({ tessera::ResourceString(Ids::MsgPeriodOutOfRange) }));
            QCOMPARE(settings.updateSpan, quint64(3600));
            QCOMPARE(box->value(), 60);
        }
        messages.clear();
        commit(u"30"_s);
        QVERIFY(messages.isEmpty());
        QCOMPARE(settings.updateSpan, quint64(1800));
        QCOMPARE(frame->findChild<QLabel *>(u"Pane0"_s)->text(),
            tessera::FormatResourceString(Ids::MsgPeriodSet, { u"30"_s }));
        // The spin buttons stop at the ends.
        box->setValue(120);
        box->stepBy(1);
        QCOMPARE(box->value(), 120);
        box->setValue(1);
        box->stepBy(-1);
        QCOMPARE(box->value(), 1);
        box->stepBy(1);
        QCOMPARE(box->value(), 2);
    }

    // ---- Dropped files

    void droppedFilesOpenTheFirstList()
    {
        auto frame = makeFrame();
        frame->newDocument();
        const QString text = dir.filePath(u"notes.txt"_s);
        writeFile(text, "this is no list\n");
        const QString missing = dir.filePath(u"missing.kabu"_s);
        const QString first = listFile(u"drop1.kabu"_s, { { u"7203"_s, u"2,500"_s } });
        const QString second = listFile(u"drop2.kabu"_s, { { u"6758"_s, u"900"_s }, { u"9984"_s, u"1"_s } });
        QVERIFY(frame->fileDrops()->openDroppedFiles({ text, missing, first, second }));
        QCOMPARE(frame->document().GetPathName(), QFileInfo(first).absoluteFilePath());
        QCOMPARE(frame->view().rowCount(), 1);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
        QVERIFY2(!frame->statusPanes().isRunning(), "every progress run ended");
        // Nothing readable: the open list stays, nobody is asked anything, and the status bar
        // says why the first file failed.
        QVERIFY(!frame->fileDrops()->openDroppedFiles({ text, missing }));
        QCOMPARE(frame->document().GetPathName(), QFileInfo(first).absoluteFilePath());
        QVERIFY(messages.isEmpty());
        const QString why = frame->findChild<QLabel *>(u"Pane0"_s)->text();
        QVERIFY2(why.contains(QFileInfo(text).absoluteFilePath()), qPrintable(why));
        QVERIFY2(why.contains(tessera::ResourceString(Ids::MsgNoValidCode)), qPrintable(why));
    }

    void droppedWorkbooksOpenLikeAnyList()
    {
        auto frame = makeFrame();
        frame->newDocument();
        for (const char *name : { "holdings.xlsx", "dates.xls" }) {
            const QString book = quotra::test::dataPath(u"workbooks/") + QLatin1StringView(name);
            QVERIFY2(frame->fileDrops()->openDroppedFiles({ book }), name);
            QCOMPARE(frame->document().GetPathName(), QFileInfo(book).absoluteFilePath());
            QCOMPARE(frame->document().fileKind(), FileKind::Workbook);
            QVERIFY(frame->document().rows().count(u"6758"_s));
            QCOMPARE(frame->view().rowCount(), int(frame->document().rows().size()));
        }
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
    }

    // The drop reads its file once: what was read is what opens, even when the file is gone
    // by the time the question about unsaved changes is answered.
    void droppedListIsReadOnce()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"kept2.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        frame->document().MarkModified();
        const QString book = dir.filePath(u"dropped.xlsx"_s);
        QVERIFY(QFile::copy(quotra::test::dataPath(u"workbooks/holdings.xlsx"), book));
        onMessage = [&] { QFile::remove(book); };
        answers = { tessera::IdNo };
        QVERIFY(frame->fileDrops()->openDroppedFiles({ book }));
        QCOMPARE(messages.size(), 1);
        QVERIFY(!QFile::exists(book));
        QCOMPARE(frame->document().GetPathName(), QFileInfo(book).absoluteFilePath());
        QVERIFY(frame->document().rows().count(u"6758"_s));
    }

    void dropEventOnTheListOpensAFileInsteadOfAddingText()
    {
        auto frame = makeFrame();
        frame->newDocument();
        const QString text = dir.filePath(u"codes.csv"_s);
        writeFile(text, "\x01\x02\x03 binary");
        const QString list = listFile(u"drop3.kabu"_s, { { u"4502"_s, u"5,000"_s } });
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(text), QUrl::fromLocalFile(list) });
        // A file manager's drag carries the paths as text as well.
        data.setText(text + u'\n' + list);
        QWidget *viewport = frame->view().viewport();
        QDragEnterEvent enter(
            QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(
            QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(frame->document().GetPathName(), QFileInfo(list).absoluteFilePath());
        QCOMPARE(frame->view().rowCount(), 1);
        QVERIFY(frame->document().rows().count(u"4502"_s));
    }

    void droppedListAsksAboutUnsavedChanges()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"kept.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        frame->document().MarkModified();
        const QString list = listFile(u"drop4.kabu"_s, { { u"6758"_s, u"900"_s } });
        answers = { tessera::IdCancel };
        QVERIFY(!frame->fileDrops()->openDroppedFiles({ list }));
        QCOMPARE(messages.size(), 1);
        QVERIFY(frame->document().rows().count(u"7203"_s));
        answers = { tessera::IdNo };
        QVERIFY(frame->fileDrops()->openDroppedFiles({ list }));
        QVERIFY(frame->document().rows().count(u"6758"_s));
    }

    // ---- Help

    void helpOpensTheShippedPageAtTheControlsTopic()
    {
        auto frame = makeFrame();
        HelpCommand &help = frame->services().help();
        QVERIFY2(QFileInfo(help.helpPath()).isFile(), qPrintable(help.helpPath()));
        QCOMPARE(QFileInfo(help.helpPath()).fileName(), u"quotra.html"_s);
        help.setPrompts(prompts);
        const QList<QUrl> &opened = prompts.opened;
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        frame->codeBox()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), frame->codeBox());
        frame->action(Cmd::Help)->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].toLocalFile(), QFileInfo(help.helpPath()).absoluteFilePath());
        QCOMPARE(opened[0].fragment(), u"c32776"_s);
        // The page really has that topic.
        QFile page(help.helpPath());
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        QVERIFY(html.contains("id=\"c32776\""));
        QVERIFY(html.contains("id=\"c32773\""));
        QVERIFY(html.contains("lang=\"ja\""));
        // The list has no topic of its own: the page opens at its start.
        frame->view().setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &frame->view());
        frame->action(Cmd::Help)->trigger();
        QCOMPARE(opened.size(), 2);
        QVERIFY(!opened[1].hasFragment());
        QVERIFY(messages.isEmpty());
    }

    void helpTopicsComeFromControlIds()
    {
        QWidget outer;
        SetControlId(&outer, 32773);
        QWidget inner(&outer);
        QCOMPARE(HelpCommand::TopicOf(&inner), u"c32773"_s);
        QWidget none;
        SetControlId(&none, 9);
        QCOMPARE(HelpCommand::TopicOf(&none), QString());
        QWidget named;
        named.setObjectName(u"Pane5007"_s); // a name is no id
        QCOMPARE(HelpCommand::TopicOf(&named), QString());
        QCOMPARE(HelpCommand::TopicOf(nullptr), QString());
        // The window gives its controls their ids: the period box and the status bar have
        // topics of their own on the page.
        auto frame = makeFrame();
        QCOMPARE(HelpCommand::TopicOf(frame->periodBox()), u"c32773"_s);
        QCOMPARE(HelpCommand::TopicOf(frame->statusPanes().statusBar()), u"c59393"_s);
    }

    void missingHelpFileNamesThePath()
    {
        FakePrompts told;
        HelpCommand help(nullptr, told);
        const QString missing = dir.filePath(u"gone/quotra.html"_s);
        help.setHelpPath(missing);
        QVERIFY(!help.show(u"c32776"_s));
        QVERIFY(told.opened.isEmpty());
        QCOMPARE(told.messages,
            QStringList({ tessera::FormatResourceString(Ids::MsgHelpFileMissing, { missing }) }));
        QVERIFY(told.messages[0].contains(missing));
        QVERIFY(messages.isEmpty());
    }

    // Help and pages that nothing opens (no launcher on the desktop) say what was to be opened.
    void anAddressNothingOpensIsNamed()
    {
        FakePrompts told;
        told.onOpenUrl = [](const QUrl &) { return false; };
        HelpCommand help(nullptr, told);
        const QString page = dir.filePath(u"quotra.html"_s);
        writeFile(page, "<html></html>");
        help.setHelpPath(page);
        QVERIFY(!help.show(u"c32776"_s));
        QVERIFY(!OpenAddress(QUrl(u"https://example.org/quote/7203"_s), told));
        QCOMPARE(told.messages,
            QStringList({ tessera::FormatResourceString(Ids::MsgCannotOpenAddress, { page }),
                tessera::FormatResourceString(
                    Ids::MsgCannotOpenAddress, { u"https://example.org/quote/7203"_s }) }));
        QCOMPARE(told.opened.size(), 2);
        told.messages.clear();
        told.onOpenUrl = {};
        QVERIFY(OpenAddress(QUrl(u"https://example.org/"_s), told));
        QVERIFY(told.messages.isEmpty());
        QVERIFY(messages.isEmpty());
    }

    // ---- About

    void aboutBoxWithoutAddressOffersNoCheck()
    {
        CAboutDlg box { QString(), QString() };
        QCOMPARE(box.versionLabel()->text(), u"Quotra Version 6.7"_s);
        QVERIFY(!box.checkButton()->isEnabled());
        QCOMPARE(box.checkButton()->text(), tessera::ResourceString(Ids::CaptionVersionCheckUnavailable));
        QVERIFY(!box.findChild<QLabel *>(u"MailLink1100"_s));
    }

    void aboutBoxVersionCheck_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("opens");
        QTest::newRow("newer, yes") << u"6.7.10.0"_s << int(tessera::IdYes) << Ids::MsgNewVersionPublished
                                    << true;
        QTest::newRow("newer, no") << u"6.7.10.0"_s << int(tessera::IdNo) << Ids::MsgNewVersionPublished
                                   << false;
        QTest::newRow("equal") << u"6.7.9.21"_s << int(tessera::IdOk) << Ids::MsgVersionIsCurrent << false;
        QTest::newRow("older") << u"6.7.9.3"_s << int(tessera::IdOk) << Ids::MsgVersionIsCurrent << false;
        QTest::newRow("unreadable") << QString() << int(tessera::IdOk) << 0 << false;
    }
    void aboutBoxVersionCheck()
    {
        QFETCH(QString, published);
        QFETCH(int, answer);
        QFETCH(int, message);
        QFETCH(bool, opens);
        FakePrompts told;
        told.onMessage = [&](const QString &, unsigned) { return answer; };
        CAboutDlg box(u"https://example.org/version.txt"_s, u"maker@example.org"_s, nullptr, told);
        QVERIFY(box.findChild<QLabel *>(u"MailLink1100"_s));
        QVERIFY(box.checkButton()->isEnabled());
        QString asked;
        box.setReader([&](const QString &address, CAboutDlg::Done done) {
            asked = address;
            if (published.isEmpty())
                done(std::nullopt);
            else
                done(PublishedVersion { published, u"https://example.org/download"_s });
        });
        box.show();
        QTest::mouseClick(box.checkButton(), Qt::LeftButton);
        QCOMPARE(asked, u"https://example.org/version.txt"_s);
        QVERIFY2(!box.isVisible(), "the box closes in every case");
        if (message == 0) {
            QVERIFY(told.messages.isEmpty());
        } else {
            QCOMPARE(told.messages, QStringList({ tessera::FormatResourceString(message, { published }) }));
        }
        QVERIFY(messages.isEmpty());
        QCOMPARE(told.opened.isEmpty(), !opens);
        if (opens)
            QCOMPARE(told.opened, QList<QUrl>({ QUrl(u"https://example.org/download"_s) }));
    }

    void aboutBoxReadsAPublishedFile()
    {
        const QString file = dir.filePath(u"version.txt"_s);
        writeFile(file, "6.7.10.0\nhttps://example.org/download\n");
        std::optional<PublishedVersion> got;
        bool called = false;
        QObject context;
        CAboutDlg::ReadPublishedVersion(&context, QUrl::fromLocalFile(file).toString(), [&](auto p) {
            got = p;
            called = true;
        });
        QTRY_VERIFY(called);
        QVERIFY(got.has_value());
        QCOMPARE(got->version, u"6.7.10.0"_s);
        called = false;
        CAboutDlg::ReadPublishedVersion(&context, dir.filePath(u"none.txt"_s), [&](auto p) {
            got = p;
            called = true;
        });
        QTRY_VERIFY(called);
        QVERIFY(!got.has_value());
    }

    // ---- Look-ups on the site

    // Opening a row's quote or chart page and reading a ranking wait for the site in the
    // background: the window keeps painting and Escape stops the wait.
    void siteLookUpsKeepTheWindowPainting()
    {
        openedUrls.clear();
        {
            SampleSite site;
            QVERIFY(site.start({ u"--latency-ms"_s, u"3000"_s }));
            QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
            auto frame = makeFrame();
            QVERIFY(frame->openDocument(listFile(u"lookups.kabu"_s,
                { { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s }, { u"9984"_s, u"1"_s } })));
            CQuotraView &view = frame->view();
            CQuotraDoc &doc = frame->document();
            const auto check = [](const char *what, qint64 gap, qint64 took, bool waitCursor) {
                // The site's latency was waited for (the site counts it from the connection, which
                // may have been opened a little before the look-up's clock started).
                QVERIFY2(took >= 2000, qPrintable(u"%1: %2 ms"_s.arg(QLatin1StringView(what)).arg(took)));
                QVERIFY2(gap < 100,
                    qPrintable(
                        u"%1: the event loop stood still for %2 ms"_s.arg(QLatin1StringView(what)).arg(gap)));
                QVERIFY2(waitCursor, what);
            };
            QVERIFY(!doc.isUpdating());
            for (const QString &code : { u"7203"_s, u"6758"_s, u"9984"_s }) {
                // Neither kind nor exchange known: each page needs its look-up.
                doc.record(code)->kind.clear();
                doc.record(code)->exchange_suffix = 0;
            }
            qint64 took = 0;
            bool waitCursor = false;
            QVERIFY(view.selectCode(u"7203"_s));
            qint64 gap = longestLoopGap([&] { view.openQuotePage(); }, took, waitCursor);
            check("quote page", gap, took, waitCursor);
            QVERIFY(!doc.record(u"7203"_s)->kind.isEmpty());
            QCOMPARE(openedUrls, QStringList({ BrowserAddress(*doc.record(u"7203"_s)) }));

            QVERIFY(view.selectCode(u"6758"_s));
            gap = longestLoopGap([&] { view.openChartPage(); }, took, waitCursor);
            check("chart page", gap, took, waitCursor);
            QCOMPARE(openedUrls.last(), site.root() + u"quote/6758/chart"_s);

            // Escape stops the look-up: nothing opens and the row stays unresolved.
            QVERIFY(view.selectCode(u"9984"_s));
            QTimer::singleShot(300, &view, [&view] { QTest::keyClick(&view, Qt::Key_Escape); });
            gap = longestLoopGap([&] { view.openQuotePage(); }, took, waitCursor);
            QVERIFY2(took < 2000, "Escape ends the wait");
            QCOMPARE(openedUrls.size(), 2);
            QVERIFY(doc.record(u"9984"_s)->kind.isEmpty());

            CRankingDlg ranking(view, settings);
            ranking.rankingBox()->setCurrentIndex(4);
            gap = longestLoopGap([&] { ranking.accept(); }, took, waitCursor);
            check("ranking", gap, took, waitCursor);
            QVERIFY2(ranking.readError().isEmpty(), qPrintable(ranking.readError()));
            QVERIFY(doc.title().startsWith(u"出来高 "_s));

            CRankingDlg stopped(view, settings);
            stopped.rankingBox()->setCurrentIndex(2);
            QTimer::singleShot(300, &view, [&view] { QTest::keyClick(&view, Qt::Key_Escape); });
            longestLoopGap([&] { stopped.accept(); }, took, waitCursor);
            QVERIFY2(took < 2000, "Escape ends the wait");
            QVERIFY(!stopped.readError().isEmpty());
            QVERIFY(doc.title().startsWith(u"出来高 "_s));
            QDesktopServices::unsetUrlHandler(u"http"_s);
        }
        qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:1/");
    }

    // ---- The notice after a long update

    void longInteractiveUpdateLeavesANotice()
    {
        auto frame = makeFrame();
        frame->newDocument();
        qint64 now = 1'800'000'000;
        frame->services().updateNotice().setClock([&] { return now; });
        QLabel *pane = frame->findChild<QLabel *>(u"Pane0"_s);
        QVERIFY(pane);
        Q_EMIT frame->document().updateStarted(901, 2);
        now += 60;
        Q_EMIT frame->document().updateFinished(901, false);
        QVERIFY2(!pane->text().contains(u"60"_s), "a minute is not long");
        Q_EMIT frame->document().updateStarted(902, 2);
        now += 61;
        Q_EMIT frame->document().updateFinished(902, true);
        QCOMPARE(pane->text(), tessera::FormatResourceString(Ids::MsgUpdateFinished, { u"61"_s }));
        QVERIFY2(messages.isEmpty(), "no box to click away");
    }

    void rowsThatFailedInARunAreCounted()
    {
        auto frame = makeFrame();
        frame->newDocument();
        CQuotraDoc &doc = frame->document();
        doc.replaceRows(
            MakeRows({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s }, { u"1301"_s, u"50"_s } }));
        QLabel *pane = frame->findChild<QLabel *>(u"Pane0"_s);
        QVERIFY(pane);
        // A row that failed in an earlier run counts only in that run.
        doc.record(u"1301"_s)->values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
        Q_EMIT doc.updateStarted(905, 2);
        Q_EMIT doc.updateProgress(905, 0, u"7203"_s);
        doc.record(u"6758"_s)->values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
        Q_EMIT doc.updateProgress(905, 1, u"6758"_s);
        Q_EMIT doc.updateFinished(905, true);
        QCOMPARE(pane->text(), tessera::FormatResourceString(Ids::MsgRowsFailed, { u"1"_s }));
        // A run without failures leaves no count.
        Q_EMIT doc.updateStarted(906, 1);
        Q_EMIT doc.updateProgress(906, 0, u"7203"_s);
        Q_EMIT doc.updateFinished(906, true);
        QVERIFY(!pane->text().contains(tessera::FormatResourceString(Ids::MsgRowsFailed, { u"1"_s })));
    }

    void unattendedRunShowsNoNotice()
    {
        CCLineInfo line;
        line.autoRun = true;
        auto frame = makeFrame(line);
        qint64 now = 1'800'000'000;
        frame->services().updateNotice().setClock([&] { return now; });
        QLabel *pane = frame->findChild<QLabel *>(u"Pane0"_s);
        Q_EMIT frame->document().updateStarted(903, 1);
        now += 500;
        // An unrelated run's end changes nothing either.
        Q_EMIT frame->document().updateFinished(904, true);
        Q_EMIT frame->document().updateFinished(903, true);
        QVERIFY(!pane->text().contains(u"500"_s));
    }

    // A history that cannot be written is said on the status bar, never in a box, and the
    // run's rows are as fetched.
    void historyThatCannotBeKeptIsSaidOnTheStatusBar()
    {
        qputenv("QUOTRA_HISTORY", "/proc/self/history.sqlite");
        auto frame = makeFrame();
        frame->newDocument();
        std::vector<std::unique_ptr<QuoteRecord>> rows;
        rows.push_back(std::make_unique<QuoteRecord>(u"7203"_s));
        rows.back()->values.set(SlotPrice, u"2,345"_s);
        frame->document().insertRecords(std::move(rows));
        QLabel *pane = frame->findChild<QLabel *>(u"Pane0"_s);
        QVERIFY(pane);
        Q_EMIT frame->document().updateStarted(905, 1);
        Q_EMIT frame->document().updateProgress(905, 0, u"7203"_s);
        Q_EMIT frame->document().updateFinished(905, true);
        qunsetenv("QUOTRA_HISTORY");
        QCOMPARE(pane->text(),
            tessera::FormatResourceString(
                Ids::MsgHistoryNotKept, { u"/proc/self/history.sqlite: unable to open database file"_s }));
        QVERIFY2(messages.isEmpty(), "no box to click away");
    }

    // ---- Shortcuts and the customisation sheet

    void shortcutsSurviveARestart()
    {
        settings.version = AppSettings::kVersion;
        const QKeySequence ctrlShiftH(u"Ctrl+Shift+H"_s);
        {
            auto frame = makeFrame();
            onSheet([&](CCustomiseDlg &sheet) {
                QCOMPARE(sheet.currentPage(), int(CCustomiseDlg::CommandsPage));
                sheet.pages()->setCurrentIndex(CCustomiseDlg::KeyboardPage);
                sheet.selectCommand(Cmd::Holdings);
                QCOMPARE(sheet.selectedCommand(), Cmd::Holdings);
                QVERIFY(sheet.assignKey(ctrlShiftH));
                sheet.selectCommand(Cmd::ResetColumns);
                QVERIFY(sheet.removeKey(QKeySequence(Qt::Key_F9)));
                // A key another command has is not taken from it.
                sheet.selectCommand(Cmd::Chart);
                QVERIFY(!sheet.assignKey(QKeySequence(u"Ctrl+C"_s)));
                QCOMPARE(messages.size(), 1);
                QVERIFY(messages[0].contains(frame->action(Cmd::Copy)->text().remove(u'&')));
                QTimer::singleShot(0, &sheet, &QDialog::accept);
            });
            frame->action(Cmd::Customise)->trigger();
            QCOMPARE(frame->action(Cmd::Holdings)->shortcuts(), QList<QKeySequence>({ ctrlShiftH }));
            QVERIFY(frame->action(Cmd::ResetColumns)->shortcuts().isEmpty());
            QVERIFY(frame->action(Cmd::Chart)->shortcuts().isEmpty());
            QCOMPARE(settings.customPage, int(CCustomiseDlg::KeyboardPage));
        }
        auto again = makeFrame();
        QCOMPARE(again->action(Cmd::Holdings)->shortcuts(), QList<QKeySequence>({ ctrlShiftH }));
        QVERIFY2(again->action(Cmd::ResetColumns)->shortcuts().isEmpty(), "a removed key stays removed");
        QCOMPARE(again->action(Cmd::Copy)->shortcuts(), QList<QKeySequence>({ QKeySequence(u"Ctrl+C"_s) }));
        QVERIFY(
            again->action(Cmd::Holdings)->toolTip().contains(ctrlShiftH.toString(QKeySequence::NativeText)));

        // The sheet opens at the page it closed on; a cancelled sheet changes no key.
        onSheet([&](CCustomiseDlg &sheet) {
            QCOMPARE(sheet.currentPage(), int(CCustomiseDlg::KeyboardPage));
            sheet.selectCommand(Cmd::Holdings);
            QVERIFY(sheet.removeKey(ctrlShiftH));
            sheet.pages()->setCurrentIndex(CCustomiseDlg::CommandsPage);
            QTimer::singleShot(0, &sheet, &QDialog::reject);
        });
        again->action(Cmd::Customise)->trigger();
        QCOMPARE(again->action(Cmd::Holdings)->shortcuts(), QList<QKeySequence>({ ctrlShiftH }));
        QCOMPARE(settings.customPage, int(CCustomiseDlg::CommandsPage));
    }

    void sheetCategoriesAndReset()
    {
        auto frame = makeFrame();
        const QList<CommandCategory> categories = frame->services().categories();
        QVERIFY(categories.size() >= 6); // the File menu, four ribbon groups, all commands
        QCOMPARE(categories.front().caption, tessera::ResourceString(Ids::CaptionFileMenuCategory));
        QCOMPARE(categories.back().caption, tessera::ResourceString(Ids::CaptionAllCommands));
        QVERIFY(categories.front().actions.contains(frame->action(Cmd::Open)));
        QCOMPARE(categories[1].caption, tessera::ResourceString(Ids::CaptionGroupFile));
        bool codeBoxListed = false;
        for (const CommandCategory &c : categories)
            codeBoxListed = codeBoxListed
                || (c.caption == tessera::ResourceString(Ids::CaptionGroupCode)
                    && c.actions.contains(frame->action(Cmd::CodeBox)));
        QVERIFY2(codeBoxListed, "controls other than buttons are in their group");
        QCOMPARE(categories.back().actions.size(), qsizetype(CommandTable().size()));
        // Each category can be told from the others by its name.
        QSet<QString> names;
        for (const CommandCategory &c : categories)
            names.insert(c.caption);
        QCOMPARE(names.size(), categories.size());

        // A stored page beyond the sheet's opens the first; reset brings the defaults back.
        settings.customPage = 4;
        onSheet([&](CCustomiseDlg &sheet) {
            QCOMPARE(sheet.currentPage(), int(CCustomiseDlg::CommandsPage));
            sheet.selectCommand(Cmd::Save);
            QVERIFY(sheet.removeKey(QKeySequence(u"Ctrl+S"_s)));
            sheet.resetAll();
            QCOMPARE(sheet.shortcuts().value(Cmd::Save), QList<QKeySequence>({ QKeySequence(u"Ctrl+S"_s) }));
            QTimer::singleShot(0, &sheet, &QDialog::accept);
        });
        frame->action(Cmd::Customise)->trigger();
        QCOMPARE(frame->action(Cmd::Save)->shortcuts(), QList<QKeySequence>({ QKeySequence(u"Ctrl+S"_s) }));
    }

    void aKeyInUseIsToldThroughTheSheetsPrompts()
    {
        auto frame = makeFrame();
        const FrameServices &services = frame->services();
        FakePrompts told;
        CCustomiseDlg sheet(services.categories(), services.currentShortcuts(), services.defaultShortcuts(),
            services.quickAccessCommands(), CCustomiseDlg::KeyboardPage, nullptr, told);
        sheet.selectCommand(Cmd::Chart);
        QVERIFY(!sheet.assignKey(QKeySequence(u"Ctrl+C"_s)));
        QCOMPARE(told.messages.size(), 1);
        QVERIFY(told.messages[0].contains(frame->action(Cmd::Copy)->text().remove(u'&')));
        QVERIFY(messages.isEmpty());
    }

    void escapeInTheKeyBoxCancelsTheKeyNotTheSheet()
    {
        auto frame = makeFrame();
        QKeySequence typed;
        QKeySequence afterEscape(u"Ctrl+X"_s);
        bool openAfterEscapes = false;
        bool closedByEscape = false;
        onSheet([&](CCustomiseDlg &sheet) {
            QTimer::singleShot(0, &sheet, [&] {
                sheet.pages()->setCurrentIndex(CCustomiseDlg::KeyboardPage);
                sheet.keyEdit()->setFocus();
                QTest::keyClick(sheet.keyEdit(), Qt::Key_K, Qt::ControlModifier);
                typed = sheet.keyEdit()->keySequence();
                QTest::keyClick(sheet.keyEdit(), Qt::Key_Escape);
                QTest::keyClick(sheet.keyEdit(), Qt::Key_Escape);
                afterEscape = sheet.keyEdit()->keySequence();
                openAfterEscapes = sheet.isVisible();
                // Away from the key box, Escape closes the sheet as Cancel does.
                sheet.currentKeysList()->setFocus();
                QTest::keyClick(sheet.currentKeysList(), Qt::Key_Escape);
                closedByEscape = !sheet.isVisible();
                if (sheet.isVisible())
                    sheet.reject();
            });
        });
        frame->action(Cmd::Customise)->trigger();
        QCOMPARE(typed, QKeySequence(u"Ctrl+K"_s));
        QVERIFY(afterEscape.isEmpty());
        QVERIFY(openAfterEscapes);
        QVERIFY(closedByEscape);
        QCOMPARE(frame->action(Cmd::Save)->shortcuts(), QList<QKeySequence>({ QKeySequence(u"Ctrl+S"_s) }));
    }

    void oldSettingsGetTheNewShortcuts()
    {
        // Stored keys from an older version: the profit sum on Ctrl+L, nothing for the
        // default list, the code box and column reset, a key of the user's for the schedule.
        QSettings store;
        const QString group = u"4.00/1041Bar-State/Shortcuts/"_s;
        store.setValue(group + QString::number(Cmd::ProfitSum), u"Ctrl+L"_s);
        store.setValue(group + QString::number(Cmd::OpenDefaultList), QString());
        store.setValue(group + QString::number(Cmd::CodeBox), QString());
        store.setValue(group + QString::number(Cmd::ResetColumns), QString());
        store.setValue(group + QString::number(Cmd::Schedule), u"Ctrl+T"_s);
        store.sync();
        settings.version = 55;
        {
            auto frame = makeFrame();
            QCOMPARE(frame->action(Cmd::ProfitSum)->shortcuts(),
                QList<QKeySequence>({ QKeySequence(Qt::Key_F4) }));
            QCOMPARE(frame->action(Cmd::OpenDefaultList)->shortcuts(),
                QList<QKeySequence>({ QKeySequence(Qt::Key_F2) }));
            QCOMPARE(frame->action(Cmd::CodeBox)->shortcuts(),
                QList<QKeySequence>({ QKeySequence(Qt::Key_Space) }));
            QCOMPARE(frame->action(Cmd::ResetColumns)->shortcuts(),
                QList<QKeySequence>({ QKeySequence(Qt::Key_F9) }));
            QCOMPARE(frame->action(Cmd::Schedule)->shortcuts(),
                QList<QKeySequence>({ QKeySequence(u"Ctrl+T"_s) }));
        }
        // The same stored keys under current settings stay as stored.
        settings.version = AppSettings::kVersion;
        auto current = makeFrame();
        QCOMPARE(
            current->action(Cmd::ProfitSum)->shortcuts(), QList<QKeySequence>({ QKeySequence(u"Ctrl+L"_s) }));
        QVERIFY(current->action(Cmd::OpenDefaultList)->shortcuts().isEmpty());
    }

    void quickAccessSurvivesARestart()
    {
        const QList<int> standard = { Cmd::New, Cmd::Open, Cmd::Save, Cmd::UpdateSelected };
        {
            auto frame = makeFrame();
            QCOMPARE(frame->services().quickAccessCommands(), standard);
            onSheet([&](CCustomiseDlg &sheet) {
                sheet.selectListedCommand(Cmd::Copy);
                QCOMPARE(sheet.listedCommand(), Cmd::Copy);
                QVERIFY(sheet.addToQuickAccess(Cmd::Copy));
                QVERIFY2(!sheet.addToQuickAccess(Cmd::Copy), "a command is on the bar once");
                QVERIFY(sheet.removeFromQuickAccess(Cmd::Open));
                QVERIFY(!sheet.removeFromQuickAccess(Cmd::Find));
                QTimer::singleShot(0, &sheet, &QDialog::accept);
            });
            frame->action(Cmd::Customise)->trigger();
            QCOMPARE(frame->services().quickAccessCommands(),
                QList<int>({ Cmd::New, Cmd::Save, Cmd::UpdateSelected, Cmd::Copy }));
        }
        auto again = makeFrame();
        QCOMPARE(again->services().quickAccessCommands(),
            QList<int>({ Cmd::New, Cmd::Save, Cmd::UpdateSelected, Cmd::Copy }));
        // Open comes back on its old place.
        again->services().applyQuickAccess(
            { Cmd::New, Cmd::Open, Cmd::Save, Cmd::UpdateSelected, Cmd::Copy });
        QCOMPARE(again->services().quickAccessCommands(),
            QList<int>({ Cmd::New, Cmd::Open, Cmd::Save, Cmd::UpdateSelected, Cmd::Copy }));
        // A stored list with unknown or repeated ids keeps the known ones once.
        QSettings().setValue(again->barStateName() + u"/QuickAccess"_s, u"57600,abc,99999,57600,57634"_s);
        auto third = makeFrame();
        QCOMPARE(third->services().quickAccessCommands(), QList<int>({ Cmd::New, Cmd::Copy }));
    }

    void shortcutTextsAreRead()
    {
        QCOMPARE(ShortcutsOfText(u"Ctrl+L; F4"_s),
            QList<QKeySequence>({ QKeySequence(u"Ctrl+L"_s), QKeySequence(Qt::Key_F4) }));
        QCOMPARE(ShortcutsOfText(u"F4; F4"_s), QList<QKeySequence>({ QKeySequence(Qt::Key_F4) }));
        QVERIFY(ShortcutsOfText(QString()).isEmpty());
        QVERIFY(ShortcutsOfText(u"Nonsense+Key"_s).isEmpty());
        QCOMPARE(ShortcutText({ QKeySequence(u"Ctrl+Shift+H"_s), QKeySequence(Qt::Key_F2) }),
            u"Ctrl+Shift+H; F2"_s);
    }
};

QTEST_MAIN(FrameServicesTest)
#include "FrameServicesTest.moc"
