#include "richtext/richtextproperties.h"
#include "richtext/rtfreader.h"
#include "richtext/rtftokenizer.h"
#include "richtext/rtfwriter.h"
#include "support/testhome.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {
QTextCharFormat formatAt(const QTextDocument& doc, int position)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

QString plain(const QTextDocument& doc)
{
    return doc.toPlainText();
}
} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void tokenizerHandsOverBinaryDataAndGroups();
    void writingWhatWasReadGivesTheSameBytes();
    void tablesAndLinksSurviveSaveAndLoad();
    void tablesStandOnParagraphsOfTheirOwn_data();
    void tablesStandOnParagraphsOfTheirOwn();
    void runsWritingTheSameWordsShareAGroup();
    void partOfADocument_data();
    void partOfADocument();
    void footnotesAreKeptButNotShown();
    void listsSurviveSaveAndLoad();
    void listTableNumbering();
    void listOverrides_data();
    void listItemsEndingCells();
    void listOverrides();
    void hyperlinkFields_data();
    void hyperlinkFields();
    void characters_data();
    void characters();
    void codePagesDecode();
    void bulletTextIsNotDoubled();
    void pictures();
    void picturesInShapes_data();
    void picturesInShapes();
    void hostileInputIsSurvived_data();
    void hostileInputIsSurvived();
    void insertingKeepsTheParagraphFormat();
    void savedInputsAreSurvived_data();
    void savedInputsAreSurvived();
    void notRtfIsAnError();
};

void TestRtf::tokens_data()
{
    // Each token as W(word and parameter), S(symbol), H(hex byte), T(text), { or }.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("tokens");
    QTest::newRow("groups and words") << QByteArray("{\\rtf1\\b0 x}") << "{ W(rtf1) W(b0) T(x) }";
    QTest::newRow("negative parameter and its space")
        << QByteArray("\\li-720  a") << "W(li-720) T( a)";
    QTest::newRow("minus without digits") << QByteArray("\\b-x") << "W(b) T(-x)";
    QTest::newRow("parameter bounded")
        << QByteArray("\\fs99999999999999999999") << "W(fs2147483647)";
    QTest::newRow("over-long word is cut") << QByteArray("\\") + QByteArray(40, 'a') + "1"
                                           << "W(" + QString(32, u'a') + "1)";
    QTest::newRow("symbols") << QByteArray("\\*\\~\\{\\\\") << "S(*) S(~) S({) S(\\)";
    QTest::newRow("hex bytes") << QByteArray("\\'e9\\'4Fz") << "H(e9) H(4f) T(z)";
    QTest::newRow("bad hex stands for nothing") << QByteArray("a\\'zz") << "T(a) T(zz)";
    QTest::newRow("line breaks and NULs dropped") << QByteArray("a\r\nb\0c", 7) << "T(a) T(b) T(c)";
    QTest::newRow("backslash at the end") << QByteArray("a\\") << "T(a)";
}

void TestRtf::tokens()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, tokens);
    using Token = RtfTokenizer::Token;
    RtfTokenizer tokenizer(rtf);
    QStringList seen;
    for (Token t = tokenizer.next(); t != Token::End; t = tokenizer.next()) {
        switch (t) {
        case Token::OpenGroup:
            seen << QStringLiteral("{");
            break;
        case Token::CloseGroup:
            seen << QStringLiteral("}");
            break;
        case Token::Word:
            seen << QStringLiteral("W(%1%2)").arg(
                QString::fromLatin1(tokenizer.word()),
                tokenizer.hasParam() ? QString::number(tokenizer.param()) : QString());
            break;
        case Token::Symbol:
            seen << QStringLiteral("S(%1)").arg(QLatin1Char(tokenizer.symbol()));
            break;
        case Token::HexByte:
            seen << QStringLiteral("H(%1)").arg(uchar(tokenizer.symbol()), 2, 16, QLatin1Char('0'));
            break;
        case Token::Text:
            seen << QStringLiteral("T(%1)").arg(QString::fromLatin1(tokenizer.text()));
            break;
        case Token::End:
            break;
        }
    }
    QCOMPARE(seen.join(u' '), tokens);
}

