#include "richtext/richtextmodel.h"
#include "tools/findengine.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextDocument>

namespace {

// A document of the given text, as the engine sees it.
struct Open {
    QString text;
    int selStart = 0;
    int slot = 1;
    FindEngine::Document document(
        int lines = 1, int upperSlot = 1,
        std::function<bool(int)> slotFree = [](int) { return false; })
    {
        FindEngine::Document d;
        d.slot = slot;
        d.selStart = selStart;
        d.text = &text;
        d.lineCount = lines;
        d.lineIndex = [](int line) { return line * 10; };
        d.upperSlot = upperSlot;
        d.slotFree = std::move(slotFree);
        return d;
    }
};

} // namespace

class TestFindEngine : public QObject {
    Q_OBJECT
private slots:
    void agreesWithTheControlsFind_data();
    void agreesWithTheControlsFind();
    void findNextStepsPastTheMatchAndAsksToRestart();
    void lineNumbers_data();
    void lineNumbers();
    void allDocumentsVisitEachOnceThenTell();
    void replaceAllPlansEachOccurrenceOnce_data();
    void replaceAllPlansEachOccurrenceOnce();
};

void TestFindEngine::agreesWithTheControlsFind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::newRow("plain") << "one Two two"
                           << "two" << 0 << false << false;
    QTest::newRow("case") << "one Two two"
                          << "two" << 0 << true << false;
    QTest::newRow("from after") << "one Two two"
                                << "two" << 5 << false << false;
    QTest::newRow("whole word skips a part") << "twofold two"
                                             << "two" << 0 << false << true;
    QTest::newRow("digits join words") << "two2 two"
                                       << "two" << 0 << false << true;
    QTest::newRow("punctuation ends words") << "(two)"
                                            << "two" << 0 << false << true;
    QTest::newRow("none") << "abc"
                          << "x" << 0 << false << false;
    QTest::newRow("accented case") << "ÉCOLE école"
                                   << "école" << 0 << false << false;
    QTest::newRow("accented letter joins") << "écoleé école"
                                           << "école" << 1 << false << true;
    QTest::newRow("second line") << "ab\r\ncd ab"
                                 << "ab" << 1 << false << true;
}

void TestFindEngine::agreesWithTheControlsFind()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, from);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QTextDocument document;
    RichTextModel model(&document);
    model.setText(text);
    const int options = (matchCase ? RichTextModel::rtfMatchCase : 0) |
                        (wholeWord ? RichTextModel::rtfWholeWord : 0);
    QCOMPARE(FindEngine::find(model.Text(), what, from, matchCase, wholeWord),
             model.Find(what, from, -1, options));
}

void TestFindEngine::findNextStepsPastTheMatchAndAsksToRestart()
{
    FindEngine engine;
    engine.FindString = QStringLiteral("ab");
    engine.NewSearch = true;
    Open open{QStringLiteral("abab")};
    FindEngine::Step step = engine.step(open.document());
    QCOMPARE(step.kind, FindEngine::Step::Found);
    QCOMPARE(step.position, 0);
    open.selStart = step.position;
    step = engine.step(open.document()); // one past the match's start
    QCOMPARE(step.position, 2);
    open.selStart = step.position;
    step = engine.step(open.document());
    QCOMPARE(step.kind, FindEngine::Step::AskRestart);
    QVERIFY(engine.NewSearch); // the top itself is searched next
    open.selStart = 0;
    step = engine.step(open.document());
    QCOMPARE(step.position, 0);
    QCOMPARE(FindEngine::notFoundMessage(QStringLiteral("ab")),
             QStringLiteral("Cannot find any (more) occurrences of\r\n\"ab\""));
}

void TestFindEngine::lineNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("beyondLast");
    QTest::newRow("3") << "3" << 20 << false;
    QTest::newRow("7 of 5") << "7" << 40 << true;
    QTest::newRow("2.5 rounds to even") << "2.5" << 20 << false;
    QTest::newRow("1.5 rounds to even") << "1.5" << 0 << false;
    QTest::newRow("0 is the first") << "0" << 0 << false;
    QTest::newRow("below 0 is the first") << "-4" << 0 << false;
    QTest::newRow("a letter is the first") << "x" << 0 << false;
}

void TestFindEngine::lineNumbers()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(bool, beyondLast);
    FindEngine engine;
    engine.FindLineNumber = true;
    engine.FindString = typed;
    Open open{QStringLiteral("text")};
    const FindEngine::Step step = engine.step(open.document(5));
    QCOMPARE(step.kind, FindEngine::Step::GoToLine);
    QCOMPARE(step.position, position);
    QCOMPARE(step.beyondLast, beyondLast);
    QCOMPARE(step.lineCount, 5);
    QVERIFY(!FindEngine::zeroBasedLine(QStringLiteral("x")));
    QCOMPARE(*FindEngine::zeroBasedLine(QStringLiteral("2.5")), 2);
}

void TestFindEngine::allDocumentsVisitEachOnceThenTell()
{
    // Slots 1 to 4, 3 closed; the search starts in 2.
    FindEngine engine;
    engine.FindString = QStringLiteral("zz");
    engine.SearchAllDocs = true;
    engine.NewSearch = true;
    const auto freeSlot = [](int slot) { return slot == 3; };
    Open open{QStringLiteral("nothing here"), 0, 2};
    QList<int> visited;
    for (int i = 0; i < 10; ++i) {
        const FindEngine::Step step = engine.step(open.document(1, 4, freeSlot));
        if (step.kind != FindEngine::Step::NextDocument) {
            QCOMPARE(step.kind, FindEngine::Step::CycleComplete);
            break;
        }
        visited << step.slot;
        open.slot = step.slot;
        open.selStart = 0;
    }
    QCOMPARE(visited, QList<int>({4, 1, 2}));
    QCOMPARE(engine.FindStartDoc, 0);
    // The start document closed meanwhile: over, without a message.
    const auto onlyOne = [](int slot) { return slot != 4; };
    open.slot = 4;
    engine.FindStartDoc = 2;
    QCOMPARE(engine.step(open.document(1, 4, onlyOne)).kind, FindEngine::Step::StartGone);
}

void TestFindEngine::replaceAllPlansEachOccurrenceOnce_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("adjacent") << "aaaa"
                              << "a" << 0 << false << QList<int>{0, 1, 2, 3};
    QTest::newRow("no overlaps") << "aaaa"
                                 << "aa" << 0 << false << QList<int>{0, 2};
    QTest::newRow("from the middle") << "a a a a"
                                     << "a" << 3 << false << QList<int>{4, 6};
    QTest::newRow("whole words") << "a aa a"
                                 << "a" << 0 << true << QList<int>{0, 5};
}

void TestFindEngine::replaceAllPlansEachOccurrenceOnce()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, from);
    QFETCH(bool, wholeWord);
    QFETCH(QList<int>, found);
    QCOMPARE(FindEngine::matches(text, what, from, int(text.size()), false, wholeWord), found);
    // Inside bounds only: a match that runs past the end of the range is not taken.
    QCOMPARE(FindEngine::matches(QStringLiteral("xabx"), QStringLiteral("ab"), 0, 2, false, false),
             QList<int>());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestFindEngine test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_findengine.moc"
