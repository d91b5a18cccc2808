#include "project/projectcontroller.h"
#include "project/projectlist.h"
#include "support/framefixture.h"
#include "tree/filenames.h"
#include "tree/foldertree.h"
#include "tree/foldertreeview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {

struct Fixture : FrameFixture {
    QString root;

    Fixture()
    {
        root = home.path(QStringLiteral("disk"));
        QDir().mkpath(root + QStringLiteral("/docs/inner"));
        home.write(QStringLiteral("disk/docs/a.txt"), "a\n");
        home.write(QStringLiteral("disk/docs/b.txt"), "b\n");
        home.write(QStringLiteral("disk/top.txt"), "top\n");
        QDir().mkpath(root + QStringLiteral("/target"));
        tree().model().setRoot(root);
        waitFor(root);
    }

    FolderTree& tree() { return *frame.findChild<FolderTree*>(); }
    FolderTreeView* view() { return tree().view(); }
    FolderTreeModel& model() { return tree().model(); }
    QModelIndex node(const QString& relative)
    {
        return model().nodeForKey(relative.isEmpty() ? root : root + u'/' + relative);
    }
    // Opens a folder and waits until its entries are in.
    void open(const QString& relative)
    {
        QSignalSpy read(&model(), &FolderTreeModel::folderRead);
        tree().ToggleNode(node(relative));
        QTRY_VERIFY(!read.isEmpty());
    }
    void waitFor(const QString& key)
    {
        QTRY_VERIFY(model().nodeForKey(key).isValid() &&
                    !model().isReading(model().nodeForKey(key)));
    }
    void check(const QString& relative)
    {
        QVERIFY(model().setData(node(relative), Qt::Checked, Qt::CheckStateRole));
    }
    // The open editor: closed ones are hidden until they are deleted.
    QLineEdit* editor()
    {
        for (QLineEdit* line : view()->viewport()->findChildren<QLineEdit*>())
            if (line->isVisible())
                return line;
        return nullptr;
    }
    // The editor of a new edit, once the one before it has gone.
    QLineEdit* nextEditor(QPointer<QLineEdit> previous)
    {
        for (int i = 0; i < 500 && (!editor() || editor() == previous); ++i)
            QTest::qWait(10);
        return editor() == previous ? nullptr : editor();
    }
    void run(const char* command) { router().run(MenuBars::Frame, QString::fromLatin1(command)); }
    void report() { QVERIFY2(prompter.done(), qPrintable(prompter.report())); }
};

bool drop(QWidget* viewport, QPoint at, const QList<QUrl>& urls, Qt::KeyboardModifiers modifiers)
{
    QMimeData data;
    data.setUrls(urls);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent dropped(QPointF(at), offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &dropped);
    return dropped.isAccepted();
}

// Whether the view shows a drop there as possible.
bool dragOver(QWidget* viewport, QPoint at, const QList<QUrl>& urls,
              Qt::KeyboardModifiers modifiers)
{
    QMimeData data;
    data.setUrls(urls);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &move);
    return move.isAccepted();
}

} // namespace

class TestFolderTree : public QObject {
    Q_OBJECT
private slots:
    void newFoldersAreNamedAndRenamedInPlace();
    void deletingAsksAndGoesToTheTrashOrForGood();
    void checkedPathsAreCopiedAndAddedToTheProject();
    void dropsCopyWithCtrlAndMoveWithShift();
    void checkedFilesOpenAndProjectsAsk();
};

