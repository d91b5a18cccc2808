#include "app/commandline.h"
#include "app/linkerror.h"
#include "app/openqueue.h"
#include "platform/instancemessage.h"
#include "support/testhome.h"

#include <QDir>
#include <QTest>

class TestOpenQueue : public QObject {
    Q_OBJECT
private slots:
    void nothingOpensBeforeTheDeferredStart();
    void opensOneEntryPerTickInOrder();
    void cancelEmptiesTheRestOfTheBatch();
    void pathsArrivingDuringAnOpeningAreAnotherBatch();
    void outsidePathsAreMarkedUntilDrained();
    void runOpensOneAfterAnotherInOrder();
    void runPausesAndGoesOn();
    void runNeverStartsAnotherWhileAnOpeningAsks();
    void runLeavesLaterRequestsAfterACancel();
    void runWaitsUnlessIdle_data();
    void runWaitsUnlessIdle();
    void commandLinePaths();
    void linkErrorTexts_data();
    void linkErrorTexts();
    void handoffFailureText();
    void messagesRoundTrip();
    void malformedMessagesAreRefused();
};

void TestOpenQueue::nothingOpensBeforeTheDeferredStart()
{
    OpenQueue queue;
    queue.append(QStringLiteral("/a"), 0);
    QStringList opened;
    QCOMPARE(queue.tick([&](const QString& p) { opened << p; }, [] { return false; }),
             OpenQueue::Tick::Waiting);
    QVERIFY(opened.isEmpty());
    QCOMPARE(queue.Queue.size(), 1);
}

void TestOpenQueue::opensOneEntryPerTickInOrder()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    queue.append(QStringLiteral("/a"), 1);
    queue.append(QStringLiteral("/b"), 1);
    QStringList opened;
    const auto open = [&](const QString& p) { opened << p; };
    QCOMPARE(queue.tick(open, [] { return false; }), OpenQueue::Tick::Opened);
    // Still busy with /a: the next tick must not hand out /b.
    QCOMPARE(queue.tick(open, [] { return false; }), OpenQueue::Tick::Waiting);
    queue.finished();
    QCOMPARE(queue.tick(open, [] { return false; }), OpenQueue::Tick::Opened);
    queue.finished();
    QCOMPARE(queue.tick(open, [] { return false; }), OpenQueue::Tick::Drained);
    QCOMPARE(opened, QStringList({QStringLiteral("/a"), QStringLiteral("/b")}));
    QCOMPARE(queue.OpenQueueState, qint16(OpenQueue::Idle));
}

void TestOpenQueue::cancelEmptiesTheRestOfTheBatch()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    for (const char* p : {"/a", "/b", "/c"})
        queue.append(QString::fromLatin1(p), 1);
    QStringList opened;
    QCOMPARE(queue.tick([&](const QString& p) { opened << p; }, [] { return true; }),
             OpenQueue::Tick::Cancelled);
    QCOMPARE(opened, QStringList({QStringLiteral("/a")}));
    QVERIFY(queue.Queue.isEmpty());
}

void TestOpenQueue::pathsArrivingDuringAnOpeningAreAnotherBatch()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    queue.append(QStringLiteral("/a"), 0);
    queue.append(QStringLiteral("/b"), 0);
    QStringList opened;
    bool cancel = false;
    // While /a's error message waits for a click, another start hands over /later.
    const auto open = [&](const QString& p) {
        opened << p;
        if (p == QStringLiteral("/a")) {
            queue.append(QStringLiteral("/later"), 0);
            cancel = true;
        }
    };
    QCOMPARE(queue.tick(open, [&] { return cancel; }), OpenQueue::Tick::Cancelled);
    QCOMPARE(queue.Queue.size(), 1);
    QCOMPARE(queue.Queue.head().path, QStringLiteral("/later"));
    cancel = false;
    queue.finished();
    queue.append(QStringLiteral("/with later"), 0); // joins the batch being opened
    queue.tick(open, [&] { return cancel; });
    queue.finished();
    queue.tick(open, [&] { return cancel; });
    QCOMPARE(opened, QStringList({QStringLiteral("/a"), QStringLiteral("/later"),
                                  QStringLiteral("/with later")}));
}

void TestOpenQueue::outsidePathsAreMarkedUntilDrained()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    queue.append(QStringLiteral("/a"), 1);
    QVERIFY(!queue.OpenFromOutside);
    queue.append(QStringLiteral("/b"), 0);
    QVERIFY(queue.OpenFromOutside);
    queue.append(QStringLiteral("/c"), 1);
    QVERIFY(queue.OpenFromOutside);
    for (int i = 0; i < 3; ++i) {
        queue.tick([](const QString&) {}, [] { return false; });
        queue.finished();
    }
    queue.tick([](const QString&) {}, [] { return false; });
    QVERIFY(!queue.OpenFromOutside);
}

