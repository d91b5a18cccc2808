#include "app/frmmymdi.h"
#include "document/frmtext.h"
#include "platform/diskstamp.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QAction>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Fixture : FrameFixture {
    frmText* open(const QString& path)
    {
        commands()->OpenPath(path);
        return active();
    }
    // A read-only file holding "old", open and changed to "new".
    frmText* openReadOnlyChanged(const QString& path)
    {
        home.write(QFileInfo(path).fileName(), "old");
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        frmText* window = open(path);
        window->RichTextBox1->setText(QStringLiteral("new"));
        return window;
    }
    QStringList captions() const
    {
        QStringList list;
        for (frmText* w : documentWindows())
            list << w->bareCaption();
        return list;
    }
};
} // namespace

class TestDocumentWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<frmText*>(); }
    void newDocumentsReuseFreedSlots();
    void missingFileOpensAsEmptyNamedDocument();
    void unreadablePathIsReportedAndStopsTheBatch();
    void openPathActivatesAnOpenWindow();
    void queuedPathsOpenInOrder();
    void openDialogQueuesTheChosenFile();
    void saveAsAwayFromRtfWarns();
    void saveAsToRtfWritesRtf();
    void readOnlyFileAsksFirst();
    void savingKeepsPermissionsAndEncoding();
    void unencodableTextOffersUtf8();
    void savingOntoAFolderExplainsWhy();
    void closePromptAnswers();
    void failedSaveKeepsTheWindowOpen();
    void exitStopsWhenADocumentStays();
    void closeAllGoesOnAfterACancel();
    void saveAllSavesUnchangedDocuments();
    void yesNoAllRegisterAppliesToTheBatch();
    void editCommandsFollowTheActiveDocument();
    void documentsOpenedDuringAQuestionDoNotHarmTheSave();
    void rtfNamedTextSavesAsText();
    void windowClosedDuringAQuestionIsLeftAlone();
    void plainTextSaysBeforeFormattingIsLost();
};

void TestDocumentWindow::newDocumentsReuseFreedSlots()
{
    Fixture f;
    for (int i = 0; i < 3; ++i)
        f.action(QStringLiteral("mnuNew"))->trigger();
    QCOMPARE(f.captions(), QStringList({"Untitled:1", "Untitled:2", "Untitled:3"}));
    f.documentWindows()[1]->close();
    f.commands()->mnuNew_Click();
    QCOMPARE(f.active()->bareCaption(), QStringLiteral("Untitled:2"));
    QVERIFY(f.prompter.done());
}

void TestDocumentWindow::missingFileOpensAsEmptyNamedDocument()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("nofolder/new.txt"));
    frmText* w = f.open(path);
    QVERIFY(w);
    QCOMPARE(w->bareCaption(), path);
    QCOMPARE(w->RichTextBox1->Text(), QString());
    QVERIFY(!w->state().Dirty);
    QVERIFY(w->close()); // nothing typed: nothing asked
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::unreadablePathIsReportedAndStopsTheBatch()
{
    Fixture f;
    const QString folder = f.home.path(QStringLiteral("folder.txt"));
    QDir().mkpath(folder);
    const QString after = f.home.write(QStringLiteral("after.txt"), "x");
    f.prompter.expectMessage(QStringLiteral("Error: ") + folder + u'\n');
    QSignalSpy drained(&f.frame, &frmMyMDI::queueDrained);
    f.frame.queuePath(folder, 1);
    f.frame.queuePath(after, 1);
    QVERIFY(drained.wait(15000));
    QVERIFY(f.documentWindows().isEmpty());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(!f.documents().table().AnyDocumentsOpen());
}

void TestDocumentWindow::openPathActivatesAnOpenWindow()
{
    Fixture f;
    const QString a = f.home.write(QStringLiteral("a.txt"), "a");
    const QString b = f.home.write(QStringLiteral("b.txt"), "b");
    frmText* first = f.open(a);
    f.open(b);
    first->showMinimized();
    QCOMPARE(f.open(a), first);
    QVERIFY(!first->isMinimized());
    QCOMPARE(f.documentWindows().size(), 2);
}

void TestDocumentWindow::queuedPathsOpenInOrder()
{
    Fixture f;
    f.frame.queue().OpenQueueState = OpenQueue::NotReady;
    QStringList paths;
    for (const char* name : {"1.txt", "2.rtf", "3.txt"})
        paths << f.home.write(QString::fromLatin1(name), "{\\rtf1 x}");
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    QSignalSpy drained(&f.frame, &frmMyMDI::queueDrained);
    for (const QString& p : paths)
        f.frame.queuePath(p, 0);
    QTest::qWait(700);
    QCOMPARE(opened.size(), 0); // not before the deferred start opens the queue
    f.frame.queue().OpenQueueState = OpenQueue::Idle;
    QVERIFY(drained.wait(15000));
    QCOMPARE(f.captions(), paths);
    QCOMPARE(f.documentWindows()[1]->RichTextBox1->Text(), QStringLiteral("x"));
    QCOMPARE(f.documentWindows()[0]->RichTextBox1->Text(), QStringLiteral("{\\rtf1 x}"));
}

