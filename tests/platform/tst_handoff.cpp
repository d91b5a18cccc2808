#include "app/frmdde.h"
#include "app/frmmymdi.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "platform/instanceclient.h"
#include "platform/instancepaths.h"
#include "platform/instanceserver.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <sys/stat.h>

namespace {
QString binary()
{
    return qEnvironmentVariable("QUILLORA_BINARY");
}

// A running instance inside the test: the lock, the listening channel and the frame.
struct RunningInstance {
    TestHome home;
    SettingsStore store{home.path(QStringLiteral("settings.ini"))};
    QLockFile lock{InstancePaths::lockPath()};
    frmMyMDI frame{QStringList(), startedBefore(store)};
    InstanceServer server;
    QStringList arrived;

    RunningInstance()
    {
        lock.tryLock(0);
        // The first start's toolbar message would wait for a click.
        store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
        store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                    QStringLiteral("False"));
        frame.queue().OpenQueueState = OpenQueue::Idle;
        QObject::connect(&server, &InstanceServer::executeRequested, &frame,
                         [this](const QString& command) {
                             arrived << command;
                             int cancel = 0;
                             frame.MDIForm_LinkExecute(command, cancel);
                         });
        server.listen(InstancePaths::socketPath());
    }
    QStringList captions()
    {
        QStringList list;
        for (frmText* w : frame.documents().documentWindows())
            list << w->bareCaption();
        return list;
    }
};

bool runSecondStart(const QStringList& arguments, const QString& folder, int* exitCode = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(binary(), arguments);
    // The test's own event loop must run meanwhile: it is the running instance.
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 20000)
        QTest::qWait(20);
    if (exitCode)
        *exitCode = process.exitCode();
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
}
} // namespace

class TestHandoff : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void secondStartHandsOverResolvedPaths();
    void quickSecondStartsOpenInOrder();
    void secondStartWithoutPathsOnlyActivates();
    void malformedRequestGetsALinkError();
    void crashedInstanceIsReplaced();
    void handoffGivesUpAfterThirtyAttempts();
    void linkErrorEndsTheHandoff();
    void terminateSignalClosesAsTheSystem();
    void devicesAndPipesAreRefusedNotRead();
    void busyInstanceAnswersAtOnceAndOpensARepeatOnce();
};

void TestHandoff::initTestCase()
{
    QVERIFY2(QFileInfo(binary()).isExecutable(), "QUILLORA_BINARY must name the program");
    QVERIFY(!InstancePaths::socketPath().isEmpty());
    qRegisterMetaType<frmText*>();
    // Real starts of the program must not stop at the first start's toolbar message.
    SettingsStore store(SettingsStore::defaultFilePath());
    store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
    // Nor at the message that no auto-complete list is loaded.
    store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                QStringLiteral("False"));
    QVERIFY(store.sync());
}

void TestHandoff::secondStartHandsOverResolvedPaths()
{
    RunningInstance instance;
    const QString folder = instance.home.path(QStringLiteral("work"));
    QDir().mkpath(folder);
    int exitCode = -1;
    QVERIFY(runSecondStart({QStringLiteral("rel.txt"), QStringLiteral("\"my notes.txt\"")}, folder,
                           &exitCode));
    QCOMPARE(exitCode, 0);
    const QStringList expected = {folder + QStringLiteral("/rel.txt"),
                                  folder + QStringLiteral("/my notes.txt")};
    QCOMPARE(instance.arrived, expected);
    QTRY_COMPARE_WITH_TIMEOUT(instance.captions(), expected, 5000);
}

