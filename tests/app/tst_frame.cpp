#include "app/framestatusbar.h"
#include "app/frmmymdi.h"
#include "app/leftpane.h"
#include "app/maintoolbar.h"
#include "app/panelayout.h"
#include "app/toolbarcustomizer.h"
#include "app/windowtiling.h"
#include "document/frmtext.h"
#include "menus/toolbarlayoutstore.h"
#include "project/projectlistview.h"
#include "richtext/richtextbox.h"
#include "richtext/twips.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"
#include "tools/autocompletelist.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QTest>
#include <QWidgetAction>

namespace {

struct Frame : FrameParts {
    ScriptedPrompter prompter;
    frmMyMDI frame;

    explicit Frame(SettingsStore& store)
        : FrameParts(frame), frame(QStringList(), startedBefore(store))
    {
        frame.queue().OpenQueueState = OpenQueue::Idle;
        frame.show();
    }
};

QString stored(SettingsStore& store, const char* key)
{
    return store.read(Settings::General, QString::fromLatin1(key), QStringLiteral("<none>"));
}

} // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void paneLayoutArithmetic();
    void tilesFillTheArea();
    void paneSplitterAndClicks();
    void closingWritesTheWindowSettings();
    void minimisedOrSystemCloseKeepsWindowSizes();
    void toolbarVersionMessageShownOnce();
    void customisedToolbarIsRestored();
    void toolbarStyleFollowsRightClick();
    void windowCommandsArrangeDocuments();
    void hoverDescriptionReturnsToDate();
    void toolbarRebuildsKeepTheirActions();
};

void TestFrame::paneLayoutArithmetic()
{
    PaneLayout::Pane pane;
    pane.toolbar2 = {0, 0, 1501, 400};
    pane.toolbar3 = {0, 0, 1800, 400};
    PaneLayout::arrange(pane, 2295, 8000, false);
    QCOMPARE(pane.list1.height, 2000); // a quarter of the frame
    QCOMPARE(pane.list1.width, 2295);
    QCOMPARE(pane.label2.left, 510);
    QCOMPARE(pane.toolbar2.left, 397); // (2295 - 1501) / 2 truncates
    QCOMPARE(pane.toolbar2.top, 465 + 2000 + 150);
    QCOMPARE(pane.label1.top, pane.toolbar2.top + 400 + 150);
    QCOMPARE(pane.drive1.top, pane.label1.top + 240 + 100);
    QCOMPARE(pane.treeView1.top, pane.drive1.top + 360 + 100);
    QCOMPARE(pane.treeView1.height, 2000);
    QCOMPARE(pane.toolbar3.top, pane.treeView1.top + 2000 + 150);
    QCOMPARE(pane.drive1.left, 30);
    PaneLayout::arrange(pane, 3000, 9000, true);
    QCOMPARE(pane.list1.height, 2970); // a third when maximised
    QCOMPARE(pane.treeView1.width, 3000);
    QCOMPARE(pane.toolbar3.left, 600);

    QCOMPARE(PaneLayout::widthForDrop(1000), 2295);
    QCOMPARE(PaneLayout::widthForDrop(3000), 3000);
    auto exact = [](double size) { return size; };
    QCOMPARE(PaneLayout::nextListFontSize(12, exact), 13.0);
    QCOMPARE(PaneLayout::nextListFontSize(13, exact), 8.0);
    // A font with only a few sizes steps until the size really changes.
    auto fewSizes = [](double size) { return size < 10 ? 8.0 : size < 12 ? 10.0 : 12.0; };
    QCOMPARE(PaneLayout::nextListFontSize(10, fewSizes), 12.0);
    QCOMPARE(PaneLayout::nextListFontSize(12.5, [](double) { return 12.0; }), 8.0);
    QCOMPARE(PaneLayout::swappedPlusImage(14), 12);
    QCOMPARE(PaneLayout::swappedPlusImage(12), 14);
}

