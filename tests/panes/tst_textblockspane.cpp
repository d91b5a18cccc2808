#include "app/framestatusbar.h"
#include "panesfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using namespace PanesFixture;

class TestTextBlocksPane : public QObject {
    Q_OBJECT
private slots:
    void showTheFileInTheDocumentFont();
    void showAMissingFileAsAnError();
    void showALargeFileInSteps();
    void copyPlainTextWithCtrlC();
    void openThroughTheDialog();
};

void TestTextBlocksPane::showTheFileInTheDocumentFont()
{
    Fixture f;
    const QString path = f.write(QStringLiteral("Blocks.txt"), "Dear Sir,\r\n\r\nYours,\rMe\n");
    f.store.write(Settings::General, QStringLiteral("TextBlocks"), path);
    f.store.write(Settings::General, QStringLiteral("Font"), QStringLiteral("DejaVu Sans,14"));
    f.start();
    QVERIFY(f.blocks());
    QCOMPARE(f.blocks()->windowTitle(), QStringLiteral("Text blocks: ") + path);
    QCOMPARE(f.blocks()->Text1->toPlainText(), QStringLiteral("Dear Sir,\n\nYours,\nMe\n"));
    QCOMPARE(f.blocks()->Text1->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(f.blocks()->Text1->font().pointSizeF(), 14.0);
    // The pointer over the text brings the date back to the status bar.
    auto* status = f.frame.findChild<FrameStatusBar*>();
    status->showText(QStringLiteral("a button's description"));
    QVERIFY(!status->isShowingDate());
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10),
                     f.blocks()->Text1->mapToGlobal(QPoint(10, 10)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(f.blocks()->Text1->viewport(), &move);
    QVERIFY(status->isShowingDate());
    f.report();
}

void TestTextBlocksPane::showAMissingFileAsAnError()
{
    Fixture f;
    const QString path = f.home.path(QStringLiteral("gone.txt"));
    f.store.write(Settings::General, QStringLiteral("TextBlocks"), path);
    f.start();
    QVERIFY(f.blocks());
    QCOMPARE(f.blocks()->Text1->toPlainText(),
             QStringLiteral("Error: ") + path + QStringLiteral("\nFile not found"));
    QCOMPARE(f.blocks()->windowTitle(), QStringLiteral("Text blocks: ") + path);
    f.report(); // no message box
}

void TestTextBlocksPane::showALargeFileInSteps()
{
    Fixture f;
    QByteArray bytes;
    for (int i = 0; bytes.size() < 3 * frmTextBlocks::ChunkCharacters; ++i)
        bytes += "passage " + QByteArray::number(i) + "\r\n";
    const QString big = f.write(QStringLiteral("big.txt"), bytes);
    f.store.write(Settings::General, QStringLiteral("TextBlocks"), big);
    f.start();
    QPlainTextEdit* text = f.blocks()->Text1;
    // The beginning is there at once, in whole lines.
    QVERIFY(f.blocks()->loading());
    QVERIFY(text->toPlainText().size() <= frmTextBlocks::ChunkCharacters);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("passage 0\npassage 1\n")));
    QVERIFY(text->toPlainText().endsWith(u'\n'));
    QSignalSpy loaded(f.blocks(), &frmTextBlocks::loaded);
    QVERIFY(loaded.wait());
    QVERIFY(!f.blocks()->loading());
    QCOMPARE(text->toPlainText(),
             QString::fromLatin1(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(text->textCursor().position(), 0);
    // Adding the rest was no edit to undo.
    QVERIFY(!text->document()->isUndoAvailable());
    QVERIFY(text->document()->isUndoRedoEnabled());
    // Another file while one is still coming in replaces it whole.
    f.quotes().ShowTextBlocks(big);
    QVERIFY(f.blocks()->loading());
    f.quotes().ShowTextBlocks(f.write(QStringLiteral("small.txt"), "small\n"));
    QVERIFY(!f.blocks()->loading());
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(text->toPlainText(), QStringLiteral("small\n"));
    f.report();
}

void TestTextBlocksPane::copyPlainTextWithCtrlC()
{
    Fixture f;
    f.store.write(Settings::General, QStringLiteral("TextBlocks"),
                  f.write(QStringLiteral("b.txt"), "first passage\nsecond passage\n"));
    f.start();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    QPlainTextEdit* text = f.blocks()->Text1;
    f.area()->setActiveSubWindow(f.blocks());
    text->setFocus();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(Kept);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), Kept); // nothing selected
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(20, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("passage\nsecond"));
    QVERIFY(!clipboard->mimeData()->hasHtml());
    f.report();
}

void TestTextBlocksPane::openThroughTheDialog()
{
    Fixture f;
    const QString first = f.write(QStringLiteral("first.txt"), "one\n");
    const QString second = f.write(QStringLiteral("second.txt"), "two\n");
    f.store.write(Settings::General, QStringLiteral("TextBlocks"), first);
    f.start();
    f.blocks()->close();
    QTRY_VERIFY(!f.blocks());
    // No pane shown: the dialog starts at the setting's file.
    f.prompter.expectFile(second, QuotesController::TextBlocksTitle);
    f.run("mnuTextBlocksOpen");
    QCOMPARE(f.prompter.fileRequests.last().initialPath, first);
    QCOMPARE(f.blocks()->Text1->toPlainText(), QStringLiteral("two\n"));
    // Shown: at the pane's own file; a new file replaces the text in the same pane.
    const frmTextBlocks* pane = f.blocks();
    f.prompter.expectFile(first, QuotesController::TextBlocksTitle);
    f.run("mnuTextBlocksOpen");
    QCOMPARE(f.prompter.fileRequests.last().initialPath, second);
    QCOMPARE(f.blocks(), pane);
    QCOMPARE(f.blocks()->Text1->toPlainText(), QStringLiteral("one\n"));
    QCOMPARE(f.store.read(Settings::General, QStringLiteral("TextBlocks"), QString()), first);
    f.report();
}

QTEST_MAIN(TestTextBlocksPane)
#include "tst_textblockspane.moc"
