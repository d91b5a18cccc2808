#include "panes/companionfile.h"
#include "support/testhome.h"

#include <QDir>
#include <QTest>
#include <sys/stat.h>

class TestCompanionFile : public QObject {
    Q_OBJECT
private slots:
    void decodesTextAndLineEnds_data();
    void decodesTextAndLineEnds();
    void refusesWhatIsNotARegularFile_data();
    void refusesWhatIsNotARegularFile();
    void refusesFilesOverTheLimit();
};

void TestCompanionFile::decodesTextAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8, LF") << QByteArray("one\ntwo\n") << "one\ntwo\n";
    QTest::newRow("CR LF") << QByteArray("one\r\n\r\ntwo\r\n") << "one\n\ntwo\n";
    QTest::newRow("CR alone") << QByteArray("one\rtwo\r") << "one\ntwo\n";
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd") << "a\nb\nc\nd";
    QTest::newRow("utf-8 with a mark") << QByteArray("\xEF\xBB\xBF"
                                                     "caf\xC3\xA9\r\n")
                                       << QString::fromUtf8("café\n");
    QTest::newRow("utf-16 little end") << QByteArray("\xFF\xFE"
                                                     "c\0a\0f\0\xE9\0\r\0\n\0\xAC\x20",
                                                     16)
                                       << QString::fromUtf8("café\n€");
    QTest::newRow("utf-16 big end")
        << QByteArray("\xFE\xFF\0h\0i\0\r\0\n\0\xE9", 12) << QString::fromUtf8("hi\né");
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93quoted\x94\r\n")
                                  << QString::fromUtf8("café € “quoted”\n");
    QTest::newRow("empty") << QByteArray() << "";
}

void TestCompanionFile::decodesTextAndLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestHome home;
    const Result<QString> read = CompanionFile::read(home.write(QStringLiteral("f.txt"), bytes));
    QVERIFY2(read.ok(), qPrintable(read.error().message));
    QCOMPARE(read.value(), text);
    QVERIFY(!read.value().contains(u'\r'));
}

void TestCompanionFile::refusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "missing"
                             << "File not found";
    QTest::newRow("folder") << "folder"
                            << "folder";
    QTest::newRow("pipe") << "pipe"
                          << "pipe";
    QTest::newRow("device") << "device"
                            << "device";
}

void TestCompanionFile::refusesWhatIsNotARegularFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestHome home;
    QString path = home.path(QStringLiteral("thing"));
    if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkpath(path));
    if (kind == QStringLiteral("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == QStringLiteral("device"))
        path = QStringLiteral("/dev/zero"); // endless: only a refusal ends the read
    // A pipe with no writer would block an ordinary read for ever.
    const Result<QString> read = CompanionFile::read(path);
    QVERIFY(!read.ok());
    QVERIFY2(read.error().message.contains(message), qPrintable(read.error().message));
}

void TestCompanionFile::refusesFilesOverTheLimit()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("big.txt"), QByteArray(100, 'x'));
    const Result<QString> atLimit = CompanionFile::read(path, 100);
    QVERIFY(atLimit.ok());
    QCOMPARE(atLimit.value().size(), 100);
    const Result<QString> over = CompanionFile::read(path, 99);
    QVERIFY(!over.ok());
    QVERIFY2(over.error().message.contains(QStringLiteral("too large")),
             qPrintable(over.error().message));
    QCOMPARE(CompanionFile::MaxBytes, 128LL * 1024 * 1024);
}

QTEST_GUILESS_MAIN(TestCompanionFile)
#include "tst_companionfile.moc"
