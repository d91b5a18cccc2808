// Character and paragraph formatting read from RTF and written back: what was
// given stays given, what was not is not invented.
#include "richtext/richtextproperties.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {
QTextCharFormat formatAt(const QTextDocument& doc, int position)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}
} // namespace

class TestRtfFormatting : public QObject {
    Q_OBJECT
private slots:
    void everyFormattingFeatureSurvivesSaveAndLoad();
    void whatWasNotGivenIsNotWritten_data();
    void whatWasNotGivenIsNotWritten();
    void stylesGiveTheirFormatting();
    void propertiesKeepTheLetters_data();
    void propertiesKeepTheLetters();
    void struckText_data();
    void struckText();
    void backgroundsKeepTheirWords_data();
    void backgroundsKeepTheirWords();
    void stylesAreWrittenBack();
    void styleWordsOfDefaultValuesAreKept_data();
    void styleWordsOfDefaultValuesAreKept();
    void textWithoutFontWordsUsesTheDefaultFont();
    void fontTableKeepsItsPlaces();
    void fontsWithoutNamesStaySo_data();
    void fontsWithoutNamesStaySo();
    void picturesKeepTheirRunsFormatting();
    void fontNamesInUnicode();
    void fontNameCutShort();
    void emptyDocumentKeepsItsDefaultFont();
    void scriptFonts_data();
    void scriptFonts();
    void stylesKeepTheirScriptFonts();
    void styleBasedOnItselfStaysSo();
    void styleNamesBeyondAscii();
    void stylesAsTheFirstStyleSheetGivesThem_data();
    void stylesAsTheFirstStyleSheetGivesThem();
    void paragraphStyleIsTheOneItsTextBeganIn_data();
    void automaticColourSaidOfTheTextIsKept_data();
    void automaticColourSaidOfTheTextIsKept();
    void paragraphStyleIsTheOneItsTextBeganIn();
};

