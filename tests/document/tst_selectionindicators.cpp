#include "document/selectionindicators.h"

#include <QTest>

using S = SelectionIndicators;

namespace {

S::Attributes attributes(std::optional<bool> bold, std::optional<int> alignment = S::Left,
                         std::optional<QString> font = QStringLiteral("Courier New"),
                         std::optional<double> size = 10, int line = 1)
{
    S::Attributes a;
    a.emphasis.fill(false);
    a.emphasis[S::Bold] = bold;
    a.alignment = alignment;
    a.fontName = font;
    a.fontSize = size;
    a.line = line;
    return a;
}

} // namespace

class TestSelectionIndicators : public QObject {
    Q_OBJECT
private slots:
    void mixedKeepsTheCheckAndSaysSo();
    void alignmentChangesOnlyWhenKnown();
    void fontTextShowsChangesOnly();
    void linesAndCaptions();
    void marksSayWhenTheyChange();
};

void TestSelectionIndicators::mixedKeepsTheCheckAndSaysSo()
{
    S s;
    s.update(attributes(true));
    QVERIFY(s.checked(S::Bold) && !s.mixed(S::Bold));
    s.update(attributes(std::nullopt)); // partly bold
    QVERIFY(s.checked(S::Bold));
    QVERIFY(s.mixed(S::Bold));
    QVERIFY(!s.mixed(S::Italic));
    s.update(attributes(false));
    QVERIFY(!s.checked(S::Bold) && !s.mixed(S::Bold));
}

void TestSelectionIndicators::alignmentChangesOnlyWhenKnown()
{
    S s;
    QCOMPARE(s.alignment(), S::Left);
    s.update(attributes(false, S::Center));
    QCOMPARE(s.alignment(), S::Center);
    s.update(attributes(false, std::nullopt));
    QCOMPARE(s.alignment(), S::Center);
    s.update(attributes(false, S::Right));
    QCOMPARE(s.alignment(), S::Right);
}

void TestSelectionIndicators::fontTextShowsChangesOnly()
{
    S s;
    QVERIFY(s.update(attributes(false)).font);
    QCOMPARE(s.fontText(), QStringLiteral("Courier New, 10"));
    QVERIFY(!s.update(attributes(false, S::Left, QStringLiteral("courier new"))).font);
    QVERIFY(s.update(attributes(false, S::Left, QStringLiteral("Arial"), 10.5)).font);
    QCOMPARE(s.fontText(), QStringLiteral("Arial, 10.5"));
    QVERIFY(!s.update(attributes(false, S::Left, std::nullopt, 12)).font); // mixed names
    QCOMPARE(s.fontText(), QStringLiteral("Arial, 10.5"));
    s.forget(); // a window that gets the focus shows its font again
    QVERIFY(s.update(attributes(false, S::Left, QStringLiteral("Arial"), 10.5)).font);
}

void TestSelectionIndicators::linesAndCaptions()
{
    S s;
    QVERIFY(s.update(attributes(false, S::Left, QStringLiteral("A"), 10, 12)).line);
    QVERIFY(!s.update(attributes(false, S::Left, QStringLiteral("A"), 10, 12)).line);
    QCOMPARE(S::caption(QStringLiteral("/a/Line: b.txt"), 12),
             QStringLiteral("/a/Line: b.txt        Line: 12"));
}

void TestSelectionIndicators::marksSayWhenTheyChange()
{
    // The commands' check marks are refreshed only when these say they changed.
    S s;
    QVERIFY(!s.update(attributes(false)).marks); // as it starts
    QVERIFY(s.update(attributes(true)).marks);
    QVERIFY(!s.update(attributes(true, S::Left, QStringLiteral("Arial"), 12, 7)).marks);
    QVERIFY(s.update(attributes(std::nullopt)).marks); // mixed now
    QVERIFY(!s.update(attributes(std::nullopt)).marks);
    QVERIFY(s.update(attributes(true, S::Center)).marks);
    QVERIFY(!s.update(attributes(true, std::nullopt)).marks); // alignment kept
    S::Attributes italic = attributes(true, S::Center);
    italic.emphasis[S::Italic] = true;
    QVERIFY(s.update(italic).marks);
}

QTEST_APPLESS_MAIN(TestSelectionIndicators)
#include "tst_selectionindicators.moc"
