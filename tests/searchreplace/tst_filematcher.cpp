#include "searchreplace/filematcher.h"
#include "searchreplace/filereplacer.h"

#include <QTest>

class TestFileMatcher : public QObject {
    Q_OBJECT
private slots:
    void finds_data();
    void finds();
    void replaces_data();
    void replaces();
    void replacesOnlyChosenLines();
    void binaryFiles_data();
    void binaryFiles();
};

namespace {

QByteArray utf16le(const QString& text)
{
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

SearchOptions options(const QString& find, const QString& flags, const QString& replace = {})
{
    SearchOptions o;
    o.find = find;
    o.replace = replace;
    o.replacing = !replace.isNull();
    o.ignoreCase = flags.contains(u'i');
    o.wholeWord = flags.contains(u'w');
    return o;
}

// "number:text" for each matching line, the matches in brackets.
QStringList shown(const FileScan& scan)
{
    QStringList lines;
    for (const LineMatch& line : scan.lines) {
        QString text = line.text;
        for (qsizetype i = line.spans.size() - 1; i >= 0; --i) {
            text.insert(line.spans[i].first + line.spans[i].second, u']');
            text.insert(line.spans[i].first, u'[');
        }
        lines.append(QString::number(line.number) + u':' + text);
    }
    return lines;
}

} // namespace

void TestFileMatcher::finds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("UTF-8, two lines, two on one")
        << QByteArray("cat\ndog\ncat cat\n") << "cat"
        << "" << QByteArray("UTF-8") << QStringList{"1:[cat]", "3:[cat] [cat]"};
    QTest::newRow("case matters by default") << QByteArray("Cat\ncat\n") << "cat"
                                             << "" << QByteArray("UTF-8") << QStringList{"2:[cat]"};
    QTest::newRow("ignore case") << QByteArray("Cat\nCAT\nx\n") << "cat"
                                 << "i" << QByteArray("UTF-8") << QStringList{"1:[Cat]", "2:[CAT]"};
    QTest::newRow("ignore case, one letter")
        << QByteArray("xAa\nb\n") << "a"
        << "i" << QByteArray("UTF-8") << QStringList{"1:x[A][a]"};
    QTest::newRow("ignore case, at the very end, no line end")
        << QByteArray("one\ntwo QuillWORT") << "quillwort"
        << "i" << QByteArray("UTF-8") << QStringList{"2:two [QuillWORT]"};
    QTest::newRow("ignore case, needle letters that are not letters elsewhere")
        << QByteArray("a[b a{b A[B\n") << "a[b"
        << "i" << QByteArray("UTF-8") << QStringList{"1:[a[b] a{b [A[B]"};
    QTest::newRow("ignore case, non-ASCII needle")
        << QByteArray("\xc3\x84pfel\n") << QString::fromUtf8("\xc3\xa4pfel") << "i"
        << QByteArray("UTF-8") << QStringList{QString::fromUtf8("1:[\xc3\x84pfel]")};
    QTest::newRow("whole word") << QByteArray("cat category bobcat cat_x (cat)\n") << "cat"
                                << "w" << QByteArray("UTF-8")
                                << QStringList{"1:[cat] category bobcat cat_x ([cat])"};
    QTest::newRow("whole word, accented letter is a word character")
        << QByteArray("\xc3\xa9t\xc3\xa9 t\xc3\xa9 t\xc3\xa9\n") << QString::fromUtf8("t\xc3\xa9")
        << "w" << QByteArray("UTF-8")
        << QStringList{QString::fromUtf8("1:\xc3\xa9t\xc3\xa9 [t\xc3\xa9] [t\xc3\xa9]")};
    QTest::newRow("Windows-1252") << QByteArray("caf\xe9\nna\xefve caf\xe9\n")
                                  << QString::fromUtf8("caf\xc3\xa9") << ""
                                  << QByteArray("windows-1252")
                                  << QStringList{QString::fromUtf8("1:[caf\xc3\xa9]"),
                                                 QString::fromUtf8("2:na\xc3\xafve [caf\xc3\xa9]")};
    QTest::newRow("Windows-1252, needle it cannot hold")
        << QByteArray("caf\xe9\n") << QString::fromUtf8("\xe2\x98\x83") << ""
        << QByteArray("windows-1252") << QStringList{};
    QTest::newRow("UTF-16 with BOM")
        << utf16le("one\r\ntwo fox\r\nfox\r\n") << "fox"
        << "" << QByteArray("UTF-16LE") << QStringList{"2:two [fox]", "3:[fox]"};
    QTest::newRow("CR LF lines") << QByteArray("a\r\nb fox\r\nc\r\nfox\r\n") << "fox"
                                 << "" << QByteArray("UTF-8")
                                 << QStringList{"2:b [fox]", "4:[fox]"};
    QTest::newRow("lone CR ends a line") << QByteArray("a\rfox\r") << "fox"
                                         << "" << QByteArray("UTF-8") << QStringList{"2:[fox]"};
    QTest::newRow("UTF-8 BOM kept out of the line")
        << QByteArray("\xef\xbb\xbf"
                      "fox\n")
        << "fox"
        << "" << QByteArray("UTF-8") << QStringList{"1:[fox]"};
    QTest::newRow("no final line end") << QByteArray("x\nfox") << "fox"
                                       << "" << QByteArray("UTF-8") << QStringList{"2:[fox]"};
    QTest::newRow("no match") << QByteArray("dog\n") << "fox"
                              << "" << QByteArray("UTF-8") << QStringList{};
    QTest::newRow("whole word rejects every candidate")
        << QByteArray("foxes\n") << "fox"
        << "w" << QByteArray("UTF-8") << QStringList{};
    QTest::newRow("overlapping candidates, left to right")
        << QByteArray("aaaa\n") << "aa"
        << "" << QByteArray("UTF-8") << QStringList{"1:[aa][aa]"};
}

