#include "document/diskchange.h"
#include "document/diskwatch.h"
#include "document/frmtext.h"
#include "document/loadprogress.h"
#include "richtext/documentloader.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QThreadPool>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray numberedLines(const QByteArray& word, qint64 atLeast)
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < atLeast; ++i)
        bytes += word + ' ' + QByteArray::number(i) + '\n';
    return bytes;
}

// Keeps the worker threads busy, so that a reload started meanwhile waits until
// the test lets it run: what the window shows while it loads is then certain.
class PoolHold {
public:
    PoolHold() : m_count(DocumentLoader::pool()->maxThreadCount())
    {
        for (int i = 0; i < m_count; ++i)
            DocumentLoader::pool()->start([gates = m_gates] {
                gates->started.release();
                gates->open.acquire();
            });
        // Every thread is taken before the test goes on.
        m_gates->started.acquire(m_count);
    }
    ~PoolHold() { m_gates->open.release(m_count); }

private:
    struct Gates {
        QSemaphore started;
        QSemaphore open;
    };
    int m_count;
    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
};

struct Fixture : FrameFixture {
    DiskWatch* watch() const { return frame.findChild<DiskWatch*>(); }
    LoadProgress* progress() const { return frame.findChild<LoadProgress*>(); }
    QString status() const { return frame.findChild<QLabel*>(QStringLiteral("stsDate"))->text(); }
    // Every reload goes to the worker, however small the file.
    void reloadAllInBackground() const { watch()->setBackgroundBytes(0); }
    frmText* open(const QString& path)
    {
        commands()->OpenPath(path);
        return active();
    }
    // A file that reloads in the background when it changes, opened.
    frmText* openToReload(const QString& name, const QByteArray& bytes)
    {
        reloadAllInBackground();
        return open(home.write(name, bytes));
    }
    // Another program rewrites the file, and the watch looks at once.
    void rewrite(const QString& path, const QByteArray& bytes) const
    {
        writeFile(path, bytes);
        settle();
    }
    // Lets the watcher's news in and looks at it at once.
    void settle() const
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        watch()->lookNow();
    }
};

} // namespace

class TestDiskReload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<frmText*>(); }
    void cleanup() { DocumentLoader::pool()->waitForDone(); }
    void largeFileReloadsBehindTheOldText_data();
    void largeFileReloadsBehindTheOldText();
    void failedReloadKeepsTheText_data();
    void failedReloadKeepsTheText();
    void cancelKeepsTheTextAndTheNextChangeReloads();
    void editThatGetsInWinsOverTheFile();
    void changeWhileReadingIsReloadedAgain();
    void changeWhileOpeningIsReloaded();
    void saveWhileReloadingWritesNothing();
    void closeAfterChoosingReloadKeepsTheWindowUntilItIsIn();
    void windowClosedMidReload();
    void ownSaveDoesNotReload();
};

void TestDiskReload::largeFileReloadsBehindTheOldText_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("editable") << false;
    QTest::newRow("read-only window") << true;
}

// The size that sends a file to the worker when it is opened does so when it is reloaded.
void TestDiskReload::largeFileReloadsBehindTheOldText()
{
    QFETCH(bool, readOnly);
    Fixture f;
    const QByteArray before = numberedLines("old", DocumentLoader::BackgroundBytes + 1000);
    const QString path = f.home.write(QStringLiteral("big.txt"), before);
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    frmText* window = f.documents().LoadDocument(path);
    QVERIFY(opened.wait(20000));
    RichTextBox* box = window->RichTextBox1;
    box->setReadOnly(readOnly);
    box->setTextCursor(QTextCursor(box->document()->findBlockByNumber(5000)));
    box->ensureCursorVisible();
    const int top = box->verticalScrollBar()->value();
    QVERIFY(top > 0);

    const QByteArray after = numberedLines("new", DocumentLoader::BackgroundBytes + 5000);
    writeFile(path, after);
    f.settle();
    QVERIFY(box->isLoading());
    QVERIFY(box->isReadOnly());
    QCOMPARE(f.progress()->shown(), window);
    QVERIFY(f.progress()->isVisibleTo(&f.frame));
    QVERIFY(box->document()->firstBlock().text() == QStringLiteral("old 0"));
    // Typing meanwhile changes nothing the reload would throw away.
    QTest::keyClicks(box, QStringLiteral("typed"));
    QVERIFY(!box->toPlainText().contains(QStringLiteral("typed")));
    QVERIFY(!window->state().Dirty);

    QSignalSpy finished(box, &RichTextBox::loadFinished);
    QVERIFY(finished.wait(20000));
    QVERIFY(finished.first().first().value<Status>().ok());
    QCOMPARE(box->toPlainText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             QString::fromLatin1(after));
    QCOMPARE(box->textCursor().blockNumber(), 5000);
    QCOMPARE(box->verticalScrollBar()->value(), top);
    QCOMPARE(box->isReadOnly(), readOnly);
    QVERIFY(!window->state().Dirty);
    QCOMPARE(f.status(), DiskChange::reloadedStatus(path));
    QCOMPARE(f.progress()->shown(), nullptr);
    // The window is what the disk holds: a save asks nothing and writes it back as read.
    QVERIFY(f.documents().save(window));
    QCOMPARE(TestHome::read(path), after);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::failedReloadKeepsTheText_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("file deleted") << false;
    QTest::newRow("folder in its place") << true;
}