void TestRtf::tokenizerHandsOverBinaryDataAndGroups()
{
    const QByteArray rtf = "\\bin3 {}\\\\x{\\a\\}{b}}rest";
    RtfTokenizer tokenizer(rtf);
    QCOMPARE(tokenizer.next(), RtfTokenizer::Token::Word);
    QCOMPARE(tokenizer.takeBinary(tokenizer.param()), QByteArrayView("{}\\"));
    QCOMPARE(tokenizer.next(), RtfTokenizer::Token::Word);
    QCOMPARE(tokenizer.word(), QByteArray("x"));
    QCOMPARE(tokenizer.next(), RtfTokenizer::Token::OpenGroup);
    QCOMPARE(tokenizer.takeGroup(), QByteArrayView("\\a\\}{b}"));
    QCOMPARE(tokenizer.next(), RtfTokenizer::Token::CloseGroup);
    QCOMPARE(tokenizer.next(), RtfTokenizer::Token::Text);
    QCOMPARE(tokenizer.takeBinary(99), QByteArrayView());
}

void TestRtf::writingWhatWasReadGivesTheSameBytes()
{
    const QByteArray source =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}\\pard\\qr\\li720 Hello {\\b\\cf1 world}\\par"
        "\\pard{\\f1\\fs32\\i caf\\'e9 \\u8364?}\\par}";
    QTextDocument first;
    QVERIFY(RtfReader::read(source, &first).ok());
    const QByteArray once = RtfWriter::write(&first);
    QTextDocument second;
    QVERIFY(RtfReader::read(once, &second).ok());
    QCOMPARE(RtfWriter::write(&second), once);
    QCOMPARE(plain(second), QStringLiteral("Hello world\ncafé €\n"));
}

void TestRtf::tablesAndLinksSurviveSaveAndLoad()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("before"));
    c.insertBlock();
    QTextTable* table = c.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("a1"));
    QTextCursor b1 = table->cellAt(0, 1).firstCursorPosition();
    b1.insertText(QStringLiteral("b1"));
    b1.insertBlock();
    b1.insertText(QStringLiteral("second line"));
    QTextCursor inner = table->cellAt(1, 0).firstCursorPosition();
    QTextTable* nested = inner.insertTable(1, 2);
    nested->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("deep"));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.com/a?b=1"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("site"), link);
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("after"));

    QTextDocument back;
    QVERIFY(RtfReader::read(RtfWriter::write(&doc), &back).ok());
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    const QList<QTextFrame*> frames = back.rootFrame()->childFrames();
    QCOMPARE(frames.size(), 1);
    auto* t = qobject_cast<QTextTable*>(frames.first());
    QVERIFY(t);
    QCOMPARE(t->rows(), 2);
    QCOMPARE(t->columns(), 2);
    QCOMPARE(t->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("b1"));
    QCOMPARE(t->cellAt(0, 1).lastCursorPosition().block().text(), QStringLiteral("second line"));
    const QList<QTextFrame*> inCell = t->cellAt(1, 0).firstCursorPosition().currentFrame()
                                          ? t->childFrames()
                                          : QList<QTextFrame*>();
    QCOMPARE(inCell.size(), 1);
    auto* n = qobject_cast<QTextTable*>(inCell.first());
    QVERIFY(n);
    QCOMPARE(n->columns(), 2);
    QCOMPARE(n->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("deep"));
    const QTextCharFormat linked = formatAt(back, t->cellAt(1, 1).firstPosition());
    QVERIFY(linked.isAnchor());
    QCOMPARE(linked.anchorHref(), QStringLiteral("https://example.com/a?b=1"));
    QCOMPARE(RtfWriter::write(&back), RtfWriter::write(&doc));
}

