#include "panesfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <sys/stat.h>

using namespace PanesFixture;

class TestQuotesPane : public QObject {
    Q_OBJECT
private slots:
    void startWithoutFilesSwitchesQuoteCommandsOff();
    void startShowsTextBlocksAndQuotesInTheirStates();
    void loadFailuresShowInTheList_data();
    void loadFailuresShowInTheList();
    void loadThroughTheDialogReplacesTheList();
    void findNextFindsEachMatchThenNothingThenWraps();
    void findKeepsTheSearchOnAnEmptyAnswer();
    void randomPicksAQuoteAndNothingFromNone();
    void copyTakesTheSelectedQuoteOnly();
    void autoCopyOnLeftClickOnlyRightClickSelects();
    void toolTipShowsTheQuoteUnderThePointer();
    void closingThePaneSwitchesCommandsOff();
    void documentMenusRunTheSameCommands();
};

void TestQuotesPane::startWithoutFilesSwitchesQuoteCommandsOff()
{
    Fixture f;
    f.start();
    QVERIFY(!f.pane());
    QVERIFY(!f.blocks());
    QCOMPARE(f.quoteCommands(), AllOff);
    QVERIFY(f.enabled("mnuLoadQuotes"));
    QVERIFY(f.enabled("mnuTextBlocksOpen"));
    QVERIFY(f.toolbar()->menuEntry(QStringLiteral("Quotes"), QStringLiteral("Load"))->isEnabled());
    // The shortcut does nothing while there is nothing to search.
    QTest::keyClick(&f.frame, Qt::Key_F, Qt::ControlModifier);
    f.report();
}

void TestQuotesPane::startShowsTextBlocksAndQuotesInTheirStates()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    const QString quotesPath = home.write(QStringLiteral("Quotes.txt"), "one\r\n\r\ntwo\r\n");
    const QString blocksPath = home.write(QStringLiteral("Blocks.txt"), "Dear Sir,\r\n");
    for (const auto& [key, value] : {std::pair{"SaveWindowState", QStringLiteral("True")},
                                     {"QuoteFile", quotesPath},
                                     {"TextBlocks", blocksPath},
                                     {"QuotesState", QStringLiteral("2")},
                                     {"TextBlocksState", QStringLiteral("1")}})
        store.write(Settings::General, QString::fromLatin1(key), value);
    quietStart(store);
    ScriptedPrompter prompter;
    {
        frmMyMDI frame(QStringList(), startedBefore(store));
        frame.show();
        FrameParts parts(frame);
        parts.start();
        auto* quotes = frame.findChild<QuotesController*>();
        QVERIFY(quotes->quotesPane() && quotes->textBlocksPane());
        QCOMPARE(quotes->quotesPane()->windowTitle(), quotesPath);
        QCOMPARE(quotes->quotesPane()->windowStateCode(), 2);
        QCOMPARE(quotes->textBlocksPane()->windowTitle(),
                 QStringLiteral("Text blocks: ") + blocksPath);
        QCOMPARE(quotes->textBlocksPane()->windowStateCode(), 1);
        QCOMPARE(quotes->model().rowCount(), 2);
        // The quotes came last and have the focus.
        QCOMPARE(parts.area()->activeSubWindow(), quotes->quotesPane());
        QVERIFY(parts.action(QStringLiteral("mnuFindQuote"))->isEnabled());
        // A closed pane's state is kept; one still open keeps the state it is in.
        quotes->textBlocksPane()->close();
        quotes->quotesPane()->setWindowStateCode(0);
        frame.mnuExit_Click();
    }
    QCOMPARE(store.read(Settings::General, QStringLiteral("QuotesState"), QString()),
             QStringLiteral("0"));
    QCOMPARE(store.read(Settings::General, QStringLiteral("TextBlocksState"), QString()),
             QStringLiteral("1"));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestQuotesPane::loadFailuresShowInTheList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing") << "missing"
                             << "File not found";
    QTest::newRow("folder") << "folder"
                            << "The path is a folder, not a file";
    QTest::newRow("pipe") << "pipe"
                          << "The path is a pipe, not a file";
    QTest::newRow("missing, a line break in the name") << "two lines"
                                                       << "File not found";
}

