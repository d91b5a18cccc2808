#include "searchreplace/frmsearchreplace.h"
#include "searchreplace/runsummary.h"
#include "support/scriptedprompter.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

class TestFrmSearchReplace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void searchFillsThePreview();
    void replaceChangesWhatIsChecked();
    void fileChangedAfterTheSearchIsSkipped();
    void emptyTextIsRefused();
    void doubleClickStartsTheEditorBeside();

private:
    void write(const QString& name, const QByteArray& bytes);
    QByteArray read(const QString& name);
    void search(frmSearchReplace& window, const QString& find);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFrmSearchReplace::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    write("a.txt", "fox\nfox fox\n");
    write("sub/b.txt", "caf\xe9 fox\r\n");
    write("c.txt", "dog\n");
}

void TestFrmSearchReplace::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestFrmSearchReplace::read(const QString& name)
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestFrmSearchReplace::search(frmSearchReplace& window, const QString& find)
{
    window.findChild<QLineEdit*>("txtFind")->setText(find);
    QSignalSpy done(&window, &frmSearchReplace::jobFinished);
    window.cmdSearch_Click();
    QVERIFY(done.wait(10000));
}

void TestFrmSearchReplace::searchFillsThePreview()
{
    ScriptedPrompter prompter;
    frmSearchReplace window(m_dir->path());
    search(window, "fox");
    auto* preview = window.findChild<QTreeWidget*>("tvwPreview");
    QCOMPARE(preview->topLevelItemCount(), 2);
    const QTreeWidgetItem* a = preview->topLevelItem(0);
    QCOMPARE(a->text(0), m_dir->path() + "/a.txt");
    QCOMPARE(a->text(1), QStringLiteral("3"));
    QCOMPARE(a->childCount(), 2);
    QCOMPARE(a->child(1)->text(0), QStringLiteral("2: fox fox"));
    const QTreeWidgetItem* b = preview->topLevelItem(1);
    // Short, so the guess is unsure; it reads as Windows-1252 and is named so.
    QCOMPARE(b->text(2), QStringLiteral("windows-1252, CR LF"));
    QCOMPARE(b->child(0)->text(0), QStringLiteral("1: café fox"));
    QCOMPARE(window.findChild<QLabel*>("lblStatus")->text(),
             QStringLiteral("4 matches in 2 files"));
    QVERIFY(prompter.failures.isEmpty());
}

void TestFrmSearchReplace::replaceChangesWhatIsChecked()
{
    ScriptedPrompter prompter;
    prompter.expectMessage(RunSummary::replaced(1, 1));
    frmSearchReplace window(m_dir->path());
    window.findChild<QLineEdit*>("txtReplace")->setText("cat");
    search(window, "fox");
    auto* preview = window.findChild<QTreeWidget*>("tvwPreview");
    QCOMPARE(preview->topLevelItemCount(), 2);
    // Only a.txt's first line: its second line and all of b.txt unchecked.
    preview->topLevelItem(0)->child(1)->setCheckState(0, Qt::Unchecked);
    preview->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(preview->topLevelItem(1)->child(0)->checkState(0), Qt::Unchecked);
    QSignalSpy done(&window, &frmSearchReplace::jobFinished);
    window.cmdReplace_Click();
    QVERIFY(done.wait(10000));
    QCOMPARE(read("a.txt"), QByteArray("cat\nfox fox\n"));
    QCOMPARE(read("sub/b.txt"), QByteArray("caf\xe9 fox\r\n"));
    QVERIFY(prompter.failures.isEmpty());
    QVERIFY(prompter.shown.size() == 1);
    // The backup is on by default and holds the file as it was.
    QDir backups(qEnvironmentVariable("XDG_DATA_HOME") + "/Quillora/Backups");
    const QStringList runs = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(runs.size(), 1);
    // One of each, and where the copies went.
    QCOMPARE(prompter.messages.first().text,
             RunSummary::replaced(1, 1) + "\n\n" +
                 RunSummary::backupsIn(backups.filePath(runs.first())) + '.');
    QCOMPARE(RunSummary::replaced(1, 1), QStringLiteral("1 replacement in 1 file"));
    QFile copy(backups.filePath(runs.first() + "/a.txt"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("fox\nfox fox\n"));
    QVERIFY(backups.removeRecursively());
}

void TestFrmSearchReplace::fileChangedAfterTheSearchIsSkipped()
{
    ScriptedPrompter prompter;
    // No backups asked for: nothing said about them.
    prompter.expectMessage(QStringLiteral("1 replacement in 1 file"));
    frmSearchReplace window(m_dir->path());
    window.findChild<QCheckBox*>("chkBackup")->setChecked(false);
    window.findChild<QLineEdit*>("txtReplace")->setText("cat");
    search(window, "fox");
    write("a.txt", "fox was here\n");
    QSignalSpy done(&window, &frmSearchReplace::jobFinished);
    window.cmdReplace_Click();
    QVERIFY(done.wait(10000));
    QCOMPARE(read("a.txt"), QByteArray("fox was here\n"));
    QCOMPARE(read("sub/b.txt"), QByteArray("caf\xe9 cat\r\n"));
    auto* preview = window.findChild<QTreeWidget*>("tvwPreview");
    QCOMPARE(preview->topLevelItem(0)->text(2), ReplaceRun::Changed);
    QVERIFY(prompter.failures.isEmpty());
    QCOMPARE(prompter.messages.first().text, QStringLiteral("1 replacement in 1 file"));
}

void TestFrmSearchReplace::emptyTextIsRefused()
{
    ScriptedPrompter prompter;
    prompter.expectMessage(frmSearchReplace::NothingToFind);
    frmSearchReplace window(m_dir->path());
    window.cmdSearch_Click();
    QVERIFY(!window.isBusy());
    QVERIFY(prompter.failures.isEmpty());
    QCOMPARE(prompter.shown.size(), 1);
}

void TestFrmSearchReplace::doubleClickStartsTheEditorBeside()
{
    // The test runs from its own folder, where no editor lies: the failure
    // names the path the window looked at.
    const QString editor = QCoreApplication::applicationDirPath() + "/quillora";
    QVERIFY(!QFileInfo::exists(editor));
    ScriptedPrompter prompter;
    prompter.expectMessage(frmSearchReplace::EditorFailed.arg(editor));
    frmSearchReplace window(m_dir->path());
    search(window, "fox");
    auto* preview = window.findChild<QTreeWidget*>("tvwPreview");
    QVERIFY(preview->topLevelItemCount() > 0);
    emit preview->itemDoubleClicked(preview->topLevelItem(0)->child(0), 0);
    QVERIFY(prompter.failures.isEmpty());
    QCOMPARE(prompter.shown.size(), 1);
}

QTEST_MAIN(TestFrmSearchReplace)
#include "tst_frmsearchreplace.moc"