void TestDocumentWindow::openDialogQueuesTheChosenFile()
{
    Fixture f;
    const QString chosen = f.home.path(QStringLiteral("fresh"));
    f.prompter.expectFile(chosen, DocumentController::OpenDialogTitle)
        .expectMessage(QStringLiteral("This file does not exist."), Answer::Yes);
    QSignalSpy drained(&f.frame, &frmMyMDI::queueDrained);
    f.action(QStringLiteral("mnuOpenFile"))->trigger();
    QVERIFY(drained.wait(15000));
    // The default extension of the first filter entry is added to a bare name.
    QCOMPARE(f.captions(), QStringList({chosen + QStringLiteral(".txt")}));
    QCOMPARE(f.prompter.fileRequests.first().selectedFilter, 0);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::saveAsAwayFromRtfWarns()
{
    Fixture f;
    const QString rtf = f.home.write(QStringLiteral("a.rtf"), "{\\rtf1 {\\b bold}}");
    const QString txt = f.home.path(QStringLiteral("a.txt"));
    frmText* w = f.open(rtf);
    f.prompter.expectFile(txt).expectMessage(
        QStringLiteral("Warning: If you change the extension from .RTF"), Answer::No);
    QVERIFY(!f.documents().saveAs(w));
    QVERIFY(!QFile::exists(txt));
    QCOMPARE(w->state().FileName, rtf);
    f.prompter.expectFile(txt).expectMessage(QStringLiteral("Shall I continue?"), Answer::Yes);
    QVERIFY(f.documents().saveAs(w));
    QCOMPARE(TestHome::read(txt), QByteArray("bold"));
    QCOMPARE(w->bareCaption(), txt);
    QCOMPARE(f.prompter.messages.last().defaultButton, 2);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::saveAsToRtfWritesRtf()
{
    Fixture f;
    frmText* w = f.documents().NewDocument();
    w->RichTextBox1->setText(QStringLiteral("words"));
    const QString target = f.home.path(QStringLiteral("b.rtf"));
    f.prompter.expectFile(target);
    QVERIFY(f.documents().saveAs(w));
    QVERIFY(TestHome::read(target).startsWith("{\\rtf1"));
    QCOMPARE(f.prompter.fileRequests.first().initialPath, QStringLiteral("Untitled"));
    QVERIFY(!w->state().Dirty);
    // Saving again over the existing file asks before replacing it.
    f.prompter.expectFile(target)
        .expectMessage(QStringLiteral("already exists"), Answer::No)
        .expectFile(QString()); // the dialog comes back for another name
    QVERIFY(!f.documents().saveAs(w));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::readOnlyFileAsksFirst()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("ro.txt"));
    frmText* w = f.openReadOnlyChanged(path);
    f.prompter.expectMessage(QStringLiteral("is a Read-only file."), Answer::No)
        .expectFile(QString());
    QVERIFY(!f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("old"));
    f.prompter.expectMessage(QStringLiteral("Do you want to remove it?"), Answer::Yes);
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("new"));
    QVERIFY(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::savingKeepsPermissionsAndEncoding()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("p.txt"), "caf\xe9\r\nline\r\n");
    const auto permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(path, permissions);
    frmText* w = f.open(path);
    QTextCursor c = w->RichTextBox1->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("more"));
    QVERIFY(w->state().Dirty);
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("caf\xe9\r\nline\r\nmore"));
    const auto unixBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(path).permissions() & unixBits, permissions);
}

void TestDocumentWindow::unencodableTextOffersUtf8()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("w.txt"), "caf\xe9");
    frmText* w = f.open(path);
    w->RichTextBox1->setText(QStringLiteral("café 日本"));
    f.prompter.expectMessage(QStringLiteral("cannot store"), Answer::No);
    QVERIFY(!f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("caf\xe9"));
    QVERIFY(w->state().Dirty);
    f.prompter.expectMessage(QStringLiteral("save the file as UTF-8"), Answer::Yes);
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), QStringLiteral("café 日本").toUtf8());
}

