#include "app/frmmymdi.h"
#include "app/leftpane.h"
#include "app/maintoolbar.h"
#include "document/documenttable.h"
#include "document/frmtext.h"
#include "menus/commandtable.h"
#include "menus/toolbartable.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QToolBar>

namespace {

// A shown frame whose every command only records who ran it.
struct Fixture : FrameFixture {
    QStringList ran; // the commands run, by name

    void recordEverything()
    {
        QSet<QString> names;
        for (const auto* table : {&CommandTable::frameBar(), &CommandTable::documentBar()})
            for (const Command& c : *table)
                names.insert(QString::fromLatin1(c.name));
        for (const QString& name : names)
            router().add(name, [this, name] { ran << name; });
        router().refresh();
    }
    QString pressed(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
    {
        ran.clear();
        QTest::keyClick(target, Qt::Key(key), modifiers);
        return ran.join(u',');
    }
};

bool isEntry(const Command& c)
{
    return *c.parent && QByteArray(c.caption) != "-";
}

} // namespace

class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void shownBarsHaveNoSharedShortcuts();
    void documentEntriesReachOneHandler();
    void entriesAreEnabledByTheirCommands();
    void shortcutsFollowTheShownBar();
    void toolbarKeysNameRealEntries();
    void toolbarButtonsWarnWithoutADocument();
    void toolbarButtonsFollowTheirCommands();
    void smallDocumentCommands();
    void windowMenuListsTheDocuments();
    void accessKeysOpenTheShownBarsMenus();
};

void TestMenus::shownBarsHaveNoSharedShortcuts()
{
    // Keys a bar only shows (a control handles them) may repeat, but none may
    // be a shortcut of the bar as well, or the bar would take it from the control.
    for (const auto* table : {&CommandTable::frameBar(), &CommandTable::documentBar()}) {
        QHash<QString, QString> owner;
        QStringList shownOnly;
        for (const Command& c : *table) {
            if (*c.keyText)
                shownOnly << QKeySequence(QString::fromLatin1(c.keyText)).toString();
            if (!*c.shortcut)
                continue;
            const QString text = QKeySequence(QString::fromLatin1(c.shortcut)).toString();
            QVERIFY2(!owner.contains(text),
                     qPrintable(text + QStringLiteral(" is both ") + owner.value(text) +
                                QStringLiteral(" and ") + QString::fromLatin1(c.name)));
            owner.insert(text, QString::fromLatin1(c.name));
        }
        for (const QString& key : shownOnly)
            QVERIFY2(!owner.contains(key), qPrintable(key));
        QVERIFY(owner.size() > 5);
    }
}

void TestMenus::documentEntriesReachOneHandler()
{
    Fixture f;
    f.documents().NewDocument();
    f.recordEverything();
    int frameScope = 0;
    for (const Command& c : CommandTable::documentBar()) {
        QAction* a = f.menus()->action(MenuBars::Document, QString::fromLatin1(c.name));
        if (!isEntry(c) || !a || a->menu())
            continue;
        const QString name = QString::fromLatin1(c.name);
        f.ran.clear();
        a->setEnabled(true);
        a->trigger();
        QCOMPARE(f.ran, QStringList(name));
        frameScope += c.scope == Scope::Frame;
        QCOMPARE(CommandTable::scope(name), c.scope);
    }
    // The seventy entries a document window forwards to the frame, and Exit.
    QCOMPARE(frameScope, 71);
    for (const Command& c : CommandTable::frameBar()) {
        QAction* a = f.menus()->action(MenuBars::Frame, QString::fromLatin1(c.name));
        if (!isEntry(c) || !a || a->menu())
            continue;
        QCOMPARE(c.scope, Scope::Frame);
        f.ran.clear();
        a->setEnabled(true);
        a->trigger();
        QCOMPARE(f.ran, QStringList(QString::fromLatin1(c.name)));
    }
    // A document's command never runs without a document window to act on.
    f.documentWindows().first()->close();
    QTRY_VERIFY(!f.active());
    f.ran.clear();
    f.router().run(MenuBars::Document, QStringLiteral("mnuSaveFile"));
    f.router().run(MenuBars::Frame, QStringLiteral("mnuCut"));
    QVERIFY(f.ran.isEmpty());
}