void TestRtfFormatting::everyFormattingFeatureSurvivesSaveAndLoad()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("bold "), bold);
    QTextCharFormat mix;
    mix.setFontItalic(true);
    mix.setFontUnderline(true);
    mix.setFontStrikeOut(true);
    mix.setForeground(QColor(200, 10, 20));
    mix.setFontFamilies({QStringLiteral("DejaVu Serif")});
    mix.setFontPointSize(15.5);
    c.insertText(QStringLiteral("mix "), mix);
    QTextCharFormat prot;
    prot.setProperty(RichTextProperty::Protected, true);
    c.insertText(QStringLiteral("locked "), prot);
    QTextCharFormat raised;
    raised.setProperty(RichTextProperty::CharOffsetTwips, 60);
    c.insertText(QStringLiteral("up"), raised);
    QTextBlockFormat para;
    para.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    para.setAlignment(Qt::AlignHCenter);
    para.setLeftMargin(40);
    para.setRightMargin(20);
    para.setTextIndent(-10);
    para.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab)});
    c.insertBlock(para, QTextCharFormat());
    c.insertText(QStringLiteral("centred\ttab\x2028line"));
    c.insertBlock(QTextBlockFormat());
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    c.createList(list);
    c.insertText(QStringLiteral("item"));

    QTextDocument back;
    QVERIFY(RtfReader::read(RtfWriter::write(&doc), &back).ok());
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(formatAt(back, 0).fontWeight(), int(QFont::Bold));
    const QTextCharFormat m = formatAt(back, 5);
    QVERIFY(m.fontItalic() && m.fontUnderline() && m.fontStrikeOut());
    QVERIFY(m.fontWeight() < QFont::DemiBold);
    QCOMPARE(m.foreground().color(), QColor(200, 10, 20));
    QCOMPARE(m.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
    QCOMPARE(m.fontPointSize(), 15.5);
    QVERIFY(formatAt(back, 9).boolProperty(RichTextProperty::Protected));
    QVERIFY(!formatAt(back, 0).boolProperty(RichTextProperty::Protected));
    QCOMPARE(formatAt(back, 16).intProperty(RichTextProperty::CharOffsetTwips), 60);
    const QTextBlockFormat p = back.findBlockByNumber(1).blockFormat();
    QVERIFY(p.alignment() & Qt::AlignHCenter);
    QCOMPARE(p.leftMargin(), 40.0);
    QCOMPARE(p.rightMargin(), 20.0);
    QCOMPARE(p.textIndent(), -10.0);
    QCOMPARE(p.tabPositions().value(0).position, 96.0);
    QCOMPARE(p.lineHeight(), 150.0);
    QCOMPARE(p.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QVERIFY(back.findBlockByNumber(2).textList() != nullptr);
    QVERIFY(back.findBlockByNumber(0).textList() == nullptr);
}

void TestRtfFormatting::whatWasNotGivenIsNotWritten_data()
{
    // Word processors tell the document's defaults from formatting given to the
    // text: saving must not turn the one into the other.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("default font and size") << QByteArray("x") << QByteArray("\\pard{x}");
    QTest::newRow("size given") << QByteArray("{\\fs24 x}") << QByteArray("\\pard{\\fs24 x}");
    QTest::newRow("default font given")
        << QByteArray("y{\\f0 x}") << QByteArray("\\pard{y}{\\f0 x}");
    QTest::newRow("other font") << QByteArray("y{\\f1 x}") << QByteArray("\\pard{y}{\\f1 x}");
    QTest::newRow("left alignment given") << QByteArray("\\ql x") << QByteArray("\\pard\\ql{x}");
    QTest::newRow("reset to no alignment") << QByteArray("\\qc\\pard x") << QByteArray("\\pard{x}");
}

void TestRtfFormatting::whatWasNotGivenIsNotWritten()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, written);
    const QByteArray rtf =
        "{\\rtf1\\deff0{\\fonttbl{\\f0 Liberation Serif;}{\\f1 Arial;}}" + body + "}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY2(once.contains("{\\f0\\fnil Liberation Serif;}"), once.constData());
    QVERIFY2(once.contains(written + "}"), once.constData());
    // What shows stays the same.
    QCOMPARE(formatAt(doc, 0).fontPointSize(), 12.0);
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtfFormatting::stylesGiveTheirFormatting()
{
    const QByteArray rtf =
        "{\\rtf1{\\stylesheet{\\fs20 Normal;}{\\s1\\qc\\b\\sbasedon0 Heading;}"
        "{\\s2\\i\\sbasedon1 Sub;}{\\s3\\ul\\sbasedon3 Loop;}"
        "{\\*\\cs9\\strike Struck;}}"
        "\\pard\\s2 styled {\\cs9 x}\\par\\pard\\plain\\s3 loop\\par\\pard\\plain plain}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("styled x\nloop\nplain"));
    const QTextCharFormat styled = formatAt(doc, 0);
    QVERIFY(styled.fontItalic());
    QCOMPARE(styled.fontWeight(), int(QFont::Bold)); // from the style it is based on
    QCOMPARE(styled.fontPointSize(), 10.0);
    QVERIFY(doc.begin().blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(formatAt(doc, 7).fontStrikeOut());
    QVERIFY(formatAt(doc, 9).fontUnderline()); // based on itself: its own words only
    QVERIFY(!formatAt(doc, 14).fontUnderline());
}

void TestRtfFormatting::propertiesKeepTheLetters_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("capitalization");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("caps") << QByteArray("\\caps") << int(QFont::AllUppercase) << false;
    QTest::newRow("small caps") << QByteArray("\\scaps") << int(QFont::SmallCaps) << false;
    QTest::newRow("hidden") << QByteArray("\\v") << int(QFont::MixedCase) << true;
}

