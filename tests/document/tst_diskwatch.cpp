#include "document/dialogprompter.h"
#include "document/diskchange.h"
#include "document/diskwatch.h"
#include "richtext/richtextbox.h"
#include "searchreplace/replacerun.h"
#include "support/framefixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Writes as another program would: in place, or to a temporary file renamed over.
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void replaceAtomically(const QString& path, const QByteArray& bytes)
{
    const QString temp = path + QStringLiteral(".new");
    writeInPlace(temp, bytes);
    QVERIFY(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) ==
            0);
}

struct Fixture : FrameFixture {
    DiskWatch* watch() const { return frame.findChild<DiskWatch*>(); }
    frmText* open(const QString& path)
    {
        commands()->OpenPath(path);
        return active();
    }
    QString status() const { return frame.findChild<QLabel*>(QStringLiteral("stsDate"))->text(); }
    // Lets the watcher's news in and looks at it at once.
    void settle() const
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        watch()->lookNow();
    }
    static void type(frmText* window, const QString& text)
    {
        QTextCursor cursor = window->RichTextBox1->textCursor();
        cursor.insertText(text);
    }
};

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "line " + QByteArray::number(i) + '\n';
    return bytes;
}
} // namespace

class TestDiskWatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<frmText*>(); }
    void reloadInPlaceKeepsCaretLineAndScroll();
    void reloadDetectsTheEncodingAgain();
    void editedDocumentAsksOnce_data();
    void editedDocumentAsksOnce();
    void goneFileMarksTheDocumentChanged_data();
    void goneFileMarksTheDocumentChanged();
    void saveAfterOutsideChangeAsks_data();
    void saveAfterOutsideChangeAsks();
    void ownSavesDoNotReload();
    void atomicReplaceIsWatchedAgain();
    void unfitReplacementKeepsTheText_data();
    void unfitReplacementKeepsTheText();
    void questionOpenDoesNotStackAnother();
    void reloadOfAFileGoneMeanwhileSaysSo_data();
    void reloadOfAFileGoneMeanwhileSaysSo();
    void saveAllLeavesAnUnchangedDocumentWhoseFileChanged();
    void diskReplaceUnderEditsMakesTheSaveAsk();
    void activationFindsWhatTheWatcherMissed();
    void dialogNamesTheButtons();
};

void TestDiskWatch::reloadInPlaceKeepsCaretLineAndScroll()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("a.txt"), numberedLines(300));
    frmText* window = f.open(path);
    RichTextBox* box = window->RichTextBox1;
    box->setTextCursor(QTextCursor(box->document()->findBlockByNumber(150)));
    box->ensureCursorVisible();
    const int top = box->verticalScrollBar()->value();
    QVERIFY(top > 0);

    writeInPlace(path, numberedLines(301));
    QTRY_VERIFY(box->toPlainText().contains(QStringLiteral("line 300")));
    QCOMPARE(box->textCursor().blockNumber(), 150);
    QCOMPARE(box->verticalScrollBar()->value(), top);
    QVERIFY(!window->state().Dirty);
    QCOMPARE(f.status(), DiskChange::reloadedStatus(path));
    QCOMPARE(f.status(), QStringLiteral("Reloaded: a.txt, changed on disk"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskWatch::reloadDetectsTheEncodingAgain()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("e.txt"), "plain\n");
    frmText* window = f.open(path);
    QByteArray utf16("\xff\xfe", 2);
    for (QChar c : QStringLiteral("h\u00e9llo\n"))
        utf16 += char(c.unicode() & 0xff), utf16 += char(c.unicode() >> 8);
    replaceAtomically(path, utf16);
    QTRY_COMPARE(window->RichTextBox1->toPlainText().trimmed(), QStringLiteral("h\u00e9llo"));
    QVERIFY(window->RichTextBox1->textFileFormat().encoding.startsWith("UTF-16"));
    QVERIFY(window->RichTextBox1->textFileFormat().byteOrderMark);
}

void TestDiskWatch::editedDocumentAsksOnce_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Reload") << Answer::Yes;
    QTest::newRow("Keep mine") << Answer::No;
}