void TestFrame::tilesFillTheArea()
{
    const QRect area(0, 0, 1000, 701);
    const QList<QRect> rows = WindowTiling::rows(area, 3);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0), QRect(0, 0, 1000, 233));
    QCOMPARE(rows.at(2).bottom(), area.bottom());
    const QList<QRect> columns = WindowTiling::columns(area, 3);
    QCOMPARE(columns.at(1), QRect(333, 0, 333, 701));
    QCOMPARE(columns.at(2).right(), area.right());
    QVERIFY(WindowTiling::rows(area, 0).isEmpty());
}

void TestFrame::paneSplitterAndClicks()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Frame f(store);
    LeftPane* pane = f.pane();
    const int y = pane->height() - 5;
    auto dragTo = [&](int twips) {
        QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(10, y));
        QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(qRound(Twips::toPixels(twips)), y));
    };
    dragTo(1000);
    QCOMPARE(pane->widthTwips(), 2295);
    dragTo(3000);
    QVERIFY(qAbs(pane->widthTwips() - 3000) <= 15);
    QCOMPARE(pane->List1->width(), pane->width());
    QCOMPARE(pane->Label1->x(), (pane->width() - pane->Label1->width()) / 2);

    pane->setListFontSize(12);
    QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(10, y));
    QCOMPARE(pane->listFontSize(), 13.0);
    QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(10, y));
    QCOMPARE(pane->listFontSize(), 8.0);
    // A click whose hand shook by a pixel is still a click, not a drag to the minimum.
    const int width = pane->widthTwips();
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(10, y));
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(11, y));
    QCOMPARE(pane->widthTwips(), width);
    QCOMPARE(pane->listFontSize(), 9.0);
    QCOMPARE(pane->plusImage(), 14);
    QTest::mouseClick(pane, Qt::RightButton, {}, QPoint(10, y));
    QCOMPARE(pane->plusImage(), 12);
}

void TestFrame::closingWritesTheWindowSettings()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    store.write(Settings::General, QStringLiteral("SaveWindowState"), QStringLiteral("True"));
    store.write(Settings::General, QStringLiteral("Pic1Width"), QStringLiteral("1000"));
    {
        Frame f(store);
        QCOMPARE(f.pane()->widthTwips(), 2295); // raised to the minimum
        f.pane()->setWidthTwips(3100);
        f.pane()->setPlusImage(12);
        f.pane()->setListFontSize(12);
        f.toolbars()->mnuToolbarButtonRaised_Click();
        f.windows()->mnuWindowTileVertical_Click();
        f.frame.mnuExit_Click();
        QVERIFY(!f.frame.isVisible());
    }
    QCOMPARE(stored(store, "WindowSize"), QStringLiteral("0"));
    QCOMPARE(stored(store, "Pic1Width"), QStringLiteral("3100"));
    QCOMPARE(stored(store, "PlusImage"), QStringLiteral("12"));
    QCOMPARE(stored(store, "ListFontSize"), QStringLiteral("12"));
    QCOMPARE(stored(store, "ToolBarStyle"), QStringLiteral("0"));
    QCOMPARE(stored(store, "SaveArrange"), QStringLiteral("2"));
    QCOMPARE(stored(store, "MyPadSize"), QStringLiteral("6780,4230"));
    QCOMPARE(stored(store, "LastDir"), QDir::currentPath());
    Frame again(store);
    QCOMPARE(again.pane()->widthTwips(), 3100);
    QCOMPARE(again.windows()->SaveArrange, 2);
}

void TestFrame::minimisedOrSystemCloseKeepsWindowSizes()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    store.write(Settings::General, QStringLiteral("WindowSize"), QStringLiteral("2"));
    {
        Frame f(store);
        f.frame.showMinimized();
        QTRY_VERIFY(f.frame.isMinimized());
        f.frame.mnuExit_Click();
    }
    QCOMPARE(stored(store, "WindowSize"), QStringLiteral("2"));
    QCOMPARE(stored(store, "ToolBarStyle"), QStringLiteral("1"));
    store.write(Settings::General, QStringLiteral("SaveArrange"), QStringLiteral("1"));
    {
        Frame f(store);
        f.windows()->SaveArrange = 0;
        f.pane()->setWidthTwips(2600);
        f.frame.closeBySystem();
    }
    QCOMPARE(stored(store, "WindowSize"), QStringLiteral("2"));
    QCOMPARE(stored(store, "SaveArrange"), QStringLiteral("1"));
    QCOMPARE(stored(store, "Pic1Width"), QStringLiteral("2600")); // written whoever closes
}