void TestRtfFormatting::propertiesKeepTheLetters()
{
    // Saving once must not change the letters for good.
    QFETCH(QByteArray, word);
    QFETCH(int, capitalization);
    QFETCH(bool, hidden);
    const QByteArray rtf = "{\\rtf1 {" + word + " upper-case Transform}{" + word + "0  x}}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QByteArray written = RtfWriter::write(&doc);
    QTextDocument back;
    QVERIFY(RtfReader::read(written, &back).ok());
    for (const QTextDocument* d : {&doc, &back}) {
        QCOMPARE(d->toPlainText(), QStringLiteral("upper-case Transform x"));
        QCOMPARE(int(formatAt(*d, 0).fontCapitalization()), capitalization);
        QCOMPARE(formatAt(*d, 0).boolProperty(RichTextProperty::HiddenText), hidden);
        QCOMPARE(int(formatAt(*d, 20).fontCapitalization()), int(QFont::MixedCase));
        QVERIFY(!formatAt(*d, 20).boolProperty(RichTextProperty::HiddenText));
    }
    QVERIFY2(written.contains(word + " upper-case Transform}"), written.constData());
    QVERIFY(!written.contains(word + "  x}"));
}

void TestRtfFormatting::struckText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("struck"); // a letter per character: s struck, - not
    QTest::newRow("strike") << QByteArray("a\\strike b") << "-s";
    QTest::newRow("strike0") << QByteArray("\\strike a\\strike0 b") << "s-";
    QTest::newRow("striked1") << QByteArray("a\\striked1 b") << "-s";
    QTest::newRow("striked0") << QByteArray("\\striked1 a\\striked0 b") << "s-";
    QTest::newRow("both off") << QByteArray(
                                     "\\strike\\striked1 a\\strike0\\striked0 b\\par\\strike c")
                              << "s-s";
}

void TestRtfFormatting::struckText()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, struck);
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + body + "}", &doc).ok());
    QTextDocument back;
    QVERIFY(RtfReader::read(RtfWriter::write(&doc), &back).ok());
    for (const QTextDocument* d : {&doc, &back}) {
        QString seen;
        for (int i = 0; i < d->characterCount() - 1; ++i)
            if (!d->characterAt(i).isSpace() && d->characterAt(i) != QChar::ParagraphSeparator)
                seen += formatAt(*d, i).fontStrikeOut() ? u's' : u'-';
        QCOMPARE(seen, struck);
    }
}

void TestRtfFormatting::backgroundsKeepTheirWords_data()
{
    // Readers tell a highlight from a character's background: each is written back
    // as it came.
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("highlight") << QByteArray("\\highlight1") << QByteArray("\\highlight1 x}");
    QTest::newRow("shading") << QByteArray("\\chshdng0\\chcbpat1") << QByteArray("\\chcbpat1 x}");
    QTest::newRow("both of AbiWord")
        << QByteArray("\\cb1\\highlight1") << QByteArray("\\highlight1\\cb1 x}");
}

void TestRtfFormatting::backgroundsKeepTheirWords()
{
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, written);
    const QByteArray rtf = "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}a{" + words + " x}}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(formatAt(doc, 1).background().color(), QColor(255, 255, 0));
    QVERIFY(!formatAt(doc, 0).hasProperty(QTextFormat::BackgroundBrush));
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY2(once.contains(written), once.constData());
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtfFormatting::stylesAreWrittenBack()
{
    // A heading's formatting comes from its style; written back, the style is there
    // and the paragraph names it, so readers see a heading, not bold text.
    const QByteArray rtf =
        "{\\rtf1\\deff0{\\fonttbl{\\f0 Serif;}{\\f1 Sans;}}{\\stylesheet{\\s0\\fs24 Normal;}"
        "{\\s1\\sbasedon0\\sb240\\b\\f1\\fs32 heading 1;}{\\*\\cs5\\i Emphasis;}}"
        "\\pard\\plain\\s1\\sb240\\b\\f1\\fs32 Title\\par\\pard\\plain\\s0 body {\\cs5\\i "
        "em}\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY2(once.contains("{\\s0\\fs24 Normal;}"), once.constData());
    QVERIFY2(once.contains("{\\s1\\sbasedon0\\sb240\\b\\f1\\fs32 heading 1;}"), once.constData());
    QVERIFY2(once.contains("{\\*\\cs5\\i Emphasis;}"), once.constData());
    QVERIFY2(once.contains("\\pard\\plain\\s1\\sb240{\\f1\\fs32\\b Title}"), once.constData());
    QVERIFY2(once.contains("{\\cs5\\i em}"), once.constData());
    QCOMPARE(formatAt(doc, 0).fontWeight(), int(QFont::Bold));
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(RtfWriter::write(&back), once);
    QCOMPARE(back.toPlainText(), QStringLiteral("Title\nbody em\n"));
}

