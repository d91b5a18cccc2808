#include "menus/commandrouter.h"
#include "menus/menubars.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

CommandState withDocument(bool active, bool open)
{
    CommandState state;
    state.hasDocument = active;
    state.anyDocumentOpen = open;
    return state;
}

} // namespace

class TestCommandRouter : public QObject {
    Q_OBJECT
private slots:
    void entriesFollowHandlersAndConditions();
    void documentCommandsNeedAnActiveDocument();
    void toolbarButtonsFollowTheirCommands();
};

void TestCommandRouter::entriesFollowHandlersAndConditions()
{
    MenuBars menus;
    CommandRouter router(&menus);
    bool flat = true;
    int ran = 0;
    router.add(
        QStringLiteral("mnuCloseAll"), [&] { ++ran; }, Enabled::WithAnyDocument);
    router.add(
        QStringLiteral("mnuToolbarButtonFlat"), [&] { flat = !flat; }, Enabled::Always,
        [&](const CommandState&) { return flat; });
    router.refresh(withDocument(false, false));
    QAction* closeAll = menus.action(MenuBars::Frame, QStringLiteral("mnuCloseAll"));
    QAction* flatEntry = menus.action(MenuBars::Frame, QStringLiteral("mnuToolbarButtonFlat"));
    QVERIFY(!closeAll->isEnabled());
    QVERIFY(flatEntry->isEnabled() && flatEntry->isChecked());
    // No handler: visible, and disabled whatever the state.
    QAction* print = menus.action(MenuBars::Document, QStringLiteral("mnuPrint"));
    QVERIFY(!print->isEnabled() && print->isVisible());
    QCOMPARE(menus.shown(), MenuBars::Frame);

    router.refresh(withDocument(true, true));
    QVERIFY(closeAll->isEnabled());
    QVERIFY(menus.action(MenuBars::Document, QStringLiteral("mnuCloseAll"))->isEnabled());
    QCOMPARE(menus.shown(), MenuBars::Document);
    // Running a command refreshes the states it changed.
    flatEntry->trigger();
    QVERIFY(!flat);
    QVERIFY(!flatEntry->isChecked());
    // A later add replaces the handler.
    router.add(QStringLiteral("mnuCloseAll"), [&] { ran += 10; });
    router.run(MenuBars::Frame, QStringLiteral("mnuCloseAll"));
    QCOMPARE(ran, 10);
}

void TestCommandRouter::documentCommandsNeedAnActiveDocument()
{
    MenuBars menus;
    CommandRouter router(&menus);
    bool active = false;
    router.addStateSource([&](CommandState& s) {
        s.hasDocument = active;
        s.anyDocumentOpen = true;
    });
    QStringList ran;
    router.add(QStringLiteral("mnuSaveFile"), [&] { ran << QStringLiteral("save"); });
    router.refresh();
    QAction* save = menus.action(MenuBars::Document, QStringLiteral("mnuSaveFile"));
    QVERIFY(!save->isEnabled());
    router.run(MenuBars::Document, QStringLiteral("mnuSaveFile"));
    QVERIFY(ran.isEmpty());
    active = true;
    router.refresh();
    QVERIFY(save->isEnabled());
    router.run(MenuBars::Frame, QStringLiteral("mnuSaveFile")); // never from the frame's bar
    QVERIFY(ran.isEmpty());
    router.run(MenuBars::Document, QStringLiteral("mnuSaveFile"));
    QCOMPARE(ran, QStringList(QStringLiteral("save")));
}

void TestCommandRouter::toolbarButtonsFollowTheirCommands()
{
    MenuBars menus;
    CommandRouter router(&menus);
    CommandState state = withDocument(false, false);
    router.addStateSource([&](CommandState& s) { s = state; });
    QSignalSpy noDocument(&router, &CommandRouter::noDocument);
    int cut = 0, quotes = 0;
    router.add(QStringLiteral("mnuCut"), [&] { ++cut; });
    router.add(QStringLiteral("mnuLoadQuotes"), [&] { ++quotes; });
    QAction cutButton, printButton, loadEntry, findEntry, face;
    QMenu faceMenu;
    faceMenu.addAction(&loadEntry);
    faceMenu.addAction(&findEntry);
    face.setMenu(&faceMenu);
    router.bind(&cutButton, {QStringLiteral("mnuCut"), true}, true);
    router.bind(&printButton, {QStringLiteral("mnuPrint"), true}, true);
    router.bind(&loadEntry, {QStringLiteral("mnuLoadQuotes"), false});
    router.bind(&findEntry, {QStringLiteral("mnuFindQuote"), false});
    router.bind(&face, ToolCommand{});
    router.refresh();
    QVERIFY(!cutButton.isEnabled()); // no document open
    QVERIFY(!printButton.isEnabled());
    QVERIFY(loadEntry.isEnabled() && !findEntry.isEnabled());
    QVERIFY(face.isEnabled()); // one of its entries is
    // Open but none active (another pane has the focus): the button is live,
    // and pressing it says there is no document.
    state = withDocument(false, true);
    router.refresh();
    QVERIFY(cutButton.isEnabled());
    QVERIFY(!printButton.isEnabled()); // nothing answers it yet
    router.runTool({QStringLiteral("mnuCut"), true});
    QCOMPARE(noDocument.size(), 1);
    QCOMPARE(cut, 0);
    state = withDocument(true, true);
    router.runTool({QStringLiteral("mnuCut"), true});
    router.runTool({QStringLiteral("mnuLoadQuotes"), false});
    QCOMPARE(cut, 1);
    QCOMPARE(quotes, 1);
    router.bind(&face, ToolCommand{}); // binding again replaces, never doubles
    router.add(
        QStringLiteral("mnuLoadQuotes"), [] {}, [](const CommandState&) { return false; });
    router.refresh();
    QVERIFY(!face.isEnabled());
    // A handler added once the states were set, and a button gone since, are both seen.
    {
        QAction gone;
        router.bind(&gone, {QStringLiteral("mnuCut"), true}, true);
        router.refresh();
        QVERIFY(gone.isEnabled());
    }
    router.add(QStringLiteral("mnuPrint"), [] {});
    router.refresh();
    QVERIFY(printButton.isEnabled());
    QVERIFY(menus.action(MenuBars::Document, QStringLiteral("mnuPrint"))->isEnabled());
}

QTEST_MAIN(TestCommandRouter)
#include "tst_commandrouter.moc"
