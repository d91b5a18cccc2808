#include "richtext/documentfile.h"
#include "richtext/richtextmodel.h"
#include "richtext/richtextproperties.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "richtext/twips.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTest>
#include <QTextDocument>

namespace {
// A document and the model over it, which keeps the selection itself.
struct Control {
    QTextDocument document;
    RichTextModel model{&document};

    explicit Control(const QString& text = {}) { model.setText(text); }
    // A document read from RTF or HTML, as loading and pasting make them.
    Control(const QString& kind, const QByteArray& source)
    {
        if (kind == QStringLiteral("rtf"))
            RtfReader::read(source, &document);
        else
            document.setHtml(QString::fromUtf8(source));
    }
    void select(int start, int length)
    {
        model.setSelStart(start);
        model.setSelLength(length);
    }
    int end() const { return model.toCrLf(document.characterCount() - 1); }
};

// Line ends and soft breaks spelled out, so that a failure shows where they are.
QString visible(const QString& text)
{
    QString shown = text;
    return shown.replace(u'\r', QStringLiteral("<CR>"))
        .replace(u'\n', QStringLiteral("<LF>"))
        .replace(u'\v', QStringLiteral("<VT>"));
}
} // namespace

class TestRichTextModel : public QObject {
    Q_OBJECT
private slots:
    void positionsCountLineBreaksAsTwo_data();
    void positionsCountLineBreaksAsTwo();
    void selectionCountsLineBreaksAsTwo();
    void softBreaksAreOneCharacter_data();
    void softBreaksAreOneCharacter();
    void positionsAgreeWithText_data();
    void positionsAgreeWithText();
    void verticalTabsBecomeSoftBreaks();
    void selTextReplacesAndMovesTheCaret();
    void selTextLeavesProtectedTextAlone();
    void selectionAttributesReportMixed();
    void formatWithoutSelectionIsForWhatComesNext();
    void colourOfUncolouredTextIsTheViewsDefault();
    void find_data();
    void find();
    void span_data();
    void span();
    void paragraphLines_data();
    void paragraphLines();
    void wrappedLinesCountAsTheyAreShown();
    void softBreaksEndDisplayLines();
    void tabStops();
    void bulletsHangByTheirIndent();
};

void TestRichTextModel::positionsCountLineBreaksAsTwo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("documentPosition");
    QTest::addColumn<int>("backAgain");

    const QString text = QStringLiteral("ab\r\ncd\r\nef");
    QTest::newRow("start") << text << 0 << 0 << 0;
    QTest::newRow("before the first break") << text << 2 << 2 << 2;
    QTest::newRow("inside CR LF is before it") << text << 3 << 2 << 2;
    QTest::newRow("after the first break") << text << 4 << 3 << 4;
    QTest::newRow("after the second break") << text << 8 << 6 << 8;
    QTest::newRow("end") << text << 10 << 8 << 10;
    QTest::newRow("past the end is the end") << text << 1000 << 8 << 10;
    QTest::newRow("before the start is the start") << text << -3 << 0 << 0;
    QTest::newRow("empty paragraphs") << QStringLiteral("\r\n\r\nx") << 4 << 2 << 4;
}

void TestRichTextModel::positionsCountLineBreaksAsTwo()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(int, documentPosition);
    QFETCH(int, backAgain);

    Control control(text);
    QCOMPARE(control.model.fromCrLf(position), documentPosition);
    QCOMPARE(control.model.toCrLf(documentPosition), backAgain);
    control.model.setSelStart(position);
    QCOMPARE(control.model.cursor().position(), documentPosition);
    QCOMPARE(control.model.SelStart(), backAgain);
}

void TestRichTextModel::selectionCountsLineBreaksAsTwo()
{
    Control control(QStringLiteral("ab\r\ncd\r\nef"));
    QCOMPARE(control.model.Text(), QStringLiteral("ab\r\ncd\r\nef"));
    control.select(4, 5); // "cd\r\ne"
    QCOMPARE(control.model.SelText(), QStringLiteral("cd\r\ne"));
    QCOMPARE(control.model.SelStart(), 4);
    QCOMPARE(control.model.SelLength(), 5);
    QCOMPARE(control.model.cursor().selectionStart(), 3);
    QCOMPARE(control.model.cursor().selectionEnd(), 7);
}