void TestQuotesPane::loadFailuresShowInTheList()
{
    QFETCH(QString, kind);
    QFETCH(QString, description);
    Fixture f;
    const QString path =
        f.home.path(kind == QStringLiteral("two lines") ? QStringLiteral("two\nlines")
                                                        : QStringLiteral("quotes"));
    if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkpath(path));
    if (kind == QStringLiteral("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    f.store.write(Settings::General, QStringLiteral("QuoteFile"), path);
    f.start();
    QVERIFY(f.pane());
    // One line in the list, whatever the name holds.
    QString line = QStringLiteral("Error: ") + path + QStringLiteral(" : ") + description;
    QCOMPARE(f.rows(), QStringList{line.replace(u'\n', u' ')});
    QCOMPARE(f.pane()->windowTitle(), path);
    QCOMPARE(f.quoteCommands(), AllOff);
    // The error line is no quote: AutoCopy, a double-click or Ctrl+C leave the clipboard.
    QGuiApplication::clipboard()->setText(QStringLiteral("mine"));
    f.store.write(Settings::General, QStringLiteral("AutoCopy"), QStringLiteral("True"));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(0));
    QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(0));
    QTest::keyClick(f.list(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("mine"));
    // A good file after a bad one switches them on again.
    f.load(f.write(QStringLiteral("good.txt"), "a quote\n"));
    QCOMPARE(f.rows(), QStringList{QStringLiteral("a quote")});
    QCOMPARE(f.quoteCommands(), AllOn);
    f.report();
}

void TestQuotesPane::loadThroughTheDialogReplacesTheList()
{
    Fixture f;
    f.start();
    const QString first = f.write(QStringLiteral("first.txt"), "\n\nalpha\n\n\nbeta\n");
    f.load(first);
    QCOMPARE(f.rows(), (QStringList{"alpha", "beta"}));
    QCOMPARE(f.pane()->windowTitle(), first);
    QCOMPARE(f.prompter.fileRequests.last().initialPath, QString());
    QVERIFY(f.prompter.fileRequests.last().mustExist);
    // The next dialog starts at the file shown; UTF-16 and Windows-1252 read right.
    const QString second =
        f.write(QStringLiteral("second.txt"), QByteArray("\xFF\xFE"
                                                         "\xE9\0t\0\xE9\0\r\0\n\0",
                                                         12));
    f.load(second);
    QVERIFY(f.prompter.fileRequests.last().initialPath.endsWith(QStringLiteral("first.txt")));
    QCOMPARE(f.rows(), QStringList{QStringLiteral("été")});
    f.load(f.write(QStringLiteral("third.txt"), "caf\xE9 \x80\r\nsecond\r\n"));
    QCOMPARE(f.rows(), (QStringList{QStringLiteral("café €"), QStringLiteral("second")}));
    // Cancelling the dialog keeps the list; the setting is never changed.
    f.prompter.expectFile(QString(), QuotesController::LoadQuotesTitle);
    f.run("mnuLoadQuotes");
    QCOMPARE(f.rows().size(), 2);
    QCOMPARE(f.store.read(Settings::General, QStringLiteral("QuoteFile"), QStringLiteral("<none>")),
             QStringLiteral("<none>"));
    f.report();
}

void TestQuotesPane::findNextFindsEachMatchThenNothingThenWraps()
{
    Fixture f;
    f.start();
    QByteArray text = "Love is all you need\nnothing here\nA glove in the rain\n";
    for (int i = 0; i < 300; ++i)
        text += i == 150 ? "LOVE far down\n" : "filler " + QByteArray::number(i) + '\n';
    text += "the last line\n";
    f.load(f.write(QStringLiteral("q.txt"), text));
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    f.prompter.expectInput(QuotesController::FindQuotePrompt, QStringLiteral("love"));
    f.run("mnuFindQuote");
    QCOMPARE(f.selected(), 0);
    QTest::keyClick(f.list(), Qt::Key_F3);
    QCOMPARE(f.selected(), 2);
    QTest::keyClick(f.list(), Qt::Key_F3);
    QCOMPARE(f.selected(), 153);
    // The match is scrolled to the top of the list.
    QCOMPARE(f.list()->indexAt(QPoint(2, 2)).row(), 153);
    QCOMPARE(f.list()->hasFocus(), true);
    f.run("mnuFindNextQuote");
    QCOMPARE(f.selected(), -1);
    QCOMPARE(f.quotes().model().quotes().QuoteIndex, 304);
    // The toolbar's entry runs the same command: from the top again.
    f.toolbar()->menuEntry(QStringLiteral("Quotes"), QStringLiteral("Next"))->trigger();
    QCOMPARE(f.selected(), 0);
    // The pane's own menu too.
    f.menus()->popupAction(QStringLiteral("mnuRCFindNextQuote"))->trigger();
    QCOMPARE(f.selected(), 2);
    f.report();
}