void TestRtf::tablesStandOnParagraphsOfTheirOwn_data()
{
    // Read back, each table stands where it stood, on a paragraph of its own.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tables");
    QTest::newRow("after text of the same paragraph")
        << QByteArray("item\\par x\\trowd\\cellx1000 a\\cell\\row c") << "item\nx\n\na\nc\n"
        << 1;
    QTest::newRow("a cell without \\intbl after a row")
        << QByteArray("\\trowd\\cellx1000 a\\cell\\row\\pard\\cell\\row") << "\na\n\n"
        << 1;
    QTest::newRow("a list item in a cell that makes a table")
        << QByteArray("\\ls1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid1}}{\\*"
                      "\\listoverridetable{\\listoverride\\listid1\\ls1}}\\cell\\row\\pard y")
        << "\n\ny" << 1;
}

void TestRtf::tablesStandOnParagraphsOfTheirOwn()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(int, tables);
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + body + "}", &doc).ok());
    QCOMPARE(plain(doc), text);
    QCOMPARE(doc.rootFrame()->childFrames().size(), tables);
    const QByteArray once = RtfWriter::write(&doc);
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(plain(back), text);
    QCOMPARE(back.rootFrame()->childFrames().size(), tables);
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtf::runsWritingTheSameWordsShareAGroup()
{
    // Formats told apart by what RTF does not say are one format when read back.
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat marked = bold;
    marked.setProperty(QTextFormat::UserProperty + 999, true);
    c.insertText(QStringLiteral("a"), bold);
    c.insertText(QStringLiteral("b"), marked);
    c.insertText(QStringLiteral("c"), QTextCharFormat());
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY2(once.contains("\\b ab}"), once.constData());
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtf::partOfADocument_data()
{
    // A selection written alone: its text, cut where it starts and ends.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("text");
    QTest::newRow("inside a run") << 1 << 2 << "b";
    QTest::newRow("across runs") << 1 << 5 << "bcde";
    QTest::newRow("across paragraphs") << 4 << 9 << "ef\ngh";
    QTest::newRow("ending where a paragraph starts") << 4 << 7 << "ef";
    QTest::newRow("all") << 0 << 12 << "abcdef\nghi\n";
}

void TestRtf::partOfADocument()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 ab{\\b cd}{\\i ef}\\par gh{\\ul i}\\par}", &doc).ok());
    QTextDocument part;
    QVERIFY(RtfReader::read(RtfWriter::write(&doc, from, to), &part).ok());
    QCOMPARE(plain(part), text);
    if (from <= 2 && to >= 3) {
        QVERIFY(formatAt(part, 2 - from).fontWeight() >= QFont::DemiBold);
        QVERIFY(formatAt(part, 1 - from).fontWeight() < QFont::DemiBold);
    }
}

void TestRtf::footnotesAreKeptButNotShown()
{
    const QByteArray rtf = "{\\rtf1 Text{\\super\\chftn}{\\*\\footnote\\pard {\\super\\chftn} The "
                           "{\\b note} \\{x\\}.}, more{\\chftn{\\footnote second}}.}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("Text1, more2."));
    const QByteArray written = RtfWriter::write(&doc);
    QVERIFY(
        written.contains("\\chftn}{\\footnote \\pard {\\super\\chftn} The {\\b note} \\{x\\}.}"));
    QVERIFY(written.contains("\\chftn}{\\footnote second}"));
    QTextDocument back;
    QVERIFY(RtfReader::read(written, &back).ok());
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(RtfWriter::write(&back), written);
}

