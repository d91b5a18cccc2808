#include "richtext/documentfile.h"
#include "richtext/documentloader.h"
#include "richtext/plaintextlayout.h"
#include "richtext/richtextbox.h"
#include "richtext/textcodec.h"
#include "support/testhome.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QThreadPool>

namespace {

// Lines of text numbered so that no two are alike.
QByteArray numberedLines(int count, const QByteArray& end)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "line " + QByteArray::number(i) + " of the text\t" + QByteArray(i % 7, 'x') + end;
    return bytes;
}

// Waits for the box's load and says whether it went well.
bool loadInto(RichTextBox& box, const QString& path, DocumentKind kind)
{
    QSignalSpy finished(&box, &RichTextBox::loadFinished);
    box.startLoad(path, kind);
    if (!finished.wait(20000))
        return false;
    return finished.first().first().value<Status>().ok();
}

// Shows the box at that size and margin with the text file in it, under the line layout.
bool showLineLayout(RichTextBox& box, const QString& path, double rightMargin, int width)
{
    box.setRightMargin(rightMargin);
    box.resize(width, 300);
    box.show();
    return loadInto(box, path, DocumentKind::Text) && box.hasLineLayout();
}

} // namespace

Q_DECLARE_METATYPE(Status)

class TestBackgroundLoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<Status>(); }
    void cleanup() { DocumentLoader::pool()->waitForDone(); }
    void loaderBuildsWhatALoadAtOnceBuilds_data();
    void loaderBuildsWhatALoadAtOnceBuilds();
    void loaderShowsTheBeginningFirst_data();
    void loaderShowsTheBeginningFirst();
    void loaderStopsWhenCancelled();
    void loaderReportsWhatIsWrongWithThePath();
    void boxTakesTheLoadedDocumentUnchanged();
    void boxClosedMidLoadThrowsTheDocumentAway();
    void cancelledLoadLeavesTheBoxEmpty();
    void lineLayoutPlacesEveryLineAlike();
    void lineLayoutEditsAndUndoes();
    void formattingThatMovesLinesTakesTheRichLayout();
    void wrappingWithTheLineLayout();
    void longLineWithoutWrapping();
    void endlessWordWrapsAnywhere();
};

void TestBackgroundLoad::loaderBuildsWhatALoadAtOnceBuilds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qsizetype>("pieceBytes");
    const int text = int(DocumentKind::Text);
    const qsizetype usual = TextPieces::DefaultPieceBytes;
    QTest::newRow("LF") << numberedLines(3000, "\n") << "a.txt" << text << usual;
    QTest::newRow("CR LF") << numberedLines(3000, "\r\n") << "a.txt" << text << usual;
    QTest::newRow("mixed ends") << QByteArray("one\r\ntwo\nthree\rfour") << "a.txt" << text
                                << usual;
    QTest::newRow("UTF-16 with mark")
        << QByteArray("\xFF\xFEh\0i\0\n\0\x3D\xD8\x00\xDE", 12) << "a.txt" << text << usual;
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9 cr\xE8me\n") << "a.txt" << text << usual;
    QTest::newRow("empty") << QByteArray() << "a.txt" << text << usual;
    QTest::newRow("RTF") << QByteArray("{\\rtf1\\ansi{\\b bold} and plain\\par next}") << "a.rtf"
                         << int(DocumentKind::Rtf) << usual;
    QTest::newRow("text named .rtf")
        << QByteArray("just text\nhere") << "a.rtf" << int(DocumentKind::Rtf) << usual;
    // Small pieces, so that their cuts fall inside characters and line ends.
    QTest::newRow("CR LF, pieces of 7")
        << numberedLines(300, "\r\n") << "a.txt" << text << qsizetype(7);
    QTest::newRow("UTF-8 and CR LF, pieces of 3")
        << QByteArray("\xC3\xA9t\xC3\xA9\r\n\xF0\x9F\x98\x80\r\n\xE2\x82\xAC\r") << "a.txt" << text
        << qsizetype(3);
    QTest::newRow("mixed ends, pieces of 1")
        << QByteArray("one\r\ntwo\nthree\rfour\r\r\n") << "a.txt" << text << qsizetype(1);
    QTest::newRow("UTF-16 with mark, pieces of 1")
        << QByteArray("\xFF\xFEh\0\r\0\n\0\x3D\xD8\x00\xDE", 12) << "a.txt" << text << qsizetype(1);
    QTest::newRow("Windows-1252, pieces of 2")
        << QByteArray("caf\xE9 cr\xE8me\r\n\x80\r") << "a.txt" << text << qsizetype(2);
}