void TestHandoff::quickSecondStartsOpenInOrder()
{
    RunningInstance instance;
    const QString folder = instance.home.path(QString());
    QProcess first, second;
    first.setWorkingDirectory(folder);
    second.setWorkingDirectory(folder);
    first.start(binary(), {QStringLiteral("a.txt")});
    second.start(binary(), {QStringLiteral("b.txt")});
    QTRY_COMPARE_WITH_TIMEOUT(instance.arrived.size(), 2, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(instance.captions(), instance.arrived, 5000);
    QVERIFY(instance.arrived.contains(instance.home.path(QStringLiteral("a.txt"))));
    QVERIFY(instance.arrived.contains(instance.home.path(QStringLiteral("b.txt"))));
    QTRY_COMPARE_WITH_TIMEOUT(first.state(), QProcess::NotRunning, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 5000);
    QCOMPARE(first.exitCode() + second.exitCode(), 0);
}

void TestHandoff::secondStartWithoutPathsOnlyActivates()
{
    RunningInstance instance;
    QSignalSpy activated(&instance.server, &InstanceServer::activateRequested);
    QVERIFY(runSecondStart({}, instance.home.path(QString())));
    QCOMPARE(activated.size(), 1);
    QVERIFY(instance.arrived.isEmpty());
    QVERIFY(instance.frame.queue().Queue.isEmpty());
}

void TestHandoff::malformedRequestGetsALinkError()
{
    RunningInstance instance;
    QLocalSocket socket;
    socket.connectToServer(InstancePaths::socketPath());
    QVERIFY(socket.waitForConnected(2000));
    socket.write("GET / HTTP/1.0\r\n\r\n");
    QTRY_VERIFY(socket.bytesAvailable() >= 2);
    QCOMPARE(socket.readAll(), QByteArray("E\x01", 2));
    QVERIFY(instance.arrived.isEmpty());
}

void TestHandoff::crashedInstanceIsReplaced()
{
    TestHome home;
    QProcess crashed;
    crashed.start(binary(), {});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(InstancePaths::socketPath()), 10000);
    crashed.kill(); // leaves its lock and socket behind
    QVERIFY(crashed.waitForFinished(5000));
    QVERIFY(QFile::exists(InstancePaths::lockPath()));

    QProcess replacement;
    replacement.start(binary(), {});
    QVERIFY(replacement.waitForStarted());
    InstanceMessage activate;
    activate.kind = InstanceMessage::Kind::Activate;
    QTRY_COMPARE_WITH_TIMEOUT(
        InstanceClient::send(InstancePaths::socketPath(), activate, 500).outcome,
        InstanceClient::Outcome::Accepted, 10000);
    // The replacement took over: a second start hands over to it and ends.
    int exitCode = -1;
    QVERIFY(runSecondStart({home.path(QStringLiteral("x.txt"))}, home.path(QString()), &exitCode));
    QCOMPARE(exitCode, 0);
    QCOMPARE(replacement.state(), QProcess::Running);
    replacement.kill();
    replacement.waitForFinished(5000);
}

void TestHandoff::terminateSignalClosesAsTheSystem()
{
    const QString settingsFile = SettingsStore::defaultFilePath();
    {
        SettingsStore store(settingsFile);
        store.write(Settings::General, QStringLiteral("WindowSize"), QStringLiteral("2"));
        store.remove(Settings::General, QStringLiteral("Pic1Width"));
        QVERIFY(store.sync());
    }
    QProcess program;
    program.start(binary(), {});
    InstanceMessage activate;
    activate.kind = InstanceMessage::Kind::Activate;
    QTRY_COMPARE_WITH_TIMEOUT(
        InstanceClient::send(InstancePaths::socketPath(), activate, 500).outcome,
        InstanceClient::Outcome::Accepted, 10000);
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    // The program closed itself: what it writes at every exit is there, the
    // window sizes of the last close by the user are kept.
    SettingsStore store(settingsFile);
    QCOMPARE(store.read(Settings::General, QStringLiteral("Pic1Width"), QString()),
             QStringLiteral("2295"));
    QCOMPARE(store.read(Settings::General, QStringLiteral("WindowSize"), QString()),
             QStringLiteral("2"));
}

