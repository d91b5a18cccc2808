#include "project/documentdroparea.h"
#include "project/itemopener.h"
#include "project/projectcontroller.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include "tree/foldertreeview.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QUrl>

namespace {

struct Fixture : FrameFixture {
    QStringList launched;

    Fixture()
    {
        // PDF files have a reader; nothing else has a program.
        opener().setLookup([](const QString& path) -> std::optional<Association> {
            if (path.endsWith(QStringLiteral(".pdf")))
                return Association{QStringLiteral("reader.desktop"), QStringLiteral("Reader"),
                                   false};
            return std::nullopt;
        });
        opener().setLauncher([this](const QString& path, const QString& application) {
            launched << path + u'|' + application;
            return ItemOpener::Launch::Opened;
        });
        frame.projects().deferredStart();
    }

    ProjectController& projects() { return frame.projects(); }
    ItemOpener& opener() { return frame.projects().opener(); }
    ProjectListView* view() { return frame.projects().view(); }
    ProjectList& list() { return frame.projects().list(); }

    QStringList shownRows()
    {
        QStringList rows;
        for (int row = 0; row < list().rowCount(); ++row)
            rows << list().index(row).data().toString();
        return rows;
    }
    void select(QList<int> rows)
    {
        view()->SelectListItem(rows.takeFirst(), false);
        for (const int row : rows)
            view()->addToSelection(row);
    }
    QByteArray bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    // Opens a project file through Ctrl+J and its dialog.
    void openProject(const QString& path)
    {
        prompter.expectFile(path, ProjectController::OpenProjectTitle);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_J, Qt::ControlModifier);
    }
};

// A drop as a file manager makes it: file URLs, copy or move offered. Whether
// it was taken, always as a copy.
bool drop(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(5, 5);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
}