void TestDiskReload::failedReloadKeepsTheText()
{
    QFETCH(bool, folder);
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("f.txt"), "precious\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QSignalSpy finished(box, &RichTextBox::loadFinished);
    {
        PoolHold hold;
        f.rewrite(path, "theirs\n");
        QVERIFY(box->isLoading());
        QVERIFY(QFile::remove(path));
        if (folder) {
            QVERIFY(QDir().mkdir(path));
            f.prompter.expectMessage(DiskChange::unfitMessage(path));
        }
    }
    QVERIFY(finished.wait(20000));
    QVERIFY(!finished.first().first().value<Status>().ok());
    QCOMPARE(box->toPlainText(), QStringLiteral("precious\n"));
    QVERIFY(!box->isReadOnly());
    // Changed from the file, so closing asks and a save writes it again.
    QVERIFY(window->state().Dirty);
    if (!folder)
        QCOMPARE(f.status(), DiskChange::goneStatus(path));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    // Told once: looking again says nothing more.
    f.watch()->scheduleAll(true);
    f.settle();
    QVERIFY(!box->isLoading());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::cancelKeepsTheTextAndTheNextChangeReloads()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("c.txt"), "mine\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    {
        PoolHold hold;
        f.rewrite(path, "theirs 1\n");
        QCOMPARE(f.progress()->shown(), window);
        QSignalSpy finished(box, &RichTextBox::loadFinished);
        f.progress()->cancelShown();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().value<Status>().error().code, ErrorCode::Cancelled);
    }
    QCOMPARE(box->toPlainText(), QStringLiteral("mine\n"));
    QVERIFY(!box->isReadOnly());
    QVERIFY(window->state().Dirty);
    QVERIFY(f.progress()->isHidden());
    // Not asked again for the change the user stopped; a save would ask first.
    f.watch()->scheduleAll(true);
    f.settle();
    QVERIFY(!box->isLoading());
    QVERIFY(f.documents().fileChangedOnDisk(window));

    // The mark is ours, not an edit: the next change simply reloads.
    writeFile(path, "theirs 2 and more\n");
    QTRY_COMPARE(box->toPlainText(), QStringLiteral("theirs 2 and more\n"));
    QTRY_VERIFY(!box->isLoading());
    QVERIFY(!window->state().Dirty);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