void TestRichTextModel::softBreaksAreOneCharacter_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("text");

    QTest::newRow("html break") << "html" << QByteArray("one<br>two<p>three</p>")
                                << "one\vtwo\r\nthree";
    QTest::newRow("rtf line") << "rtf" << QByteArray("{\\rtf1 one\\line two\\line\\par three}")
                              << "one\vtwo\v\r\nthree";
    QTest::newRow("breaks in a row") << "html" << QByteArray("<br><br>x<br>") << "\v\vx\v";
}

void TestRichTextModel::softBreaksAreOneCharacter()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, source);
    QFETCH(QString, text);

    Control control(kind, source);
    QCOMPARE(visible(control.model.Text()), visible(text));
    QCOMPARE(control.end(), text.size());
    control.select(0, text.size());
    QCOMPARE(visible(control.model.SelText()), visible(text));
    QCOMPARE(control.model.SelLength(), text.size());
    // A soft break is a line end in a plain-text file.
    QString saved = text;
    saved.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\v', u'\n');
    QCOMPARE(visible(DocumentFile::plainText(&control.document)), visible(saved));
}

void TestRichTextModel::positionsAgreeWithText_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("source");

    const QByteArray picture("{\\pict\\wmetafile8\\picwgoal300\\pichgoal300 01020304}");
    QTest::newRow("soft breaks") << "rtf"
                                 << QByteArray("{\\rtf1 a\\line b\\par\\line c\\line\\par d}");
    QTest::newRow("table with text after it")
        << "rtf"
        << QByteArray("{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell"
                      " B\\line b\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl\\cell"
                      " D\\cell\\row\\pard after\\line end}");
    QTest::newRow("table first") << "html"
                                 << QByteArray("<table><tr><td>A</td><td>B<br>b</td></tr></table>"
                                               "<p>after</p>");
    QTest::newRow("tables in a row")
        << "html"
        << QByteArray("<table><tr><td>1</td></tr></table><table><tr><td>2</td><td></td></tr>"
                      "</table>x");
    QTest::newRow("table in a table")
        << "html"
        << QByteArray("<p>x</p><table><tr><td>out<table><tr><td>in</td><td>2</td></tr></table>"
                      "</td><td>y<br>z</td></tr></table><p>w</p>");
    QTest::newRow("pictures") << "rtf"
                              << "{\\rtf1 a" + picture + "\\line " + picture + "\\par " + picture +
                                     "}";
    QTest::newRow("picture in a table")
        << "html" << QByteArray("<table><tr><td><img src=\"none.png\"><br>x</td></tr></table>");
}

void TestRichTextModel::positionsAgreeWithText()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, source);

    Control control(kind, source);
    const QString text = control.model.Text();
    QCOMPARE(text.size(), control.end());
    control.model.setSelStart(text.size() + 10);
    QCOMPARE(control.model.SelStart(), text.size());

    QStringList wrong;
    for (int p = 0; p <= text.size(); ++p) {
        // A caret between CR and LF is before the line end.
        const bool insideBreak = p > 0 && text[p - 1] == u'\r' && text[p] == u'\n';
        control.model.setSelStart(p);
        if (control.model.SelStart() != (insideBreak ? p - 1 : p))
            wrong << QStringLiteral("caret at %1 reads back as %2")
                         .arg(p)
                         .arg(control.model.SelStart());
    }
    for (int p = 0; p < text.size(); ++p) {
        if (text[p] == u'\n')
            continue;
        const bool lineEnd = text[p] == u'\r';
        control.select(p, lineEnd ? 2 : 1);
        const int start = control.model.SelStart(), length = control.model.SelLength();
        const QString selected = control.model.SelText();
        // A line end that leaves or enters a table cell selects more, but text and
        // selection still agree on what.
        const bool agrees =
            lineEnd ? start <= p && start + length >= p + 2 && selected == text.mid(start, length)
                    : start == p && length == 1 && selected == text.mid(p, 1);
        if (!agrees)
            wrong << QStringLiteral("%1 at %2: selection %3+%4 gives %5")
                         .arg(visible(text.mid(p, lineEnd ? 2 : 1)))
                         .arg(p)
                         .arg(start)
                         .arg(length)
                         .arg(visible(selected));
    }
    control.select(0, text.size());
    if (control.model.SelText() != text)
        wrong << QStringLiteral("all of it gives ") + visible(control.model.SelText());
    QCOMPARE(wrong.join(QStringLiteral("; ")), QString());
}