void TestBackgroundLoad::loaderBuildsWhatALoadAtOnceBuilds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(qsizetype, pieceBytes);
    TestHome home;
    const QString path = home.write(name, bytes);
    QTextDocument atOnce;
    DocumentKind readAtOnce = DocumentKind::Text;
    const Result<TextFileFormat> expected =
        DocumentFile::load(path, DocumentKind(kind), &atOnce, &readAtOnce);
    QVERIFY(expected);
    Result<LoadedDocument> loaded =
        DocumentLoader::load(path, DocumentKind(kind), {}, {}, pieceBytes);
    QVERIFY(loaded);
    QTextDocument* document = loaded.value().document.get();
    QCOMPARE(document->toRawText(), atOnce.toRawText());
    QCOMPARE(document->blockCount(), atOnce.blockCount());
    QCOMPARE(loaded.value().readAs, readAtOnce);
    QCOMPARE(loaded.value().format.encoding, expected.value().encoding);
    QCOMPARE(loaded.value().format.lineEnding, expected.value().lineEnding);
    QCOMPARE(loaded.value().format.mixedEndings, expected.value().mixedEndings);
    QCOMPARE(loaded.value().format.byteOrderMark, expected.value().byteOrderMark);
    QVERIFY(!document->isUndoAvailable());
    QVERIFY(document->isUndoRedoEnabled());
    // Saved back untouched, the file comes out byte for byte.
    if (readAtOnce == DocumentKind::Text) {
        const QString copy = home.path(QStringLiteral("copy.txt"));
        QVERIFY(DocumentFile::save(copy, DocumentKind::Text, document, loaded.value().format));
        QCOMPARE(TestHome::read(copy), bytes);
    }
}

void TestBackgroundLoad::loaderShowsTheBeginningFirst_data()
{
    constexpr qsizetype Preview = DocumentLoader::PreviewChars;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("pieceBytes");
    // How many characters the beginning shows; -1: the text is too short for one.
    QTest::addColumn<qsizetype>("shown");
    const QByteArray lines = numberedLines(60000, "\r\n");
    const qsizetype lastEnd = QString::fromLatin1(lines).remove(u'\r').lastIndexOf(u'\n', Preview);
    QTest::newRow("lines") << lines << TextPieces::DefaultPieceBytes << lastEnd;
    QTest::newRow("lines, small pieces") << lines << qsizetype(65521) << lastEnd;
    // One long line whose beginning would end inside a surrogate pair, a piece
    // cut falling inside its four bytes.
    const QByteArray pair =
        QByteArray(Preview - 1, 'a') + "\xF0\x9F\x98\x80" + QByteArray(4 * Preview, 'b');
    QTest::newRow("one line, a pair at the end of the beginning")
        << pair << qsizetype(65536) << Preview + 1;
    QTest::newRow("short") << numberedLines(1000, "\n") << qsizetype(1000) << qsizetype(-1);
}

void TestBackgroundLoad::loaderShowsTheBeginningFirst()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, pieceBytes);
    QFETCH(qsizetype, shown);
    TestHome home;
    const QString path = home.write(QStringLiteral("a.txt"), bytes);
    const QString text = TextCodec::decode(bytes).text;
    std::unique_ptr<QTextDocument> beginning;
    const Result<LoadedDocument> loaded = DocumentLoader::load(
        path, DocumentKind::Text, {},
        [&](std::unique_ptr<QTextDocument> first) { beginning = std::move(first); }, pieceBytes);
    QVERIFY(loaded);
    QCOMPARE(loaded.value().document->toPlainText(), text);
    QCOMPARE(bool(beginning), shown >= 0);
    if (beginning)
        QCOMPARE(beginning->toPlainText(), text.left(shown));
}

void TestBackgroundLoad::loaderStopsWhenCancelled()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("big.txt"), numberedLines(200000, "\n"));
    QList<int> seen;
    const Result<LoadedDocument> loaded =
        DocumentLoader::load(path, DocumentKind::Text, [&](int percent) {
            seen.append(percent);
            return percent < 40;
        });
    QVERIFY(!loaded);
    QCOMPARE(loaded.error().code, ErrorCode::Cancelled);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    // It stopped at the first answer no, before the end.
    QVERIFY(seen.last() >= 40 && seen.last() < 100);
    QCOMPARE(std::count_if(seen.cbegin(), seen.cend(), [](int p) { return p >= 40; }), 1);
}

