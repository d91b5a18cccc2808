#include "project/projectentry.h"
#include "support/testhome.h"

#include <QFile>
#include <QTest>

using Kind = ProjectEntry::Kind;
Q_DECLARE_METATYPE(ProjectEntry::Kind)

class TestProjectEntry : public QObject {
    Q_OBJECT
private slots:
    void kindsAndTexts_data();
    void kindsAndTexts();
    void extensions_data();
    void extensions();
    void resolved_data();
    void resolved();
    void rebased_data();
    void rebased();
    void samePaths();
};

namespace {
// target: empty when the entry stands for itself.
void row(const char* name, const QString& text, Kind kind, const QString& display,
         const QString& target = {})
{
    const char* toolTipEnd = kind == Kind::Folder     ? " [Folder shortcut]"
                             : kind == Kind::Shortcut ? " [Read only shortcut]"
                                                      : "";
    QTest::newRow(name) << text << kind << display << text + QLatin1String(toolTipEnd)
                        << (target.isEmpty() ? text : target);
}
} // namespace

void TestProjectEntry::kindsAndTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("target");
    // Entries written on Windows.
    row("Windows folder", "C:\\Work\\Site\\", Kind::Folder, "C:\\Work\\Site\\");
    row("Windows folder shortcut", "C:\\Work\\.lnk", Kind::Shortcut, "C:\\Work\\.lnk",
        "C:\\Work\\");
    row("in capitals", "C:\\Work\\.LNK", Kind::Shortcut, "C:\\Work\\.LNK", "C:\\Work\\");
    row("Windows shortcut", "C:\\Docs\\a.pdf.lnk", Kind::Shortcut, "a.pdf.lnk", "C:\\Docs\\a.pdf");
    row("shortcut file", "C:\\Docs\\Tool.LNK", Kind::Shortcut, "Tool.LNK", "C:\\Docs\\Tool");
    row("Windows document", "C:\\Work\\Site\\index.htm", Kind::Document, "index.htm");
    row("Windows project", "d:\\P\\Site.PRJ", Kind::Project, "Site.PRJ");
    // Entries of this system.
    row("bare name", "notes.txt", Kind::Document, "notes.txt");
    row("folder", "/home/ann/Work/", Kind::Folder, "/home/ann/Work/");
    row("folder shortcut", "/home/ann/Work/.lnk", Kind::Shortcut, "/home/ann/Work/.lnk",
        "/home/ann/Work/");
    row("shortcut", "/home/ann/r.pdf.lnk", Kind::Shortcut, "r.pdf.lnk", "/home/ann/r.pdf");
    row("only the final .lnk goes", "/a/x.lnk/b.pdf.lnk", Kind::Shortcut, "b.pdf.lnk",
        "/a/x.lnk/b.pdf");
    row(".lnk inside a name", "/home/ann/a.lnk.txt", Kind::Document, "a.lnk.txt");
    row("project", "/home/ann/Plans.prj", Kind::Project, "Plans.prj");
    row("project shortcut", "/a/Plans.prj.lnk", Kind::Shortcut, "Plans.prj.lnk", "/a/Plans.prj");
    row("backslash is a character here", "/home/ann/a\\b.txt", Kind::Document, "a\\b.txt");
    row("and ends no folder", "/home/ann/odd\\", Kind::Document, "odd\\");
    row("a line of blanks", "   ", Kind::Document, "   ");
}

void TestProjectEntry::kindsAndTexts()
{
    QFETCH(QString, text);
    QFETCH(Kind, kind);
    QFETCH(QString, display);
    QFETCH(QString, toolTip);
    QFETCH(QString, target);
    const ProjectEntry entry(text);
    QCOMPARE(entry.kind(), kind);
    QCOMPARE(entry.displayText(), display);
    QCOMPARE(entry.toolTip(), toolTip);
    QCOMPARE(entry.target(), target);
}

void TestProjectEntry::extensions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << "/home/ann/Report.PDF"
                           << ".PDF";
    QTest::newRow("last dot") << "/home/ann/a.tar.gz"
                              << ".gz";
    QTest::newRow("dot in a folder") << "/home/ann/my.docs/README"
                                     << "";
    QTest::newRow("Windows dot in a folder") << "C:\\my.docs\\README"
                                             << "";
    QTest::newRow("Windows") << "C:\\my.docs\\a.Txt"
                             << ".Txt";
    QTest::newRow("shortcut") << "/d/a.pdf.lnk"
                              << ".lnk";
    QTest::newRow("folder") << "/d/my.site/"
                            << "";
    QTest::newRow("bare name") << "notes.txt"
                               << ".txt";
}

