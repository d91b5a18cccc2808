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

QTEST_MAIN(TestRtfFormatting)
#include "tst_rtfformatting.moc"