void TestBackgroundLoad::loaderReportsWhatIsWrongWithThePath()
{
    TestHome home;
    const Result<LoadedDocument> missing =
        DocumentLoader::load(home.path(QStringLiteral("none.txt")), DocumentKind::Text);
    QVERIFY(!missing);
    QCOMPARE(missing.error().code, ErrorCode::FileNotFound);
    const Result<LoadedDocument> folder = DocumentLoader::load(home.path({}), DocumentKind::Text);
    QVERIFY(!folder);
    QCOMPARE(folder.error().code, ErrorCode::PermissionDenied);
}

void TestBackgroundLoad::boxTakesTheLoadedDocumentUnchanged()
{
    TestHome home;
    const QByteArray bytes = numberedLines(20000, "\r\n");
    const QString path = home.write(QStringLiteral("lines.txt"), bytes);
    RichTextBox box;
    box.setReadOnly(false);
    QFont font(QStringLiteral("Monospace"));
    font.setPointSize(13);
    box.document()->setDefaultFont(font);
    QSignalSpy changes(&box, &RichTextBox::Change);
    QVERIFY(loadInto(box, path, DocumentKind::Text));
    QVERIFY(!box.isLoading());
    QVERIFY(!box.isReadOnly());
    QVERIFY(box.hasLineLayout());
    QCOMPARE(changes.count(), 0);
    QVERIFY(!box.document()->isModified());
    QVERIFY(!box.document()->isUndoAvailable());
    QCOMPARE(box.document()->defaultFont(), font);
    QCOMPARE(box.FileName(), path);
    QCOMPARE(box.fileKind(), DocumentKind::Text);
    QCOMPARE(box.textFileFormat().lineEnding, LineEnding::CRLF);
    // Positions count CR LF on the new document as on any other.
    QCOMPARE(box.Text().toUtf8(), bytes);
    box.setSelStart(int(bytes.indexOf("line 5 ")));
    QCOMPARE(box.textCursor().block().text(), QStringLiteral("line 5 of the text\txxxxx"));
    QCOMPARE(box.SelStart(), int(bytes.indexOf("line 5 ")));
    QVERIFY(box.SaveFile(home.path(QStringLiteral("saved.txt")), DocumentKind::Text));
    QCOMPARE(TestHome::read(home.path(QStringLiteral("saved.txt"))), bytes);
}

void TestBackgroundLoad::boxClosedMidLoadThrowsTheDocumentAway()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("big.txt"), numberedLines(200000, "\n"));
    for (int wait : {0, 5, 50}) {
        auto box = std::make_unique<RichTextBox>();
        box->startLoad(path, DocumentKind::Text);
        QTest::qWait(wait);
        box.reset();
        DocumentLoader::pool()->waitForDone();
        QCoreApplication::processEvents(); // a delivery on its way finds no one
    }
    RichTextBox box;
    QVERIFY(loadInto(box, path, DocumentKind::Text));
    QCOMPARE(box.document()->blockCount(), 200001);
}

void TestBackgroundLoad::cancelledLoadLeavesTheBoxEmpty()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("big.txt"), numberedLines(200000, "\n"));
    RichTextBox box;
    QSignalSpy finished(&box, &RichTextBox::loadFinished);
    box.startLoad(path, DocumentKind::Text);
    box.cancelLoad();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().first().value<Status>().error().code, ErrorCode::Cancelled);
    QVERIFY(box.document()->isEmpty());
    QVERIFY(box.FileName().isEmpty());
    QVERIFY(!box.isReadOnly());
}

