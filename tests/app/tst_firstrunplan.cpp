#include "app/firstrunplan.h"
#include "platform/settings.h"
#include "project/projectentry.h"
#include "project/projectfile.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString Templates = QStringLiteral("Templates/");

QStringList allSamples()
{
    return FirstRunPlan::sampleFiles();
}

QStringList without(QStringList names, const QStringList& removed)
{
    for (const QString& name : removed)
        names.removeAll(name);
    return names;
}

} // namespace

class TestFirstRunPlan : public QObject {
    Q_OBJECT
private slots:
    void samplesAreTheInstalledSet();
    void copies_data();
    void copies();
    void projectLines_data();
    void projectLines();
    void settingsPointIntoTheTemplates();
};

void TestFirstRunPlan::samplesAreTheInstalledSet()
{
    QCOMPARE(
        allSamples(),
        (QStringList{"Welcome.rtf", "Quillora readme.txt", "Quillora on the Web!.html",
                     Templates + "HTMTemplate.htm", Templates + "LetterTemplate.rtf",
                     Templates + "Quotes.txt", Templates + "Notes.rtf",
                     Templates + "Often Used Text Blocks.txt", Templates + "AutoComplete.txt"}));
}

void TestFirstRunPlan::copies_data()
{
    QTest::addColumn<QStringList>("installedFiles");
    QTest::addColumn<QStringList>("installedFolders");
    QTest::addColumn<QStringList>("userFiles");
    QTest::addColumn<QStringList>("userFolders");
    QTest::addColumn<QStringList>("userLinks");
    QTest::addColumn<QStringList>("expected");
    const QStringList none;
    const QStringList users{Templates + "Quotes.txt", Templates + "Notes.rtf",
                            Templates + "Often Used Text Blocks.txt"};
    QTest::newRow("an empty data folder gets every sample")
        << allSamples() << none << none << none << none << allSamples();
    QTest::newRow("the user's quotes, notes and text blocks stay")
        << allSamples() << none << users << none << none << without(allSamples(), users);
    QTest::newRow("everything there: nothing to copy")
        << allSamples() << none << allSamples() << none << none << none;
    QTest::newRow("a sample the installation lacks is skipped")
        << without(allSamples(), {Templates + "Notes.rtf"}) << none << none << none << none
        << without(allSamples(), {Templates + "Notes.rtf"});
    QTest::newRow("a folder in the installation is no sample")
        << without(allSamples(), {"Welcome.rtf"}) << QStringList{"Welcome.rtf"} << none << none
        << none << without(allSamples(), {"Welcome.rtf"});
    QTest::newRow("a folder of the user's under a sample's name stays")
        << allSamples() << none << none << QStringList{"Quillora readme.txt"} << none
        << without(allSamples(), {"Quillora readme.txt"});
    QTest::newRow("a dangling link of the user's is not followed")
        << allSamples() << none << none << none << QStringList{Templates + "Quotes.txt"}
        << without(allSamples(), {Templates + "Quotes.txt"});
    QTest::newRow("other files in the data folder do not matter")
        << allSamples() << none << QStringList{"Welcome.prj", "Templates/Mine.txt"} << none << none
        << allSamples();
}

void TestFirstRunPlan::copies()
{
    QFETCH(QStringList, installedFiles);
    QFETCH(QStringList, installedFolders);
    QFETCH(QStringList, userFiles);
    QFETCH(QStringList, userFolders);
    QFETCH(QStringList, userLinks);
    QFETCH(QStringList, expected);
    TestHome home;
    const QString installed = home.path(QStringLiteral("share/quillora"));
    const QString user = home.path(QStringLiteral("data/Quillora"));
    QVERIFY(QDir().mkpath(installed + QStringLiteral("/Templates")));
    QVERIFY(QDir().mkpath(user + QStringLiteral("/Templates")));
    for (const QString& name : installedFiles)
        home.write(QStringLiteral("share/quillora/") + name, "installed " + name.toUtf8());
    for (const QString& name : installedFolders)
        QVERIFY(QDir().mkpath(installed + u'/' + name));
    for (const QString& name : userFiles)
        home.write(QStringLiteral("data/Quillora/") + name, "mine");
    for (const QString& name : userFolders)
        QVERIFY(QDir().mkpath(user + u'/' + name));
    for (const QString& name : userLinks)
        QVERIFY(QFile::link(home.path(QStringLiteral("nowhere/gone.txt")), user + u'/' + name));

    QList<FirstRunPlan::Copy> wanted;
    for (const QString& name : expected)
        wanted.append({installed + u'/' + name, user + u'/' + name});
    QCOMPARE(FirstRunPlan::copies(installed, user), wanted);
}

