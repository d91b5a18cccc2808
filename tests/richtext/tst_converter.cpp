// quillora-convert as scripts use it: files in, files out, exit status and one
// error line.
#include "support/testhome.h"

#include <QProcess>
#include <QTest>

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run convert(const QStringList& arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("QUILLORA_CONVERT"), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
} // namespace

class TestConverter : public QObject {
    Q_OBJECT
private slots:
    void rtfToTextAndBack();
    void textOutputOptions();
    void htmlBothWays();
    void failuresSayWhy();
    void helpAndUsage();
};

void TestConverter::rtfToTextAndBack()
{
    TestHome home;
    const QString rtf = home.write(QStringLiteral("in.rtf"),
                                   "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 caf\\'e9 {\\b bold}\\par "
                                   "{\\pict\\pngblip 00}second}");
    const Run toText = convert({rtf, home.path(QStringLiteral("out.txt"))});
    QCOMPARE(toText.exitCode, 0);
    QVERIFY(toText.err.isEmpty());
    QCOMPARE(TestHome::read(home.path(QStringLiteral("out.txt"))), QByteArray("café bold\nsecond"));
    QCOMPARE(convert({home.path(QStringLiteral("out.txt")), home.path(QStringLiteral("back.rtf"))})
                 .exitCode,
             0);
    QVERIFY(TestHome::read(home.path(QStringLiteral("back.rtf"))).contains("caf\\u233\\'e9 bold"));
}

void TestConverter::textOutputOptions()
{
    TestHome home;
    const QString in = home.write(QStringLiteral("in.txt"), "caf\xe9\nline\n"); // Windows-1252
    QCOMPARE(
        convert({QStringLiteral("--crlf"), in, home.path(QStringLiteral("crlf.txt"))}).exitCode, 0);
    QCOMPARE(TestHome::read(home.path(QStringLiteral("crlf.txt"))), QByteArray("café\r\nline\r\n"));
    QCOMPARE(convert({QStringLiteral("--encoding"), QStringLiteral("UTF-16LE"), in,
                      home.path(QStringLiteral("u16.txt"))})
                 .exitCode,
             0);
    QCOMPARE(TestHome::read(home.path(QStringLiteral("u16.txt"))),
             QByteArray("c\0a\0f\0\xe9\0\n\0l\0i\0n\0e\0\n\0", 20));
}

void TestConverter::htmlBothWays()
{
    TestHome home;
    const QString html = home.write(QStringLiteral("in.html"),
                                    "<html><body><p>Hello <b>there</b></p></body></html>");
    QCOMPARE(convert({html, home.path(QStringLiteral("out.rtf"))}).exitCode, 0);
    const QByteArray rtf = TestHome::read(home.path(QStringLiteral("out.rtf")));
    QVERIFY(rtf.contains("Hello "));
    QVERIFY(rtf.contains("\\b"));
    QCOMPARE(convert({home.path(QStringLiteral("out.rtf")), home.path(QStringLiteral("out.htm"))})
                 .exitCode,
             0);
    QVERIFY(TestHome::read(home.path(QStringLiteral("out.htm"))).contains("there"));
}

void TestConverter::failuresSayWhy()
{
    TestHome home;
    const QString missing = home.path(QStringLiteral("missing.rtf"));
    Run run = convert({missing, home.path(QStringLiteral("x.txt"))});
    QVERIFY(run.exitCode != 0);
    QCOMPARE(run.err, "Error: " + missing.toUtf8() + ": File not found\n");
    const QString notRtf = home.write(QStringLiteral("plain.rtf"), "just text");
    run = convert({notRtf, home.path(QStringLiteral("x.txt"))});
    QVERIFY(run.exitCode != 0);
    QVERIFY(run.err.startsWith("Error: " + notRtf.toUtf8() + ": "));
    QCOMPARE(run.err.count('\n'), 1);
    const QString text = home.write(QStringLiteral("t.txt"), "\xe6\x97\xa5");
    run = convert({QStringLiteral("--encoding"), QStringLiteral("windows-1252"), text,
                   home.path(QStringLiteral("o.txt"))});
    QVERIFY(run.exitCode != 0);
    QVERIFY(!QFile::exists(home.path(QStringLiteral("o.txt"))));
}

void TestConverter::helpAndUsage()
{
    const Run help = convert({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("Usage: quillora-convert"));
    QVERIFY(convert({QStringLiteral("only-one")}).exitCode != 0);
}

QTEST_GUILESS_MAIN(TestConverter)
#include "tst_converter.moc"