namespace {
// Steps that record what is opened and finish each opening as it returns.
struct Recorder {
    explicit Recorder(OpenQueue& q) : queue(q) {}

    OpenQueue& queue;
    QStringList opened;
    QStringList cancelling;
    int newBatches = 0;
    int pauseAfter = -1;

    OpenQueue::Steps steps()
    {
        return {[this](const QString& p) {
                    opened << p;
                    queue.finished();
                },
                [this] { return !opened.isEmpty() && cancelling.contains(opened.last()); },
                [this] { ++newBatches; },
                [this] { return pauseAfter >= 0 && opened.size() >= pauseAfter; }};
    }
};

QStringList names(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* p : list)
        out << QString::fromLatin1(p);
    return out;
}
} // namespace

void TestOpenQueue::runOpensOneAfterAnotherInOrder()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    for (const QString& p : names({"/1", "/2", "/3", "/4"}))
        queue.append(p, 0);
    Recorder recorder(queue);
    QCOMPARE(queue.run(recorder.steps()), OpenQueue::Tick::Drained);
    QCOMPARE(recorder.opened, names({"/1", "/2", "/3", "/4"}));
    QCOMPARE(queue.OpenQueueState, qint16(OpenQueue::Idle));
    QVERIFY(!queue.OpenFromOutside);
    QCOMPARE(recorder.newBatches, 0);
}

void TestOpenQueue::runPausesAndGoesOn()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    for (const QString& p : names({"/1", "/2", "/3"}))
        queue.append(p, 0);
    Recorder recorder(queue);
    recorder.pauseAfter = 2;
    QCOMPARE(queue.run(recorder.steps()), OpenQueue::Tick::Opened);
    QCOMPARE(recorder.opened, names({"/1", "/2"}));
    // Between runs the queue is idle and marked as holding paths from outside.
    QCOMPARE(queue.OpenQueueState, qint16(OpenQueue::Idle));
    QVERIFY(queue.OpenFromOutside);
    QCOMPARE(queue.run(recorder.steps()), OpenQueue::Tick::Drained);
    QCOMPARE(recorder.opened, names({"/1", "/2", "/3"}));
}

void TestOpenQueue::runNeverStartsAnotherWhileAnOpeningAsks()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    for (const QString& p : names({"/asks", "/next"}))
        queue.append(p, 0);
    QStringList opened;
    OpenQueue::Tick nested = OpenQueue::Tick::Drained;
    qint16 stateWhileAsking = OpenQueue::Idle;
    OpenQueue::Steps steps;
    steps.batchCancelled = [] { return false; };
    steps.open = [&](const QString& p) {
        opened << p;
        if (p == QStringLiteral("/asks")) {
            // The question's event loop: a request arrives and the timer ticks.
            queue.append(QStringLiteral("/meanwhile"), 0);
            stateWhileAsking = queue.OpenQueueState;
            nested = queue.run(steps);
        }
        queue.finished();
    };
    QCOMPARE(queue.run(steps), OpenQueue::Tick::Drained);
    QCOMPARE(nested, OpenQueue::Tick::Waiting);
    QCOMPARE(stateWhileAsking, qint16(OpenQueue::Busy));
    QCOMPARE(opened, names({"/asks", "/next", "/meanwhile"}));
}

void TestOpenQueue::runLeavesLaterRequestsAfterACancel()
{
    OpenQueue queue;
    queue.OpenQueueState = OpenQueue::Idle;
    for (const QString& p : names({"/a", "/cancel", "/b", "/c"}))
        queue.append(p, 0);
    Recorder recorder(queue);
    recorder.cancelling << QStringLiteral("/cancel");
    OpenQueue::Steps steps = recorder.steps();
    const auto open = steps.open;
    steps.open = [&](const QString& p) {
        // Another start hands a path over while the failed one's message waits.
        if (p == QStringLiteral("/cancel"))
            queue.append(QStringLiteral("/later"), 0);
        open(p);
    };
    QCOMPARE(queue.run(steps), OpenQueue::Tick::Drained);
    QCOMPARE(recorder.opened, names({"/a", "/cancel", "/later"}));
    QCOMPARE(recorder.newBatches, 1);
}

void TestOpenQueue::runWaitsUnlessIdle_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("before the deferred start") << int(OpenQueue::NotReady);
    QTest::newRow("an opening in progress") << int(OpenQueue::Busy);
}

