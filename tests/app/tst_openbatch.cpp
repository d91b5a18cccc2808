#include "app/frmmymdi.h"
#include "app/openqueue.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

// Many paths handed to a real frame at once, as a file manager does when the
// user opens a selection with the program.
namespace {
struct Fixture : FrameFixture {
    QTimer* timer5() const { return frame.findChild<QTimer*>(QStringLiteral("Timer5")); }
    QStringList captions() const
    {
        QStringList list;
        for (frmText* w : documentWindows())
            list << w->bareCaption();
        return list;
    }
    QStringList files(int count, const QString& prefix = QStringLiteral("f"))
    {
        QStringList paths;
        for (int i = 1; i <= count; ++i)
            paths << home.write(prefix + QString::number(i) + QStringLiteral(".txt"),
                                QByteArray("text ") + QByteArray::number(i));
        return paths;
    }
    // A path that cannot be read as a document: its opening reports the error
    // and cancels its batch.
    QString unreadable()
    {
        const QString folder = home.path(QStringLiteral("folder.txt"));
        QDir().mkpath(folder);
        return folder;
    }
    bool drain()
    {
        QSignalSpy drained(&frame, &frmMyMDI::queueDrained);
        return drained.wait(15000);
    }
};
} // namespace

class TestOpenBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<frmText*>(); }
    void opensInOrderWithTheLastActive_data();
    void opensInOrderWithTheLastActive();
    void theFrontWindowIsTheLastOneShown_data();
    void theFrontWindowIsTheLastOneShown();
    void cancelDropsTheRestOfItsBatchOnly();
    void requestDuringAQuestionWaitsForIt();
    void aQuestionShowsTheBatchSoFar();
    void nothingOpensBeforeTheDeferredStart();
};

void TestOpenBatch::opensInOrderWithTheLastActive_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("source");
    QTest::newRow("one from outside") << 1 << 0;
    QTest::newRow("forty from outside") << 40 << 0;
    QTest::newRow("forty from the program's lists") << 40 << 1;
}