void TestRtfFormatting::styleWordsOfDefaultValuesAreKept_data()
{
    // A style that says its text has the automatic colour, or is not italic, tells
    // readers something: some then give the style's text an explicit black.
    QTest::addColumn<QByteArray>("words");
    QTest::newRow("automatic colour") << QByteArray("\\cf0");
    QTest::newRow("not italic") << QByteArray("\\i0");
    QTest::newRow("no indent") << QByteArray("\\li0");
    QTest::newRow("no space after") << QByteArray("\\sa0");
    QTest::newRow("no highlight") << QByteArray("\\highlight0");
    QTest::newRow("not raised") << QByteArray("\\up0");
    QTest::newRow("several") << QByteArray("\\qc\\cf0\\b0\\fs20");
}

void TestRtfFormatting::styleWordsOfDefaultValuesAreKept()
{
    QFETCH(QByteArray, words);
    const QByteArray rtf = "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0" + words +
                           " Normal;}}\\pard\\plain\\s0 x\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY2(once.contains("{\\s0" + words + " Normal;}"), once.constData());
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtfFormatting::textWithoutFontWordsUsesTheDefaultFont()
{
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 Other;}}body}", &doc).ok());
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(), QStringList({"DejaVu Sans"}));
    QVERIFY(RtfReader::read("{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}x{\\plain y}}", &doc).ok());
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(), QStringList({"B"}));
    QCOMPARE(formatAt(doc, 1).fontFamilies().toStringList(), QStringList({"B"}));
}

namespace {
const QByteArray FourFonts = "{\\fonttbl{\\f0 A;}{\\f1 B;}{\\f2 C;}{\\f3 D;}}";

// Reads the RTF, writes it, and checks that writing what was read back gives
// the same bytes; returns what was written first.
QByteArray roundTrip(const QByteArray& rtf, QTextDocument& doc)
{
    if (!RtfReader::read(rtf, &doc).ok())
        return QByteArray();
    const QByteArray once = RtfWriter::write(&doc);
    QTextDocument back;
    if (!RtfReader::read(once, &back).ok() || RtfWriter::write(&back) != once)
        return "written again, it changes: " + once;
    return once;
}
} // namespace

void TestRtfFormatting::fontTableKeepsItsPlaces()
{
    // Readers take fonts for other scripts from places in the table: unused
    // fonts stay, each in its place, and the default font keeps its number.
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1\\deff2" + FourFonts + "{\\f1 x}y{\\plain z}}", doc);
    QVERIFY2(once.contains("\\deff2\\uc1\n{\\fonttbl{\\f0\\fnil A;}{\\f1\\fnil B;}{\\f2\\fnil "
                           "C;}{\\f3\\fnil D;}}"),
             once.constData());
    QVERIFY2(once.contains("\\pard{\\f1 x}{yz}}"), once.constData());
    QCOMPARE(formatAt(doc, 1).fontFamilies().toStringList(), QStringList({"C"}));
}

