#include "app/about.h"
#include "app/frmhelpcheck.h"
#include "app/frmoptions.h"
#include "app/helpbrowser.h"
#include "app/helpcontexts.h"
#include "app/helpcontroller.h"
#include "app/helpviewer.h"
#include "app/keyspage.h"
#include "app/optionscontroller.h"
#include "menus/commandtable.h"
#include "support/framefixture.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

const QString StagedManual = QStringLiteral(QUILLORA_STAGED_HELP);

QString readPage(const QString& folder, const QString& page)
{
    if (page == HelpContexts::keysPage())
        return KeysPage::html();
    QFile file(QDir(folder).filePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool hasAnchor(const QString& html, const QString& anchor)
{
    const QRegularExpression named(
        QStringLiteral("<a\\s[^>]*(name|id)=\"%1\"").arg(QRegularExpression::escape(anchor)));
    return html.contains(named);
}

// Where the desktop was asked to open addresses.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlRecorder() override
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    Q_INVOKABLE void open(const QUrl& url) { opened << url; }
    QList<QUrl> opened;
};

struct Fixture : FrameFixture {
    HelpController& help = *frame.findChild<HelpController*>();

    Fixture() { help.setManualFolders({StagedManual}); }

    QString shownPage(HelpViewer* viewer) const
    {
        return viewer ? QFileInfo(viewer->browser()->source().path()).fileName() : QString();
    }
    QList<HelpViewer*> viewers(const QString& name) const
    {
        return frame.findChildren<HelpViewer*>(name);
    }
};

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void everyContextLeadsToAnAnchorOfTheManual_data();
    void everyContextLeadsToAnAnchorOfTheManual();
    void unknownContextsShowTheContents();
    void everyPageOfTheContentsExists();
    void keysPageListsTheKeysOfTheTable_data();
    void keysPageListsTheKeysOfTheTable();
    void f1OpensTheActiveWindowsTopic();
    void contentsListFollowsThePageShown();
    void optionsHelpButtonOpensTheOptionsPage();
    void dragDropHelpShowsThePopupAtThePress_data();
    void dragDropHelpShowsThePopupAtThePress();
    void dragDropPopupClosesLikeATooltip();
    void missingManualShowsTheNotice();
    void referenceIsRaisedNotDuplicated();
    void aboutShowsVersionAndLinks();
    void versionText_data();
    void versionText();
    void outsideLinksGoToTheDesktop();
    void helpWindowsCloseWithTheFrame();
};

void TestHelp::everyContextLeadsToAnAnchorOfTheManual_data()
{
    QTest::addColumn<int>("context");
    for (int context : HelpContexts::contexts())
        QTest::newRow(qPrintable(QString::number(context))) << context;
}

void TestHelp::everyContextLeadsToAnAnchorOfTheManual()
{
    QFETCH(int, context);
    const std::optional<HelpTopic> topic = HelpContexts::topic(context);
    QVERIFY(topic);
    const QString html = readPage(StagedManual, topic->page);
    QVERIFY2(!html.isEmpty(), qPrintable(topic->page));
    if (!topic->anchor.isEmpty())
        QVERIFY2(hasAnchor(html, topic->anchor), qPrintable(topic->page + u'#' + topic->anchor));
}

void TestHelp::unknownContextsShowTheContents()
{
    QCOMPARE(HelpContexts::topic(HelpContexts::Contents)->page, HelpContexts::contentsPage());
    QCOMPARE(HelpContexts::topic(HelpContexts::Options)->page, QStringLiteral("options.html"));
    QCOMPARE(HelpContexts::topic(HelpContexts::DragDrop)->page, QStringLiteral("dragdrop.html"));
    QVERIFY(!HelpContexts::topic(4711));
    QCOMPARE(HelpContexts::topicOrContents(4711), (HelpTopic{HelpContexts::contentsPage(), {}}));
    QCOMPARE(HelpContexts::findManual({QStringLiteral("/nonexistent"), StagedManual}),
             StagedManual);
    QCOMPARE(HelpContexts::manualFolders({QStringLiteral("/usr/share/quillora")}),
             QStringList{QStringLiteral("/usr/share/quillora/help")});
}

