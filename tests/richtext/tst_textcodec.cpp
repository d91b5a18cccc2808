#include "richtext/documentfile.h"
#include "richtext/textcodec.h"
#include "richtext/textpieces.h"
#include "support/testhome.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class TestTextCodec : public QObject {
    Q_OBJECT
private slots:
    void unchangedFilesSaveByteForByte_data();
    void unchangedFilesSaveByteForByte();
    void randomBytesSurvive();
    void everyParagraphAndCellIsALine();
    void detection_data();
    void detection();
    void lineEndingsAreKept();
    void editedTextKeepsTheFileFormat();
    void unencodableCharactersAreFound();
    void piecesReadAsTheWhole_data();
    void piecesReadAsTheWhole();
};

void TestTextCodec::unchangedFilesSaveByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("ascii LF") << QByteArray("one\ntwo\n");
    QTest::newRow("CR LF, no final break") << QByteArray("one\r\ntwo");
    QTest::newRow("old Mac CR") << QByteArray("one\rtwo\r");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n\n");
    QTest::newRow("UTF-8") << QByteArray("gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80\n");
    QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbfhello\r\n");
    QTest::newRow("UTF-16LE BOM") << QByteArray("\xff\xfeh\0i\0\r\0\n\0", 10);
    QTest::newRow("UTF-16BE BOM") << QByteArray("\xfe\xff\0h\0i\0\n", 8);
    QTest::newRow("Windows-1252 with its undefined bytes")
        << QByteArray("caf\xe9 \x80 \x81\x8d\x8f\x90\x9d end\r\n");
    QTest::newRow("NUL bytes") << QByteArray("a\0b\0\0c\n", 7);
    QTest::newRow("tabs and nbsp") << QByteArray("a\tb\xc2\xa0"
                                                 "c\n");
    QTest::newRow("Shift_JIS") << QByteArray(
        QStringEncoder("Shift_JIS")
            .encode(QStringLiteral("日本語のテキストです。これは長めの文章で、文字コードを判定する"
                                   "ためのものです。\r\n")));
    QTest::newRow("lone UTF-16 surrogate") << QByteArray("\xff\xfe\x00\xd8"
                                                         "a\0",
                                                         6);
}

void TestTextCodec::unchangedFilesSaveByteForByte()
{
    QFETCH(QByteArray, bytes);
    TestHome home;
    const QString path = home.write(QStringLiteral("a.txt"), bytes);
    QTextDocument document;
    auto loaded = DocumentFile::load(path, DocumentKind::Text, &document);
    QVERIFY(loaded.ok());
    const QString copy = home.path(QStringLiteral("b.txt"));
    QVERIFY(DocumentFile::save(copy, DocumentKind::Text, &document, loaded.value()).ok());
    QCOMPARE(TestHome::read(copy), bytes);
}

void TestTextCodec::randomBytesSurvive()
{
    QRandomGenerator random(42);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(1, 300)), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random.bounded(256));
        QTextDocument document;
        const TextCodec::Decoded decoded = TextCodec::decode(bytes);
        DocumentFile::setPlainText(&document, decoded.text);
        QCOMPARE(TextCodec::encode(DocumentFile::plainText(&document), decoded.format), bytes);
    }
}

void TestTextCodec::everyParagraphAndCellIsALine()
{
    // Paragraphs of every length up to twice the eight characters looked at together,
    // so that a paragraph's end falls on each place among them.
    QTextDocument document;
    QTextCursor cursor(&document);
    QString expected;
    for (int length = 0; length < 17; ++length) {
        const QString line(length, QChar(u'a' + length));
        cursor.insertText(line);
        cursor.insertBlock();
        expected += line + u'\n';
    }
    cursor.insertText(QStringLiteral("soft") + QChar(QChar::LineSeparator) +
                      QStringLiteral("break"));
    expected += QStringLiteral("soft\nbreak");
    QCOMPARE(DocumentFile::plainText(&document), expected);

    // Table cells: each is a line, and the marks around them are too.
    cursor.insertTable(1, 2);
    cursor.insertText(QStringLiteral("x"));
    cursor.movePosition(QTextCursor::NextCell);
    cursor.insertText(QStringLiteral("\u00e9y"));
    const QString text = DocumentFile::plainText(&document);
    QVERIFY(text.startsWith(expected));
    QCOMPARE(text.mid(expected.size()).split(u'\n', Qt::SkipEmptyParts),
             QStringList({QStringLiteral("x"), QStringLiteral("\u00e9y")}));
    QVERIFY(!text.contains(QChar(0xFDD0)) && !text.contains(QChar(0xFDD1)));
}