void TestBackgroundLoad::lineLayoutPlacesEveryLineAlike()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("lines.txt"), numberedLines(5000, "\n"));
    RichTextBox box;
    QVERIFY(showLineLayout(box, path, RichTextBox::NoWrapMargin, 400));
    QTextDocument* document = box.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QRectF first = layout->blockBoundingRect(document->findBlockByNumber(0));
    const qreal height = first.height();
    QVERIFY(height > 0);
    for (int number : {1, 17, 2500, 4999}) {
        const QTextBlock block = document->findBlockByNumber(number);
        QCOMPARE(layout->blockBoundingRect(block).top(), first.top() + number * height);
        // A click on a line's middle lands in that line.
        const QPointF middle(first.left() + 30, first.top() + (number + 0.5) * height);
        const int hit = layout->hitTest(middle, Qt::FuzzyHit);
        QCOMPARE(document->findBlock(hit).blockNumber(), number);
        QCOMPARE(layout->hitTest(QPointF(first.left() + 5000, middle.y()), Qt::ExactHit), -1);
    }
    QCOMPARE(layout->documentSize().height(),
             document->blockCount() * height + 2 * document->documentMargin());
    // The caret's place comes from the layout too: moving it down one line moves it a line.
    box.moveCursor(QTextCursor::Start);
    const QRect top = box.cursorRect();
    box.moveCursor(QTextCursor::Down);
    QCOMPARE(box.textCursor().blockNumber(), 1);
    QCOMPARE(box.cursorRect().top() - top.top(), int(height));
    // The end of the text, an empty last line after the final line end, comes into view.
    box.resize(150, 300);
    QCoreApplication::processEvents();
    box.moveCursor(QTextCursor::End);
    box.ensureCursorVisible();
    QCoreApplication::processEvents();
    QVERIFY2(box.viewport()->rect().contains(box.cursorRect()),
             qPrintable(QStringLiteral("%1,%2 in %3")
                            .arg(box.cursorRect().top())
                            .arg(box.cursorRect().bottom())
                            .arg(box.viewport()->height())));
    // Only what was shown or asked for was laid out.
    int laidOut = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        laidOut += block.layout()->lineCount() > 0;
    QVERIFY2(laidOut < 200, qPrintable(QString::number(laidOut)));
}