void TestDocumentWindow::savingOntoAFolderExplainsWhy()
{
    Fixture f;
    frmText* w = f.documents().NewDocument();
    w->RichTextBox1->insertPlainText(QStringLiteral("text"));
    const QString folder = f.home.path(QStringLiteral("folder.txt"));
    QDir().mkpath(folder);
    f.prompter.expectFile(folder)
        .expectMessage(QStringLiteral("already exists"), Answer::Yes)
        .expectMessage(QStringLiteral("\nitem is a directory"));
    QVERIFY(!f.documents().saveAs(w));
    QVERIFY(w->state().Dirty);
    QCOMPARE(w->state().FileName, QString()); // still untitled
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::closePromptAnswers()
{
    Fixture f;
    frmText* w = f.documents().NewDocument();
    w->RichTextBox1->insertPlainText(QStringLiteral("typed"));
    f.prompter.expectMessage(QStringLiteral("The text in [Untitled:1] has changed."),
                             Answer::Cancel);
    QVERIFY(!w->close());
    QCOMPARE(f.documentWindows().size(), 1);
    QCOMPARE(f.prompter.messages.last().buttons, MessageButtons::YesNoCancel);
    f.prompter.expectMessage(QStringLiteral("Do you want to save the changes?"), Answer::No);
    QVERIFY(w->close());
    QTRY_COMPARE(f.documentWindows().size(), 0);
    QVERIFY(!f.documents().table().AnyDocumentsOpen());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::failedSaveKeepsTheWindowOpen()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("gone/x.txt"));
    frmText* w = f.open(path);
    w->RichTextBox1->insertPlainText(QStringLiteral("precious"));
    f.prompter.expectMessage(QStringLiteral("has changed"), Answer::Yes)
        .expectMessage(QStringLiteral("File: ") + path + u'\n');
    QVERIFY(!w->close());
    QCOMPARE(w->RichTextBox1->Text(), QStringLiteral("precious"));
    QVERIFY(w->state().Dirty);
    // Cancelling the Save As dialog of an untitled document keeps it open as well.
    frmText* untitled = f.documents().NewDocument();
    untitled->RichTextBox1->insertPlainText(QStringLiteral("more"));
    f.prompter.expectMessage(QStringLiteral("has changed"), Answer::Yes).expectFile(QString());
    QVERIFY(!untitled->close());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::exitStopsWhenADocumentStays()
{
    Fixture f;
    f.frame.show();
    frmText* first = f.documents().NewDocument();
    first->RichTextBox1->insertPlainText(QStringLiteral("one"));
    frmText* second = f.documents().NewDocument();
    second->RichTextBox1->insertPlainText(QStringLiteral("two"));
    // Newest first; its Cancel stops the exit before the older one is asked.
    f.prompter.expectMessage(QStringLiteral("[Untitled:2]"), Answer::Cancel);
    QVERIFY(!f.frame.close());
    QVERIFY(f.frame.isVisible());
    QCOMPARE(f.documentWindows().size(), 2);
    f.prompter.expectMessage(QStringLiteral("[Untitled:2]"), Answer::No)
        .expectMessage(QStringLiteral("[Untitled:1]"), Answer::No);
    QVERIFY(f.frame.close());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.store.read(Settings::General, QStringLiteral("TextState"), QString()),
             QStringLiteral("0"));
}