void TestTextCodec::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("plain") << QByteArray("UTF-8") << "plain";
    QTest::newRow("utf-8") << QByteArray("\xc3\xa9t\xc3\xa9") << QByteArray("UTF-8") << "été";
    QTest::newRow("latin text reads as 1252")
        << QByteArray("\x93quoted\x94 caf\xe9") << QByteArray("windows-1252") << "“quoted” café";
    // uchardet calls this ISO-8859-2; it reads the same in Windows-1252.
    QTest::newRow("short latin text guessed as another code page")
        << QByteArray("caf\xe9 fox\r\n") << QByteArray("windows-1252") << "café fox\n";
    QTest::newRow("Polish keeps its code page")
        << QByteArray(QStringEncoder("ISO-8859-2")
                          .encode(QStringLiteral("Zażółć gęślą jaźń. Pchnąć w tę łódź jeża lub "
                                                 "ośm skrzyń fig. Żółta łódź płynęła szybko po "
                                                 "jeziorze.")))
        << QByteArray("ISO-8859-2")
        << "Zażółć gęślą jaźń. Pchnąć w tę łódź jeża lub ośm skrzyń fig. Żółta łódź płynęła "
           "szybko po jeziorze.";
    QTest::newRow("overlong UTF-8 is not UTF-8")
        << QByteArray("\xc0\xaf") << QByteArray("windows-1252") << "À¯";
}

void TestTextCodec::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(QString, text);
    const TextCodec::Decoded decoded = TextCodec::decode(bytes);
    QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.text, text);
}

void TestTextCodec::lineEndingsAreKept()
{
    QCOMPARE(TextCodec::decode("a\r\nb\r\n").format.lineEnding, LineEnding::CRLF);
    QVERIFY(!TextCodec::decode("a\r\nb\r\n").format.isMixed());
    QCOMPARE(TextCodec::decode("a\rb").format.lineEnding, LineEnding::CR);
    const TextCodec::Decoded mixed = TextCodec::decode("a\r\nb\nc");
    QVERIFY(mixed.format.isMixed());
    QCOMPARE(mixed.text, QStringLiteral("a\nb\nc"));
}

void TestTextCodec::editedTextKeepsTheFileFormat()
{
    const TextCodec::Decoded decoded = TextCodec::decode("\xef\xbb\xbf"
                                                         "one\r\ntwo\r\n");
    QCOMPARE(TextCodec::encode(QStringLiteral("one\nnew\ntwo\n"), decoded.format),
             QByteArray("\xef\xbb\xbf"
                        "one\r\nnew\r\ntwo\r\n"));
    // Lines added to a mixed file take the first line's end.
    const TextCodec::Decoded mixed = TextCodec::decode("a\nb\r\n");
    QCOMPARE(TextCodec::encode(QStringLiteral("a\nb\nc\nd"), mixed.format),
             QByteArray("a\nb\r\nc\nd"));
}

void TestTextCodec::unencodableCharactersAreFound()
{
    QVERIFY(TextCodec::canEncode(QStringLiteral("café €"), "windows-1252"));
    QVERIFY(!TextCodec::canEncode(QStringLiteral("日本"), "windows-1252"));
    QVERIFY(TextCodec::canEncode(QStringLiteral("日本"), "UTF-16LE"));
    QVERIFY(TextCodec::canEncode(QStringLiteral("日本"), "Shift_JIS"));
    QVERIFY(!TextCodec::canEncode(QStringLiteral("ü€"), "Shift_JIS"));
}