void TestFileMatcher::finds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, find);
    QFETCH(QString, flags);
    QFETCH(QByteArray, encoding);
    QFETCH(QStringList, lines);
    const FileScan scan = FileMatcher(options(find, flags)).scan(bytes);
    QCOMPARE(scan.kind, FileScan::Kind::Text);
    QCOMPARE(shown(scan), lines);
    int count = 0;
    for (const LineMatch& line : scan.lines)
        count += int(line.spans.size());
    QCOMPARE(scan.matchCount, count);
    if (!lines.isEmpty())
        QCOMPARE(scan.format.encoding, encoding);
}

void TestFileMatcher::replaces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QByteArray>("expected"); // empty: left alone as unencodable
    QTest::addColumn<int>("count");

    QTest::newRow("UTF-8, bytes around kept")
        << QByteArray("a fox\n\xe2\x82\xac fox fox\n") << "fox"
        << ""
        << "wolf" << QByteArray("a wolf\n\xe2\x82\xac wolf wolf\n") << 3;
    QTest::newRow("CR LF and no final end kept") << QByteArray("fox\r\nx\r\nfox") << "fox"
                                                 << ""
                                                 << "cat" << QByteArray("cat\r\nx\r\ncat") << 2;
    QTest::newRow("mixed line ends kept") << QByteArray("fox\rx\nfox\r\n") << "fox"
                                          << ""
                                          << "c" << QByteArray("c\rx\nc\r\n") << 2;
    QTest::newRow("UTF-8 BOM kept") << QByteArray("\xef\xbb\xbf"
                                                  "fox\n")
                                    << "fox"
                                    << ""
                                    << QString::fromUtf8("f\xc3\xbc"
                                                         "chs")
                                    << QByteArray("\xef\xbb\xbf"
                                                  "f\xc3\xbc"
                                                  "chs\n")
                                    << 1;
    QTest::newRow("Windows-1252 written as 1252")
        << QByteArray("caf\xe9 fox\r\n\x80\r\n") << "fox"
        << "" << QString::fromUtf8("\xc3\xa9t\xc3\xa9")
        << QByteArray("caf\xe9 \xe9t\xe9\r\n\x80\r\n") << 1;
    QTest::newRow("Windows-1252 cannot hold the replacement")
        << QByteArray("caf\xe9 fox\n") << "fox"
        << "" << QString::fromUtf8("\xe2\x98\x83") << QByteArray() << 0;
    QTest::newRow("UTF-16 with BOM and CR LF") << utf16le("fox\r\nx\r\n") << "fox"
                                               << ""
                                               << "owl" << utf16le("owl\r\nx\r\n") << 1;
    QTest::newRow("ignore case keeps the replacement as typed")
        << QByteArray("Fox FOX fox\n") << "fox"
        << "i"
        << "Cat" << QByteArray("Cat Cat Cat\n") << 3;
    QTest::newRow("whole word only") << QByteArray("fox foxes\n") << "fox"
                                     << "w"
                                     << "cat" << QByteArray("cat foxes\n") << 1;
    QTest::newRow("replace with nothing") << QByteArray("a-b-c\n") << "-"
                                          << ""
                                          << "" << QByteArray("abc\n") << 2;
}

void TestFileMatcher::replaces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, find);
    QFETCH(QString, flags);
    QFETCH(QString, replace);
    QFETCH(QByteArray, expected);
    QFETCH(int, count);
    const FileScan scan = FileMatcher(options(find, flags, replace)).scan(bytes);
    const Result<FileReplacer::Replaced> result = FileReplacer::replace(bytes, scan, replace);
    if (expected.isEmpty()) {
        QVERIFY(!result.ok());
        QVERIFY(result.error().message.contains(QStringLiteral("cannot be written")));
        return;
    }
    QVERIFY(result.ok());
    QCOMPARE(result.value().bytes, expected);
    QCOMPARE(result.value().count, count);
}

void TestFileMatcher::replacesOnlyChosenLines()
{
    const QByteArray bytes("fox\nfox\nfox\n");
    const FileScan scan = FileMatcher(options("fox", "", "cat")).scan(bytes);
    const QSet<qint64> chosen{2};
    const Result<FileReplacer::Replaced> result =
        FileReplacer::replace(bytes, scan, QStringLiteral("cat"), &chosen);
    QVERIFY(result.ok());
    QCOMPARE(result.value().bytes, QByteArray("fox\ncat\nfox\n"));
    QCOMPARE(result.value().count, 1);
}

void TestFileMatcher::binaryFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("binary");
    QTest::newRow("NUL at the start") << QByteArray("fox\0fox", 7) << true;
    QTest::newRow("NUL near the probe's end")
        << QByteArray(32 * 1024 - 1, 'a') + QByteArray(1, '\0') + "fox" << true;
    QTest::newRow("NUL past the probe")
        << QByteArray(32 * 1024, 'a') + QByteArray(1, '\0') + "fox" << false;
    QTest::newRow("UTF-16 with BOM is text") << utf16le("fox") << false;
    QTest::newRow("plain text") << QByteArray("fox") << false;
}

void TestFileMatcher::binaryFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, binary);
    const FileScan scan = FileMatcher(options("fox", "")).scan(bytes);
    QCOMPARE(scan.kind == FileScan::Kind::Binary, binary);
    if (!binary)
        QVERIFY(scan.matchCount > 0);
}

QTEST_GUILESS_MAIN(TestFileMatcher)
#include "tst_filematcher.moc"