void TestRtf::listsSurviveSaveAndLoad()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextListFormat numbered;
    numbered.setStyle(QTextListFormat::ListDecimal);
    QTextList* outer = c.createList(numbered);
    c.insertText(QStringLiteral("one"));
    c.insertBlock();
    QTextListFormat alpha;
    alpha.setStyle(QTextListFormat::ListLowerAlpha);
    alpha.setIndent(2);
    c.createList(alpha);
    c.insertText(QStringLiteral("one-a"));
    c.insertBlock();
    outer->add(c.block());
    c.insertText(QStringLiteral("two"));
    c.insertBlock();
    c.setBlockFormat(QTextBlockFormat());
    c.insertText(QStringLiteral("plain"));

    const QByteArray written = RtfWriter::write(&doc);
    QVERIFY(written.contains("{\\listtext\\f0 2.\\tab}")); // shown by readers without lists
    QTextDocument back;
    QVERIFY(RtfReader::read(written, &back).ok());
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QTextList* first = back.findBlockByNumber(0).textList();
    QVERIFY(first);
    QCOMPARE(first->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(back.findBlockByNumber(2).textList(), first); // numbering goes on: "2."
    QCOMPARE(first->itemText(back.findBlockByNumber(2)), QStringLiteral("2."));
    QTextList* nested = back.findBlockByNumber(1).textList();
    QVERIFY(nested && nested != first);
    QCOMPARE(nested->format().style(), QTextListFormat::ListLowerAlpha);
    QCOMPARE(nested->format().intProperty(RichTextProperty::ListLevel), 1);
    QVERIFY(back.findBlockByNumber(1).blockFormat().leftMargin() >
            back.findBlockByNumber(0).blockFormat().leftMargin());
    QVERIFY(!back.findBlockByNumber(3).textList());
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(&back), &again).ok());
    QCOMPARE(RtfWriter::write(&again), RtfWriter::write(&back));
}

void TestRtf::listTableNumbering()
{
    // As word processors write it: kinds in the list table, paragraphs naming an override.
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list\\listtemplateid7{\\listlevel\\levelnfc4\\levelstartat3{"
        "\\leveltext\\'02\\'"
        "00);}"
        "{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid99}}"
        "{\\*\\listoverridetable{\\listoverride\\listid99\\listoverridecount0\\ls1}}"
        "{\\listtext a)\\tab}\\pard\\ls1\\ilvl0 first\\par"
        "{\\listtext \\'95\\tab}\\pard\\ls1\\ilvl1 inner\\par"
        "{\\listtext b)\\tab}\\pard\\ls1\\ilvl0 second\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("first\ninner\nsecond\n"));
    QTextList* top = doc.findBlockByNumber(0).textList();
    QVERIFY(top);
    QCOMPARE(top->format().style(), QTextListFormat::ListLowerAlpha);
    QCOMPARE(doc.findBlockByNumber(2).textList(), top);
    QCOMPARE(doc.findBlockByNumber(1).textList()->format().style(), QTextListFormat::ListCircle);
    QCOMPARE(top->format().intProperty(RichTextProperty::ListStart), 3);
    QVERIFY(RtfWriter::write(&doc).contains("\\levelnfc4\\levelnfcn4\\leveljc0\\levelstartat3"));
    QCOMPARE(doc.findBlockByNumber(1).textList()->format().intProperty(RichTextProperty::ListLevel),
             1);
}

void TestRtf::listOverrides_data()
{
    // An override changes a level in a \\lfolevel of its own; a level's words
    // straight in the override change nothing.
    QTest::addColumn<QByteArray>("override");
    QTest::addColumn<int>("style"); // of the level 1 item
    QTest::addColumn<int>("start");
    QTest::newRow("none") << QByteArray() << int(QTextListFormat::ListCircle) << 1;
    QTest::newRow("words straight in the override")
        << QByteArray("\\levelnfc0\\levelstartat4") << int(QTextListFormat::ListCircle) << 1;
    QTest::newRow("the second level's")
        << QByteArray("{\\lfolevel}{\\lfolevel\\listoverridestartat\\listoverrideformat{\\listlevel"
                      "\\levelnfc4\\levelstartat3}}")
        << int(QTextListFormat::ListLowerAlpha) << 3;
}

void TestRtf::listOverrides()
{
    QFETCH(QByteArray, override);
    QFETCH(int, style);
    QFETCH(int, start);
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc23}"
        "\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5" +
        override + "\\ls1}}\\pard\\ls1\\ilvl0 top\\par\\pard\\ls1\\ilvl1 inner\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QTextList* top = doc.findBlockByNumber(0).textList();
    const QTextList* inner = doc.findBlockByNumber(1).textList();
    QVERIFY(top && inner && top != inner);
    QCOMPARE(int(top->format().style()), int(QTextListFormat::ListDecimal));
    QCOMPARE(int(inner->format().style()), style);
    QCOMPARE(inner->format().hasProperty(RichTextProperty::ListStart)
                 ? inner->format().intProperty(RichTextProperty::ListStart)
                 : 1,
             start);
}

void TestRtf::listItemsEndingCells()
{
    // A cell's last paragraph ends with the cell, and may be a list item as well.
    const QByteArray rtf = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23}\\listid5}}"
                           "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}"
                           "\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\ls1\\ilvl0 one\\par"
                           "\\pard\\intbl\\ls1\\ilvl0 two\\cell\\pard\\intbl plain\\cell\\row}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QTextBlock one = doc.findBlock(doc.toPlainText().indexOf(u'o'));
    QCOMPARE(one.text(), QStringLiteral("one"));
    QVERIFY(one.textList());
    QCOMPARE(one.next().text(), QStringLiteral("two"));
    QCOMPARE(one.next().textList(), one.textList());
    QCOMPARE(one.next().next().text(), QStringLiteral("plain"));
    QVERIFY(!one.next().next().textList());
}