void TestRtfFormatting::fontsWithoutNamesStaySo_data()
{
    // A font the table does not name is no font the toolkit picks: it stays
    // without a name.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QStringList>("families"); // of a and b
    QTest::newRow("a font without a name")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 ;}}a{\\f1 b}}")
        << QByteArray("{\\fonttbl{\\f0\\fnil A;}{\\f1\\fnil ;}}") << QStringList({"A", ""});
    QTest::newRow("a font the table has not")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}}a{\\f7 b}}")
        << QByteArray("{\\fonttbl{\\f0\\fnil A;}{\\f1\\fnil ;}}") << QStringList({"A", ""});
    QTest::newRow("a default font the table has not")
        << QByteArray("{\\rtf1\\deff3{\\fonttbl{\\f0 A;}}a{\\f0 b}}")
        << QByteArray("\\deff1\\uc1\n{\\fonttbl{\\f0\\fnil A;}{\\f1\\fnil ;}}")
        << QStringList({"", "A"});
}

void TestRtfFormatting::fontsWithoutNamesStaySo()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, written);
    QFETCH(QStringList, families);
    QTextDocument doc;
    const QByteArray once = roundTrip(rtf, doc);
    QVERIFY2(once.contains(written), once.constData());
    QVERIFY(!once.contains(doc.defaultFont().family().toLatin1()));
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList() +
                 formatAt(doc, 1).fontFamilies().toStringList(),
             families);
}

void TestRtfFormatting::fontNamesInUnicode()
{
    QTextDocument doc;
    const QByteArray once =
        roundTrip("{\\rtf1\\uc1{\\fonttbl{\\f0 Caf\\u233?\\u26085? a\\~b\\tab c;}}x}", doc);
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(),
             QStringList({"Caf\u00e9\u65e5 a\u00a0b\tc"}));
    QVERIFY2(once.contains("{\\f0\\fnil Caf\\u233\\'e9\\u26085? a\\~b\\tab c;}"), once.constData());
}

void TestRtfFormatting::fontNameCutShort()
{
    // A font's name ends with a semicolon, or where its group or the table does.
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1{\\fonttbl{\\f0 Arial }}x}", doc);
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(), QStringList({"Arial"}));
    QVERIFY2(once.contains("{\\fonttbl{\\f0\\fnil Arial;}}"), once.constData());
    // A group inside the name leaves it whole.
    QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl{\\f0 Times {\\*\\panose 0202}New Roman;}}x}", &doc)
                .ok());
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(), QStringList({"Times New Roman"}));
}

void TestRtfFormatting::emptyDocumentKeepsItsDefaultFont()
{
    // No text says which font is the default: the document itself does.
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1\\deff1" + FourFonts + "}", doc);
    QVERIFY2(once.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff1\\uc1\n{\\fonttbl{\\f0\\fnil "
                             "A;}{\\f1\\fnil B;}{\\f2\\fnil C;}{\\f3\\fnil D;}}"),
             once.constData());
}

void TestRtfFormatting::picturesKeepTheirRunsFormatting()
{
    const QByteArray rtf =
        "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}}a{\\f1\\fs20\\ul b{\\pict\\wmetafile8"
        "\\picwgoal300\\pichgoal300 0102}c}}";
    QTextDocument doc;
    const QByteArray once = roundTrip(rtf, doc);
    QVERIFY2(once.contains("{\\f1\\fs20\\ul{\\pict\\wmetafile8"), once.constData());
    QVERIFY2(once.contains("{\\fonttbl{\\f0\\fnil A;}{\\f1\\fnil B;}}"), once.constData());
    QVERIFY(formatAt(doc, 2).isImageFormat());
    QVERIFY(formatAt(doc, 2).fontUnderline());
}

