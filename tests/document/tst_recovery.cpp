#include "app/framestatusbar.h"
#include "document/diskchange.h"
#include "document/diskwatch.h"
#include "document/recoverycontroller.h"
#include "document/recoverystore.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

RecoveryOwner endedOwner()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForFinished();
    return {QSysInfo::machineHostName(), QString(), process.processId()};
}

RecoveryCopy leftCopy(const QString& path, const QByteArray& content, int secondsAgo)
{
    RecoveryCopy copy;
    copy.owner = endedOwner();
    copy.savedAt = QDateTime::currentDateTimeUtc().addSecs(-secondsAgo);
    copy.originalPath = path;
    copy.content = content;
    if (!path.isEmpty())
        copy.disk = DiskStamp::quick(path);
    return copy;
}

QStringList names(const QList<RecoveryStore::Entry>& entries)
{
    QStringList list;
    for (const RecoveryStore::Entry& entry : entries)
        list.append(entry.name);
    return list;
}

QList<RecoveryCopy> copies(const RecoveryStore& store)
{
    QList<RecoveryCopy> list;
    for (const RecoveryStore::Entry& entry : store.list())
        if (entry.copy)
            list.append(*entry.copy);
    return list;
}

// The deferred start without the messages of the other start-up steps.
void start(FrameFixture& f)
{
    f.store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
    f.store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                  QStringLiteral("False"));
    f.start();
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void init();
    void copiesFollowTheDocuments();
    void copyWaitsForAPause();
    void copyIsWrittenWhileTypingGoesOn();
    void largeDocumentIsTakenBetweenEvents();
    void normalExitLeavesNoCopy();
    void systemEndWritesCopiesBeforeAsking();
    void recoverBringsDocumentsBack();
    void recoveredRichTextSavesAsItWas();
    void fileChangedAfterTheCopyIsNotSavedOver();
    void reloadOverTheEditsDropsTheirCopy();
    void discardAndLater_data();
    void discardAndLater();
    void unreadableCopyIsReportedAndKept();
    void runningProgramsCopiesAreNotOffered();
    void unwritableFolderIsToldOnce();
    void fileGoneFromDiskGetsACopy_data();
    void fileGoneFromDiskGetsACopy();
};

void TestRecovery::init()
{
    QDir(RecoveryStore::defaultFolder()).removeRecursively();
    QFile::remove(RecoveryStore::defaultFolder());
}

void TestRecovery::copiesFollowTheDocuments()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    QVERIFY(recovery);
    const QString path = f.home.write(QStringLiteral("notes.txt"), "\xEF\xBB\xBFone\r\ntwo\r\n");
    frmText* titled = f.documents().LoadDocument(path);
    QTest::keyClicks(titled->RichTextBox1, QStringLiteral("new "));
    frmText* untitled = f.documents().NewDocument();
    QTest::keyClicks(untitled->RichTextBox1, QStringLiteral("scratch"));
    frmText* clean = f.documents().NewDocument();
    recovery->writeAllNow();

    const RecoveryStore& store = recovery->store();
    QStringList expected{recovery->copyName(titled), recovery->copyName(untitled)};
    expected.sort();
    QCOMPARE(names(store.list()), expected);
    QVERIFY(!recovery->copyName(clean).isEmpty());
    const RecoveryCopy titledCopy = store.read(recovery->copyName(titled)).value();
    QCOMPARE(titledCopy.originalPath, path);
    QCOMPARE(titledCopy.kind, DocumentKind::Text);
    QCOMPARE(titledCopy.format, (TextFileFormat{"UTF-8", true, LineEnding::CRLF, {}}));
    QCOMPARE(titledCopy.content, QByteArray("new one\ntwo\n"));
    QCOMPARE(titledCopy.caret, 4);
    QCOMPARE(titledCopy.owner.pid, QCoreApplication::applicationPid());
    const RecoveryCopy untitledCopy = store.read(recovery->copyName(untitled)).value();
    QVERIFY(untitledCopy.originalPath.isEmpty());
    QCOMPARE(untitledCopy.content, QByteArray("scratch"));

    QVERIFY(f.documents().save(titled));
    recovery->waitForWrites();
    QCOMPARE(names(store.list()), QStringList{recovery->copyName(untitled)});
    QCOMPARE(TestHome::read(path), QByteArray("\xEF\xBB\xBFnew one\r\ntwo\r\n"));

    f.prompter.expectMessage(frmText::changedQuestion(untitled->windowTitle()), Answer::No);
    QVERIFY(untitled->close());
    recovery->waitForWrites();
    QVERIFY(store.list().isEmpty());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecovery::copyWaitsForAPause()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    frmText* window = f.documents().NewDocument();
    const auto activeTimers = [recovery] {
        int active = 0;
        for (QTimer* timer : recovery->findChildren<QTimer*>())
            if (timer->isActive() && timer->interval() <= RecoveryController::QuietMilliseconds)
                ++active;
        return active;
    };
    QCOMPARE(activeTimers(), 0);
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("abc"));
    QCOMPARE(activeTimers(), 1);
    recovery->waitForWrites();
    QVERIFY(recovery->store().list().isEmpty()); // nothing is written while typing goes on
}