void TestFirstRunPlan::projectLines_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("the usual data home") << QStringLiteral("/home/ann/.local/share/Quillora");
    QTest::newRow("blanks and letters beyond ASCII")
        << QStringLiteral("/home/j\u00FCrgen/My Data/Quillora");
    QTest::newRow("a name ending in .lnk") << QStringLiteral("/srv/data.lnk/Quillora");
}

void TestFirstRunPlan::projectLines()
{
    QFETCH(QString, user);
    const QStringList welcome = FirstRunPlan::welcomeLines(user);
    QCOMPARE(welcome,
             (QStringList{user + "/", user + "/Templates/", user + "/Quillora on the Web!.html.lnk",
                          user + "/Quillora readme.txt", user + "/Welcome.rtf"}));
    // What the list makes of them: two folders, the page opened only in the
    // browser, and the two documents the first start opens.
    const QList<ProjectEntry::Kind> kinds{
        ProjectEntry::Kind::Folder, ProjectEntry::Kind::Folder, ProjectEntry::Kind::Shortcut,
        ProjectEntry::Kind::Document, ProjectEntry::Kind::Document};
    for (int i = 0; i < welcome.size(); ++i)
        QCOMPARE(ProjectEntry(welcome[i]).kind(), kinds[i]);
    QCOMPARE(ProjectEntry(welcome[2]).target(), user + "/Quillora on the Web!.html");

    const QStringList templates = FirstRunPlan::templatesLines(user);
    QCOMPARE(templates, (QStringList{user + "/Templates/", user + "/Templates/HTMTemplate.htm",
                                     user + "/Templates/LetterTemplate.rtf"}));
    QCOMPARE(ProjectEntry(templates[0]).kind(), ProjectEntry::Kind::Folder);
    QCOMPARE(ProjectEntry(templates[1]).kind(), ProjectEntry::Kind::Document);
    // Every line reads back from the project file as itself.
    QCOMPARE(ProjectFile::decode(ProjectFile::encode(welcome)), welcome);
    QCOMPARE(ProjectFile::decode(ProjectFile::encode(templates)), templates);
}

void TestFirstRunPlan::settingsPointIntoTheTemplates()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Settings settings(store);
    const QString user = QStringLiteral("/home/ann/.local/share/Quillora");
    for (const FirstRunPlan::Setting& setting : FirstRunPlan::settings(user))
        settings.setText(setting.key, setting.value);
    QVERIFY(store.sync());
    SettingsStore reread(home.path(QStringLiteral("settings.ini")));
    const auto general = reread.readSection(Settings::General);
    QCOMPARE(general.size(), 4);
    QCOMPARE(reread.read(Settings::General, "QuoteFile", {}), user + "/Templates/Quotes.txt");
    QCOMPARE(reread.read(Settings::General, "NotesFile", {}), user + "/Templates/Notes.rtf");
    QCOMPARE(reread.read(Settings::General, "TextBlocks", {}),
             user + "/Templates/Often Used Text Blocks.txt");
    QCOMPARE(reread.read(Settings::General, "AutoTagFile", {}),
             user + "/Templates/AutoComplete.txt");
}

QTEST_GUILESS_MAIN(TestFirstRunPlan)
#include "tst_firstrunplan.moc"
