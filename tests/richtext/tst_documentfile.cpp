#include "richtext/documentfile.h"
#include "richtext/textcodec.h"
#include "support/testhome.h"

#include <QFile>
#include <QLocalServer>
#include <QTest>
#include <QTextDocument>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(TextFileFormat)

class TestDocumentFile : public QObject {
    Q_OBJECT
private slots:
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void oversizedFileIsRefusedUnread();
    void filesWithoutASizeAreReadToTheEnd();
    void savingNeverReplacesAPipeOrDevice();
    void savingThroughALinkWritesItsTarget();
    void largeTextIsWrittenAsEncodedWhole_data();
    void largeTextIsWrittenAsEncodedWhole();
};

void TestDocumentFile::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("endless device") << "/dev/zero"
                                    << "device";
    QTest::newRow("empty device") << "/dev/null"
                                  << "device";
    QTest::newRow("pipe") << "fifo"
                          << "pipe";
    QTest::newRow("socket") << "socket"
                            << "socket";
    QTest::newRow("folder") << "folder"
                            << "folder";
}

void TestDocumentFile::onlyRegularFilesAreRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestHome home;
    QLocalServer server;
    QString path = kind;
    if (kind == QStringLiteral("fifo")) {
        path = home.path(QStringLiteral("a pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QStringLiteral("socket")) {
        path = home.path(QStringLiteral("a socket"));
        server.setSocketOptions(QLocalServer::UserAccessOption);
        QVERIFY(server.listen(path));
    } else if (kind == QStringLiteral("folder")) {
        path = home.path(QStringLiteral("dir.txt"));
        QVERIFY(QDir().mkpath(path));
    }
    // A pipe nobody writes to would block an ordinary read for ever.
    const Result<QByteArray> bytes = DocumentFile::readBytes(path);
    QVERIFY(!bytes);
    QVERIFY2(bytes.error().message.contains(reason), qPrintable(bytes.error().message));
    QVERIFY(bytes.error().code != ErrorCode::FileNotFound);
    QTextDocument document;
    QVERIFY(!DocumentFile::load(path, DocumentKind::Text, &document));
}

void TestDocumentFile::oversizedFileIsRefusedUnread()
{
    TestHome home;
    const QString path = home.path(QStringLiteral("huge.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(DocumentFile::MaxFileBytes + 1)); // sparse: no disk used
    file.close();
    const Result<QByteArray> bytes = DocumentFile::readBytes(path);
    QVERIFY(!bytes);
    QVERIFY2(bytes.error().message.contains(QStringLiteral("too large")),
             qPrintable(bytes.error().message));
    QVERIFY(file.resize(DocumentFile::MaxFileBytes));
    QVERIFY(DocumentFile::readBytes(home.write(QStringLiteral("small.txt"), "abc")));
}

void TestDocumentFile::filesWithoutASizeAreReadToTheEnd()
{
    const Result<QByteArray> status = DocumentFile::readBytes(QStringLiteral("/proc/self/status"));
    QVERIFY(status);
    QVERIFY(status.value().contains("Name:"));
    const Result<QByteArray> missing = DocumentFile::readBytes(QStringLiteral("/no/such/file"));
    QCOMPARE(missing.error().code, ErrorCode::FileNotFound);
}

void TestDocumentFile::savingNeverReplacesAPipeOrDevice()
{
    TestHome home;
    const QString pipe = home.path(QStringLiteral("pipe.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!DocumentFile::writeBytes(pipe, "text"));
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(pipe).constData(), &status), 0);
    QVERIFY(S_ISFIFO(status.st_mode));
    QVERIFY(!DocumentFile::writeBytes(QStringLiteral("/dev/null"), "text"));
}

void TestDocumentFile::savingThroughALinkWritesItsTarget()
{
    TestHome home;
    const QString target = home.write(QStringLiteral("target.txt"), "old");
    const QString link = home.path(QStringLiteral("link.txt"));
    QVERIFY(QFile::link(target, link));
    QVERIFY(DocumentFile::writeBytes(link, "new"));
    QCOMPARE(TestHome::read(target), QByteArray("new"));
    QVERIFY(QFileInfo(link).isSymLink());
}

void TestDocumentFile::largeTextIsWrittenAsEncodedWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextFileFormat>("format");
    // Lines of every length, with characters of two, three and four bytes in UTF-8,
    // so that pieces are cut next to them; over four million characters, so that
    // the text is encoded in pieces.
    QString lines;
    for (int i = 0; lines.size() < 4500000; ++i)
        lines += QString(i % 97, u'a') + QStringLiteral("é€😀") + QString::number(i) + u'\n';
    const QString oneLongLine = lines + QString(3000000, u'z');
    const TextFileFormat utf8;
    const TextFileFormat bomCrLf{"UTF-8", true, LineEnding::CRLF, {}};
    const TextFileFormat cp1252Cr{"windows-1252", false, LineEnding::CR, {}};
    QTest::newRow("UTF-8, LF") << lines << utf8;
    QTest::newRow("UTF-8 with a mark, CR LF") << lines << bomCrLf;
    QTest::newRow("long last line") << oneLongLine << bomCrLf;
    // As a document holds its text: paragraph marks, written as line ends.
    QTest::newRow("paragraph marks")
        << QString(lines).replace(u'\n', QChar::ParagraphSeparator) << bomCrLf;
    QString western = lines;
    western.replace(QStringLiteral("€😀"), QStringLiteral("€ÿ"));
    QTest::newRow("Windows-1252, CR") << western << cp1252Cr;
}

void TestDocumentFile::largeTextIsWrittenAsEncodedWhole()
{
    QFETCH(QString, text);
    QFETCH(TextFileFormat, format);
    TestHome home;
    const QString path = home.path(QStringLiteral("large.txt"));
    QVERIFY(DocumentFile::writeText(path, text, format));
    QVERIFY(TestHome::read(path) ==
            TextCodec::encode(QString(text).replace(QChar::ParagraphSeparator, u'\n'), format));
}

QTEST_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