void TestRtfFormatting::scriptFonts_data()
{
    // Right-to-left text takes the words after \\rtlch, East Asian text the
    // words after \\dbch; the rest of the text keeps its own.
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QVariantList>("script"); // complex font, size, bold, italic; East Asian font
    QTest::addColumn<QByteArray>("written");
    const QVariant none;
    QTest::newRow("all of them")
        << QByteArray("\\rtlch\\af2\\afs40\\ab\\ai\\ltrch\\dbch\\af3\\loch\\f1\\b") << "B" << true
        << QVariantList{"C", 20.0, true, true, "D"}
        << QByteArray("{\\rtlch\\af2\\afs40\\ab\\ai\\ltrch\\dbch\\af3\\loch\\f1\\b x}");
    QTest::newRow("plain words after rtlch") << QByteArray("\\rtlch\\f2\\b\\fs30\\ltrch") << "A"
                                             << false << QVariantList{"C", 15.0, true, none, none}
                                             << QByteArray("{\\rtlch\\af2\\afs30\\ab\\ltrch x}");
    QTest::newRow("font after dbch")
        << QByteArray("\\dbch\\f3") << "A" << false << QVariantList{none, none, none, none, "D"}
        << QByteArray("{\\dbch\\af3\\loch x}");
    QTest::newRow("hich's associated font")
        << QByteArray("\\hich\\af2\\loch\\f1") << "B" << false
        << QVariantList{none, none, none, none, none} << QByteArray("{\\f1 x}");
    QTest::newRow("associated words for no text")
        << QByteArray("\\af2\\ab\\afs40") << "A" << false
        << QVariantList{none, none, none, none, none} << QByteArray("{x}");
    QTest::newRow("plain ends them")
        << QByteArray("\\rtlch\\plain\\b") << "A" << true
        << QVariantList{none, none, none, none, none} << QByteArray("{\\b x}");
}

void TestRtfFormatting::scriptFonts()
{
    QFETCH(QByteArray, words);
    QFETCH(QString, family);
    QFETCH(bool, bold);
    QFETCH(QVariantList, script);
    QFETCH(QByteArray, written);
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1" + FourFonts + "{" + words + " x}}", doc);
    QVERIFY2(once.contains(written), once.constData());
    const QTextCharFormat f = formatAt(doc, 0);
    QCOMPARE(f.fontFamilies().toStringList(), QStringList({family}));
    QCOMPARE(f.fontWeight() >= QFont::DemiBold, bold);
    const int properties[] = {RichTextProperty::ComplexFont, RichTextProperty::ComplexSize,
                              RichTextProperty::ComplexBold, RichTextProperty::ComplexItalic,
                              RichTextProperty::AsianFont};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(f.property(properties[i]), script[i]);
}

void TestRtfFormatting::stylesKeepTheirScriptFonts()
{
    // The style gives them, in the order its words came; which text later words
    // are for is not the style's to change.
    QTextDocument doc;
    const QByteArray once =
        roundTrip("{\\rtf1" + FourFonts +
                      "{\\stylesheet{\\s0\\rtlch\\af2\\afs28 \\ltrch\\loch\\f0\\dbch\\af3 Normal;}}"
                      "\\pard\\plain\\s0\\f1 x{\\dbch\\af2 y}}",
                  doc);
    QVERIFY2(once.contains("{\\s0\\rtlch\\af2\\afs28\\ltrch\\dbch\\af3\\loch\\f0 Normal;}"),
             once.constData());
    QVERIFY2(once.contains("\\pard\\plain\\s0{\\f1 x}{\\dbch\\af2\\loch\\f1 y}"), once.constData());
    QCOMPARE(formatAt(doc, 0).fontFamilies().toStringList(), QStringList({"B"}));
    QCOMPARE(formatAt(doc, 0).stringProperty(RichTextProperty::AsianFont), QStringLiteral("D"));
    QCOMPARE(formatAt(doc, 0).stringProperty(RichTextProperty::ComplexFont), QStringLiteral("C"));
}