void TestRtf::hyperlinkFields_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("target");
    QTest::newRow("quoted")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x.org/\"}{\\fldrslt go}}}")
        << "http://x.org/";
    QTest::newRow("split over groups")
        << QByteArray(
               "{\\rtf1{\\field{\\*\\fldinst{ HYPERLINK }{\"mailto:a@b\" }}{\\fldrslt{\\ul go}}}}")
        << "mailto:a@b";
    QTest::newRow("bookmark")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt go}}}")
        << "#top";
    QTest::newRow("characters beyond ASCII")
        << QByteArray(
               "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x.org/\\u233?\\'e8\"}{\\fldrslt "
               "go}}}")
        << QString::fromUtf8("http://x.org/\u00e9\u00e8");
    QTest::newRow("quote and backslash")
        << QByteArray(
               "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"a\\\\\"b\\\\\\\\c\"}{\\fldrslt go}}}")
        << "a\"b\\c";
    QTest::newRow("closing quote missing")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x.org/y}{\\fldrslt go}}}")
        << "http://x.org/y";
    QTest::newRow("other field") << QByteArray("{\\rtf1{\\field{\\*\\fldinst PAGE}{\\fldrslt go}}}")
                                 << "";
}

void TestRtf::hyperlinkFields()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, target);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("go"));
    QCOMPARE(formatAt(doc, 0).anchorHref(), target);
    QCOMPARE(formatAt(doc, 0).isAnchor(), !target.isEmpty());
    QTextDocument back;
    QVERIFY(RtfReader::read(RtfWriter::write(&doc), &back).ok());
    QCOMPARE(formatAt(back, 0).anchorHref(), target);
}

void TestRtf::characters_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("unicode with one fallback") << QByteArray("{\\rtf1 a\\u8364?b}") << "a€b";
    QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u8364\\'80\\'80x}") << "€x";
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0\\u233 x}") << "éx";
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << "😀";
    QTest::newRow("uc is scoped by groups") << QByteArray("{\\rtf1 {\\uc2 a}\\u233?x}") << "aéx";
    QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{\\}\\\\}") << "{}\\";
    QTest::newRow("named") << QByteArray("{\\rtf1 \\lquote x\\rquote\\emdash\\bullet\\~}")
                           << QStringLiteral("‘x’—•\u00a0");
    QTest::newRow("tab and line") << QByteArray("{\\rtf1 a\\tab b\\line c}")
                                  << QStringLiteral("a\tb\u2028c");
    QTest::newRow("ignorable destination")
        << QByteArray("{\\rtf1 a{\\*\\unknown hidden}b}") << "ab";
    QTest::newRow("skipped destinations")
        << QByteArray("{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}{\\header H}body}")
        << "body";
    QTest::newRow("field result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}")
        << "link";
    QTest::newRow("upr takes the unicode part")
        << QByteArray("{\\rtf1 {\\upr{\\f0 ansi}{\\*\\ud{\\f0 uni}}}}") << "uni";
    QTest::newRow("bin data is skipped") << QByteArray("{\\rtf1 a\\bin3 {}\\b}") << "ab";
    QTest::newRow("bin data in a skipped destination")
        << QByteArray("{\\rtf1 a{\\*\\objdata \\bin1 }hidden}b}") << "ab";
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\nb}") << "a\nb";
    QTest::newRow("object shows its result")
        << QByteArray("{\\rtf1 a{\\object\\objemb{\\*\\objclass Excel}{\\*\\objdata 0102}{\\result "
                      "shown}}b}")
        << "ashownb";
    QTest::newRow("page and sect") << QByteArray("{\\rtf1 a\\page b\\sect c}") << "a\nb\nc";
}