void TestQuotesPane::findKeepsTheSearchOnAnEmptyAnswer()
{
    Fixture f;
    f.start();
    f.load(f.write(QStringLiteral("q.txt"), "apple\npear\napple pie\n"));
    // Find next without a search asks for one first.
    f.prompter.expectInput(QuotesController::FindQuotePrompt, QStringLiteral("PEAR"));
    f.run("mnuFindNextQuote");
    QCOMPARE(f.selected(), 1);
    f.prompter.expectInput(QuotesController::FindQuotePrompt, QString());
    f.run("mnuFindQuote");
    QCOMPARE(f.selected(), 1);
    QCOMPARE(f.quotes().model().quotes().QuoteSearch, QStringLiteral("PEAR"));
    QCOMPARE(f.quotes().model().quotes().QuoteIndex, 1);
    // A new search starts before the first quote.
    f.prompter.expectInput(QuotesController::FindQuotePrompt, QStringLiteral("apple"));
    f.run("mnuFindQuote");
    QCOMPARE(f.selected(), 0);
    f.report();
}

void TestQuotesPane::randomPicksAQuoteAndNothingFromNone()
{
    Fixture f;
    f.start();
    f.load(f.write(QStringLiteral("q.txt"), "one\ntwo\nthree\nfour\n"));
    QSet<int> picked;
    for (int i = 0; i < 200 && picked.size() < 4; ++i) {
        f.run("mnuRandom");
        QVERIFY(f.selected() >= 0 && f.selected() < 4);
        picked.insert(f.selected());
    }
    QCOMPARE(picked.size(), 4);
    QCOMPARE(f.quotes().model().quotes().QuoteIndex, 0); // untouched
    // An empty file is a loaded list of no quotes: the commands stay on and pick nothing.
    f.load(f.write(QStringLiteral("empty.txt"), "\n\n"));
    QCOMPARE(f.rows(), QStringList());
    QCOMPARE(f.quoteCommands(), AllOn);
    f.run("mnuRandom");
    QCOMPARE(f.selected(), -1);
    f.report();
}

void TestQuotesPane::copyTakesTheSelectedQuoteOnly()
{
    Fixture f;
    f.start();
    const QString longQuote = QStringLiteral("long ") + QString(3000, u'q');
    f.load(f.write(QStringLiteral("q.txt"), "first\nsecond\n" + longQuote.toUtf8() + '\n'));
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(Kept);
    // Nothing selected: the clipboard keeps what it had.
    f.run("mnuCopyQuote");
    QCOMPARE(clipboard->text(), Kept);
    QTest::keyClick(f.list(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), Kept);
    f.list()->setCurrentIndex(f.list()->model()->index(2, 0));
    f.run("mnuCopyQuote");
    QCOMPARE(clipboard->text(), longQuote); // whole, not as the list shows it
    // A double click is a click and then the second press.
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(0));
    QCOMPARE(clipboard->text(), longQuote); // a click alone does not copy
    QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(0));
    QCOMPARE(clipboard->text(), QStringLiteral("first"));
    f.list()->setCurrentIndex(f.list()->model()->index(1, 0));
    QTest::keyClick(f.list(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("second"));
    QVERIFY(!clipboard->mimeData()->hasHtml());
    f.report();
}