void TestHelp::everyPageOfTheContentsExists()
{
    // Every link between the manual's pages leads to a page and an anchor that exist.
    const QDir folder(StagedManual);
    QStringList pages = folder.entryList({QStringLiteral("*.html")});
    pages << HelpContexts::keysPage();
    const QRegularExpression link(
        QStringLiteral("<a\\s[^>]*href=\"([^\":#]+\\.html)(?:#([^\"]+))?\""));
    int links = 0;
    for (const QString& page : pages) {
        const QString html = readPage(StagedManual, page);
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const QString target = readPage(StagedManual, match.captured(1));
            QVERIFY2(!target.isEmpty(),
                     qPrintable(page + QStringLiteral(" → ") + match.captured(1)));
            if (!match.captured(2).isEmpty())
                QVERIFY2(hasAnchor(target, match.captured(2)),
                         qPrintable(page + QStringLiteral(" → ") + match.captured(0)));
            ++links;
        }
    }
    QVERIFY(links > 20);
}

void TestHelp::keysPageListsTheKeysOfTheTable_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("when");
    QTest::newRow("open project") << "Ctrl+J"
                                  << "Open a project..."
                                  << "always";
    QTest::newRow("shown only") << "F1"
                                << "User manual"
                                << "always";
    QTest::newRow("dash written as plus") << "Ctrl+C"
                                          << "Copy selected quote"
                                          << "always";
    QTest::newRow("notes save") << "Ctrl+S"
                                << "Save Notes"
                                << "no document active";
    QTest::newRow("document save") << "Ctrl+S"
                                   << "Save document"
                                   << "a document active";
    QTest::newRow("function key") << "F12"
                                  << "Minimize or restore All"
                                  << "always";
}

void TestHelp::keysPageListsTheKeysOfTheTable()
{
    QFETCH(QString, key);
    QFETCH(QString, command);
    QFETCH(QString, when);
    const QString row =
        QStringLiteral("<tr><td><b>%1</b></td><td>%2</td>").arg(key, command.toHtmlEscaped());
    const QString html = KeysPage::html();
    const qsizetype at = html.indexOf(row);
    QVERIFY2(at >= 0, qPrintable(row));
    QVERIFY(html.mid(at, html.indexOf(QStringLiteral("</tr>"), at) - at).contains(when));
}

void TestHelp::f1OpensTheActiveWindowsTopic()
{
    Fixture f;
    QTest::keyClick(f.pane()->List1, Qt::Key_F1);
    QCOMPARE(f.viewers(QStringLiteral("HelpViewer")).size(), 1);
    HelpViewer* manual = f.help.manual();
    QVERIFY(manual && manual->isVisible());
    QCOMPARE(f.shownPage(manual), HelpContexts::contentsPage());
    // The contents list holds the pages of the first page's list.
    auto* contents = manual->findChild<QTreeWidget*>(QStringLiteral("helpContentsList"));
    QStringList entries;
    for (int i = 0; i < contents->topLevelItemCount(); ++i)
        entries << contents->topLevelItem(i)->text(0);
    QCOMPARE(entries.size(), 13);
    QCOMPARE(entries.first(), QStringLiteral("Contents"));
    QCOMPARE(entries.count(QStringLiteral("Keys")), 1);
    QCOMPARE(entries.last(), QStringLiteral("Drag and drop"));

    frmOptions options(&f.frame);
    options.show();
    QTest::keyClick(options.TabStrip1, Qt::Key_F1);
    QCOMPARE(f.shownPage(manual), QStringLiteral("options.html"));
    // One manual, lent to the modal dialog so that it can be read while the dialog waits.
    QCOMPARE(f.viewers(QStringLiteral("HelpViewer")).size(), 1);
    QCOMPARE(manual->parentWidget(), &options);
    QVERIFY(f.prompter.done());
}