void TestRichTextModel::verticalTabsBecomeSoftBreaks()
{
    Control control(QStringLiteral("one\vtwo\r\nthree"));
    QCOMPARE(control.document.blockCount(), 2);
    QCOMPARE(control.document.firstBlock().text(),
             QStringLiteral("one") + QChar(QChar::LineSeparator) + QStringLiteral("two"));
    QCOMPARE(visible(control.model.Text()), visible(QStringLiteral("one\vtwo\r\nthree")));

    control.select(9, 0); // after the paragraph break
    QVERIFY(control.model.setSelText(QStringLiteral("\vfour\v")));
    QCOMPARE(control.document.blockCount(), 2);
    QCOMPARE(visible(control.model.Text()), visible(QStringLiteral("one\vtwo\r\n\vfour\vthree")));
    QCOMPARE(control.model.SelStart(), 15);
    QCOMPARE(visible(DocumentFile::plainText(&control.document)),
             visible(QStringLiteral("one\ntwo\n\nfour\nthree")));

    QCOMPARE(control.model.Find(QStringLiteral("e\vt")), 2);
    QCOMPARE(visible(control.model.SelText()), visible(QStringLiteral("e\vt")));
    QCOMPARE(control.model.Find(QStringLiteral("\vthree")), 14);
}

void TestRichTextModel::selTextReplacesAndMovesTheCaret()
{
    Control control(QStringLiteral("hello world"));
    control.select(6, 5);
    QVERIFY(control.model.setSelText(QStringLiteral("there\r\nfriend")));
    QCOMPARE(control.model.Text(), QStringLiteral("hello there\r\nfriend"));
    QCOMPARE(control.document.blockCount(), 2);
    QCOMPARE(control.model.SelStart(), 19);
    QCOMPARE(control.model.SelLength(), 0);
}

void TestRichTextModel::selTextLeavesProtectedTextAlone()
{
    Control control(QStringLiteral("free LOCKED free"));
    control.select(5, 6);
    control.model.setSelProtected(true);
    control.select(3, 4);
    QVERIFY(!control.model.setSelText(QStringLiteral("z")));
    control.select(0, 2);
    QVERIFY(control.model.setSelText(QStringLiteral("FR")));
    QCOMPARE(control.model.Text(), QStringLiteral("FRee LOCKED free"));
    // What replaced free text is free itself.
    control.select(0, 2);
    QCOMPARE(control.model.SelProtected(), std::optional<bool>(false));
}

void TestRichTextModel::selectionAttributesReportMixed()
{
    Control control(QStringLiteral("plain bold"));
    control.select(6, 4);
    control.model.setSelBold(true);
    control.model.setSelColor(0x0000FF);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0x0000FF));
    control.select(0, 10);
    QVERIFY(!control.model.SelBold().has_value());
    QVERIFY(!control.model.SelColor().has_value());
    QCOMPARE(control.model.SelItalic(), std::optional<bool>(false));
    control.model.setSelAlignment(2);
    QCOMPARE(control.model.SelAlignment(), std::optional<int>(2));
    control.model.setSelCharOffset(-40);
    QCOMPARE(control.model.SelCharOffset(), std::optional<int>(-40));
    QVERIFY(RtfWriter::write(&control.document).contains("\\dn4"));
}

void TestRichTextModel::formatWithoutSelectionIsForWhatComesNext()
{
    Control control(QStringLiteral("ab"));
    control.model.setSelStart(1);
    control.model.setSelBold(true);
    control.model.setSelItalic(true);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QVERIFY(control.model.setSelText(QStringLiteral("X")));
    control.select(1, 1);
    QCOMPARE(control.model.SelText(), QStringLiteral("X"));
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QCOMPARE(control.model.SelItalic(), std::optional<bool>(true));
    control.select(0, 1);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(false));
}

void TestRichTextModel::colourOfUncolouredTextIsTheViewsDefault()
{
    Control control(QStringLiteral("text"));
    control.select(0, 4);
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0)); // black
    control.model.setDefaultTextColor(QColor(0x12, 0x34, 0x56));
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0x563412));
}

void TestRichTextModel::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");

    const QString text = QStringLiteral("one\r\nTwo two");
    QTest::newRow("after a line break") << text << "two" << 0 << -1 << 0 << 5;
    QTest::newRow("match case") << text << "two" << 0 << -1 << int(RichTextModel::rtfMatchCase)
                                << 9;
    QTest::newRow("whole word") << text << "tw" << 0 << -1 << int(RichTextModel::rtfWholeWord)
                                << -1;
    QTest::newRow("from a start") << text << "two" << 6 << -1 << 0 << 9;
    QTest::newRow("not past the end") << text << "two" << 6 << 8 << 0 << -1;
    QTest::newRow("up to the end") << text << "two" << 6 << 12 << 0 << 9;
    QTest::newRow("nothing to find") << text << "" << 0 << -1 << 0 << -1;
    QTest::newRow("not there") << text << "three" << 0 << -1 << 0 << -1;
}