void TestQuotesPane::autoCopyOnLeftClickOnlyRightClickSelects()
{
    Fixture f;
    f.start();
    f.load(f.write(QStringLiteral("q.txt"), "alpha\nbeta\ngamma\n"));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(Kept);
    // Without AutoCopy a click only selects.
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(0));
    QCOMPARE(f.selected(), 0);
    QCOMPARE(clipboard->text(), Kept);
    f.store.write(Settings::General, QStringLiteral("AutoCopy"), QStringLiteral("True"));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.rowCentre(1));
    QCOMPARE(clipboard->text(), QStringLiteral("beta"));
    // A right press selects the quote under it and opens the pane's menu, copying nothing.
    QMenu* menu = f.menus()->popup(QStringLiteral("mnuRCQuotes"));
    QTest::mousePress(f.list()->viewport(), Qt::RightButton, {}, f.rowCentre(2));
    QCOMPARE(f.selected(), 2);
    QCOMPARE(clipboard->text(), QStringLiteral("beta"));
    QTRY_VERIFY(menu->isVisible());
    // The menu's copy copies what the right press selected.
    f.menus()->popupAction(QStringLiteral("mnuRCCopyQuote"))->trigger();
    menu->close();
    QCOMPARE(clipboard->text(), QStringLiteral("gamma"));
    // Beyond the last quote a right press selects nothing new.
    QTest::mousePress(f.list()->viewport(), Qt::RightButton, {}, QPoint(5, f.list()->height() - 5));
    QTRY_VERIFY(menu->isVisible());
    menu->close();
    QCOMPARE(f.selected(), 2);
    // After the menu a command's pick is copied as a click's would be.
    clipboard->setText(Kept);
    f.prompter.expectInput(QuotesController::FindQuotePrompt, QStringLiteral("alp"));
    f.menus()->popupAction(QStringLiteral("mnuRCFindQuote"))->trigger();
    QCOMPARE(f.selected(), 0);
    QCOMPARE(clipboard->text(), QStringLiteral("alpha"));
    f.report();
}

void TestQuotesPane::toolTipShowsTheQuoteUnderThePointer()
{
    Fixture f;
    f.start();
    const QString longQuote(2500, u'w');
    f.load(f.write(QStringLiteral("q.txt"), "short\n" + longQuote.toUtf8() + '\n'));
    QWidget* viewport = f.list()->viewport();
    const auto hover = [&](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
    };
    hover(f.rowCentre(0));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("short"));
    hover(f.rowCentre(1));
    QTRY_COMPARE(QToolTip::text().size(), QuoteList::MaxShownLength);
    QVERIFY(QToolTip::text().startsWith(QString(999, u'w')));
    hover(QPoint(5, viewport->height() - 5));
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestQuotesPane::closingThePaneSwitchesCommandsOff()
{
    Fixture f;
    f.start();
    const QString path = f.write(QStringLiteral("q.txt"), "one\ntwo\n");
    f.load(path);
    QCOMPARE(f.quoteCommands(), AllOn);
    // The pane sits in the bottom right corner of the document area.
    const QSize client = f.area()->viewport()->size();
    QCOMPARE(f.pane()->geometry().right() + 1, client.width());
    QCOMPARE(f.pane()->geometry().bottom() + 1, client.height());
    f.pane()->close();
    QTRY_VERIFY(!f.pane());
    QCOMPARE(f.quoteCommands(), AllOff);
    QCOMPARE(f.quotes().model().rowCount(), 0);
    // The next load makes a new pane; the dialog starts empty, as nothing is shown.
    f.load(path);
    QCOMPARE(f.prompter.fileRequests.last().initialPath, QString());
    QVERIFY(f.pane());
    QCOMPARE(f.rows(), (QStringList{"one", "two"}));
    QCOMPARE(f.quoteCommands(), AllOn);
    f.report();
}

void TestQuotesPane::documentMenusRunTheSameCommands()
{
    Fixture f;
    f.start();
    f.load(f.write(QStringLiteral("q.txt"), "only one\n"));
    frmText* document = f.documents().NewDocument();
    f.area()->setActiveSubWindow(document);
    QTRY_COMPARE(f.menus()->shown(), MenuBars::Document);
    QCOMPARE(f.quoteCommands(), AllOn);
    QCOMPARE(f.selected(), -1);
    f.run("mnuRandom");
    QCOMPARE(f.selected(), 0);
    const QString blocks = f.write(QStringLiteral("b.txt"), "block\n");
    f.area()->setActiveSubWindow(document);
    QTRY_COMPARE(f.menus()->shown(), MenuBars::Document);
    f.prompter.expectFile(blocks, QuotesController::TextBlocksTitle);
    f.run("mnuTextBlocksOpen");
    QVERIFY(f.blocks());
    QCOMPARE(f.blocks()->Text1->toPlainText(), QStringLiteral("block\n"));
    f.report();
}

QTEST_MAIN(TestQuotesPane)
#include "tst_quotespane.moc"