void TestHelp::contentsListFollowsThePageShown()
{
    Fixture f;
    f.help.mnuUserManual_Click();
    HelpViewer* manual = f.help.manual();
    auto* contents = manual->findChild<QTreeWidget*>(QStringLiteral("helpContentsList"));
    const auto highlighted = [&] {
        const QTreeWidgetItem* item = contents->currentItem();
        return item && item->isSelected() ? item->data(0, Qt::UserRole).toString() : QString();
    };
    QCOMPARE(highlighted(), HelpContexts::contentsPage());
    QTreeWidgetItem* printing = nullptr;
    for (int i = 0; i < contents->topLevelItemCount(); ++i)
        if (contents->topLevelItem(i)->data(0, Qt::UserRole) == QStringLiteral("printing.html"))
            printing = contents->topLevelItem(i);
    QVERIFY(printing);
    contents->scrollToItem(printing);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                      contents->visualItemRect(printing).center());
    QCOMPARE(f.shownPage(manual), QStringLiteral("printing.html"));
    QCOMPARE(highlighted(), QStringLiteral("printing.html"));

    // Closed and opened again at the contents: the highlight is on the contents.
    manual->close();
    f.help.mnuUserManual_Click();
    QCOMPARE(f.help.manual(), manual);
    QCOMPARE(f.shownPage(manual), HelpContexts::contentsPage());
    QCOMPARE(highlighted(), HelpContexts::contentsPage());

    // F1's topics and the history move it too.
    f.help.ShowHelpContext(&f.frame, HelpContexts::Options);
    QCOMPARE(highlighted(), QStringLiteral("options.html"));
    manual->browser()->backward();
    QCOMPARE(f.shownPage(manual), HelpContexts::contentsPage());
    QCOMPARE(highlighted(), HelpContexts::contentsPage());
    // A page the list does not name leaves nothing highlighted.
    manual->showTopic({HelpController::referencePage(), QString()});
    QCOMPARE(highlighted(), QString());
    QVERIFY(f.prompter.done());
}

void TestHelp::optionsHelpButtonOpensTheOptionsPage()
{
    Fixture f;
    auto* options = f.frame.findChild<OptionsController*>();
    QVERIFY(options->ShowHelpContext);
    options->ShowHelpContext(&f.frame, frmOptions::HelpContext);
    QVERIFY(f.help.manual()->isVisible());
    QCOMPARE(f.shownPage(f.help.manual()), QStringLiteral("options.html"));
    f.help.ShowHelpContext(&f.frame, HelpContexts::OptionsTabs + 2);
    QCOMPARE(f.help.manual()->browser()->source().fragment(), QStringLiteral("treeview"));
    f.help.ShowHelpContext(&f.frame, HelpContexts::Keys);
    QVERIFY(f.help.manual()->browser()->toPlainText().contains(QStringLiteral("Open a project")));
}

void TestHelp::dragDropHelpShowsThePopupAtThePress_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("list") << "mnuRCListDragDropHelp";
    QTest::newRow("tree") << "mnuRCTreeDragDropHelp";
    QTest::newRow("documents") << "mnuRCMDIDragDropHelp";
}

void TestHelp::dragDropHelpShowsThePopupAtThePress()
{
    QFETCH(QString, command);
    Fixture f;
    // The right press that opened the menu is where the help shows.
    QWidget* viewport = f.area()->viewport();
    const QPoint press(6, 9);
    QTest::mouseClick(viewport, Qt::RightButton, {}, press);
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    f.router().run(MenuBars::Frame, command);
    QTextBrowser* popup = f.help.popup();
    QVERIFY(popup && popup->isVisible());
    QCOMPARE(popup->pos(), f.frame.mapToGlobal(viewport->mapTo(&f.frame, press)));
    QVERIFY(popup->toPlainText().contains(QStringLiteral("Drag and drop")));
    QVERIFY(popup->toPlainText().contains(QStringLiteral("Folder tree")));
    // The manual's links back to its contents stay in the manual.
    QVERIFY(!popup->toPlainText().contains(QStringLiteral("Contents")));
    // A second request replaces the first pop-up.
    f.router().run(MenuBars::Frame, command);
    QTRY_COMPARE(f.frame.findChildren<QTextBrowser*>(QStringLiteral("HelpPopup")).size(), 1);
    QVERIFY(f.prompter.done());
}

void TestHelp::dragDropPopupClosesLikeATooltip()
{
    Fixture f;
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    const auto show = [&] {
        f.router().run(MenuBars::Frame, QStringLiteral("mnuRCMDIDragDropHelp"));
        return QPointer<QTextBrowser>(f.help.popup());
    };
    // Escape closes it wherever the keyboard is; it holds neither the
    // keyboard nor the pointer, so the menus answer while it shows.
    QPointer<QTextBrowser> popup = show();
    QVERIFY(popup && popup->isVisible());
    QVERIFY(!QApplication::activePopupWidget());
    QTest::keyClick(f.pane()->List1, Qt::Key_Escape);
    QTRY_VERIFY(!popup);

    // A click inside reads it; one outside closes it.
    popup = show();
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(popup && popup->isVisible());
    QWidget* outside = f.area()->viewport();
    QPoint at = outside->mapFromGlobal(popup->geometry().bottomRight() + QPoint(10, 10));
    if (!outside->rect().contains(at))
        at = QPoint(outside->width() - 3, outside->height() - 3);
    QVERIFY(!popup->geometry().contains(outside->mapToGlobal(at)));
    QTest::mouseClick(outside, Qt::LeftButton, {}, at);
    QTRY_VERIFY(!popup);

    // The program losing the focus takes it away too.
    popup = show();
    QEvent away(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &away);
    QTRY_VERIFY(!popup);
    QVERIFY(f.prompter.done());
}