void TestRecovery::copyIsWrittenWhileTypingGoesOn()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    // Typing never pauses as long as the quiet time; the copy comes anyway.
    recovery->setDelays(60000, 300);
    frmText* window = f.documents().NewDocument();
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("a"));
    QList<RecoveryCopy> written;
    for (int key = 0; key < 100 && written.isEmpty(); ++key) {
        QTest::keyClicks(window->RichTextBox1, QStringLiteral("b"));
        QTest::qWait(20);
        recovery->waitForWrites();
        written = copies(recovery->store());
    }
    QCOMPARE(written.size(), 1);
    QVERIFY(written[0].content.startsWith("abb"));
}

void TestRecovery::largeDocumentIsTakenBetweenEvents()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    // Every document taken in slices of a paragraph each.
    recovery->setSlices(0, 0);
    QByteArray lines;
    for (int i = 0; i < 300; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    const QString path = f.home.write(QStringLiteral("long.txt"), lines);
    frmText* window = f.documents().LoadDocument(path);
    RichTextBox* box = window->RichTextBox1;
    const auto typeAt = [box](int position, const QString& text) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
        QTest::keyClicks(box, text);
    };
    const auto turns = [](int count) {
        for (int i = 0; i < count; ++i)
            QCoreApplication::processEvents();
    };
    const auto pause = [recovery, &turns] {
        for (QTimer* timer : recovery->findChildren<QTimer*>())
            if (timer->isActive() && timer->interval() == RecoveryController::QuietMilliseconds)
                timer->start(0);
        turns(20);
    };

    // Typed in what was taken, and at the end, while the copy is taken.
    typeAt(0, QStringLiteral("first "));
    pause();
    recovery->waitForWrites();
    QVERIFY(copies(recovery->store()).isEmpty());
    typeAt(11, QStringLiteral("again "));
    typeAt(box->document()->characterCount() - 1, QStringLiteral("last"));
    QList<RecoveryCopy> written;
    for (int i = 0; i < 5000 && written.isEmpty(); ++i) {
        turns(1);
        recovery->waitForWrites();
        written = copies(recovery->store());
    }
    QCOMPARE(written.size(), 1);
    const QByteArray expected = "first line again 0\n" + lines.mid(7) + "last";
    QCOMPARE(written[0].content, expected);
    QCOMPARE(written[0].caret, expected.size());

    // Saved while a copy is taken: no copy comes after.
    typeAt(0, QStringLiteral("x"));
    pause();
    QVERIFY(f.documents().save(window));
    turns(1000);
    recovery->waitForWrites();
    QVERIFY(copies(recovery->store()).isEmpty());

    // The system ending the program does not wait for the slices.
    typeAt(0, QStringLiteral("y"));
    pause();
    recovery->writeAllNow();
    written = copies(recovery->store());
    QCOMPARE(written.size(), 1);
    QCOMPARE(written[0].content, "yx" + expected);

    // All of it typed over while its copy is taken: the copy holds only what replaced it.
    typeAt(0, QStringLiteral("z"));
    pause();
    turns(5);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("new"));
    pause();
    for (int i = 0; i < 5000; ++i) {
        turns(1);
        recovery->waitForWrites();
        written = copies(recovery->store());
        if (written.size() == 1 && written[0].content.size() < 10)
            break;
    }
    QCOMPARE(written.size(), 1);
    QCOMPARE(written[0].content, QByteArray("new"));
    window->state().Dirty = false;
}