void TestDocumentWindow::closeAllGoesOnAfterACancel()
{
    Fixture f;
    frmText* kept = f.documents().NewDocument();
    kept->RichTextBox1->insertPlainText(QStringLiteral("keep"));
    f.documents().NewDocument();
    frmText* changed = f.documents().NewDocument();
    changed->RichTextBox1->insertPlainText(QStringLiteral("drop"));
    f.prompter.expectMessage(QStringLiteral("[Untitled:3]"), Answer::No)
        .expectMessage(QStringLiteral("[Untitled:1]"), Answer::Cancel);
    f.action(QStringLiteral("mnuCloseAll"))->trigger();
    QTRY_COMPARE(f.documentWindows().size(), 1);
    QCOMPARE(f.documentWindows().first(), kept);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::saveAllSavesUnchangedDocuments()
{
    Fixture f;
    const QString a = f.home.write(QStringLiteral("a.txt"), "mine");
    const QString b = f.home.write(QStringLiteral("b.txt"), "theirs before");
    f.open(a);
    f.open(b);
    const qint64 inode = DiskStamp::quick(a).inode;
    // Saving unchanged text over another program's change would undo it.
    f.home.write(QStringLiteral("b.txt"), "changed elsewhere");
    f.documents().NewDocument();
    f.prompter.expectFile(QString()); // the untitled one asks for a name
    f.action(QStringLiteral("mnuSaveAll"))->trigger();
    QVERIFY(DiskStamp::quick(a).inode != inode); // written anew, unchanged as it was
    QCOMPARE(TestHome::read(a), QByteArray("mine"));
    QCOMPARE(TestHome::read(b), QByteArray("changed elsewhere"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::yesNoAllRegisterAppliesToTheBatch()
{
    Fixture f;
    f.documents().yesNoAll().presetBatch(true);
    f.prompter.expectYesNoAll(QStringLiteral("item 1"), Answer::No, true);
    QCOMPARE(f.documents().fncYesNoAll(QStringLiteral("item 1")), Answer::No);
    for (int i = 2; i <= 5; ++i)
        QCOMPARE(f.documents().fncYesNoAll(QStringLiteral("item %1").arg(i)), Answer::No);
    f.documents().yesNoAll().presetBatch(true);
    f.prompter.expectYesNoAll(QStringLiteral("again"), Answer::Cancel);
    QCOMPARE(f.documents().fncYesNoAll(QStringLiteral("again")), Answer::Cancel);
    f.documents().yesNoAll().presetBatch(false); // confirmation off: Yes without asking
    QCOMPARE(f.documents().fncYesNoAll(QStringLiteral("silent")), Answer::Yes);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::editCommandsFollowTheActiveDocument()
{
    Fixture f;
    f.frame.show();
    // Without a document the frame's bar is shown, and it has no document entries.
    QVERIFY(!f.action(QStringLiteral("mnuSaveFile")));
    frmText* w = f.documents().NewDocument();
    QTRY_VERIFY(f.action(QStringLiteral("mnuSaveFile")));
    QVERIFY(f.action(QStringLiteral("mnuSaveFile"))->isEnabled());
    w->RichTextBox1->setText(QStringLiteral("abc"));
    w->RichTextBox1->setFocus();
    f.action(QStringLiteral("mnuSelAll"))->trigger();
    QCOMPARE(w->RichTextBox1->SelLength(), 3);
    f.action(QStringLiteral("mnuDelete"))->trigger();
    QCOMPARE(w->RichTextBox1->Text(), QString());
    f.action(QStringLiteral("mnuUndoItem"))->trigger();
    QCOMPARE(w->RichTextBox1->Text(), QStringLiteral("abc"));
    // Ctrl+F4 closes the document, asking first because it was changed.
    f.prompter.expectMessage(QStringLiteral("has changed"), Answer::No);
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    QTest::keyClick(w->RichTextBox1, Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(f.documentWindows().isEmpty());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::documentsOpenedDuringAQuestionDoNotHarmTheSave()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("ro.txt"));
    frmText* w = f.openReadOnlyChanged(path);
    // The open queue's timer adds documents while the question waits: the
    // document table grows under the save.
    f.prompter.expectMessage(QStringLiteral("is a Read-only file."), Answer::Yes).whileShown([&] {
        for (int i = 0; i < 40; ++i)
            f.documents().NewDocument();
    });
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("new"));
    QVERIFY(!w->state().Dirty);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::rtfNamedTextSavesAsText()
{
    Fixture f;
    const QByteArray bytes("not rich text\r\nat all\r\n");
    const QString path = f.home.write(QStringLiteral("plain.rtf"), bytes);
    frmText* w = f.open(path);
    QCOMPARE(w->RichTextBox1->Text(), QStringLiteral("not rich text\r\nat all\r\n"));
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), bytes);
    QTextCursor c = w->RichTextBox1->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("more"));
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), bytes + "more");
    // Saved under another name that ends in .rtf, it is rich text there.
    const QString other = f.home.path(QStringLiteral("other.rtf"));
    f.prompter.expectFile(other);
    QVERIFY(f.documents().saveAs(w));
    QVERIFY(TestHome::read(other).startsWith("{\\rtf1"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::windowClosedDuringAQuestionIsLeftAlone()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("ro.txt"));
    QPointer<frmText> w = f.openReadOnlyChanged(path);
    // The window goes (a terminate signal closes everything) while its save
    // waits for an answer.
    f.prompter.expectMessage(QStringLiteral("is a Read-only file."), Answer::Yes).whileShown([&] {
        w->state().Dirty = false;
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    QVERIFY(!f.documents().save(w));
    QVERIFY(w.isNull());
    QCOMPARE(TestHome::read(path), QByteArray("old"));
    QVERIFY(f.documentWindows().isEmpty());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestDocumentWindow::plainTextSaysBeforeFormattingIsLost()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("plain.txt"), "one two");
    frmText* w = f.open(path);
    RichTextBox* box = w->RichTextBox1;
    box->setSelStart(4);
    box->setSelLength(3);
    box->setSelBold(true);
    f.prompter.expectMessage(DocumentManager::plainTextQuestion(path), Answer::No);
    QVERIFY(!f.documents().save(w));
    QVERIFY(w->state().Dirty);
    QCOMPARE(TestHome::read(path), QByteArray("one two"));
    f.prompter.expectMessage(QStringLiteral("cannot keep"), Answer::Yes);
    box->setSelText(QStringLiteral("2"));
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(path), QByteArray("one 2"));
    QVERIFY(f.documents().save(w)); // asked once for the window
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(!DocumentFile::holdsFormatting(f.documents().NewDocument()->RichTextBox1->document()));
}

QTEST_MAIN(TestDocumentWindow)
#include "tst_documentwindow.moc"