void TestDiskWatch::editedDocumentAsksOnce()
{
    QFETCH(int, answer);
    Fixture f;
    const QString path = f.home.write(QStringLiteral("b.txt"), "theirs 1\n");
    frmText* window = f.open(path);
    Fixture::type(window, QStringLiteral("mine "));
    QVERIFY(window->state().Dirty);

    f.prompter.expectMessage(DiskChange::reloadQuestion(path), answer);
    writeInPlace(path, "theirs 2\n");
    QTRY_VERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const MessageRequest& asked = f.prompter.messages.constLast();
    QCOMPARE(asked.text, QStringLiteral("The file ") + path +
                             QStringLiteral(" has been changed by another program. Reload it "
                                            "and lose your changes?"));
    QCOMPARE(asked.buttonTexts,
             QStringList({QStringLiteral("Reload"), QStringLiteral("Keep mine")}));
    QCOMPARE(asked.defaultButton, 2);

    const QString text = window->RichTextBox1->toPlainText();
    if (answer == Answer::Yes) {
        QCOMPARE(text.trimmed(), QStringLiteral("theirs 2"));
        QVERIFY(!window->state().Dirty);
        QCOMPARE(f.status(), DiskChange::reloadedStatus(path));
        return;
    }
    QCOMPARE(text.trimmed(), QStringLiteral("mine theirs 1"));
    QVERIFY(window->state().Dirty);
    // Once for each change: looking again asks nothing more.
    f.settle();
    f.watch()->scheduleAll(true);
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.size(), 1);
    // Keeping the text is not agreeing to overwrite the file.
    f.prompter.expectMessage(DiskChange::overwriteQuestion(path), Answer::Yes);
    QVERIFY(f.documents().save(window));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(TestHome::read(path).trimmed(), QByteArray("mine theirs 1"));
}

void TestDiskWatch::goneFileMarksTheDocumentChanged_data()
{
    QTest::addColumn<bool>("moved");
    QTest::newRow("deleted") << false;
    QTest::newRow("moved away") << true;
}

void TestDiskWatch::goneFileMarksTheDocumentChanged()
{
    QFETCH(bool, moved);
    Fixture f;
    const QString path = f.home.write(QStringLiteral("c.txt"), "kept\n");
    frmText* window = f.open(path);
    if (moved)
        QVERIFY(QFile::rename(path, f.home.path(QStringLiteral("elsewhere.txt"))));
    else
        QVERIFY(QFile::remove(path));
    QTRY_VERIFY(window->state().Dirty);
    QCOMPARE(f.status(), DiskChange::goneStatus(path));
    QCOMPARE(window->RichTextBox1->toPlainText().trimmed(), QStringLiteral("kept"));
    QCOMPARE(window->state().FileName, path);
    // Save writes it again, unasked.
    QVERIFY(f.documents().save(window));
    QCOMPARE(TestHome::read(path), QByteArray("kept\n"));
    QVERIFY(!window->state().Dirty);
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(f.watch()->watchedFiles().contains(path));
}

void TestDiskWatch::saveAfterOutsideChangeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("Overwrite") << Answer::Yes << QByteArray("mine\n");
    QTest::newRow("Cancel") << Answer::No << QByteArray("theirs\n");
}

void TestDiskWatch::saveAfterOutsideChangeAsks()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, onDisk);
    Fixture f;
    const QString path = f.home.write(QStringLiteral("d.txt"), "original\n");
    frmText* window = f.open(path);
    window->RichTextBox1->setPlainText(QStringLiteral("mine\n"));
    QVERIFY(window->state().Dirty);
    writeInPlace(path, "theirs\n");
    // Saved before the watcher has said a word.
    f.prompter.expectMessage(DiskChange::overwriteQuestion(path), answer);
    QCOMPARE(f.documents().save(window), answer == Answer::Yes);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.constLast().buttonTexts, DiskChange::OverwriteButtons);
    QCOMPARE(f.prompter.messages.constLast().defaultButton, 2);
    QCOMPARE(TestHome::read(path), onDisk);
    QCOMPARE(window->state().Dirty, answer != Answer::Yes);
    // The change was put to the user already; nothing is asked again.
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("mine\n"));
}