void TestHandoff::handoffGivesUpAfterThirtyAttempts()
{
    TestHome home;
    ScriptedPrompter prompter;
    prompter.expectMessage(QStringLiteral("File: /a b.txt\nDDE Error: "));
    frmDDE dde({QStringLiteral("/a b.txt")}, home.path(QStringLiteral("nobody.socket")));
    QSignalSpy unloaded(&dde, &frmDDE::unloaded);
    QElapsedTimer clock;
    clock.start();
    dde.Form_Load();
    QVERIFY(unloaded.wait(10000));
    QCOMPARE(dde.LinkAttempts, qint16(30));
    QVERIFY(clock.elapsed() >= 2500);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

namespace {
// A running instance that answers every request with link error 11, on a thread
// of its own because the hand-off waits for its answer.
class FailingInstance : public QThread {
public:
    explicit FailingInstance(const QString& path) : m_path(path) {}
    QSemaphore listening;

protected:
    void run() override
    {
        QLocalServer server;
        server.listen(m_path);
        QObject::connect(&server, &QLocalServer::newConnection, [&] {
            QLocalSocket* s = server.nextPendingConnection();
            s->write("E\x0b", 2);
            s->flush();
        });
        listening.release();
        exec();
    }

private:
    QString m_path;
};
} // namespace

void TestHandoff::linkErrorEndsTheHandoff()
{
    TestHome home;
    const QString path = home.path(QStringLiteral("fake.socket"));
    FailingInstance fake(path);
    fake.start();
    fake.listening.acquire();
    const auto stop = qScopeGuard([&] {
        fake.quit();
        fake.wait();
    });
    ScriptedPrompter prompter;
    prompter.expectMessage(QStringLiteral("DDE Error: 11 - Not enough memory for DDE."));
    frmDDE dde({QStringLiteral("/x.txt"), QStringLiteral("/y.txt")}, path);
    QSignalSpy unloaded(&dde, &frmDDE::unloaded);
    dde.Form_Load();
    QVERIFY(unloaded.wait(5000));
    QCOMPARE(dde.LinkAttempts, qint16(0));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestHandoff::devicesAndPipesAreRefusedNotRead()
{
    RunningInstance instance;
    ScriptedPrompter prompter;
    const QString pipe = instance.home.path(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString after = instance.home.write(QStringLiteral("after.txt"), "still here");
    // Each refusal stops its batch; the next start's file still opens.
    prompter.expectMessage(QStringLiteral("Error: /dev/zero\nThe path is a device"));
    QVERIFY(runSecondStart({QStringLiteral("/dev/zero")}, instance.home.path(QString())));
    QTRY_COMPARE_WITH_TIMEOUT(prompter.shown.size(), 1, 5000);
    prompter.expectMessage(QStringLiteral("Error: ") + pipe +
                           QStringLiteral("\nThe path is a pipe"));
    QVERIFY(runSecondStart({pipe}, instance.home.path(QString())));
    QTRY_COMPARE_WITH_TIMEOUT(prompter.shown.size(), 2, 5000);
    QVERIFY(runSecondStart({after}, instance.home.path(QString())));
    QTRY_COMPARE_WITH_TIMEOUT(instance.captions(), QStringList(after), 5000);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestHandoff::busyInstanceAnswersAtOnceAndOpensARepeatOnce()
{
    RunningInstance instance;
    InstanceMessage request;
    request.command = instance.home.path(QStringLiteral("late.txt"));
    request.id = InstanceMessage::newId();
    InstanceClient::Reply reply;
    std::unique_ptr<QThread> secondStart(QThread::create(
        [&] { reply = InstanceClient::send(InstancePaths::socketPath(), request, 1000); }));
    secondStart->start();
    // The window's thread is busy for longer than a second start waits for an
    // answer, as while it loads a large file.
    QThread::msleep(2500);
    QVERIFY(secondStart->wait(5000));
    QCOMPARE(reply.outcome, InstanceClient::Outcome::Accepted);
    // The same request again (its first answer came too late for the sender)
    // is answered, but the path opens once.
    QCOMPARE(InstanceClient::send(InstancePaths::socketPath(), request, 1000).outcome,
             InstanceClient::Outcome::Accepted);
    request.id = InstanceMessage::newId();
    request.command = instance.home.path(QStringLiteral("other.txt"));
    QCOMPARE(InstanceClient::send(InstancePaths::socketPath(), request, 1000).outcome,
             InstanceClient::Outcome::Accepted);
    QTRY_COMPARE(instance.arrived.size(), 2);
    QCOMPARE(instance.arrived,
             QStringList({instance.home.path(QStringLiteral("late.txt")), request.command}));
    // A closing program refuses what it could no longer open.
    instance.server.setAccepting(false);
    QCOMPARE(InstanceClient::send(InstancePaths::socketPath(), request, 1000).outcome,
             InstanceClient::Outcome::Failed);
}

QTEST_MAIN(TestHandoff)
#include "tst_handoff.moc"