void TestMenus::entriesAreEnabledByTheirCommands()
{
    Fixture f;
    f.documents().NewDocument();
    f.router().refresh();
    for (const char* name :
         {"mnuSaveFile", "mnuPrint", "mnuPageSetup", "mnuCopyPath", "mnuRefresh", "mnuViewFile",
          "mnuWindowCascade", "mnuNextPane", "mnuToolBarCustomize", "mnuUserManual"})
        QVERIFY2(f.action(QString::fromLatin1(name))->isEnabled(), name);
    // The recent files wait for the recent-projects list to fill them.
    QVERIFY(!f.action(QStringLiteral("mnuRecentFile1"))->isVisible());
    // A context menu's entries are there, the quotes' disabled until quotes are loaded.
    QMenu* quotes = f.menus()->popup(QStringLiteral("mnuRCQuotes"));
    QVERIFY(quotes);
    QVERIFY(!quotes->actions().isEmpty());
    QVERIFY(!f.menus()->popupAction(QStringLiteral("mnuRCRandom"))->isEnabled());
    QVERIFY(f.menus()->popupAction(QStringLiteral("mnuRCTreeOpen"))->isEnabled());
}

void TestMenus::shortcutsFollowTheShownBar()
{
    Fixture f;
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    f.recordEverything();
    QWidget* target = f.pane();
    QCOMPARE(f.pressed(target, Qt::Key_S, Qt::ControlModifier), QStringLiteral("mnuNotesSave"));
    QCOMPARE(f.pressed(target, Qt::Key_F, Qt::ControlModifier), QStringLiteral("mnuFindQuote"));
    QCOMPARE(f.pressed(target, Qt::Key_F3, Qt::NoModifier), QStringLiteral("mnuFindNextQuote"));
    QCOMPARE(f.pressed(target, Qt::Key_F5, Qt::NoModifier), QStringLiteral("mnuTreeRefresh"));

    frmText* document = f.documents().NewDocument();
    f.recordEverything();
    QTRY_COMPARE(f.menus()->shown(), MenuBars::Document);
    document->setFocus();
    QCOMPARE(f.pressed(document, Qt::Key_S, Qt::ControlModifier), QStringLiteral("mnuSaveFile"));
    QCOMPARE(f.pressed(document, Qt::Key_F, Qt::ControlModifier), QStringLiteral("mnuFind"));
    QCOMPARE(f.pressed(document, Qt::Key_F3, Qt::NoModifier), QStringLiteral("mnuFindNext"));
    QCOMPARE(f.pressed(document, Qt::Key_F5, Qt::NoModifier), QStringLiteral("mnuRefresh"));
}