void TestDiskWatch::ownSavesDoNotReload()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("own.txt"), numberedLines(10));
    frmText* window = f.open(path);
    RichTextBox* box = window->RichTextBox1;
    box->setTextCursor(QTextCursor(box->document()->findBlockByNumber(3)));
    Fixture::type(window, QStringLiteral("edit "));
    const QString before = f.status();
    QVERIFY(f.documents().save(window));
    f.settle();
    QCOMPARE(f.status(), before);
    QVERIFY(box->document()->isUndoAvailable()); // a reload would have cleared it
    QCOMPARE(box->textCursor().blockNumber(), 3);
    // The save replaced the file: it is still watched.
    QVERIFY(f.watch()->watchedFiles().contains(path));
    // Saving again, unchanged, asks nothing either.
    QVERIFY(f.documents().save(window));
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    writeInPlace(path, "from outside\n");
    QTRY_COMPARE(box->toPlainText(), QStringLiteral("from outside\n"));
}

void TestDiskWatch::atomicReplaceIsWatchedAgain()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("r.txt"), "one\n");
    frmText* window = f.open(path);
    QVERIFY(f.watch()->watchedFiles().contains(path));
    replaceAtomically(path, "two\n");
    QTRY_COMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("two\n"));
    QTRY_VERIFY(f.watch()->watchedFiles().contains(path));
    replaceAtomically(path, "three\n");
    QTRY_COMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("three\n"));
    QVERIFY(!window->state().Dirty);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDiskWatch::unfitReplacementKeepsTheText_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("pipe") << QStringLiteral("pipe");
    QTest::newRow("unreadable") << QStringLiteral("unreadable");
}

void TestDiskWatch::unfitReplacementKeepsTheText()
{
    QFETCH(QString, replacement);
    if (replacement == u"unreadable" && ::geteuid() == 0)
        QSKIP("root reads every file");
    Fixture f;
    const QString path = f.home.write(QStringLiteral("u.txt"), "precious\n");
    frmText* window = f.open(path);
    const QByteArray path8 = QFile::encodeName(path);
    if (replacement == u"unreadable") {
        QVERIFY(::chmod(path8.constData(), 0) == 0);
    } else {
        QVERIFY(QFile::remove(path));
        if (replacement == u"folder")
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(::mkfifo(path8.constData(), 0600) == 0);
    }
    f.prompter.expectMessage(DiskChange::unfitMessage(path));
    QTRY_VERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(window->state().Dirty);
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("precious\n"));
    // Asked once; looking again says nothing more.
    f.watch()->scheduleAll(true);
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // Nothing is overwritten: a folder or pipe refuses the save and says why; an
    // unreadable file asks first.
    if (replacement == u"unreadable")
        f.prompter.expectMessage(DiskChange::overwriteQuestion(path), Answer::No);
    else
        f.prompter.expectMessage(QStringLiteral("File: ") + path);
    QVERIFY(!f.documents().save(window));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const DiskStamp after = DiskStamp::quick(path);
    QCOMPARE(after.kind, replacement == u"folder" ? DiskStamp::Kind::Folder
                         : replacement == u"pipe" ? DiskStamp::Kind::Other
                                                  : DiskStamp::Kind::Unreadable);
    QVERIFY(window->state().Dirty);
}

void TestDiskWatch::questionOpenDoesNotStackAnother()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("q.txt"), "one\n");
    frmText* window = f.open(path);
    Fixture::type(window, QStringLiteral("mine "));
    f.prompter.expectMessage(DiskChange::reloadQuestion(path), Answer::No).whileShown([&] {
        writeInPlace(path, "three\n");
        f.settle();
        f.watch()->scheduleAll(true);
        f.settle();
    });
    writeInPlace(path, "two\n");
    QTRY_VERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    f.settle();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(window->RichTextBox1->toPlainText().trimmed(), QStringLiteral("mine one"));
}

void TestDiskWatch::reloadOfAFileGoneMeanwhileSaysSo_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("deleted") << true;
    QTest::newRow("a folder") << false;
}