void TestRecovery::normalExitLeavesNoCopy()
{
    auto* f = new FrameFixture;
    auto* recovery = f->frame.findChild<RecoveryController*>();
    const RecoveryStore store = recovery->store();
    frmText* window = f->documents().NewDocument();
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("kept until the end"));
    recovery->writeAllNow();
    QCOMPARE(store.list().size(), 1);
    f->prompter.expectMessage(QStringLiteral("has changed"), Answer::No);
    f->frame.mnuExit_Click();
    QVERIFY2(f->prompter.done(), qPrintable(f->prompter.report()));
    delete f;
    QVERIFY(store.list().isEmpty());
}

void TestRecovery::systemEndWritesCopiesBeforeAsking()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    frmText* window = f.documents().NewDocument();
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("typed just now"));
    QList<RecoveryCopy> whileAsked;
    // The session may end the program while the question waits: the copy is there first.
    f.prompter.expectMessage(QStringLiteral("has changed"), Answer::Cancel).whileShown([&] {
        whileAsked = copies(recovery->store());
    });
    f.frame.closeBySystem();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(whileAsked.size(), 1);
    QCOMPARE(whileAsked[0].content, QByteArray("typed just now"));
    // Cancelled, the program goes on and so does its copy.
    QVERIFY(f.frame.isVisible());
    QCOMPARE(copies(recovery->store()).size(), 1);
}

void TestRecovery::recoverBringsDocumentsBack()
{
    FrameFixture f;
    const QByteArray onDisk = "\xEF\xBB\xBFold\r\n";
    const QString path = f.home.write(QStringLiteral("notes.txt"), onDisk);
    const RecoveryStore store(RecoveryStore::defaultFolder());
    RecoveryCopy titled = leftCopy(path, "new text\nline two\n", 20);
    titled.format = {"UTF-8", true, LineEnding::CRLF, {}};
    titled.caret = 3;
    QVERIFY(store.write(QStringLiteral("b.recovery"), titled).ok());
    QVERIFY(store
                .write(QStringLiteral("a.recovery"),
                       leftCopy(QString(), QByteArrayLiteral("scratch"), 60))
                .ok());
    f.prompter.expectRecovery(RecoveryController::Question, RecoveryAnswer::Recover);
    start(f);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const RecoveryRequest request = f.prompter.recoveryRequests.value(0);
    QCOMPARE(request.items.size(), 2);
    QCOMPARE(request.items[0].name, RecoveryController::UntitledName); // the older first
    QCOMPARE(request.items[1].name, QStringLiteral("notes.txt"));
    QCOMPARE(request.items[1].savedAt, titled.savedAt);
    QVERIFY(request.items[1].bytes > titled.content.size());

    const QList<frmText*> windows = f.documentWindows();
    QCOMPARE(windows.size(), 2);
    QVERIFY(windows[0]->state().FileName.isEmpty());
    QCOMPARE(windows[0]->RichTextBox1->toPlainText(), QStringLiteral("scratch"));
    QVERIFY(windows[0]->state().Dirty);
    frmText* notes = windows[1];
    QCOMPARE(notes->state().FileName, path);
    QCOMPARE(notes->windowTitle(), path);
    QVERIFY(notes->state().Dirty);
    QCOMPARE(notes->RichTextBox1->toPlainText(), QStringLiteral("new text\nline two\n"));
    QCOMPARE(notes->RichTextBox1->textCursor().position(), 3);
    QCOMPARE(TestHome::read(path), onDisk);

    // The copies now belong to this instance, under its own names.
    auto* recovery = f.frame.findChild<RecoveryController*>();
    recovery->waitForWrites();
    QStringList expected{recovery->copyName(windows[0]), recovery->copyName(notes)};
    expected.sort();
    QCOMPARE(names(store.list()), expected);
    for (const RecoveryCopy& copy : copies(store))
        QCOMPARE(copy.owner.pid, QCoreApplication::applicationPid());

    QVERIFY(f.documents().save(notes));
    QCOMPARE(TestHome::read(path), QByteArray("\xEF\xBB\xBFnew text\r\nline two\r\n"));
}