void TestHelp::missingManualShowsTheNotice()
{
    Fixture f;
    const QString empty = f.home.path(QStringLiteral("share/quillora/help"));
    QVERIFY(QDir().mkpath(empty));
    f.help.setManualFolders({empty, f.home.path(QStringLiteral("other/help"))});
    for (const char* command : {"mnuUserManual", "mnuHTMLTagRef"}) {
        f.action(QString::fromLatin1(command))->trigger();
        frmHelpCheck* notice = f.help.notice();
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(notice->windowTitle(), QStringLiteral("Program Notice"));
        QCOMPARE(notice->Label1->text(),
                 QStringLiteral("Warning: the user manual was not found in ") + empty +
                     QStringLiteral(", ") + f.home.path(QStringLiteral("other/help")) +
                     QStringLiteral(".  Reinstalling Quillora puts it back."));
        QCOMPARE(notice->findChildren<QPushButton*>().size(), 1);
        QCOMPARE(notice->Command1_1->text(), QStringLiteral("Cancel"));
        QTest::mouseClick(notice->Command1_1, Qt::LeftButton);
        QVERIFY(!notice->isVisible());
        QCOMPARE(notice->tag(), QStringLiteral("1"));
    }
    QVERIFY(f.viewers(QString()).isEmpty());
    // Without a manual the entry is not ticked: nothing was opened.
    QVERIFY(!f.action(QStringLiteral("mnuHTMLTagRef"))->isChecked());
    f.router().run(MenuBars::Frame, QStringLiteral("mnuRCTreeDragDropHelp"));
    QVERIFY(f.help.notice()->isVisible());
    f.help.notice()->close();
    QVERIFY(!f.help.notice()->isVisible());
    QCOMPARE(f.help.notice()->tag(), QStringLiteral("1"));
    QVERIFY(!f.help.popup());
    QVERIFY(f.prompter.done());
}

void TestHelp::referenceIsRaisedNotDuplicated()
{
    Fixture f;
    QAction* entry = f.action(QStringLiteral("mnuHTMLTagRef"));
    QVERIFY(!entry->isChecked());
    entry->trigger();
    HelpViewer* reference = f.help.reference();
    QVERIFY(reference && reference->isVisible());
    QCOMPARE(f.shownPage(reference), HelpController::referencePage());
    QVERIFY(reference->browser()->toPlainText().contains(QStringLiteral("border-collapse")));
    auto* contents = reference->findChild<QTreeWidget*>(QStringLiteral("helpContentsList"));
    QCOMPARE(contents->topLevelItemCount(), 11);
    QCOMPARE(contents->topLevelItem(1)->text(0), QStringLiteral("Document structure"));
    QVERIFY(entry->isChecked());
    entry->trigger();
    QCOMPARE(f.viewers(QStringLiteral("HTMLTagRef")).size(), 1);
    reference->close();
    QVERIFY(!reference->isVisible());
    entry->trigger();
    QVERIFY(f.help.reference()->isVisible());
    QCOMPARE(f.viewers(QStringLiteral("HTMLTagRef")).size(), 1);
    // The reference is not the manual.
    QVERIFY(!f.help.manual());
    // The tick stays, in the document windows' bar too.
    f.action(QStringLiteral("mnuNew"))->trigger();
    QVERIFY(f.active());
    QVERIFY(f.action(QStringLiteral("mnuHTMLTagRef"))->isChecked());
}