void TestRichTextModel::find()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    QFETCH(int, found);

    Control control(text);
    QCOMPARE(control.model.Find(what, start, end, options), found);
    if (found >= 0) {
        QCOMPARE(control.model.SelStart(), found);
        QCOMPARE(control.model.SelText().toLower(), what.toLower());
    }
    // Without highlighting the selection stays where it was.
    control.select(1, 1);
    QCOMPARE(control.model.Find(what, start, end, options | RichTextModel::rtfNoHighlight), found);
    QCOMPARE(control.model.SelStart(), 1);
    QCOMPARE(control.model.SelLength(), 1);
}

void TestRichTextModel::span_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("negate");
    QTest::addColumn<QString>("selected");

    const QString text = QStringLiteral("one\r\nTwo two");
    QTest::newRow("up to the next blank") << text << 5 << 0 << " " << true << true << "Two";
    QTest::newRow("back to the line start") << text << 8 << 0 << "\r" << false << true << "Two";
    QTest::newRow("over the line break") << text << 0 << 0 << " " << true << true << "one\r\nTwo";
    QTest::newRow("letters forward") << text << 5 << 0 << "woT" << true << false << "Two";
    QTest::newRow("back to a soft break")
        << QStringLiteral("one\vTwo two") << 7 << 0 << "\v" << false << true << "Two";
    QTest::newRow("over a soft break")
        << QStringLiteral("one\vTwo two") << 0 << 0 << "\v" << true << true << "one";
    QTest::newRow("keeps the selection's far end")
        << text << 9 << 3 << "Two " << false << false << "Two two";
}

void TestRichTextModel::span()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, characters);
    QFETCH(bool, forward);
    QFETCH(bool, negate);
    QFETCH(QString, selected);

    Control control(text);
    control.select(start, length);
    control.model.Span(characters, forward, negate);
    QCOMPARE(control.model.SelText(), selected);
}

void TestRichTextModel::paragraphLines_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("lineStart");
    QTest::addColumn<int>("length");

    // "a\r\nbcd\r\n\r\nef": lines start at 0, 3, 8 and 10.
    QTest::newRow("first line") << 0 << 0 << 0 << 1;
    QTest::newRow("at a line's end") << 1 << 0 << 0 << 1;
    QTest::newRow("inside CR LF") << 2 << 0 << 0 << 1;
    QTest::newRow("second line") << 4 << 1 << 3 << 3;
    QTest::newRow("empty line") << 8 << 2 << 8 << 0;
    QTest::newRow("last line") << 11 << 3 << 10 << 2;
    QTest::newRow("past the end") << 500 << 3 << 10 << 2;
}

void TestRichTextModel::paragraphLines()
{
    QFETCH(int, position);
    QFETCH(int, line);
    QFETCH(int, lineStart);
    QFETCH(int, length);

    Control control(QStringLiteral("a\r\nbcd\r\n\r\nef"));
    QVERIFY(!control.model.wrapping());
    QCOMPARE(control.model.lineCount(), 4);
    QCOMPARE(control.model.GetLineFromChar(position), line);
    QCOMPARE(control.model.lineIndex(line), lineStart);
    QCOMPARE(control.model.lineLength(position), length);
    int inBlock = -1;
    QCOMPARE(control.model.blockOfLine(line, &inBlock).blockNumber(), line);
    QCOMPARE(inBlock, 0);
    QCOMPARE(control.model.lineIndex(4), -1);
}

void TestRichTextModel::wrappedLinesCountAsTheyAreShown()
{
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    Control control(words + QStringLiteral("\r\nlast"));
    control.model.setWrapping(true);
    control.document.setTextWidth(200);
    control.document.documentLayout()->documentSize(); // laid out

    const int lines = control.model.lineCount();
    QVERIFY2(lines > 3, "a long paragraph wraps to several display lines");
    const int lastLineStart = control.model.lineIndex(lines - 1);
    QCOMPARE(lastLineStart, control.model.Text().indexOf(QStringLiteral("last")));
    QCOMPARE(control.model.GetLineFromChar(lastLineStart), lines - 1);
    QCOMPARE(control.model.GetLineFromChar(lastLineStart - 1), lines - 2);
    QCOMPARE(control.model.lineLength(lastLineStart), 4);
    QVERIFY(control.model.lineLength(0) < words.size());
    // The second display line starts where the first one ends.
    const int second = control.model.lineIndex(1);
    QCOMPARE(second, control.model.lineLength(0));
    QCOMPARE(control.model.GetLineFromChar(second), 1);
    int inBlock = -1;
    QCOMPARE(control.model.blockOfLine(1, &inBlock).blockNumber(), 0);
    QCOMPARE(inBlock, 1);

    control.model.setWrapping(false);
    QCOMPARE(control.model.lineCount(), 2);
    QCOMPARE(control.model.lineLength(0), words.size());
}