// A command that works on the text past the read-only state (a replace, a tool):
// its change is kept rather than thrown away with the old document.
void TestDiskReload::editThatGetsInWinsOverTheFile()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("e.txt"), "mine\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QSignalSpy finished(box, &RichTextBox::loadFinished);
    {
        PoolHold hold;
        f.rewrite(path, "theirs\n");
        QVERIFY(box->isLoading());
        QTextCursor(box->document()).insertText(QStringLiteral("edited "));
        QVERIFY(window->state().Dirty);
    }
    QVERIFY(finished.wait(20000));
    QCOMPARE(box->toPlainText(), QStringLiteral("edited mine\n"));
    QVERIFY(window->state().Dirty);
    QCOMPARE(TestHome::read(path), QByteArray("theirs\n"));
    // The file is not replaced unasked.
    f.prompter.expectMessage(DiskChange::overwriteQuestion(path), Answer::No);
    QVERIFY(!f.documents().save(window));
    QCOMPARE(TestHome::read(path), QByteArray("theirs\n"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::changeWhileReadingIsReloadedAgain()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("s.txt"), "one\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QSignalSpy finished(box, &RichTextBox::loadFinished);
    {
        PoolHold hold;
        f.rewrite(path, "two\n");
        QVERIFY(box->isLoading());
    }
    // The worker has read "two"; the window has not taken it yet.
    DocumentLoader::pool()->waitForDone();
    writeFile(path, "three, longer\n");
    QVERIFY(finished.wait(20000));
    QCOMPARE(box->toPlainText(), QStringLiteral("two\n"));
    QTRY_COMPARE(box->toPlainText(), QStringLiteral("three, longer\n"));
    QTRY_VERIFY(!box->isLoading());
    QVERIFY(!window->state().Dirty);
    QVERIFY(!f.documents().fileChangedOnDisk(window));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

// The window's text is about to give way to the newer file: a save meanwhile writes
// nothing, as while a file is opened, and Save all passes over the window.
// Another program rewrites a large file after it was read but before its text came
// in: the text is not the file's, and a save must not take it for it.
void TestDiskReload::changeWhileOpeningIsReloaded()
{
    Fixture f;
    const QString path =
        f.home.write(QStringLiteral("opening.txt"),
                     numberedLines("first", DocumentLoader::BackgroundBytes + 1000));
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    frmText* window = f.documents().LoadDocument(path);
    QVERIFY(window);
    // Read, and waiting to be handed to the window.
    DocumentLoader::pool()->waitForDone();
    const QByteArray after = numberedLines("second", DocumentLoader::BackgroundBytes + 2000);
    writeFile(path, after);
    QVERIFY(opened.wait(20000));
    QVERIFY(window->RichTextBox1->document()->firstBlock().text().startsWith(u"first"));
    f.settle();
    QTRY_VERIFY_WITH_TIMEOUT(
        window->RichTextBox1->document()->firstBlock().text().startsWith(u"second"), 20000);
    QTRY_VERIFY(!window->RichTextBox1->isLoading());
    QVERIFY(!window->state().Dirty);
    // Saved now, it writes what the file holds, without a question.
    QVERIFY(f.documents().save(window));
    QCOMPARE(TestHome::read(path), after);
}

void TestDiskReload::saveWhileReloadingWritesNothing()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("w.txt"), "old\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QSignalSpy finished(box, &RichTextBox::loadFinished);
    {
        PoolHold hold;
        f.rewrite(path, "new\n");
        QVERIFY(box->isLoading());
        QVERIFY(!f.documents().save(window));
        f.documents().saveAll();
        QCOMPARE(TestHome::read(path), QByteArray("new\n"));
        QCOMPARE(box->toPlainText(), QStringLiteral("old\n"));
    }
    QVERIFY(finished.wait(20000));
    QCOMPARE(box->toPlainText(), QStringLiteral("new\n"));
    QCOMPARE(TestHome::read(path), QByteArray("new\n"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::closeAfterChoosingReloadKeepsTheWindowUntilItIsIn()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("r.txt"), "theirs 1\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QTextCursor(box->document()).insertText(QStringLiteral("mine "));
    QVERIFY(window->state().Dirty);
    QSignalSpy finished(box, &RichTextBox::loadFinished);
    {
        PoolHold hold;
        f.prompter.expectMessage(DiskChange::reloadQuestion(path), Answer::Yes);
        writeFile(path, "theirs 2\n");
        QTRY_VERIFY(box->isLoading());
        // Asked to save what it shows, the window cannot: it stays, nothing written.
        f.prompter.expectMessage(frmText::changedQuestion(path), Answer::Yes);
        QVERIFY(!window->close());
        QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
        QCOMPARE(TestHome::read(path), QByteArray("theirs 2\n"));
    }
    QVERIFY(finished.wait(20000));
    QCOMPARE(box->toPlainText(), QStringLiteral("theirs 2\n"));
    QVERIFY(!window->state().Dirty);
    QVERIFY(window->close());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::windowClosedMidReload()
{
    Fixture f;
    QPointer<frmText> window = f.openToReload(QStringLiteral("x.txt"), "old\n");
    const QString path = window->state().FileName;
    {
        PoolHold hold;
        f.rewrite(path, "new\n");
        QVERIFY(window->RichTextBox1->isLoading());
        QVERIFY(window->close());
        QTRY_VERIFY(window.isNull());
        QCOMPARE(f.progress()->shown(), nullptr);
    }
    DocumentLoader::pool()->waitForDone();
    QCoreApplication::processEvents();
    QVERIFY(f.documentWindows().isEmpty());
    QVERIFY(!f.watch()->watchedFiles().contains(path));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskReload::ownSaveDoesNotReload()
{
    Fixture f;
    frmText* window = f.openToReload(QStringLiteral("o.txt"), "before\n");
    const QString path = window->state().FileName;
    RichTextBox* box = window->RichTextBox1;
    QTextCursor(box->document()).insertText(QStringLiteral("mine "));
    QVERIFY(f.documents().save(window));
    QSignalSpy started(&f.documents(), &DocumentManager::reloadStarted);
    f.watch()->scheduleAll(true);
    f.settle();
    QCoreApplication::processEvents();
    f.settle();
    QVERIFY(!box->isLoading());
    QCOMPARE(started.count(), 0);
    QCOMPARE(box->toPlainText(), QStringLiteral("mine before\n"));
    QVERIFY(!window->state().Dirty);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

QTEST_MAIN(TestDiskReload)
#include "tst_diskreload.moc"