void TestRtfFormatting::styleBasedOnItselfStaysSo()
{
    // Some readers give a style based on nothing the fonts of the default style,
    // but not one based on itself.
    QTextDocument doc;
    const QByteArray once = roundTrip(
        "{\\rtf1{\\stylesheet{\\s5\\sa200\\sbasedon5 Normal;}{\\s6\\sbasedon5\\sb100 Body;}}"
        "\\pard\\plain\\s6 x}",
        doc);
    QVERIFY2(once.contains("{\\s5\\sbasedon5\\sa200 Normal;}"), once.constData());
    QVERIFY2(once.contains("{\\s6\\sbasedon5\\sb100 Body;}"), once.constData());
}

void TestRtfFormatting::styleNamesBeyondAscii()
{
    QTextDocument doc;
    const QByteArray once = roundTrip(
        "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\stylesheet{\\s1\\qc \\'dcberschrift \\u26085?;}}"
        "\\pard\\s1 x\\par}",
        doc);
    const QVariantList chain =
        doc.begin().blockFormat().property(RichTextProperty::StyleChain).toList();
    QVERIFY(!chain.isEmpty());
    QCOMPARE(chain.first().toList().value(1).toString(), QStringLiteral("\u00dcberschrift \u65e5"));
    QVERIFY2(once.contains("\\qc \\u220\\'dcberschrift \\u26085?;}"), once.constData());
    // A name too long is cut at the same place however its characters come.
    const QByteArray name = QByteArray(200, 'a') + "\\'e9" + QByteArray(200, 'b');
    const QByteArray longer =
        roundTrip("{\\rtf1{\\stylesheet{\\s1 " + name + ";}}\\pard\\s1 x\\par}", doc);
    QVERIFY2(!longer.startsWith("written again"), longer.constData());
    QCOMPARE(doc.begin()
                 .blockFormat()
                 .property(RichTextProperty::StyleChain)
                 .toList()
                 .value(0)
                 .toList()
                 .value(1)
                 .toString()
                 .size(),
             256);
}

void TestRtfFormatting::stylesAsTheFirstStyleSheetGivesThem_data()
{
    // Text takes its styles' formatting when it names them, and keeps what its
    // own words change of it; read back, it is the same.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("style"); // the paragraph's, "" for none
    QTest::addColumn<bool>("bold");     // x
    QTest::addColumn<bool>("italic");   // x
    QTest::addColumn<int>("alignment");
    const QByteArray sheet = "{\\stylesheet{\\s1\\qc\\b One;}{\\*\\cs5\\i Em;}{\\*\\cs6 Plain;}}";
    QTest::newRow("a second style sheet")
        << sheet + "{\\stylesheet{\\s1\\qr\\i One;}}\\pard\\plain\\s1 x\\par"
        << "One" << true << false << int(Qt::AlignHCenter);
    QTest::newRow("a style the sheet has not")
        << QByteArray("\\pard\\plain\\s1 x\\par") << "" << false << false << int(Qt::AlignLeft);
    QTest::newRow("a character style the run turns off")
        << sheet + "\\pard\\plain {\\cs5\\i0 x}\\par"
        << "" << false << false << int(Qt::AlignLeft);
    QTest::newRow("plain before a character style")
        << sheet + "\\pard\\plain\\s1\\plain\\cs6 x\\par"
        << "One" << false << false << int(Qt::AlignHCenter);
    QTest::newRow("a character style before the paragraph's")
        << sheet + "\\pard\\plain\\cs6 x\\s1\\par"
        << "One" << false << false << int(Qt::AlignHCenter);
}

void TestRtfFormatting::stylesAsTheFirstStyleSheetGivesThem()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, style);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(int, alignment);
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1" + body + "}", doc);
    QVERIFY2(!once.startsWith("written again"), once.constData());
    QTextDocument back;
    QVERIFY(RtfReader::read(once, &back).ok());
    for (const QTextDocument* d : {&doc, &back}) {
        const QTextBlockFormat block = d->begin().blockFormat();
        QCOMPARE(block.property(RichTextProperty::StyleChain)
                     .toList()
                     .value(0)
                     .toList()
                     .value(1)
                     .toString(),
                 style);
        QCOMPARE(formatAt(*d, 0).fontWeight() >= QFont::DemiBold, bold);
        QCOMPARE(formatAt(*d, 0).fontItalic(), italic);
        QCOMPARE(int(block.alignment() & Qt::AlignHorizontal_Mask), alignment);
    }
}

