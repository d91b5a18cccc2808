#include "tools/linetools.h"

#include <QTest>

using LineTools::Edit;
using LineTools::Line;

class TestLineTools : public QObject {
    Q_OBJECT
private slots:
    void stripCrLf_data();
    void stripCrLf();
    void stripBlanks_data();
    void stripBlanks();
    void stripUpTo();
    void codes_data();
    void codes();
    void replaceCodes();
    void quotePrefix();
    void marginBreaks();
    void sortLines_data();
    void sortLines();
};

void TestLineTools::stripCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("lines joined") << "one\r\ntwo\r\nthree"
                                  << "one two three";
    QTest::newRow("empty line kept") << "one\r\n\r\ntwo"
                                     << "one \r\n\r\ntwo";
    QTest::newRow("k empty lines become 2k - 1") << "a\r\n\r\n\r\nb"
                                                 << "a \r\n\r\n\r\n\r\nb";
    QTest::newRow("blank after the break") << "one\r\n two"
                                           << "one two";
    QTest::newRow("last character kept") << "one\r\nx"
                                         << "one x";
    QTest::newRow("break at the end") << "one\r\n"
                                      << "one ";
}

void TestLineTools::stripCrLf()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(LineTools::stripCrLf(text), result);
}

void TestLineTools::stripBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("three to one") << "a   b"
                                  << "a b";
    QTest::newRow("two after a full stop") << "end. Next"
                                           << "end.  Next";
    QTest::newRow("run after a full stop") << "end.    Next"
                                           << "end.  Next";
    QTest::newRow("tabs and breaks stay") << "a\t\tb\r\n\r\nc"
                                          << "a\t\tb\r\n\r\nc";
    QTest::newRow("run at the end") << "a   "
                                    << "a ";
    QTest::newRow("last character kept") << "a  b"
                                         << "a b";
    QTest::newRow("leading run") << "   a"
                                 << " a";
}

void TestLineTools::stripBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(LineTools::stripBlanks(text), result);
}

void TestLineTools::stripUpTo()
{
    const QList<Line> lines = {{10, QStringLiteral("Name: value")},
                               {23, QStringLiteral("no marker")},
                               {34, QStringLiteral("SUBJECT: X: y")}};
    QCOMPARE(LineTools::stripUpTo(lines, QStringLiteral(": ")),
             QList<Edit>({{10, 6, QString()}, {34, 9, QString()}}));
    QCOMPARE(LineTools::stripUpTo(lines, QStringLiteral("subject")),
             QList<Edit>({{34, 7, QString()}}));
    QVERIFY(LineTools::stripUpTo(lines, QString()).isEmpty());
}

void TestLineTools::codes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QString>("error");
    QTest::newRow("CR LF") << "13,10"
                           << "\r\n"
                           << "";
    QTest::newRow("blanks and rounding") << " 65 , 97.4"
                                         << "Aa"
                                         << "";
    QTest::newRow("Windows-1252") << "146" << QString(QChar(0x2019)) << "";
    QTest::newRow("Latin-1 above 159") << "233"
                                       << "é"
                                       << "";
    QTest::newRow("too large") << "65,300"
                               << ""
                               << "Error: \"300\" is not a character code from 0 to 255.";
    QTest::newRow("a letter") << "a"
                              << ""
                              << "Error: \"a\" is not a character code from 0 to 255.";
    QTest::newRow("empty piece") << "65,"
                                 << ""
                                 << "Error: \"\" is not a character code from 0 to 255.";
}

void TestLineTools::codes()
{
    QFETCH(QString, typed);
    QFETCH(QString, characters);
    QFETCH(QString, error);
    const Result<QString> result = LineTools::characters(typed);
    QCOMPARE(result.ok(), error.isEmpty());
    if (result)
        QCOMPARE(result.value(), characters);
    else
        QCOMPARE(result.error().message, error);
}

void TestLineTools::replaceCodes()
{
    QCOMPARE(LineTools::replaceCodes(QStringLiteral("a\tb\t"), QStringLiteral("\t"),
                                     QStringLiteral(" ")),
             QStringLiteral("a b "));
    QCOMPARE(LineTools::replaceCodes(QStringLiteral("one\r\ntwo"), QStringLiteral("\r\n"),
                                     QStringLiteral(" ")),
             QStringLiteral("one two"));
    QCOMPARE(
        LineTools::replaceCodes(QStringLiteral("Eve"), QStringLiteral("e"), QStringLiteral("#")),
        QStringLiteral("#v#"));
}

void TestLineTools::quotePrefix()
{
    const QList<Line> lines = {
        {0, QStringLiteral("one")}, {5, QString()}, {7, QStringLiteral("two")}};
    QCOMPARE(LineTools::quotePrefix(lines, QStringLiteral("> "), false),
             QList<Edit>({{0, 0, QStringLiteral("> ")}, {7, 0, QStringLiteral("> ")}}));
    QCOMPARE(LineTools::quotePrefix(lines, QStringLiteral("|"), true).size(), 3);
}

void TestLineTools::marginBreaks()
{
    // "aaa bbb ccc" wrapped after "aaa " and "bbb ", then a break and "dd".
    const QString text = QStringLiteral("aaa bbb ccc\r\ndd");
    const QList<Line> lines = {{100, QStringLiteral("aaa ")},
                               {104, QStringLiteral("bbb ")},
                               {108, QStringLiteral("ccc")},
                               {113, QStringLiteral("dd")}};
    QCOMPARE(LineTools::marginBreaks(lines, text, 100),
             QList<Edit>({{104, 0, QStringLiteral("\r\n")}, {108, 0, QStringLiteral("\r\n")}}));
}

void TestLineTools::sortLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("letter case ignored") << "pear\r\nApple\r\nfig"
                                         << "Apple\r\nfig\r\npear";
    QTest::newRow("case variants keep their order") << "b\r\nA\r\na\r\nc"
                                                    << "A\r\na\r\nb\r\nc";
    QTest::newRow("the other way") << "a\r\nA"
                                   << "a\r\nA";
    QTest::newRow("non-ASCII letters") << "Ölf\r\nzed\r\nöl\r\nÆ"
                                       << "zed\r\nÆ\r\nöl\r\nÖlf";
    QTest::newRow("empty lines first") << "b\r\n\r\na"
                                       << "\r\na\r\nb";
}

void TestLineTools::sortLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(LineTools::sortLines(text), result);
}

QTEST_APPLESS_MAIN(TestLineTools)
#include "tst_linetools.moc"