void TestRtf::characters()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toRawText().replace(QChar::ParagraphSeparator, u'\n'), text);
}

void TestRtf::codePagesDecode()
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 "
                           "Arial Cyr;}{\\f2\\fcharset128 MS Gothic;}}"
                           "\\f0 \\'e9{\\f1 \\'cf\\'f0\\'e8}{\\f2 \\'93\\'fa\\'96\\'7b}}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("éПри日本"));
}

void TestRtf::bulletTextIsNotDoubled()
{
    const QByteArray rtf =
        "{\\rtf1{\\fonttbl{\\f1\\fcharset2 "
        "Symbol;}}{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1"
        "\\pnindent0{\\pntxtb\\'b7}}\\fi-720\\li720 one\\par{\\pntext\\f1\\'b7\\tab}two\\par\\pard "
        "plain}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("one\ntwo\nplain"));
    QVERIFY(doc.findBlockByNumber(0).textList());
    QCOMPARE(doc.findBlockByNumber(1).textList(), doc.findBlockByNumber(0).textList());
    QVERIFY(!doc.findBlockByNumber(2).textList());
}

void TestRtf::pictures()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QByteArray rtf =
        "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45 " +
        png.toHex() +
        "}}{\\nonshppict{\\pict\\wmetafile8 0102}}"
        "b{\\pict\\wmetafile8\\picwgoal300\\pichgoal300 01020304}c}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("a\uFFFCb\uFFFCc"));
    const QTextImageFormat shown = formatAt(doc, 1).toImageFormat();
    QVERIFY(shown.isValid());
    QCOMPARE(shown.width(), 4.0);
    const QImage resource =
        doc.resource(QTextDocument::ImageResource, QUrl(shown.name())).value<QImage>();
    QCOMPARE(resource.pixelColor(0, 0), QColor(Qt::red));
    // A picture we cannot show is written back as it came.
    const QByteArray written = RtfWriter::write(&doc);
    QVERIFY(written.contains("{\\pict\\wmetafile8\\picwgoal300\\pichgoal300\n01020304\n}"));
    QVERIFY(written.contains(png.toHex().left(64)));
    QVERIFY(!written.contains("0102\n"));
}

namespace {
QByteArray pngPicture(const QColor& colour)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45 " + png.toHex() + "}";
}
} // namespace

void TestRtf::picturesInShapes_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("shown");
    const QByteArray red = pngPicture(Qt::red), blue = pngPicture(Qt::blue);
    const QByteArray properties = "{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn wzName}{\\sv Name}}";
    QTest::newRow("the shape's picture, as LibreOffice writes it")
        << "{\\rtf1 a{\\shp{\\*\\shpinst\\shpleft0" + properties + "{\\sp{\\sn pib}{\\sv " + red +
               "}}}}b}"
        << "a\uFFFCb" << QColor(Qt::red);
    QTest::newRow("shape and result: shown once")
        << "{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + red +
               "}}}{\\shprslt{\\*\\shppict" + blue + "}{\\nonshppict" + blue + "}}}b}"
        << "a\uFFFCb" << QColor(Qt::red);
    QTest::newRow("only the result has a picture")
        << "{\\rtf1 a{\\shp{\\*\\shpinst" + properties + "}{\\shprslt " + blue + "}}b}"
        << "a\uFFFCb" << QColor(Qt::blue);
    QTest::newRow("a group of shapes")
        << "{\\rtf1 a{\\shpgrp{\\*\\shpinst{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + red +
               "}}}}}{\\shprslt " + blue + "}}b}"
        << "a\uFFFCb" << QColor(Qt::red);
}