void TestMenus::toolbarKeysNameRealEntries()
{
    // Every click runs an entry of the bar that would be shown for it, so the
    // handler it reaches is the menu's own.
    auto check = [](const ToolCommand& c, const QString& what) {
        if (!c.isValid())
            return;
        const auto& table =
            c.needsDocument ? CommandTable::documentBar() : CommandTable::frameBar();
        const bool known = CommandTable::find(table, c.name) ||
                           (c.needsDocument && CommandTable::scope(c.name) == Scope::Frame);
        QVERIFY2(known, qPrintable(what + QStringLiteral(" runs ") + c.name));
    };
    int valid = 0;
    for (const ToolButton& b : ToolbarTable::toolbar1()) {
        check(ToolbarTable::toolbar1Click(b.key), b.key);
        valid += ToolbarTable::toolbar1Click(b.key).isValid();
        for (const ToolButtonEntry& e : b.menu) {
            QVERIFY2(ToolbarTable::toolbar1MenuClick(b.key, e.key).isValid(),
                     qPrintable(b.key + e.key));
            check(ToolbarTable::toolbar1MenuClick(b.key, e.key), b.key + u'/' + e.key);
        }
    }
    QCOMPARE(valid, 18); // all but the three drop-downs' faces, Strip, Quotes and the placeholders
    for (const ToolButton& b : ToolbarTable::toolbar2()) {
        QVERIFY(ToolbarTable::toolbar2Click(b.key).isValid());
        check(ToolbarTable::toolbar2Click(b.key), b.key);
    }
    for (const ToolButton& b : ToolbarTable::toolbar3()) {
        QVERIFY(ToolbarTable::toolbar3Click(b.key).isValid());
        check(ToolbarTable::toolbar3Click(b.key), b.key);
    }
    QVERIFY(ToolbarTable::toolbar1Click(QStringLiteral("PRINT")).isValid());
}