void TestRichTextModel::softBreaksEndDisplayLines()
{
    Control control(QStringLiteral("one\vtwo\r\nx"));
    control.model.setWrapping(true);
    control.document.setTextWidth(1000);
    control.document.documentLayout()->documentSize(); // laid out
    QCOMPARE(control.model.lineCount(), 3);
    QCOMPARE(control.model.lineIndex(1), 4);
    QCOMPARE(control.model.GetLineFromChar(3), 0);
    QCOMPARE(control.model.GetLineFromChar(4), 1);
    // Like a paragraph's, the break that ends a line is not part of its length.
    QCOMPARE(control.model.lineLength(0), 3);
    QCOMPARE(control.model.lineLength(4), 3);
    QCOMPARE(control.model.lineIndex(2), 9);

    control.model.setWrapping(false);
    QCOMPARE(control.model.lineCount(), 2);
    QCOMPARE(control.model.lineLength(4), 7);
    QCOMPARE(control.model.lineIndex(1), 9);
}

void TestRichTextModel::tabStops()
{
    Control control(QStringLiteral("a\tb\r\nc"));
    control.model.setSelTabCount(2);
    QCOMPARE(control.model.SelTabCount(), std::optional<int>(2));
    control.model.setSelTabs(1, 2000);
    QCOMPARE(control.model.SelTabs(0), std::optional<int>(720));
    QCOMPARE(control.model.SelTabs(1), std::optional<int>(2000));
    control.select(0, 5);
    QVERIFY(!control.model.SelTabCount().has_value()); // the second paragraph has none
}

void TestRichTextModel::bulletsHangByTheirIndent()
{
    Control control(QStringLiteral("one\r\ntwo"));
    control.select(0, 1);
    control.model.setSelIndent(720);
    control.model.setSelBullet(true);
    control.model.setBulletIndent(360);
    // The bullet stands where the first line started; the text hangs past it.
    QCOMPARE(control.model.SelIndent(), std::optional<int>(720));
    QCOMPARE(control.model.SelHangingIndent(), std::optional<int>(360));
    control.model.setSelIndent(1440);
    QCOMPARE(control.model.BulletIndent(), std::optional<int>(360));
    QVERIFY(RtfWriter::write(&control.document).contains("\\fi-360\\li1800\\ls1"));
    control.model.setSelBullet(false);
    QCOMPARE(control.model.SelBullet(), std::optional<bool>(false));
    QCOMPARE(control.model.SelIndent(), std::optional<int>(1440));
    QCOMPARE(control.model.SelHangingIndent(), std::optional<int>(0));

    // Another program's list item: its hanging indent is the bullet's.
    Control read(QStringLiteral("rtf"),
                 "{\\rtf1{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 item\\par}");
    QCOMPARE(read.model.SelBullet(), std::optional<bool>(true));
    QCOMPARE(read.model.SelIndent(), std::optional<int>(360));
    QCOMPARE(read.model.BulletIndent(), std::optional<int>(360));
    read.model.setBulletIndent(720);
    QCOMPARE(read.model.SelIndent(), std::optional<int>(360));
    QVERIFY(RtfWriter::write(&read.document).contains("\\fi-720\\li1080"));
    // No bullet indent still leaves the bullet room to be seen, and saves as none.
    read.model.setBulletIndent(0);
    QVERIFY(read.document.begin().blockFormat().leftMargin() > Twips::toPixels(360));
    const QByteArray none = RtfWriter::write(&read.document);
    QVERIFY2(none.contains("\\pard\\li360\\ls1"), none.constData());
    Control again(QStringLiteral("rtf"), none);
    QCOMPARE(again.model.BulletIndent(), std::optional<int>(0));
    QCOMPARE(again.model.SelIndent(), std::optional<int>(360));
}

// No widgets: the model stands on the document alone.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestRichTextModel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richtextmodel.moc"