void TestOpenQueue::runWaitsUnlessIdle()
{
    QFETCH(int, state);
    OpenQueue queue;
    queue.OpenQueueState = qint16(state);
    queue.append(QStringLiteral("/a"), 0);
    Recorder recorder(queue);
    QCOMPARE(queue.run(recorder.steps()), OpenQueue::Tick::Waiting);
    QVERIFY(recorder.opened.isEmpty());
    QCOMPARE(queue.Queue.size(), 1);
    QCOMPARE(queue.OpenQueueState, qint16(state));
    // An empty queue is not reported drained either: that is the pump's to say when idle.
    queue.Queue.clear();
    QCOMPARE(queue.run(recorder.steps()), OpenQueue::Tick::Waiting);
}

void TestOpenQueue::commandLinePaths()
{
    TestHome home;
    const QString cwd = home.path(QStringLiteral("work"));
    QDir().mkpath(cwd);
    home.write(QStringLiteral("work/\"odd\".txt"), "x");
    const QStringList paths =
        CommandLine::paths({QStringLiteral("notes.txt"), QStringLiteral("\"my notes.txt\""),
                            QStringLiteral("../up.txt"), QStringLiteral("/abs/x.rtf"),
                            QStringLiteral("\"odd\".txt"), QString()},
                           cwd);
    QCOMPARE(paths,
             QStringList({cwd + QStringLiteral("/notes.txt"), cwd + QStringLiteral("/my notes.txt"),
                          home.path(QStringLiteral("up.txt")), QStringLiteral("/abs/x.rtf"),
                          cwd + QStringLiteral("/\"odd\".txt")}));
}

void TestOpenQueue::linkErrorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("11") << 11 << "DDE Error: 11 - Not enough memory for DDE.";
    QTest::newRow("1") << 1 << "DDE Error: 1 - Data requested is wrong format.";
    QTest::newRow("7")
        << 7
        << "DDE Error: 7 - Limit of 128 DDE links has been exceeded.  No more source "
           "links are available.";
    QTest::newRow("3") << 3 << "DDE Error: Unknown error code: 3";
}

void TestOpenQueue::linkErrorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(LinkError::text(code), text);
}

void TestOpenQueue::handoffFailureText()
{
    QCOMPARE(LinkError::handoffFailed(QStringLiteral("/a b.txt"), 2, QStringLiteral("not found")),
             QStringLiteral("File: /a b.txt\nDDE Error: 2 not found"));
}

void TestOpenQueue::messagesRoundTrip()
{
    InstanceMessage message;
    message.command = QStringLiteral("/home/ü/\"quoted\" file.txt");
    message.id = InstanceMessage::newId();
    QByteArray bytes = message.encode();
    bytes += "trailing";
    InstanceMessage decoded;
    qsizetype consumed = 0;
    // Every prefix is incomplete, never malformed.
    const qsizetype full = message.encode().size();
    for (qsizetype n = 0; n < full; ++n)
        QCOMPARE(InstanceMessage::decode(bytes.left(n), &decoded, &consumed),
                 InstanceMessage::Parse::Incomplete);
    QCOMPARE(InstanceMessage::decode(bytes, &decoded, &consumed), InstanceMessage::Parse::Complete);
    QCOMPARE(decoded.command, message.command);
    QCOMPARE(decoded.id, message.id);
    QCOMPARE(decoded.kind, InstanceMessage::Kind::Execute);
    QCOMPARE(consumed, full);
}

void TestOpenQueue::malformedMessagesAreRefused()
{
    InstanceMessage decoded;
    qsizetype consumed = 0;
    const auto parse = [&](const QByteArray& b) {
        return InstanceMessage::decode(b, &decoded, &consumed);
    };
    QCOMPARE(parse("GET / HTTP/1.1\r\n"), InstanceMessage::Parse::Malformed);
    QByteArray wrongVersion = InstanceMessage().encode();
    wrongVersion[4] = 9;
    QCOMPARE(parse(wrongVersion), InstanceMessage::Parse::Malformed);
    QByteArray oversized = InstanceMessage().encode().left(6);
    oversized.append("\x7f\xff\xff\xff", 4);
    oversized.append(InstanceMessage::IdSize, 'i');
    QCOMPARE(parse(oversized), InstanceMessage::Parse::Malformed);
    InstanceMessage withNul;
    withNul.command = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QCOMPARE(parse(withNul.encode()), InstanceMessage::Parse::Malformed);
    QByteArray badUtf8 = InstanceMessage().encode().left(6);
    badUtf8.append("\0\0\0\2", 4);
    badUtf8.append(InstanceMessage::IdSize, 'i');
    badUtf8.append("\xff\xfe", 2);
    QCOMPARE(parse(badUtf8), InstanceMessage::Parse::Malformed);
}

QTEST_GUILESS_MAIN(TestOpenQueue)
#include "tst_openqueue.moc"