void TestRecovery::recoveredRichTextSavesAsItWas()
{
    FrameFixture f;
    // The RTF a document window of this program writes, its default font and all.
    frmText* source = f.documents().NewDocument();
    QTextCursor cursor(source->RichTextBox1->document());
    cursor.insertText(QStringLiteral("plain "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("bold"), bold);
    const QByteArray rtf = source->RichTextBox1->TextRTF();
    source->state().Dirty = false;
    QVERIFY(source->close());

    const QString path = f.home.write(QStringLiteral("letter.rtf"), "{\\rtf1 old}");
    RecoveryCopy copy = leftCopy(path, rtf, 5);
    copy.kind = DocumentKind::Rtf;
    copy.caret = 8;
    QVERIFY(RecoveryStore(RecoveryStore::defaultFolder()).write("r.recovery", copy).ok());
    f.prompter.expectRecovery(RecoveryController::Question, RecoveryAnswer::Recover);
    start(f);
    QCOMPARE(f.documentWindows().size(), 1);
    frmText* window = f.documentWindows()[0];
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("plain bold"));
    QCOMPARE(window->RichTextBox1->textCursor().charFormat().fontWeight(), int(QFont::Bold));
    QVERIFY(f.documents().save(window));
    QCOMPARE(TestHome::read(path), rtf);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecovery::fileChangedAfterTheCopyIsNotSavedOver()
{
    FrameFixture f;
    const QString path = f.home.write(QStringLiteral("log.txt"), "before\n");
    const RecoveryCopy copy = leftCopy(path, "before\nmine\n", 30);
    QVERIFY(RecoveryStore(RecoveryStore::defaultFolder()).write("l.recovery", copy).ok());
    // Another program wrote to the file after the crash.
    f.home.write(QStringLiteral("log.txt"), "before\noutside\n");
    f.prompter.expectRecovery(RecoveryController::Question, RecoveryAnswer::Recover)
        .expectMessage(QStringLiteral("Reload it and lose your changes?"), Answer::No)
        .expectMessage(QStringLiteral("since it was loaded or last saved"), Answer::No);
    start(f);
    frmText* window = f.documentWindows().value(0);
    QVERIFY(window);
    QTRY_COMPARE(f.prompter.messages.size(), 1);
    QVERIFY(!f.documents().save(window));
    QCOMPARE(TestHome::read(path), QByteArray("before\noutside\n"));
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("before\nmine\n"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecovery::reloadOverTheEditsDropsTheirCopy()
{
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    const QString path = f.home.write(QStringLiteral("notes.txt"), "one\n");
    frmText* window = f.documents().LoadDocument(path);
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("mine "));
    recovery->writeAllNow();
    recovery->waitForWrites();
    QCOMPARE(recovery->store().list().size(), 1);
    f.home.write(QStringLiteral("notes.txt"), "theirs\n");
    f.prompter.expectMessage(QStringLiteral("Reload it and lose your changes?"), Answer::Yes);
    f.frame.findChild<DiskWatch*>()->scheduleAll(true);
    f.frame.findChild<DiskWatch*>()->lookNow();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(window->RichTextBox1->document()->toPlainText(), QStringLiteral("theirs\n"));
    recovery->waitForWrites();
    QVERIFY(recovery->store().list().isEmpty());
}

void TestRecovery::discardAndLater_data()
{
    QTest::addColumn<RecoveryAnswer>("answer");
    QTest::newRow("discard") << RecoveryAnswer::Discard;
    QTest::newRow("later") << RecoveryAnswer::Later;
}

void TestRecovery::discardAndLater()
{
    QFETCH(RecoveryAnswer, answer);
    FrameFixture f;
    const RecoveryStore store(RecoveryStore::defaultFolder());
    QVERIFY(store.write(QStringLiteral("a.recovery"), leftCopy(QString(), "text", 5)).ok());
    QVERIFY(store.write(QStringLiteral("b.recovery"), leftCopy("/x/y.txt", "more", 5)).ok());
    const QByteArray a = TestHome::read(store.path(QStringLiteral("a.recovery")));
    f.prompter.expectRecovery(RecoveryController::Question, answer);
    start(f);
    QVERIFY(f.documentWindows().isEmpty());
    const QString discarded = store.folder() + QStringLiteral("/discarded/a.recovery");
    if (answer == RecoveryAnswer::Discard) {
        QVERIFY(store.list().isEmpty());
        QCOMPARE(TestHome::read(discarded), a);
    } else {
        QCOMPARE(store.list().size(), 2);
        QVERIFY(!QFileInfo::exists(discarded));
        // Offered again at the next start.
        f.prompter.expectRecovery(RecoveryController::Question, RecoveryAnswer::Later);
        f.frame.findChild<RecoveryController*>()->deferredStart();
    }
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecovery::unreadableCopyIsReportedAndKept()
{
    FrameFixture f;
    const RecoveryStore store(RecoveryStore::defaultFolder());
    QVERIFY(store.write(QStringLiteral("good.recovery"), leftCopy(QString(), "text", 5)).ok());
    const QByteArray cut = TestHome::read(store.path(QStringLiteral("good.recovery"))).chopped(9);
    QFile bad(store.path(QStringLiteral("cut.recovery")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(cut);
    bad.close();
    f.prompter.expectMessage(QStringLiteral("cut.recovery"), Answer::Ok);
    f.prompter.expectRecovery(RecoveryController::Question, RecoveryAnswer::Recover);
    start(f);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.recoveryRequests.value(0).items.size(), 1);
    QCOMPARE(f.documentWindows().size(), 1);
    f.frame.findChild<RecoveryController*>()->waitForWrites();
    QCOMPARE(TestHome::read(store.path(QStringLiteral("cut.recovery"))), cut);
    QVERIFY(!QFileInfo::exists(store.path(QStringLiteral("good.recovery"))));
}

void TestRecovery::runningProgramsCopiesAreNotOffered()
{
    FrameFixture f;
    const RecoveryStore store(RecoveryStore::defaultFolder());
    RecoveryCopy mine = leftCopy(QString(), "mine", 5);
    mine.owner = RecoveryOwner::current(QString());
    RecoveryCopy remote = leftCopy(QString(), "remote", 5);
    remote.owner.host = QStringLiteral("another-host.example");
    QVERIFY(store.write(QStringLiteral("mine.recovery"), mine).ok());
    QVERIFY(store.write(QStringLiteral("remote.recovery"), remote).ok());
    start(f);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(f.prompter.recoveryRequests.isEmpty());
    QCOMPARE(store.list().size(), 2);
}

void TestRecovery::unwritableFolderIsToldOnce()
{
    const QString folder = RecoveryStore::defaultFolder();
    QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    recovery->setDelays(50, 200);
    QSignalSpy told(recovery, &RecoveryController::problem);
    start(f);
    QCOMPARE(told.size(), 1);
    const QString text = told[0][0].toString();
    QVERIFY(text.startsWith(RecoveryController::problemMessage(QString())));
    QCOMPARE(f.frame.findChild<FrameStatusBar*>()->panel(QStringLiteral("stsDate"))->text(), text);

    frmText* window = f.documents().NewDocument();
    QTest::keyClicks(window->RichTextBox1, QStringLiteral("still typing"));
    recovery->writeAllNow();
    QTest::keyClicks(window->RichTextBox1, QStringLiteral(" on"));
    recovery->writeAllNow();
    QCOMPARE(told.size(), 1);
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("still typing on"));

    // The folder can be made again: the copy comes without more typing, and
    // the warning is taken back.
    QVERIFY(QFile::remove(folder));
    QTRY_COMPARE(copies(recovery->store()).size(), 1);
    QCOMPARE(copies(recovery->store())[0].content, QByteArray("still typing on"));
    QTRY_COMPARE(told.size(), 2);
    QCOMPARE(told[1][0].toString(), RecoveryController::KeptAgainMessage);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecovery::fileGoneFromDiskGetsACopy_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::newRow("deleted") << QString();
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("a device") << QStringLiteral("/dev/null");
}

// Nothing was typed, yet the text now lives only in the window.
void TestRecovery::fileGoneFromDiskGetsACopy()
{
    QFETCH(QString, replacement);
    FrameFixture f;
    auto* recovery = f.frame.findChild<RecoveryController*>();
    recovery->setDelays(50, 200);
    const QString path = f.home.write(QStringLiteral("only.txt"), "only here\n");
    frmText* window = f.documents().LoadDocument(path);
    QVERIFY(window);
    QVERIFY(QFile::remove(path));
    if (replacement == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (!replacement.isEmpty())
        QVERIFY(QFile::link(replacement, path));
    if (!replacement.isEmpty())
        f.prompter.expectMessage(DiskChange::unfitMessage(path), Answer::Ok);
    auto* watch = f.frame.findChild<DiskWatch*>();
    watch->scheduleAll(true);
    watch->lookNow();
    QVERIFY(window->state().Dirty);
    QTRY_COMPARE(copies(recovery->store()).size(), 1);
    const RecoveryCopy copy = copies(recovery->store())[0];
    QCOMPARE(copy.originalPath, path);
    QCOMPARE(copy.content, QByteArray("only here\n"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