void TestFolderTree::newFoldersAreNamedAndRenamedInPlace()
{
    Fixture f;
    // Opening a folder leaves the current folder alone.
    const QString current = QDir::currentPath();
    f.open(QStringLiteral("docs"));
    QCOMPARE(QDir::currentPath(), current);
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/a.txt")));
    // On a file the folder goes beside it; the name is edited at once.
    f.run("mnuTreeCreateFolder");
    QVERIFY(QFileInfo(f.root + QStringLiteral("/docs/New Folder")).isDir());
    QTRY_VERIFY(f.editor());
    QCOMPARE(f.editor()->text(), QStringLiteral("New Folder"));
    f.editor()->setText(QStringLiteral("plans"));
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QTRY_VERIFY(f.node(QStringLiteral("docs/plans")).isValid());
    // A document open from a renamed folder saves under the new name.
    const QString inside = f.home.write(QStringLiteral("disk/docs/plans/p.txt"), "p\n");
    frmText* open = f.documents().LoadDocument(inside);
    QVERIFY(open);
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/plans")));
    f.run("mnuTreeRename");
    QPointer<QLineEdit> renaming = f.nextEditor(nullptr);
    QVERIFY(renaming);
    renaming->setText(QStringLiteral("ideas"));
    QTest::keyClick(renaming, Qt::Key_Return);
    QTRY_VERIFY(f.node(QStringLiteral("docs/ideas")).isValid());
    QCOMPARE(open->state().FileName, f.root + QStringLiteral("/docs/ideas/p.txt"));
    open->close();
    QTRY_VERIFY(f.documentWindows().isEmpty());
    QVERIFY(QFileInfo(f.root + QStringLiteral("/docs/ideas")).isDir());
    QVERIFY(!QFileInfo::exists(f.root + QStringLiteral("/docs/plans")));
    QVERIFY(!QFileInfo::exists(f.root + QStringLiteral("/docs/New Folder")));
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs")));
    f.run("mnuTreeCreateFolder");
    QTRY_VERIFY(f.editor());
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    QCOMPARE(f.view()->currentIndex(), f.node(QStringLiteral("docs/New Folder")));
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs")));
    f.run("mnuTreeCreateFolder");
    QVERIFY(QFileInfo(f.root + QStringLiteral("/docs/New Folder1")).isDir());
    QTRY_VERIFY(f.editor());
    QTest::keyClick(f.editor(), Qt::Key_Escape);

    // An empty name is refused and the edit starts again; a taken name is never replaced.
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/b.txt")));
    f.run("mnuTreeRename");
    QTRY_VERIFY(f.editor());
    f.prompter.expectMessage(FileNames::EmptyNameText);
    QPointer<QLineEdit> editor = f.editor();
    editor->setText(QString());
    QTest::keyClick(editor, Qt::Key_Return);
    editor = f.nextEditor(editor);
    QVERIFY(editor);
    f.prompter.expectMessage(QStringLiteral("Error: b.txt"));
    editor->setText(QStringLiteral("a.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    editor = f.nextEditor(editor);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    f.report();
    QCOMPARE(TestHome::read(f.root + QStringLiteral("/docs/a.txt")), QByteArray("a\n"));
    QCOMPARE(TestHome::read(f.root + QStringLiteral("/docs/b.txt")), QByteArray("b\n"));

    // The drive itself is not renamed.
    f.view()->setCurrentIndex(f.model().rootIndex());
    f.prompter.expectMessage(FolderTree::RenameDriveText);
    f.run("mnuTreeRename");
    f.report();
}

void TestFolderTree::deletingAsksAndGoesToTheTrashOrForGood()
{
    Fixture f;
    f.open(QStringLiteral("docs"));
    const QString a = f.root + QStringLiteral("/docs/a.txt");
    const QString b = f.root + QStringLiteral("/docs/b.txt");
    // Nothing checked and the drive selected: nothing to delete.
    f.view()->setCurrentIndex(f.model().rootIndex());
    f.prompter.expectMessage(FolderTree::CheckToDeleteText);
    f.run("mnuTreeDelete");
    f.report();

    // No keeps the file; Yes moves it to the trash and its node goes.
    f.check(QStringLiteral("docs/a.txt"));
    f.prompter.expectMessage(FolderTree::trashQuestion({a}), Answer::No);
    f.run("mnuTreeDelete");
    QVERIFY(QFile::exists(a));
    QVERIFY(f.node(QStringLiteral("docs/a.txt")).isValid());
    f.prompter.expectMessage(FolderTree::trashQuestion({a}), Answer::Yes);
    f.run("mnuTreeDelete");
    f.report();
    QVERIFY(!QFile::exists(a));
    QVERIFY(!f.node(QStringLiteral("docs/a.txt")).isValid());
    const QString trash =
        qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + "/.local/share") +
        QStringLiteral("/Trash/files");
    QVERIFY2(QFile::exists(trash + QStringLiteral("/a.txt")), qPrintable(trash));

    // Shift+Delete on the selected file deletes it for good, asking first.
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/b.txt")));
    f.prompter.expectMessage(FolderTree::deleteQuestion({b}), Answer::Yes);
    QTest::keyClick(f.view(), Qt::Key_Delete, Qt::ShiftModifier);
    f.report();
    QVERIFY(!QFile::exists(b));
    QVERIFY(!QFile::exists(trash + QStringLiteral("/b.txt")));
}

void TestFolderTree::checkedPathsAreCopiedAndAddedToTheProject()
{
    Fixture f;
    f.open(QStringLiteral("docs"));
    f.check(QStringLiteral("docs"));
    f.check(QStringLiteral("top.txt"));
    f.run("mnuTreeCopyPath");
    // Folders without a trailing "/", in the tree's order.
    QCOMPARE(QGuiApplication::clipboard()->text(),
             f.root + QStringLiteral("/docs\n") + f.root + QStringLiteral("/top.txt"));
    f.run("mnuTreeAdd2List");
    const ProjectList& list = f.frame.projects().list();
    QCOMPARE(list.ProjectPaths().mid(1),
             (QStringList{f.root + QStringLiteral("/docs/"), f.root + QStringLiteral("/top.txt")}));
    // Nothing checked: the selected node is checked and used.
    f.run("mnuTreeClearSelections");
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/b.txt")));
    f.run("mnuTreeCopyPath");
    QCOMPARE(QGuiApplication::clipboard()->text(), f.root + QStringLiteral("/docs/b.txt"));
    QCOMPARE(f.node(QStringLiteral("docs/b.txt")).data(Qt::CheckStateRole).toInt(),
             int(Qt::Checked));
}

void TestFolderTree::dropsCopyWithCtrlAndMoveWithShift()
{
    Fixture f;
    f.open(QStringLiteral("docs"));
    const QString outside = f.home.write(QStringLiteral("outside.txt"), "o\n");
    const QString other = f.home.write(QStringLiteral("other.txt"), "p\n");
    QWidget* viewport = f.view()->viewport();
    const QPoint target = f.view()->visualRect(f.node(QStringLiteral("target"))).center();
    // Without Ctrl or Shift nothing happens, and the pointer says so beforehand.
    QVERIFY(!dragOver(viewport, target, {QUrl::fromLocalFile(outside)}, Qt::NoModifier));
    QVERIFY(dragOver(viewport, target, {QUrl::fromLocalFile(outside)}, Qt::ControlModifier));
    QVERIFY(!drop(viewport, target, {QUrl::fromLocalFile(outside)}, Qt::NoModifier));
    QTest::qWait(20);
    QVERIFY(!QFile::exists(f.root + QStringLiteral("/target/outside.txt")));
    // Ctrl copies.
    QVERIFY(drop(viewport, target, {QUrl::fromLocalFile(outside)}, Qt::ControlModifier));
    QTRY_VERIFY(QFile::exists(f.root + QStringLiteral("/target/outside.txt")));
    QVERIFY(QFile::exists(outside));
    QTRY_VERIFY(f.node(QStringLiteral("target/outside.txt")).isValid());
    // Shift moves; a document open from the moved file saves at its new place.
    frmText* open = f.documents().LoadDocument(other);
    QVERIFY(open);
    QVERIFY(drop(viewport, target, {QUrl::fromLocalFile(other)}, Qt::ShiftModifier));
    QTRY_VERIFY(QFile::exists(f.root + QStringLiteral("/target/other.txt")));
    QVERIFY(!QFile::exists(other));
    QCOMPARE(open->state().FileName, f.root + QStringLiteral("/target/other.txt"));
    open->close();
    QTRY_VERIFY(f.documentWindows().isEmpty());
    // Moving out of the drive's own folder re-reads it, and what was open stays
    // open, the target selected.
    const QPoint targetAgain = f.view()->visualRect(f.node(QStringLiteral("target"))).center();
    QVERIFY(drop(viewport, targetAgain, {QUrl::fromLocalFile(f.root + QStringLiteral("/top.txt"))},
                 Qt::ShiftModifier));
    QTRY_VERIFY(f.node(QStringLiteral("target/top.txt")).isValid());
    QTRY_VERIFY(!f.node(QStringLiteral("top.txt")).isValid());
    QTRY_VERIFY(f.node(QStringLiteral("docs/a.txt")).isValid());
    QVERIFY(f.view()->isExpanded(f.node(QStringLiteral("docs"))));
    QVERIFY(f.view()->isExpanded(f.node(QStringLiteral("target"))));
    QCOMPARE(f.view()->currentIndex(), f.node(QStringLiteral("target")));
    // A collision asks; No leaves the file there as it was.
    f.home.write(QStringLiteral("outside.txt"), "changed\n");
    f.prompter.expectYesNoAll(
        QStringLiteral("Replace ") + f.root + QStringLiteral("/target/outside.txt?"), Answer::No);
    QVERIFY(drop(viewport, target, {QUrl::fromLocalFile(outside)}, Qt::ControlModifier));
    QTRY_VERIFY(f.prompter.done());
    QCOMPARE(TestHome::read(f.root + QStringLiteral("/target/outside.txt")), QByteArray("o\n"));
    // Onto a file: asked whether its folder is meant.
    const QPoint file = f.view()->visualRect(f.node(QStringLiteral("docs/a.txt"))).center();
    f.prompter.expectMessage(QStringLiteral("Folder: docs\n\n") + FolderTree::CopyHereText,
                             Answer::Yes);
    QVERIFY(drop(viewport, file, {QUrl::fromLocalFile(outside)}, Qt::ControlModifier));
    QTRY_VERIFY(QFile::exists(f.root + QStringLiteral("/docs/outside.txt")));
    f.report();
}

void TestFolderTree::checkedFilesOpenAndProjectsAsk()
{
    Fixture f;
    f.open(QStringLiteral("docs"));
    // F5 in the tree refreshes it, also while a document's bar has F5 for itself.
    f.documents().NewDocument();
    f.home.write(QStringLiteral("disk/docs/new.txt"), "n\n");
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    f.view()->setFocus();
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/a.txt")));
    QTest::keyClick(f.view(), Qt::Key_F5);
    QTRY_VERIFY(f.node(QStringLiteral("docs/new.txt")).isValid());
    f.documents().closeAll();
    f.check(QStringLiteral("docs/a.txt"));
    f.check(QStringLiteral("docs/b.txt"));
    f.run("mnuTreeOpen");
    QTRY_COMPARE(f.documentWindows().size(), 2);
    // Nothing checked and a folder selected that is open: nothing to open.
    f.run("mnuTreeClearSelections");
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs")));
    f.prompter.expectMessage(FolderTree::CheckToOpenText);
    f.run("mnuTreeOpen");
    f.report();
    // A project file asks how it is meant; Yes makes it the project.
    const QString project = f.home.write(QStringLiteral("disk/docs/site.prj"), "/srv/a.txt\n");
    f.run("mnuTreeRefresh");
    QTRY_VERIFY(f.node(QStringLiteral("docs/site.prj")).isValid());
    f.view()->setCurrentIndex(f.node(QStringLiteral("docs/site.prj")));
    f.prompter.expectMessage(FolderTree::projectQuestion(QStringLiteral("site.prj")), Answer::Yes);
    f.run("mnuRCTreeOpen");
    f.report();
    QCOMPARE(f.frame.projects().list().ProjectFile(), project);
}

QTEST_MAIN(TestFolderTree)
#include "tst_foldertree.moc"