void TestOpenBatch::opensInOrderWithTheLastActive()
{
    QFETCH(int, count);
    QFETCH(int, source);
    Fixture f;
    const QStringList paths = f.files(count);
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    for (const QString& path : paths)
        QVERIFY(f.frame.queuePath(path, source));
    QCOMPARE(f.frame.queue().Queue.size(), count);
    QVERIFY(f.drain());
    QCOMPARE(f.captions(), paths);
    QCOMPARE(opened.size(), count);
    QVERIFY(f.active());
    QCOMPARE(f.active()->bareCaption(), paths.last());
    QCOMPARE(f.active()->RichTextBox1->Text(), QStringLiteral("text %1").arg(count));
    // Done: the queue is idle again, the area is drawn and the wait cursor gone.
    QCOMPARE(f.frame.queue().OpenQueueState, qint16(OpenQueue::Idle));
    QVERIFY(!f.frame.queue().OpenFromOutside);
    QVERIFY(!f.timer5()->isActive());
    QVERIFY(f.area()->updatesEnabled());
    QVERIFY(f.area()->viewport()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestOpenBatch::theFrontWindowIsTheLastOneShown_data()
{
    // The batch, after "a" and "b" were opened by an earlier one: names of new
    // files, of open ones ("a", "b") or "bad" for a path that fails.
    QTest::addColumn<QStringList>("batch");
    QTest::addColumn<QString>("front");
    QTest::newRow("new ones") << QStringList{"c", "d"} << "d";
    QTest::newRow("ends with an open one") << QStringList{"c", "a"} << "a";
    QTest::newRow("only an open one") << QStringList{"a"} << "a";
    QTest::newRow("an open one first") << QStringList{"a", "c"} << "c";
    QTest::newRow("ends with a failure") << QStringList{"c", "bad"} << "c";
    QTest::newRow("only a failure") << QStringList{"bad"} << "b";
}

void TestOpenBatch::theFrontWindowIsTheLastOneShown()
{
    QFETCH(QStringList, batch);
    QFETCH(QString, front);
    Fixture f;
    const auto path = [&](const QString& name) {
        return name == QStringLiteral("bad") ? f.unreadable()
                                             : f.home.write(name + QStringLiteral(".txt"), "x");
    };
    f.frame.queuePath(path(QStringLiteral("a")), 0);
    f.frame.queuePath(path(QStringLiteral("b")), 0);
    QVERIFY(f.drain());
    for (const QString& name : batch) {
        if (name == QStringLiteral("bad"))
            f.prompter.expectMessage(QStringLiteral("Error: ") + path(name) + u'\n');
        f.frame.queuePath(path(name), 0);
    }
    QVERIFY(f.drain());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(f.active());
    QCOMPARE(f.active()->bareCaption(), path(front));
    QCOMPARE(f.area()->activeSubWindow(), f.active());
    QVERIFY(f.area()->viewport()->isEnabled());
    QVERIFY(f.area()->updatesEnabled());
}

void TestOpenBatch::cancelDropsTheRestOfItsBatchOnly()
{
    Fixture f;
    const QStringList before = f.files(2, QStringLiteral("before"));
    const QStringList after = f.files(3, QStringLiteral("after"));
    const QStringList later = f.files(2, QStringLiteral("later"));
    const QString bad = f.unreadable();
    // While the error waits for a click, another start hands over two more paths.
    f.prompter.expectMessage(QStringLiteral("Error: ") + bad + u'\n').whileShown([&] {
        for (const QString& path : later)
            f.frame.queuePath(path, 0);
    });
    for (const QString& path : before + QStringList{bad} + after)
        f.frame.queuePath(path, 0);
    QVERIFY(f.drain());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    // The paths after the failed one went with its batch; the later request did not.
    QCOMPARE(f.captions(), before + later);
    QCOMPARE(f.active()->bareCaption(), later.last());
    QVERIFY(f.frame.queue().Queue.isEmpty());
    QVERIFY(f.area()->updatesEnabled());
}

void TestOpenBatch::requestDuringAQuestionWaitsForIt()
{
    Fixture f;
    const QStringList first = f.files(1, QStringLiteral("first"));
    const QString bad = f.unreadable();
    const QStringList later = f.files(3, QStringLiteral("later"));
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    int openedMeanwhile = -1;
    qint16 stateMeanwhile = -1;
    f.prompter.expectMessage(QStringLiteral("Error: ") + bad + u'\n').whileShown([&] {
        for (const QString& path : later)
            f.frame.queuePath(path, 0);
        // The question's own event loop runs the queue's timer several times,
        // and whatever else the window does meanwhile.
        QTest::qWait(3 * OpenQueue::WakeInterval + 100);
        f.frame.Timer5_Timer();
        openedMeanwhile = opened.size();
        stateMeanwhile = f.frame.queue().OpenQueueState;
    });
    f.frame.queuePath(first.first(), 0);
    f.frame.queuePath(bad, 0);
    QVERIFY(f.drain());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(openedMeanwhile, 1);
    QCOMPARE(stateMeanwhile, qint16(OpenQueue::Busy));
    QCOMPARE(f.captions(), first + later);
}

void TestOpenBatch::aQuestionShowsTheBatchSoFar()
{
    Fixture f;
    const QStringList first = f.files(2, QStringLiteral("first"));
    const QString bad = f.unreadable();
    const QStringList later = f.files(2, QStringLiteral("later"));
    bool heldBefore = false;
    bool drawnWhileAsking = false;
    QString frontWhileAsking;
    f.prompter.expectMessage(QStringLiteral("Error: ") + bad + u'\n').whileShown([&] {
        heldBefore = !f.area()->updatesEnabled() && !f.area()->viewport()->isEnabled();
        // The real question is a modal window.
        QDialog question(&f.frame);
        question.setModal(true);
        question.show();
        drawnWhileAsking = f.area()->updatesEnabled() && f.area()->viewport()->isEnabled();
        if (QMdiSubWindow* front = f.area()->activeSubWindow())
            frontWhileAsking = static_cast<frmText*>(front)->bareCaption();
        question.close();
        for (const QString& path : later)
            f.frame.queuePath(path, 0);
    });
    for (const QString& path : first + QStringList{bad})
        f.frame.queuePath(path, 0);
    QVERIFY(f.drain());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(heldBefore);
    QVERIFY(drawnWhileAsking);
    QCOMPARE(frontWhileAsking, first.last());
    QCOMPARE(f.captions(), first + later);
    QCOMPARE(f.active()->bareCaption(), later.last());
    QVERIFY(f.area()->updatesEnabled());
    QVERIFY(f.area()->viewport()->isEnabled());
}

void TestOpenBatch::nothingOpensBeforeTheDeferredStart()
{
    Fixture f;
    f.frame.queue().OpenQueueState = OpenQueue::NotReady;
    const QStringList paths = f.files(5);
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    for (const QString& path : paths)
        f.frame.queuePath(path, 0);
    QTest::qWait(2 * OpenQueue::WakeInterval + 100);
    QCOMPARE(opened.size(), 0);
    QVERIFY(f.timer5()->isActive());
    // The area still draws what it had: a batch starts only with its first opening.
    QVERIFY(f.area()->updatesEnabled());
    f.frame.queue().OpenQueueState = OpenQueue::Idle;
    QVERIFY(f.drain());
    QCOMPARE(f.captions(), paths);
    QCOMPARE(f.active()->bareCaption(), paths.last());
}

QTEST_MAIN(TestOpenBatch)
#include "tst_openbatch.moc"