void TestRtf::picturesInShapes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QColor, shown);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), text);
    const QTextImageFormat image = formatAt(doc, 1).toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(doc.resource(QTextDocument::ImageResource, QUrl(image.name()))
                 .value<QImage>()
                 .pixelColor(0, 0),
             shown);
    // Saved, the picture stays: once.
    const QByteArray written = RtfWriter::write(&doc);
    QCOMPARE(written.count("{\\pict"), 1);
    QTextDocument back;
    QVERIFY(RtfReader::read(written, &back).ok());
    QCOMPARE(back.toPlainText(), text);
}

void TestRtf::hostileInputIsSurvived_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(1000000, '{') + "deep" +
                                         QByteArray(1000000, '}')
                                  << "deep";
    QTest::newRow("text after the end") << QByteArray("{\\rtf1 a}}}}b") << "a";
    QTest::newRow("truncated") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << "";
    QTest::newRow("parameter overflow")
        << QByteArray("{\\rtf1\\fs99999999999999999999 x\\uc-5 y}") << "xy";
    QTest::newRow("bin past the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << "a";
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz\\'4") << "a";
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 10) << "ab";
    QTest::newRow("long control word") << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'a') + " x}"
                                       << "x";
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 50000; ++i)
        fonts += "{\\f" + QByteArray::number(i) + " Font" + QByteArray::number(i) + ";}";
    QTest::newRow("50,000 fonts") << fonts + "}\\f49999 text}"
                                  << "text";
    QByteArray runs = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        runs += "{\\fs" + QByteArray::number(i % 3000 + 2) + " x}";
    QTest::newRow("thousands of sizes") << runs + "}"
                                        << "xxxx";
    QTest::newRow("tables nested too deep")
        << QByteArray("{\\rtf1\\pard\\intbl\\itap100000 deep\\nestcell}") << "deep";
    QTest::newRow("cells without rows")
        << QByteArray("{\\rtf1 a\\cell\\cell\\row\\row\\cell b}") << "b";
    QTest::newRow("huge picture size")
        << QByteArray("{\\rtf1{\\pict\\emfblip\\picwgoal2000000000\\pichgoal2000000000 00}x}")
        << QString(QChar(0xFFFC)) + u'x';
}

void TestRtf::hostileInputIsSurvived()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, textStart);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QVERIFY2(doc.toPlainText().contains(textStart), qPrintable(doc.toPlainText().left(40)));
}

void TestRtf::insertingKeepsTheParagraphFormat()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    c.insertText(QStringLiteral("ab"));
    c.setPosition(1);
    QVERIFY(RtfReader::insert("{\\rtf1\\pard\\ql {\\b X}}", c).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("aXb"));
    QVERIFY(doc.begin().blockFormat().alignment() & Qt::AlignHCenter);
    QCOMPARE(formatAt(doc, 1).fontWeight(), int(QFont::Bold));
}

void TestRtf::savedInputsAreSurvived_data()
{
    // Inputs the fuzzer once failed on, and the inputs it starts from: survived, and written the
    // same way twice.
    QTest::addColumn<QString>("path");
    for (const QString& folder : QStringLiteral(QUILLORA_RTF_INPUTS).split(u':'))
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
}

void TestRtf::savedInputsAreSurvived()
{
    QFETCH(QString, path);
    QTextDocument doc;
    if (!RtfReader::read(TestHome::read(path), &doc).ok())
        return; // not RTF at all: refused, which is fine
    const QByteArray once = RtfWriter::write(&doc);
    QTextDocument again;
    QVERIFY(RtfReader::read(once, &again).ok());
    QCOMPARE(again.toPlainText(), doc.toPlainText());
    // What the writer wrote reads back to the same document.
    QCOMPARE(RtfWriter::write(&again), once);
}

void TestRtf::notRtfIsAnError()
{
    QTextDocument doc;
    QVERIFY(!RtfReader::read("plain text", &doc).ok());
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