void TestRtfFormatting::paragraphStyleIsTheOneItsTextBeganIn_data()
{
    // Some writers name the paragraph's style in each run of its text, and
    // another in the group of the paragraph mark: the paragraph is in the first,
    // with its formatting.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("alignment");
    QTest::newRow("named before the text")
        << QByteArray("\\pard\\plain\\s1 text\\par") << "One" << int(Qt::AlignHCenter);
    QTest::newRow("named again in the text's run")
        << QByteArray("\\pard\\plain\\s1 {\\s2 text}{\\s1 \\par}") << "Two" << int(Qt::AlignRight);
    QTest::newRow("named after the text began")
        << QByteArray("\\pard\\plain\\s1 text\\s2 more\\par") << "One" << int(Qt::AlignHCenter);
    QTest::newRow("in a table cell") << QByteArray("\\trowd\\cellx2000\\pard\\intbl\\s1 {\\s2 "
                                                   "text}{\\s1\\cell}\\row")
                                     << "Two" << int(Qt::AlignRight);
}

void TestRtfFormatting::paragraphStyleIsTheOneItsTextBeganIn()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, style);
    QFETCH(int, alignment);
    QTextDocument doc;
    const QByteArray once =
        roundTrip("{\\rtf1{\\stylesheet{\\s1\\qc One;}{\\s2\\qr Two;}}" + body + "}", doc);
    QVERIFY2(!once.startsWith("written again"), once.constData());
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::NextWord);
    const QVariantList chain = cursor.blockFormat().property(RichTextProperty::StyleChain).toList();
    QVERIFY(!chain.isEmpty());
    QCOMPARE(chain.first().toList().value(1).toString(), style);
    QCOMPARE(int(cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask), alignment);
}

void TestRtfFormatting::automaticColourSaidOfTheTextIsKept_data()
{
    // Readers may give text in a style with the automatic colour an explicit
    // black, but not text that says its colour is the automatic one.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("automatic");
    QTest::newRow("from the style")
        << QByteArray("\\pard\\plain\\s0 x") << QByteArray("\\s0{x}") << false;
    QTest::newRow("the run's own")
        << QByteArray("\\pard\\plain\\s0 {\\cf0 x}") << QByteArray("\\s0{\\cf0 x}") << true;
    QTest::newRow("the paragraph's own")
        << QByteArray("\\pard\\plain\\s0\\cf0 x") << QByteArray("\\s0{\\cf0 x}") << true;
    QTest::newRow("a colour, then none")
        << QByteArray("\\pard\\plain\\s0 {\\cf1\\cf0 x}") << QByteArray("\\s0{\\cf0 x}") << true;
    QTest::newRow("plain ends it")
        << QByteArray("\\pard\\plain\\s0\\cf0\\plain x") << QByteArray("\\s0{x}") << false;
}

void TestRtfFormatting::automaticColourSaidOfTheTextIsKept()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, written);
    QFETCH(bool, automatic);
    QTextDocument doc;
    const QByteArray once = roundTrip("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}{\\stylesheet{"
                                      "\\s0\\cf0 Normal;}}" +
                                          body + "}",
                                      doc);
    QVERIFY2(once.contains(written + '}'), once.constData());
    QVERIFY2(once.contains("{\\s0\\cf0 Normal;}"), once.constData());
    QCOMPARE(formatAt(doc, 0).boolProperty(RichTextProperty::AutomaticColor), automatic);
    QVERIFY(!formatAt(doc, 0).hasProperty(QTextFormat::ForegroundBrush));
}

QTEST_MAIN(TestRtfFormatting)
#include "tst_rtfformatting.moc"