void TestFrame::toolbarVersionMessageShownOnce()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    const QString layout = ToolbarLayoutStore::pathBeside(store.filePath());
    QVERIFY(ToolbarLayoutStore::save(layout, {QStringLiteral("New"), QStringLiteral("Bold")}));
    {
        Frame f(store);
        f.prompter.expectMessage(ToolbarController::ToolbarVersionMessage)
            .expectMessage(AutoCompleteList::NotLoadedMessage); // no list named yet
        f.start();
        QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
        QVERIFY(!QFile::exists(layout)); // the old layout would hide the font boxes
        QVERIFY(f.toolbar()->button(QStringLiteral("Fontname")));
        QVERIFY(f.toolbar()->Combo1->isVisible());
        QVERIFY(f.toolbar()->Combo1->count() > 0);
        QVERIFY(f.toolbar()->button(QStringLiteral("Align left"))->isChecked());
    }
    QCOMPARE(stored(store, "ToolbarVersion"), QStringLiteral("2"));
    store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                QStringLiteral("False"));
    Frame second(store);
    second.start(); // a prompt now would fail the scripted prompter
    QVERIFY2(second.prompter.done(), qPrintable(second.prompter.report()));
}

void TestFrame::customisedToolbarIsRestored()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
    store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                QStringLiteral("False"));
    {
        Frame f(store);
        f.start();
        f.toolbars()->mnuToolBarCustomize_Click();
        ToolbarCustomizer* c = f.toolbars()->customizer();
        QVERIFY(c && c->isVisible());
        const int fontName = f.toolbar()->layoutKeys().indexOf(QStringLiteral("Fontname"));
        c->current->setCurrentRow(fontName);
        c->removeSelected();
        c->current->setCurrentRow(0);
        c->moveSelected(1); // "Open" first now
        QCOMPARE(f.toolbar()->layoutKeys().mid(0, 2),
                 QStringList({QStringLiteral("Open"), QStringLiteral("New")}));
        QVERIFY(!f.toolbar()->Combo1->isVisible());
        f.frame.mnuExit_Click();
    }
    Frame f(store);
    f.start();
    QVERIFY(!f.toolbar()->button(QStringLiteral("Fontname")));
    QVERIFY(!f.toolbar()->Combo1->isVisible());
    QVERIFY(f.toolbar()->Combo2->isVisible());
    QCOMPARE(f.toolbar()->layoutKeys().first(), QStringLiteral("Open"));
    QCOMPARE(f.toolbar()->layoutKeys().size(), MainToolbar::defaultLayout().size() - 1);
}

void TestFrame::toolbarStyleFollowsRightClick()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
    store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                QStringLiteral("False"));
    Frame f(store);
    f.start();
    QVERIFY(f.toolbar()->isFlat());
    QVERIFY(f.action(QStringLiteral("mnuToolbarButtonFlat"))->isChecked());
    QTest::mouseClick(f.toolbar(), Qt::RightButton, {}, QPoint(f.toolbar()->width() - 3, 3));
    QVERIFY(!f.toolbar()->isFlat());
    QCOMPARE(f.toolbars()->ToolBarStyle, 0);
    QVERIFY(f.action(QStringLiteral("mnuToolbarButtonRaised"))->isChecked());
    QVERIFY(!f.action(QStringLiteral("mnuToolbarButtonFlat"))->isChecked());
}