// Reload was chosen for a file that went, or became a folder, while the question was open.
void TestDiskWatch::reloadOfAFileGoneMeanwhileSaysSo()
{
    QFETCH(bool, deleted);
    Fixture f;
    const QString path = f.home.write(QStringLiteral("q.txt"), "one\n");
    frmText* window = f.open(path);
    Fixture::type(window, QStringLiteral("mine "));
    QSignalSpy said(f.watch(), &DiskWatch::statusMessage);
    writeInPlace(path, "two\n");
    f.prompter.expectMessage(DiskChange::reloadQuestion(path), Answer::Yes).whileShown([&] {
        QVERIFY(QFile::remove(path));
        if (!deleted)
            QVERIFY(QDir().mkdir(path));
    });
    if (!deleted)
        f.prompter.expectMessage(DiskChange::unfitMessage(path), Answer::Ok);
    f.watch()->scheduleAll(true);
    f.settle();
    QTRY_VERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(window->RichTextBox1->toPlainText().trimmed(), QStringLiteral("mine one"));
    QVERIFY(window->state().Dirty);
    if (deleted) {
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0][0].toString(), DiskChange::goneStatus(path));
    }
}

void TestDiskWatch::saveAllLeavesAnUnchangedDocumentWhoseFileChanged()
{
    Fixture f;
    const QString untouched = f.home.write(QStringLiteral("s1.txt"), "s1\n");
    const QString edited = f.home.write(QStringLiteral("s2.txt"), "s2\n");
    const QString plain = f.home.write(QStringLiteral("s3.txt"), "s3\n");
    f.open(untouched);
    frmText* editedWindow = f.open(edited);
    f.open(plain);
    editedWindow->RichTextBox1->setPlainText(QStringLiteral("mine\n"));
    writeInPlace(untouched, "theirs 1\n");
    writeInPlace(edited, "theirs 2\n");
    f.prompter.expectMessage(DiskChange::overwriteQuestion(edited), Answer::Yes);
    f.documents().saveAll();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(TestHome::read(untouched), QByteArray("theirs 1\n"));
    QCOMPARE(TestHome::read(edited), QByteArray("mine\n"));
    QCOMPARE(TestHome::read(plain), QByteArray("s3\n"));
}

void TestDiskWatch::diskReplaceUnderEditsMakesTheSaveAsk()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("fox.txt"), "the fox\n");
    frmText* window = f.open(path);
    Fixture::type(window, QStringLiteral("my "));
    SearchOptions options;
    options.find = QStringLiteral("fox");
    options.replace = QStringLiteral("cat");
    options.replacing = true;
    const ReplaceRun run(options);
    const auto searched =
        run.search({path, QStringLiteral("fox.txt"), QFileInfo(path).size()}, false);
    QVERIFY(searched.ok());
    QCOMPARE(run.replace(searched.value()).outcome, ReplaceRun::Outcome::Replaced);

    f.prompter.expectMessage(DiskChange::reloadQuestion(path), Answer::No);
    QTRY_VERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    f.prompter.expectMessage(DiskChange::overwriteQuestion(path), Answer::No);
    QVERIFY(!f.documents().save(window));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(TestHome::read(path), QByteArray("the cat\n"));
}

void TestDiskWatch::activationFindsWhatTheWatcherMissed()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("m.txt"), "abc\n");
    frmText* window = f.open(path);
    // Same size, same inode, the old time put back: only the bytes tell.
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &before) == 0);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("xyz\n");
    }
    const decltype(before.st_mtim) times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
    f.settle();
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("abc\n"));
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    f.settle();
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("xyz\n"));
    QCOMPARE(f.status(), DiskChange::reloadedStatus(path));
}

void TestDiskWatch::dialogNamesTheButtons()
{
    DialogPrompter dialogs;
    MessageRequest request;
    request.text = DiskChange::reloadQuestion(QStringLiteral("/tmp/x.txt"));
    request.buttons = MessageButtons::YesNo;
    request.icon = MessageIcon::Question;
    request.defaultButton = 2;
    request.buttonTexts = DiskChange::ReloadButtons;
    QStringList shown;
    QString defaultText;
    // Read and answered from the event loop the dialog runs: it never waits for a user.
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        for (QAbstractButton* button : box->buttons())
            shown << button->text();
        defaultText = box->defaultButton()->text();
        box->defaultButton()->click();
    });
    poll.start();
    QCOMPARE(dialogs.message(request), Answer::No);
    shown.sort();
    QCOMPARE(shown, QStringList({QStringLiteral("Keep mine"), QStringLiteral("Reload")}));
    QCOMPARE(defaultText, QStringLiteral("Keep mine"));
}

QTEST_MAIN(TestDiskWatch)
#include "tst_diskwatch.moc"
