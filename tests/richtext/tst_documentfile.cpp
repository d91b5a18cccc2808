#include "richtext/documentfile.h"
#include "support/testhome.h"

#include <QFile>
#include <QLocalServer>
#include <QTest>
#include <QTextDocument>
#include <sys/stat.h>
#include <unistd.h>

class TestDocumentFile : public QObject {
    Q_OBJECT
private slots:
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void oversizedFileIsRefusedUnread();
    void filesWithoutASizeAreReadToTheEnd();
    void savingNeverReplacesAPipeOrDevice();
    void savingThroughALinkWritesItsTarget();
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

QTEST_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