QUrl url(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

class TestProjectController : public QObject {
    Q_OBJECT
private slots:
    void openChangeAndSaveAProject();
    void changedProjectIsAskedAbout();
    void removingAsksEachEntryUnlessShiftIsHeld();
    void enterOpensDocumentsAndAsksBeforeOtherPrograms();
    void aMissingEntryIsRelocated();
    void dropsAddToTheListAndOpenOnTheDocumentArea();
    void copiedPathsTooltipsAndFocus();
    void shortcutsAndOpenDocumentsAreAdded();
};

void TestProjectController::openChangeAndSaveAProject()
{
    Fixture f;
    QCOMPARE(f.frame.windowTitle(), QStringLiteral("Quillora - "));
    QCOMPARE(f.shownRows(), QStringList(ProjectList::NewDocumentRow));
    const QString folder = f.home.path(QStringLiteral("work.d"));
    QDir().mkpath(folder);
    const QString project = f.home.write(QStringLiteral("work.d/site.prj"),
                                         "/srv/site/\r\n\r\n/srv/site/index.htm\r\n\r\n");
    f.openProject(project);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.frame.windowTitle(), QStringLiteral("Quillora - ") + project);
    QCOMPARE(f.shownRows(), (QStringList{ProjectList::NewDocumentRow, QStringLiteral("/srv/site/"),
                                         QStringLiteral("index.htm")}));
    QCOMPARE(f.view()->selectedRows(), QList<int>{0});
    QCOMPARE(QDir::currentPath(), folder);

    // Save writes exactly what was read, with LF line ends and one more at the end.
    const QString added = f.home.write(QStringLiteral("notes.txt"), "n\n");
    QVERIFY(f.projects().AddNewDocOrLink(added));
    QVERIFY(!f.list().ProjectSaved());
    QCOMPARE(f.view()->selectedRows(), QList<int>{3});
    QSignalSpy saved(&f.projects(), &ProjectController::projectSaved);
    f.action(QStringLiteral("mnuSaveProject"))->trigger();
    QCOMPARE(f.bytes(project), "/srv/site/\n/srv/site/index.htm\n" + added.toUtf8() + "\n\n");
    QVERIFY(f.list().ProjectSaved());
    QCOMPARE(saved.size(), 1);

    // Save As into a folder that cannot be made (a file stands in its place):
    // told, nothing changes.
    const QString blocked = f.home.write(QStringLiteral("blocked"), "a file\n");
    QVERIFY(f.projects().AddNewDocOrLink(QStringLiteral("/srv/other.txt")));
    f.prompter.expectFile(blocked + QStringLiteral("/copy.prj"));
    f.prompter.expectMessage(QStringLiteral("Error: ") + blocked + QStringLiteral("/copy.prj"));
    f.action(QStringLiteral("mnuSaveProjectAs"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.list().ProjectFile(), project);
    QVERIFY(!f.list().ProjectSaved());

    // Save As elsewhere: the new name is the project's, typed without ".prj".
    f.prompter.expectFile(f.home.path(QStringLiteral("copy")));
    f.action(QStringLiteral("mnuSaveProjectAs"))->trigger();
    const QString copy = f.home.path(QStringLiteral("copy.prj"));
    QCOMPARE(f.list().ProjectFile(), copy);
    QCOMPARE(f.frame.windowTitle(), QStringLiteral("Quillora - ") + copy);
    QVERIFY(f.bytes(copy).endsWith("/srv/other.txt\n\n"));
    QCOMPARE(f.prompter.fileRequests.last().initialPath, project);

    // A file that is no project (a folder) is refused and leaves a new project,
    // so no later save can overwrite it.
    f.prompter.expectFile(folder, ProjectController::OpenProjectTitle);
    f.prompter.expectMessage(QStringLiteral("Error: ") + folder);
    f.action(QStringLiteral("mnuOpen"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.list().ProjectFile(), QString());
    QCOMPARE(f.frame.windowTitle(), QStringLiteral("Quillora - "));
}

void TestProjectController::changedProjectIsAskedAbout()
{
    Fixture f;
    const QString project = f.home.write(QStringLiteral("a.prj"), "/srv/one.txt\n\n");
    f.openProject(project);
    QVERIFY(f.projects().AddNewDocOrLink(QStringLiteral("/srv/two.txt")));
    const QString question = ProjectController::changedQuestion(project);

    // Cancel keeps the project; No drops the changes.
    f.prompter.expectMessage(question, Answer::Cancel);
    f.action(QStringLiteral("mnuNewProject"))->trigger();
    QCOMPARE(f.list().ProjectFile(), project);
    QCOMPARE(f.list().entryCount(), 2);
    f.prompter.expectMessage(question, Answer::No);
    f.action(QStringLiteral("mnuNewProject"))->trigger();
    QCOMPARE(f.list().ProjectFile(), QString());
    QCOMPARE(f.bytes(project), "/srv/one.txt\n\n");

    // An unchanged project is not asked about.
    f.openProject(project);
    f.action(QStringLiteral("mnuNewProject"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // Yes on an unnamed project saves it as; a cancelled Save As stops the new project.
    QVERIFY(f.projects().AddNewDocOrLink(QStringLiteral("/srv/three.txt")));
    f.prompter.expectMessage(ProjectController::changedQuestion(QString()), Answer::Yes);
    f.prompter.expectFile(QString());
    f.action(QStringLiteral("mnuNewProject"))->trigger();
    QCOMPARE(f.list().entryCount(), 1);
    // Closing the program asks too, and Cancel keeps it open.
    f.prompter.expectMessage(ProjectController::changedQuestion(QString()), Answer::Cancel);
    f.frame.close();
    QVERIFY(f.frame.isVisible());
    // Yes with a name saves, then goes on.
    const QString named = f.home.path(QStringLiteral("b.prj"));
    f.prompter.expectMessage(ProjectController::changedQuestion(QString()), Answer::Yes);
    f.prompter.expectFile(named);
    f.prompter.expectFile(QString(), ProjectController::OpenProjectTitle);
    f.action(QStringLiteral("mnuOpen"))->trigger();
    QCOMPARE(f.bytes(named), "/srv/three.txt\n\n");
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // Editing the project file opens it as a plain document, whatever its kind.
    f.action(QStringLiteral("mnuListEditPrj"))->trigger();
    QTRY_COMPARE(f.documentWindows().size(), 1);
    QCOMPARE(f.active()->state().FileName, named);
    // Saving it there shows the edited entries in the list, so a later project
    // save cannot write the old ones over them.
    f.active()->RichTextBox1->moveCursor(QTextCursor::End);
    f.active()->RichTextBox1->insertPlainText(QStringLiteral("/srv/four.txt\n"));
    f.router().run(MenuBars::Document, QStringLiteral("mnuSaveFile"));
    QCOMPARE(f.list().ProjectPaths().mid(1),
             (QStringList{QStringLiteral("/srv/three.txt"), QStringLiteral("/srv/four.txt")}));
    QVERIFY(f.list().ProjectSaved());
    QVERIFY(!f.view()->hasFocus());
}

void TestProjectController::removingAsksEachEntryUnlessShiftIsHeld()
{
    Fixture f;
    const QString project =
        f.home.write(QStringLiteral("r.prj"), "/p/c.txt\n/p/a.txt\n/p/b.txt\n/p/d.txt\n\n");
    f.openProject(project);
    // With the first row current nothing happens at all.
    f.action(QStringLiteral("mnuRemoveFile"))->trigger();
    QVERIFY(f.list().ProjectSaved());

    // After a sort the rows are a, b, c, d; removal shows the stored order again.
    f.action(QStringLiteral("mnuListSort"))->trigger();
    QCOMPARE(f.shownRows().mid(1), (QStringList{"a.txt", "b.txt", "c.txt", "d.txt"}));
    QCOMPARE(f.view()->selectedRows(), QList<int>{0});
    f.select({1, 3, 4});
    f.prompter.expectYesNoAll(ProjectController::removeQuestion(QStringLiteral("/p/a.txt")),
                              Answer::Yes);
    f.prompter.expectYesNoAll(QStringLiteral("/p/c.txt"), Answer::No);
    f.prompter.expectYesNoAll(QStringLiteral("/p/d.txt"), Answer::Cancel);
    QTest::keyClick(f.view(), Qt::Key_Delete);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.shownRows().mid(1), (QStringList{"c.txt", "b.txt", "d.txt"}));
    // Each question offers to answer the rest alike.
    QVERIFY(f.prompter.yesNoAllRequests.last().checkBoxVisible);
    QVERIFY(!f.list().ProjectSaved());
    QCOMPARE(f.view()->selectedRows(), QList<int>{0});

    // "Apply to all" answers the rest of the selection.
    f.select({1, 2});
    f.prompter.expectYesNoAll(QStringLiteral("/p/c.txt"), Answer::Yes, true);
    QAction* contextRemove = f.menus()
                                 ->popup(QStringLiteral("mnuRCProjList"))
                                 ->findChild<QAction*>(QStringLiteral("mnuRCRemove"));
    QVERIFY(contextRemove);
    contextRemove->trigger();
    QCOMPARE(f.shownRows().mid(1), QStringList{"d.txt"});
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // Shift+Delete removes without a question; Ctrl+A selects the entries only.
    QVERIFY(f.projects().AddNewDocOrLink(QStringLiteral("/p/e.txt")));
    f.view()->SelectListItem(0, true);
    QTest::keyClick(f.view(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f.view()->selectedRows(), (QList<int>{1, 2}));
    f.view()->SelectListItem(0, true);
    f.action(QStringLiteral("mnuSelectAll"))->trigger();
    QCOMPARE(f.view()->selectedRows(), (QList<int>{1, 2}));
    QTest::keyClick(f.view(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(f.list().entryCount(), 0);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestProjectController::enterOpensDocumentsAndAsksBeforeOtherPrograms()
{
    Fixture f;
    const QString text = f.home.write(QStringLiteral("notes.txt"), "text\n");
    const QString pdf = f.home.write(QStringLiteral("paper.pdf"), "%PDF\n");
    const QString other = f.home.write(QStringLiteral("more.txt"), "more\n");
    const QString project =
        f.home.write(QStringLiteral("o.prj"), (pdf + u'\n' + text + u'\n' + other).toUtf8());
    f.openProject(project);
    // Enter on the first row asks for a document to open instead.
    f.prompter.expectFile(QString(), DocumentController::OpenDialogTitle);
    QTest::keyClick(f.view(), Qt::Key_Return);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // Yes hands the PDF to its program; the documents load.
    f.select({1, 2});
    f.prompter.expectYesNoAll(QStringLiteral("Should I open this item in\nReader?"), Answer::Yes);
    QTest::keyClick(f.view(), Qt::Key_Return);
    QTRY_COMPARE(f.documentWindows().size(), 1);
    QTRY_VERIFY(!f.frame.findChild<QTimer*>(QStringLiteral("Timer5"))->isActive());
    QCOMPARE(f.launched, QStringList(pdf + QStringLiteral("|reader.desktop")));
    QVERIFY(f.prompter.yesNoAllRequests.last().checkBoxVisible);
    f.documents().closeAll();

    // Cancel ends the batch: what follows does not open.
    f.select({1, 2, 3});
    f.prompter.expectYesNoAll(pdf, Answer::Cancel);
    f.action(QStringLiteral("mnuOpenFromList"))->trigger();
    QTRY_VERIFY(!f.frame.findChild<QTimer*>(QStringLiteral("Timer5"))->isActive());
    QCOMPARE(f.documentWindows().size(), 0);
    QCOMPARE(f.launched.size(), 1);

    // "With external app" asks even for a document, and opens it there.
    f.select({2});
    f.prompter.expectYesNoAll(QStringLiteral("Linked item: ") + text + QStringLiteral(".lnk"),
                              Answer::Yes);
    f.action(QStringLiteral("mnuListOpenExt"))->trigger();
    QTRY_COMPARE(f.launched.size(), 2);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));

    // "Open item with" takes the first selected row only.
    QStringList chosen;
    f.opener().setChooser([&chosen](const QString& path) {
        chosen << path;
        return true;
    });
    f.select({2, 3});
    f.action(QStringLiteral("mnuListOpenWith"))->trigger();
    QCOMPARE(chosen, QStringList(text));
}

void TestProjectController::aMissingEntryIsRelocated()
{
    Fixture f;
    const QString gone = f.home.path(QStringLiteral("gone.txt"));
    const QString here = f.home.write(QStringLiteral("here.txt"), "found\n");
    const QString project = f.home.write(QStringLiteral("m.prj"), gone.toUtf8() + "\n");
    f.openProject(project);
    f.select({1});
    f.prompter.expectMessage(QStringLiteral("Error: ") + gone + u'\n' + ItemOpener::FileNotFound);
    f.prompter.expectFile(here, DocumentController::OpenDialogTitle);
    f.action(QStringLiteral("mnuOpenFromList"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.fileRequests.last().initialPath, gone);
    QCOMPARE(f.list().pathOfRow(1), here);
    QCOMPARE(f.shownRows().at(1), QStringLiteral("here.txt"));
    QVERIFY(!f.list().ProjectSaved());
    QTRY_COMPARE(f.documentWindows().size(), 1);
    QCOMPARE(f.active()->state().FileName, here);

    // Cancel on a missing entry ends the walk: many missing files ask nothing more.
    QVERIFY(f.projects().AddNewDocOrLink(f.home.path(QStringLiteral("gone1.txt"))));
    QVERIFY(f.projects().AddNewDocOrLink(f.home.path(QStringLiteral("gone2.txt"))));
    f.select({2, 3});
    f.prompter.expectMessage(QStringLiteral("gone1.txt"), Answer::Cancel);
    f.action(QStringLiteral("mnuOpenFromList"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestProjectController::dropsAddToTheListAndOpenOnTheDocumentArea()
{
    Fixture f;
    const QString file = f.home.write(QStringLiteral("dropped.txt"), "d\n");
    const QString project = f.home.write(QStringLiteral("list.prj"), "x\n");
    const QString folder = f.home.path(QStringLiteral("folder"));
    QDir().mkpath(folder);
    QWidget* list = f.view()->viewport();
    QVERIFY(drop(list, {url(file), url(folder), QUrl(QStringLiteral("https://example.org/a")),
                        url(project)}));
    QTRY_COMPARE(f.list().entryCount(), 3);
    QCOMPARE(f.list().ProjectPaths().mid(1), (QStringList{file, folder + u'/', project}));
    QCOMPARE(f.shownRows().at(2), folder + u'/');
    QCOMPARE(f.view()->selectedRows(), QList<int>{3});
    // Dropping a listed folder again only selects it.
    QVERIFY(drop(list, {url(folder)}));
    QTRY_VERIFY(f.view()->selectedRows().contains(2));
    QCOMPARE(f.list().entryCount(), 3);
    // The list's own entries never come back to it.
    f.view()->ListDragging = true;
    QVERIFY(!drop(list, {url(f.home.write(QStringLiteral("own.txt"), "o\n"))}));
    QTest::qWait(10);
    QCOMPARE(f.list().entryCount(), 3);
    f.view()->ListDragging = false;

    // On the document area a folder is refused and the files open as documents;
    // a project file asks how it is meant, No opening it as a document.
    QWidget* area = f.area()->viewport();
    f.prompter.expectMessage(DocumentDropArea::directoryMessage(folder));
    f.prompter.expectMessage(ProjectController::projectQuestion(project), Answer::No);
    QVERIFY(drop(area, {url(folder), url(file), url(project)}));
    QTRY_COMPARE(f.documentWindows().size(), 2);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.active()->state().FileName, project);
    // Yes, as from a second start of the program, makes it the project (the
    // changed list asked about first).
    f.prompter.expectMessage(ProjectController::projectQuestion(project), Answer::Yes);
    f.prompter.expectMessage(ProjectController::changedQuestion(QString()), Answer::No);
    QVERIFY(f.frame.queuePath(project, 0));
    QTRY_COMPARE(f.list().ProjectFile(), project);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.documentWindows().size(), 2);
}

void TestProjectController::copiedPathsTooltipsAndFocus()
{
    Fixture f;
    const QString file = f.home.write(QStringLiteral("one.txt"), "1\n");
    const QString project =
        f.home.write(QStringLiteral("c.prj"),
                     (file + QStringLiteral("\n/docs/manual.pdf.lnk\n/gone/")).toUtf8());
    f.openProject(project);
    // Display order, whatever order the rows were selected in.
    f.select({3, 1, 2});
    f.action(QStringLiteral("mnuCopyListPath"))->trigger();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(copied->text(), file + QStringLiteral("\n/docs/manual.pdf.lnk\n/gone/"));
    // A file manager pastes the file that exists.
    QCOMPARE(copied->urls(), QList<QUrl>{url(file)});

    // The drag out offers the same entries as files, a copy only.
    QScopedPointer<QMimeData> dragged(f.list().dragData(f.view()->selectedRows()));
    QCOMPARE(dragged->urls(), QList<QUrl>{url(file)});

    // Each row's tooltip is its full path with its kind.
    const QRect second = f.view()->visualRect(f.list().index(2));
    QHelpEvent help(QEvent::ToolTip, second.center(),
                    f.view()->viewport()->mapToGlobal(second.center()));
    QApplication::sendEvent(f.view()->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("/docs/manual.pdf.lnk [Read only shortcut]"));
    QCOMPARE(f.list().index(0).data(Qt::ToolTipRole).toString(), ProjectList::NewDocumentHint);

    // Focus: a lone current row is let go on leaving and taken back on return.
    f.view()->setFocus();
    f.view()->SelectListItem(1, true);
    f.pane()->TreeView1->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.view()->selectedRows(), QList<int>());
    f.view()->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.view()->selectedRows(), QList<int>{1});
    // Several selected rows stay selected.
    f.view()->addToSelection(2);
    f.pane()->TreeView1->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.view()->selectedRows(), (QList<int>{1, 2}));
}

void TestProjectController::shortcutsAndOpenDocumentsAreAdded()
{
    Fixture f;
    // A chosen file becomes a read-only shortcut; a symbolic link stays itself.
    const QString pdf = f.home.write(QStringLiteral("report.pdf"), "%PDF\n");
    f.prompter.expectFile(pdf, ProjectController::LinkTitle);
    f.prompter.expectMessage(ProjectController::linkQuestion(pdf + QStringLiteral(".lnk")),
                             Answer::Yes);
    f.action(QStringLiteral("mnuLinkAdd"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(!f.prompter.fileRequests.last().resolveSymlinks);
    QCOMPARE(f.shownRows().at(1), QStringLiteral("report.pdf.lnk"));
    // A shortcut file keeps its name; No adds nothing.
    const QString tool = f.home.write(QStringLiteral("Tool.LNK"), "l");
    f.prompter.expectFile(tool, ProjectController::LinkTitle);
    f.prompter.expectMessage(ProjectController::linkQuestion(tool), Answer::No);
    f.action(QStringLiteral("mnuLinkAdd"))->trigger();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.list().entryCount(), 1);

    // Add all: an untitled document is saved first; a listed one is only selected.
    const QString text = f.home.write(QStringLiteral("a.txt"), "a\n");
    f.documents().LoadDocument(text);
    f.documents().NewDocument();
    f.router().refresh();
    const QString untitled = f.home.path(QStringLiteral("untitled.txt"));
    f.prompter.expectFile(untitled);
    f.router().run(MenuBars::Document, QStringLiteral("mnuAddAll"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.list().ProjectPaths().mid(1),
             (QStringList{pdf + QStringLiteral(".lnk"), text, untitled}));
    f.router().run(MenuBars::Document, QStringLiteral("mnuAddFile"));
    QCOMPARE(f.list().entryCount(), 3);
}

QTEST_MAIN(TestProjectController)
#include "tst_projectcontroller.moc"