void TestProjectEntry::extensions()
{
    QFETCH(QString, text);
    QFETCH(QString, extension);
    QCOMPARE(ProjectEntry(text).extension(), extension);
}

void TestProjectEntry::resolved_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("projectFile");
    QTest::addColumn<QString>("path");
    const QString project = QStringLiteral("/home/ann/p/Site.prj");
    QTest::newRow("absolute") << "/srv/a.txt" << project << "/srv/a.txt";
    QTest::newRow("beside the project") << "notes.txt" << project << "/home/ann/p/notes.txt";
    QTest::newRow("above the project") << "../docs/a.txt" << project << "/home/ann/docs/a.txt";
    QTest::newRow("folder keeps its slash") << "sub/" << project << "/home/ann/p/sub/";
    QTest::newRow("the project's folder") << "./" << project << "/home/ann/p/";
    QTest::newRow("shortcut") << "a.pdf.lnk" << project << "/home/ann/p/a.pdf.lnk";
    QTest::newRow("unnamed project") << "notes.txt"
                                     << ""
                                     << "notes.txt";
    QTest::newRow("Windows form") << "C:\\a.txt" << project << "C:\\a.txt";
}

void TestProjectEntry::resolved()
{
    QFETCH(QString, text);
    QFETCH(QString, projectFile);
    QFETCH(QString, path);
    QCOMPARE(ProjectEntry(text).resolved(projectFile), path);
}

void TestProjectEntry::rebased_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("stored");
    const QString from = QStringLiteral("/home/ann/p/Site.prj");
    QTest::newRow("same folder") << "notes.txt" << from << "/home/ann/p/Copy.prj"
                                 << "notes.txt";
    QTest::newRow("into a subfolder") << "notes.txt" << from << "/home/ann/p/old/Site.prj"
                                      << "../notes.txt";
    QTest::newRow("elsewhere") << "../docs/a.txt" << from << "/srv/x/Site.prj"
                               << "../../home/ann/docs/a.txt";
    QTest::newRow("folder keeps its slash") << "sub/" << from << "/home/ann/Site.prj"
                                            << "p/sub/";
    QTest::newRow("absolute stays") << "/srv/a.txt" << from << "/tmp/Site.prj"
                                    << "/srv/a.txt";
    QTest::newRow("unnamed project") << "notes.txt"
                                     << ""
                                     << "/tmp/Site.prj"
                                     << "notes.txt";
    QTest::newRow("Windows form") << "C:\\a.txt" << from << "/tmp/Site.prj"
                                  << "C:\\a.txt";
}

void TestProjectEntry::rebased()
{
    QFETCH(QString, text);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, stored);
    const ProjectEntry entry(text);
    QCOMPARE(entry.rebased(from, to), stored);
    // Whatever is stored names the same file from the new place.
    if (!from.isEmpty() && !entry.isWindowsForm())
        QCOMPARE(ProjectEntry(stored).resolved(to), entry.resolved(from));
}

void TestProjectEntry::samePaths()
{
    TestHome home;
    const QString upper = home.write(QStringLiteral("Notes.txt"), "a");
    const QString lower = home.write(QStringLiteral("notes.txt"), "b");
    const QString only = home.write(QStringLiteral("Only.txt"), "c");
    const QString linked = home.write(QStringLiteral("Real.txt"), "d");
    // One file under two names that differ in case, as on a disk that ignores it.
    QVERIFY(QFile::link(linked, home.path(QStringLiteral("real.txt"))));

    QVERIFY(ProjectEntry::samePath(upper, upper));
    QVERIFY(!ProjectEntry::samePath(upper, lower)); // two files
    QVERIFY(!ProjectEntry::samePath(only, home.path(QStringLiteral("only.txt"))));
    QVERIFY(ProjectEntry::samePath(linked, home.path(QStringLiteral("real.txt"))));
    QVERIFY(!ProjectEntry::samePath(upper, upper + ProjectEntry::ShortcutSuffix));
    QVERIFY(ProjectEntry::samePath(QStringLiteral("/none/A.txt"), QStringLiteral("/none/A.txt")));
    QVERIFY(!ProjectEntry::samePath(QStringLiteral("/none/A.txt"), QStringLiteral("/none/a.txt")));
    // Windows-form paths name files of a disk that ignores case.
    QVERIFY(ProjectEntry::samePath(QStringLiteral("C:\\A\\b.txt"), QStringLiteral("c:\\a\\B.TXT")));
    QVERIFY(!ProjectEntry::samePath(QStringLiteral("C:\\A\\b.txt"),
                                    QStringLiteral("C:\\A\\b.txt.lnk")));
}

QTEST_APPLESS_MAIN(TestProjectEntry)
#include "tst_projectentry.moc"