void TestTextCodec::piecesReadAsTheWhole_data()
{
    using enum LineEnding;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("mark");
    QTest::addColumn<QString>("text");
    QTest::addColumn<LineEnding>("ending");
    QTest::addColumn<QList<LineEnding>>("mixed");
    QTest::newRow("UTF-8, two-byte character and CR LF")
        << QByteArray("ab\xC3\xA9\r\ncd\xC3\xA9\r\n") << QByteArray("UTF-8") << false
        << "abé\ncdé\n"
        << CRLF << QList<LineEnding>();
    QTest::newRow("UTF-8, four-byte character")
        << QByteArray("a\xF0\x9F\x98\x80\xF0\x9F\x98\x80\nb") << QByteArray("UTF-8") << false
        << "a😀😀\nb" << LF << QList<LineEnding>();
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBFx\xE2\x82\xAC\r\ny") << QByteArray("UTF-8") << true << "x€\ny"
        << CRLF << QList<LineEnding>();
    QTest::newRow("UTF-8 with mark, not valid after it")
        << QByteArray("\xEF\xBB\xBF\xE2\x82z\xFF\r\n\xC3") << QByteArray("UTF-8") << true
        << QStringLiteral("\uFFFD\uFFFDz\uFFFD\n\uFFFD") << CRLF << QList<LineEnding>();
    QTest::newRow("UTF-16 LE with mark")
        << QByteArray("\xFF\xFEh\0\r\0\n\0\x3D\xD8\x00\xDE\r\0", 14) << QByteArray("UTF-16LE")
        << true << "h\n😀\n"
        << CRLF << QList<LineEnding>{CRLF, CR};
    QTest::newRow("UTF-16 BE with mark")
        << QByteArray("\xFE\xFF\0h\xD8\x3D\xDE\x00\0\r\0\n\0i", 14) << QByteArray("UTF-16BE")
        << true << "h😀\ni" << CRLF << QList<LineEnding>();
    QTest::newRow("Windows-1252") << QByteArray("\x93quoted\x94 caf\xE9\r\n\x80\r\n")
                                  << QByteArray("windows-1252") << false << "“quoted” café\n€\n"
                                  << CRLF << QList<LineEnding>();
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd\r\r\ne") << QByteArray("UTF-8") << false
                                << "a\nb\nc\nd\n\ne" << CRLF
                                << QList<LineEnding>{CRLF, LF, CR, CR, CRLF};
    QTest::newRow("LF lines, then one CR")
        << QByteArray("a\nb\nc\r") << QByteArray("UTF-8") << false << "a\nb\nc\n"
        << LF << QList<LineEnding>{LF, LF, CR};
    QTest::newRow("lone CR at the end")
        << QByteArray("a\r") << QByteArray("UTF-8") << false << "a\n"
        << CR << QList<LineEnding>();
    QTest::newRow("empty") << QByteArray() << QByteArray("UTF-8") << false << QString() << LF
                           << QList<LineEnding>();
}

// Every piece size, so that every byte boundary of the file is a cut once.
void TestTextCodec::piecesReadAsTheWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, mark);
    QFETCH(QString, text);
    QFETCH(LineEnding, ending);
    QFETCH(QList<LineEnding>, mixed);
    const TextCodec::Decoded whole = TextCodec::decode(bytes);
    QCOMPARE(whole.text, text);
    QCOMPARE(whole.format.encoding, encoding);
    QCOMPARE(whole.format.byteOrderMark, mark);
    QCOMPARE(whole.format.lineEnding, ending);
    QCOMPARE(whole.format.mixedEndings, mixed);
    for (qsizetype size = 1; size <= bytes.size() + 1; ++size) {
        // A copy of its own, as a file just read is: only such bytes are cut up.
        TextPieces pieces(QByteArray(bytes.constData(), bytes.size()), size);
        QString joined;
        int count = 0;
        while (!pieces.atEnd()) {
            const QString piece = pieces.next();
            QVERIFY2(piece.isEmpty() || !piece.back().isHighSurrogate(),
                     qPrintable(QStringLiteral("piece size %1").arg(size)));
            joined += piece;
            ++count;
        }
        QVERIFY(count <= qMax<qsizetype>(1, bytes.size()));
        QCOMPARE(joined, text);
        QCOMPARE(pieces.format(), whole.format);
        QCOMPARE(pieces.done(), pieces.total());
    }
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