void TestFrame::windowCommandsArrangeDocuments()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Frame f(store);
    f.frame.resize(1000, 800);
    QList<frmText*> windows;
    for (int i = 0; i < 3; ++i)
        windows << f.documents().NewDocument();
    f.windows()->mnuWindowTileHoriz_Click();
    QCOMPARE(f.windows()->SaveArrange, 1);
    const int width = f.area()->viewport()->width();
    for (frmText* w : windows)
        QCOMPARE(w->width(), width);
    QCOMPARE(windows.at(0)->height() + windows.at(1)->height() + windows.at(2)->height(),
             f.area()->viewport()->height());
    f.windows()->mnuWindowTileVertical_Click();
    for (frmText* w : windows)
        QCOMPARE(w->height(), f.area()->viewport()->height());
    f.windows()->mnuWindowArrange_Click();
    QCOMPARE(f.windows()->SaveArrange, 2); // arranging icons keeps the arrangement

    f.windows()->mnuMinRest_Click();
    for (frmText* w : windows)
        QVERIFY(w->isMinimized());
    windows.at(1)->showMaximized();
    f.windows()->mnuMinRest_Click();
    for (frmText* w : windows)
        QVERIFY(!w->isMinimized() && !w->isMaximized());

    f.area()->setActiveSubWindow(windows.at(2));
    f.windows()->mnuWindowSendBack_Click();
    QVERIFY(f.active() != windows.at(2));
    QCOMPARE(f.area()->subWindowList(QMdiArea::StackingOrder).first(), windows.at(2));
}

void TestFrame::hoverDescriptionReturnsToDate()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Frame f(store);
    FrameStatusBar* bar = f.frame.findChild<FrameStatusBar*>();
    QCOMPARE(bar->children().size() >= 7, true);
    f.toolbar()->button(QStringLiteral("Print"))->hover();
    QVERIFY(!bar->isShowingDate());
    QCOMPARE(bar->panel(QStringLiteral("stsDate"))->text(), QStringLiteral("Print document..."));
    QTest::mouseMove(f.area()->viewport(), QPoint(50, 50));
    QTRY_VERIFY(bar->isShowingDate());
    QCOMPARE(bar->panel(QStringLiteral("stsCaps"))->text(), QStringLiteral("CAPS"));
    QCOMPARE(bar->panel(QStringLiteral("stsInsert"))->text(), QStringLiteral("INS"));

    // A long message is cut to the room there is, not a reason for the window to grow.
    const int narrowest = f.frame.minimumSizeHint().width();
    const QString longMessage =
        QStringLiteral("The recovery folder %1 cannot be made.").arg(QString(400, u'x'));
    bar->showText(longMessage);
    QCOMPARE(f.frame.minimumSizeHint().width(), narrowest);
    QCOMPARE(bar->panel(QStringLiteral("stsDate"))->toolTip(), longMessage);
    bar->showDate();
    QVERIFY(bar->panel(QStringLiteral("stsDate"))->toolTip().isEmpty());

    // Insert switches the focused document to typing over, and the panel follows.
    frmText* document = f.documents().NewDocument();
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    document->RichTextBox1->setFocus();
    QTRY_VERIFY(document->RichTextBox1->hasFocus());
    QTest::keyClick(document->RichTextBox1, Qt::Key_Insert);
    QVERIFY(document->RichTextBox1->overwriteMode());
    bar->refresh();
    QVERIFY(!bar->panel(QStringLiteral("stsInsert"))->isEnabled());
    QTest::keyClick(document->RichTextBox1, Qt::Key_Insert);
    bar->refresh();
    QVERIFY(bar->panel(QStringLiteral("stsInsert"))->isEnabled());
}

void TestFrame::toolbarRebuildsKeepTheirActions()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Frame f(store);
    MainToolbar* toolbar = f.toolbar();
    toolbar->setButtonLayout(MainToolbar::defaultLayout());
    const qsizetype actions = toolbar->findChildren<QAction*>().size();
    for (int i = 0; i < 5; ++i) {
        toolbar->setButtonLayout(
            {QStringLiteral("Fontname"), MainToolbar::Separator, QStringLiteral("Bold")});
        toolbar->setButtonLayout(MainToolbar::defaultLayout());
    }
    QCOMPARE(toolbar->findChildren<QAction*>().size(), actions);
    QCOMPARE(toolbar->findChildren<QWidgetAction*>().size(), 2);
    QVERIFY(toolbar->Combo1->isVisible() && toolbar->Combo2->isVisible());
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