void TestMenus::toolbarButtonsWarnWithoutADocument()
{
    Fixture f;
    f.recordEverything();
    f.prompter.expectMessage(frmMyMDI::NoDocumentMessage);
    f.toolbars()->Toolbar1_ButtonClick(QStringLiteral("Print"));
    QVERIFY(f.ran.isEmpty());
    f.toolbars()->Toolbar1_ButtonClick(QStringLiteral("Auto"));
    QCOMPARE(f.ran, QStringList(QStringLiteral("mnuAutoCompleteToggle")));
    f.ran.clear();
    f.toolbars()->Toolbar1_ButtonClick(QStringLiteral("Open")); // the face does nothing
    QVERIFY(f.ran.isEmpty());
    f.toolbars()->Toolbar1_ButtonMenuClick(QStringLiteral("Open"), QStringLiteral("document"));
    QCOMPARE(f.ran, QStringList(QStringLiteral("mnuOpenFile")));
    QVERIFY(
        !f.toolbar()->menuEntry(QStringLiteral("Save"), QStringLiteral("Document"))->isEnabled());
    QVERIFY(f.toolbar()->menuEntry(QStringLiteral("Save"), QStringLiteral("Project"))->isEnabled());
    QVERIFY(!f.toolbar()->button(QStringLiteral("Bold"))->isEnabled());
    f.documents().NewDocument();
    QTRY_VERIFY(f.toolbar()->button(QStringLiteral("Bold"))->isEnabled());
    f.ran.clear();
    f.toolbars()->Toolbar1_ButtonClick(QStringLiteral("Clear"));
    QCOMPARE(f.ran, QStringList(QStringLiteral("mnuDelete")));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestMenus::toolbarButtonsFollowTheirCommands()
{
    Fixture f;
    f.documents().NewDocument();
    auto* toolbar = f.frame.findChild<MainToolbar*>(QStringLiteral("Toolbar1"));
    QVERIFY(toolbar);
    const auto enabled = [&](const QString& key) { return toolbar->button(key)->isEnabled(); };
    QTRY_VERIFY(enabled(QStringLiteral("Cut")));
    QVERIFY(toolbar->Combo1->isEnabled() && toolbar->Combo2->isEnabled());
    for (const char* key :
         {"Cut", "Copy", "Paste", "Clear", "View", "New", "Open", "Save", "Print", "Find", "Strip",
          "Bold", "Italics", "Align left", "Bullet", "Protected", "Font", "Quotes"})
        QVERIFY2(enabled(QString::fromLatin1(key)), key);
    QVERIFY(toolbar->menuEntry(QStringLiteral("New"), QStringLiteral("Project"))->isEnabled());
    QVERIFY(toolbar->menuEntry(QStringLiteral("New"), QStringLiteral("Document"))->isEnabled());
    QVERIFY(toolbar->menuEntry(QStringLiteral("Save"), QStringLiteral("Document"))->isEnabled());
    QVERIFY(toolbar->menuEntry(QStringLiteral("Strip"), QStringLiteral("CRLF"))->isEnabled());
    // Quotes can be loaded; the rest wait for a list.
    QVERIFY(toolbar->menuEntry(QStringLiteral("Quotes"), QStringLiteral("Load"))->isEnabled());
    QVERIFY(!toolbar->menuEntry(QStringLiteral("Quotes"), QStringLiteral("Find"))->isEnabled());
    auto* pane = f.frame.findChild<LeftPane*>();
    QVERIFY(pane);
    // The list's and the tree's buttons work.
    for (QToolBar* bar : {pane->Toolbar2, pane->Toolbar3})
        for (QAction* a : bar->actions())
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
}

void TestMenus::smallDocumentCommands()
{
    Fixture f;
    frmText* untitled = f.documents().NewDocument();
    untitled->RichTextBox1->setText(QStringLiteral("some text"));
    f.router().run(MenuBars::Document, QStringLiteral("mnuCopyPath"));
    QCOMPARE(QGuiApplication::clipboard()->text(), untitled->bareCaption());
    untitled->RichTextBox1->setSelStart(2);
    untitled->RichTextBox1->setSelLength(4);
    f.router().run(MenuBars::Document, QStringLiteral("mnuRefresh"));
    QCOMPARE(untitled->RichTextBox1->SelStart(), 2);
    QCOMPARE(untitled->RichTextBox1->SelLength(), 0);
    // Quick view of a new, changed document: No goes on with its caption, which
    // no program can open.
    QVERIFY(untitled->state().Dirty);
    f.prompter.expectMessage(DocumentController::ViewChangedQuestion, Answer::No);
    f.prompter.expectMessage(QStringLiteral("File: ") + untitled->bareCaption() +
                             QStringLiteral("\n\nAn error occurred when trying to open the "
                                            "application associated with this file extension."));
    f.router().run(MenuBars::Document, QStringLiteral("mnuViewFile"));
    f.prompter.expectMessage(DocumentController::ViewChangedQuestion, Answer::Cancel);
    f.router().run(MenuBars::Document, QStringLiteral("mnuViewFile"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.at(1).icon, MessageIcon::Exclamation);

    const QString saved = f.home.write(QStringLiteral("kept.txt"), "x");
    f.commands()->OpenPath(saved);
    f.router().run(MenuBars::Document, QStringLiteral("mnuCopyPath"));
    QCOMPARE(QGuiApplication::clipboard()->text(), saved);
}

void TestMenus::windowMenuListsTheDocuments()
{
    Fixture f;
    f.documents().NewDocument();
    frmText* second = f.documents().NewDocument();
    QMenu* menu = f.menus()->action(MenuBars::Document, QStringLiteral("mnuWindow"))->menu();
    emit menu->aboutToShow();
    emit menu->aboutToShow(); // opening it again does not list the windows twice
    QStringList listed;
    QAction* checked = nullptr;
    for (QAction* a : menu->actions())
        if (a->property("windowEntry").toBool() && !a->isSeparator()) {
            listed << a->text();
            if (a->isChecked())
                checked = a;
        }
    QCOMPARE(listed,
             QStringList({QStringLiteral("&1 Untitled:1"), QStringLiteral("&2 Untitled:2")}));
    QVERIFY(checked && checked->text().endsWith(second->windowTitle()));
}

void TestMenus::accessKeysOpenTheShownBarsMenus()
{
    Fixture f;
    frmText* document = f.documents().NewDocument();
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    document->RichTextBox1->setFocus();
    QTest::keyClick(document->RichTextBox1, Qt::Key_E, Qt::AltModifier);
    QMenu* edit = f.menus()->action(MenuBars::Document, QStringLiteral("mnuEdit"))->menu();
    QTRY_VERIFY(edit->isVisible());
    edit->close();
    QCOMPARE(document->RichTextBox1->Text(), QString());
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