void TestHelp::aboutShowsVersionAndLinks()
{
    Fixture f;
    f.action(QStringLiteral("mnuAbout"))->trigger();
    About* about = f.help.about();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Quillora"));
    // One version in the box, the build's, however the box words it.
    const QString version = QStringLiteral(QUILLORA_PROJECT_VERSION);
    QCOMPARE(about->lblVersion->text(), QStringLiteral("Quillora ") + version);
    const QRegularExpression number(QStringLiteral("\\d+(\\.\\d+)+"));
    for (const QLabel* label : about->findChildren<QLabel*>()) {
        for (auto it = number.globalMatch(label->text()); it.hasNext();) {
            const QString found = it.next().captured();
            QVERIFY2(found == version, qPrintable(label->text()));
        }
    }
    QVERIFY(about->Label1_0->text().contains(About::homePage()));
    QVERIFY(about->Label1_1->text().contains(About::issueTracker()));
    QVERIFY(About::homePage().startsWith(QStringLiteral("https://quillora.example.org/")));
    QVERIFY(About::issueTracker() != About::homePage());
    // The AppStream data give the same two addresses.
    QFile metainfo(QStringLiteral(QUILLORA_METAINFO));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(metainfo.readAll());
    QVERIFY(xml.contains(QStringLiteral("<url type=\"homepage\">") + About::homePage()));
    QVERIFY(xml.contains(QStringLiteral("<url type=\"bugtracker\">") + About::issueTracker()));
    QTest::mouseClick(about->Command1, Qt::LeftButton);
    QVERIFY(!about->isVisible());
    f.action(QStringLiteral("mnuAbout"))->trigger();
    QCOMPARE(f.frame.findChildren<About*>().size(), 1);
}

void TestHelp::versionText_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("three parts") << "0.1.0"
                                 << "Quillora 0.1.0";
    QTest::newRow("two-digit minor") << "2.12.3"
                                     << "Quillora 2.12.3";
    QTest::newRow("no patch") << "1.5"
                              << "Quillora 1.5";
}

void TestHelp::versionText()
{
    QFETCH(QString, version);
    QFETCH(QString, text);
    QCOMPARE(About::versionText(version), text);
}

void TestHelp::outsideLinksGoToTheDesktop()
{
    Fixture f;
    UrlRecorder desktop;
    f.help.ShowHelpContext(&f.frame, HelpContexts::Contents);
    HelpViewer* manual = f.help.manual();
    manual->follow(QUrl(QStringLiteral("https://quillora.example.org/")));
    manual->follow(QUrl(QStringLiteral("mailto:someone@example.org")));
    manual->follow(QUrl(QStringLiteral("http://example.org/page")));
    QCOMPARE(desktop.opened.size(), 3);
    QCOMPARE(desktop.opened.at(1), QUrl(QStringLiteral("mailto:someone@example.org")));
    // Pages of the manual stay in the viewer, with back and forward.
    manual->follow(QUrl(QStringLiteral("find.html")));
    QCOMPARE(f.shownPage(manual), QStringLiteral("find.html"));
    manual->follow(QUrl(QStringLiteral("../../../etc/passwd")));
    QCOMPARE(f.shownPage(manual), QStringLiteral("find.html"));
    QCOMPARE(desktop.opened.size(), 3);
    manual->findChild<QAction*>(QStringLiteral("helpBack"))->trigger();
    QCOMPARE(f.shownPage(manual), HelpContexts::contentsPage());
    manual->findChild<QAction*>(QStringLiteral("helpForward"))->trigger();
    QCOMPARE(f.shownPage(manual), QStringLiteral("find.html"));
    QVERIFY(manual->findText(QStringLiteral("Replace All")));
    QCOMPARE(manual->browser()->textCursor().selectedText(), QStringLiteral("Replace All"));
    QVERIFY(!manual->findText(QStringLiteral("no such words anywhere")));

    f.action(QStringLiteral("mnuAbout"))->trigger();
    emit f.help.about()->Label1_1->linkActivated(About::issueTracker());
    QCOMPARE(desktop.opened.last(), QUrl(About::issueTracker()));
    // An address the desktop cannot open is reported.
    f.prompter.expectMessage(About::BrowserError);
    QVERIFY(!About::openLink(QStringLiteral("quillora-nowhere:page")));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.last().icon, MessageIcon::Exclamation);
}

void TestHelp::helpWindowsCloseWithTheFrame()
{
    Fixture f;
    f.action(QStringLiteral("mnuUserManual"))->trigger();
    f.action(QStringLiteral("mnuHTMLTagRef"))->trigger();
    QVERIFY(f.help.manual()->isVisible() && f.help.reference()->isVisible());
    QVERIFY(f.frame.close());
    QVERIFY(!f.help.manual()->isVisible());
    QVERIFY(!f.help.reference()->isVisible());
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