// Wrapping a word of megabytes at word boundaries first takes Qt minutes; such a
// paragraph breaks anywhere, and a small file holding one gets the line layout.
void TestBackgroundLoad::endlessWordWrapsAnywhere()
{
    TestHome home;
    const QByteArray word(40000, 'x');
    const QString path =
        home.write(QStringLiteral("word.txt"),
                   "short line\n" + word + "\n" + QByteArray(20000, 'y') + " end\n");
    for (bool inBackground : {true, false}) {
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        if (inBackground)
            QVERIFY(loadInto(box, path, DocumentKind::Text));
        else
            QVERIFY(box.LoadFile(path, DocumentKind::Text).ok());
        QVERIFY(box.hasLineLayout());
        QTextDocument* document = box.document();
        document->documentLayout()->blockBoundingRect(document->findBlockByNumber(1));
        document->documentLayout()->blockBoundingRect(document->findBlockByNumber(2));
        const QTextLayout* endless = document->findBlockByNumber(1).layout();
        QCOMPARE(endless->textOption().wrapMode(), QTextOption::WrapAnywhere);
        QVERIFY(endless->lineCount() > 1);
        // A long word short of that wraps as every other paragraph does.
        QCOMPARE(document->findBlockByNumber(2).layout()->textOption().wrapMode(),
                 QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
    // Without such a word a small file keeps the rich-text layout.
    const QString plain = home.write(QStringLiteral("plain.txt"), "a\nb\n");
    RichTextBox box;
    QVERIFY(box.LoadFile(plain, DocumentKind::Text).ok());
    QVERIFY(!box.hasLineLayout());
}

void TestBackgroundLoad::lineLayoutEditsAndUndoes()
{
    TestHome home;
    const QByteArray bytes = numberedLines(3000, "\n");
    const QString path = home.write(QStringLiteral("lines.txt"), bytes);
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    QVERIFY(loadInto(box, path, DocumentKind::Text));
    QSignalSpy changes(&box, &RichTextBox::Change);
    // Positions count a line end as CR LF; the file has LF.
    box.setSelStart(box.toCrLf(int(bytes.indexOf("line 100 "))));
    QTest::keyClicks(&box, QStringLiteral("new "));
    QTest::keyClick(&box, Qt::Key_Return);
    QVERIFY(changes.count() > 0);
    QCOMPARE(box.document()->findBlockByNumber(100).text(), QStringLiteral("new "));
    QCOMPARE(box.document()->blockCount(), 3002);
    // Bold keeps the lines where they are: the line layout stays.
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelBold(true);
    QCoreApplication::processEvents();
    QVERIFY(box.hasLineLayout());
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    while (box.document()->isUndoAvailable())
        box.document()->undo();
    QCOMPARE(box.Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8(), bytes);
}

void TestBackgroundLoad::formattingThatMovesLinesTakesTheRichLayout()
{
    TestHome home;
    const QByteArray bytes = numberedLines(2000, "\n");
    const QString path = home.write(QStringLiteral("lines.txt"), bytes);
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    QVERIFY(loadInto(box, path, DocumentKind::Text));
    QVERIFY(box.hasLineLayout());
    box.setSelStart(10);
    box.setSelLength(20);
    box.setSelFontSize(30);
    QTRY_VERIFY(!box.hasLineLayout());
    QCOMPARE(box.SelFontSize(), std::optional<double>(30));
    QCOMPARE(box.Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8(), bytes);
    QVERIFY(box.document()->isUndoAvailable());
    // The rich layout lays the bigger line out taller than the others.
    QAbstractTextDocumentLayout* layout = box.document()->documentLayout();
    QVERIFY(layout->blockBoundingRect(box.document()->findBlockByNumber(0)).height() >
            layout->blockBoundingRect(box.document()->findBlockByNumber(5)).height());
}

void TestBackgroundLoad::wrappingWithTheLineLayout()
{
    TestHome home;
    const QByteArray longLine = QByteArray(2000, 'w').replace("wwwww", "word ") + "\n";
    const QString path = home.write(QStringLiteral("lines.txt"), longLine + "short\n" + longLine);
    RichTextBox box;
    QVERIFY(showLineLayout(box, path, 0, 300)); // no right margin: wrapped to the window
    QTextDocument* document = box.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QRectF first = layout->blockBoundingRect(document->firstBlock());
    const QRectF second = layout->blockBoundingRect(document->findBlockByNumber(1));
    QVERIFY(document->firstBlock().lineCount() > 5);
    QCOMPARE(second.top(), first.bottom());
    QVERIFY(first.width() <= box.viewport()->width());
    // Display lines as the window shows them.
    QCOMPARE(box.GetLineFromChar(int(longLine.size()) + 1), document->firstBlock().lineCount());
}

// A line of megabytes is shown in display lines of a bounded length, so the caret
// and painting never walk all of it; the window still counts paragraphs.
void TestBackgroundLoad::longLineWithoutWrapping()
{
    TestHome home;
    // Words of seven characters: the 10,000th character falls inside one.
    const QByteArray longLine = QByteArray(24997, 'w').replace("wwwwwww", "abcdef ") + "\n";
    const QString path = home.write(QStringLiteral("lines.txt"), longLine + "short\n");
    RichTextBox box;
    QVERIFY(showLineLayout(box, path, RichTextBox::NoWrapMargin, 300));
    QTextDocument* document = box.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QTextBlock first = document->firstBlock();
    const QRectF firstRect = layout->blockBoundingRect(first);
    QCOMPARE(first.lineCount(), 3);
    // Cut after the last space before the 10,000th character, so End stays on the line.
    QCOMPARE(first.layout()->lineAt(1).textStart(), 9996);
    QTextCursor end(document);
    end.movePosition(QTextCursor::EndOfLine);
    QCOMPARE(end.position(), 9995);
    QCOMPARE(layout->blockBoundingRect(first.next()).top(), firstRect.bottom());
    const qreal lineHeight = firstRect.height() / 3;
    const QPointF onSecond(document->documentMargin() + 1, firstRect.top() + lineHeight * 1.5);
    QCOMPARE(layout->hitTest(onSecond, Qt::FuzzyHit), 9996);
    const QFontMetricsF metrics(document->defaultFont());
    QVERIFY(layout->documentSize().width() < 10001 * metrics.maxWidth());
    QCOMPARE(box.GetLineFromChar(int(longLine.size()) + 1), 1);
    QCOMPARE(first.text().toUtf8() + '\n', longLine);
    // Qt's shaping kept for the paragraph follows an edit.
    const auto lastEnd = [&] {
        const QTextLine last = first.layout()->lineAt(2);
        return last.textStart() + last.textLength();
    };
    const int endBefore = lastEnd();
    QTextCursor(document).insertText(QStringLiteral("ABC"));
    layout->blockBoundingRect(first);
    QCOMPARE(first.lineCount(), 3);
    QCOMPARE(lastEnd(), endBefore + 3);
    const QTextLine top = first.layout()->lineAt(0);
    QCOMPARE(
        layout->hitTest(QPointF(document->documentMargin() + top.cursorToX(3), firstRect.top() + 1),
                        Qt::FuzzyHit),
        3);
}

QTEST_MAIN(TestBackgroundLoad)
#include "tst_backgroundload.moc"
