#include "app/recentfiles.h"
#include "project/projectcontroller.h"
#include "support/framefixture.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

struct Frame : FrameParts {
    ScriptedPrompter prompter;
    frmMyMDI frame;

    explicit Frame(SettingsStore& store, const QStringList& commandLine = {})
        : FrameParts(frame), frame(commandLine, startedBefore(store))
    {
        frame.queue().OpenQueueState = OpenQueue::Idle;
        frame.show();
        timer4()->stop();
    }
    RecentFiles& recent() { return *frame.findChild<RecentFiles*>(); }
    ProjectList& projectList() { return frame.projects().list(); }
    void load(const QString& project) { frame.projects().LoadProject(project); }

    // What a bar's recent entries show: the visible captions in order, and
    // whether the separator above them shows.
    QStringList shown(MenuBars::Bar bar)
    {
        QStringList captions;
        for (int index = 1; index <= 5; ++index) {
            QAction* entry = menus()->action(bar, RecentFiles::entryName(index));
            if (entry->isVisible())
                captions << entry->text();
        }
        return captions;
    }
    bool separatorShown(MenuBars::Bar bar)
    {
        return menus()->action(bar, RecentFiles::entryName(0))->isVisible();
    }
    void click(MenuBars::Bar bar, int index)
    {
        menus()->action(bar, RecentFiles::entryName(index))->trigger();
    }
};

struct Home {
    TestHome home;
    SettingsStore store{home.path(QStringLiteral("settings.ini"))};

    // The deferred start's other messages are not this test's concern.
    Home()
    {
        setGeneral(QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
        setGeneral(QStringLiteral("AutoCompleteAtStartup"), QStringLiteral("False"));
    }

    QString project(const QString& name)
    {
        return home.write(name, QByteArray("/tmp/listed.txt\r\n"));
    }
    QStringList projects(int count)
    {
        QStringList made;
        for (int i = 1; i <= count; ++i)
            made << project(QStringLiteral("p%1.prj").arg(i));
        return made;
    }
    void setGeneral(const QString& key, const QString& value)
    {
        store.write(Settings::General, key, value);
    }
    QString general(const char* key)
    {
        return store.read(Settings::General, QString::fromLatin1(key), QStringLiteral("<none>"));
    }
};

QStringList reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

QString desktopList()
{
    return RecentDocuments::defaultFilePath();
}

bool inDesktopList(const QString& path)
{
    return TestHome::read(desktopList()).contains(QUrl::fromLocalFile(path).toEncoded());
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void freshInstallShowsNoEntries();
    void bothBarsFollowLoadsAndSaves();
    void sixProjectsKeepTheLastFive();
    void ampersandNamesShowAndStayPut();
    void entryLoadsItsProject_data();
    void entryLoadsItsProject();
    void changedProjectIsAskedAbout();
    void missingProjectIsAskedAbout_data();
    void missingProjectIsAskedAbout();
    void closeRemembersTheCurrentPosition_data();
    void closeRemembersTheCurrentPosition();
    void startLoadsTheMostRecent_data();
    void startLoadsTheMostRecent();
    void projectsGoToTheDesktopListWhenAsked_data();
    void projectsGoToTheDesktopListWhenAsked();
    void documentsGoToTheDesktopListOnceTheyExist();

private:
    QTemporaryDir m_data;
};

void TestRecentFiles::initTestCase()
{
    // Run by hand too, the test must never touch the user's own list.
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    // The desktop's privacy setting at its default, whatever the machine says.
    qputenv("GSETTINGS_BACKEND", "memory");
}

void TestRecentFiles::init()
{
    QFile::remove(desktopList());
}

void TestRecentFiles::freshInstallShowsNoEntries()
{
    Home h;
    Frame f(h.store);
    for (const MenuBars::Bar bar : {MenuBars::Frame, MenuBars::Document}) {
        QVERIFY(!f.separatorShown(bar));
        QCOMPARE(f.shown(bar), QStringList());
    }
    f.start();
    // A new project has no name to list.
    QCOMPARE(f.shown(MenuBars::Frame), QStringList());
    QVERIFY(f.prompter.done());
}

void TestRecentFiles::bothBarsFollowLoadsAndSaves()
{
    Home h;
    const QStringList projects = h.projects(2);
    const QString savedAs = h.home.path(QStringLiteral("saved.prj"));
    {
        Frame f(h.store);
        f.load(projects.at(0));
        f.load(projects.at(1));
        const QStringList expected{projects.at(1), projects.at(0)};
        QCOMPARE(f.shown(MenuBars::Frame), expected);
        QVERIFY(f.separatorShown(MenuBars::Frame));
        // Every document window shares the document bar.
        f.documents().NewDocument();
        QCOMPARE(f.menus()->shown(), MenuBars::Document);
        QCOMPARE(f.shown(MenuBars::Document), expected);
        QVERIFY(f.separatorShown(MenuBars::Document));
        // Saving under a new name lists the new name.
        f.prompter.expectFile(savedAs);
        QVERIFY(f.frame.projects().mnuSaveProjectAs_Click());
        QCOMPARE(f.shown(MenuBars::Document), (QStringList{savedAs} + expected));
        QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
        QVERIFY(h.store.sync());
    }
    // The next start shows the stored list before any project is loaded.
    Frame again(h.store);
    QCOMPARE(again.shown(MenuBars::Frame), (QStringList{savedAs, projects.at(1), projects.at(0)}));
}

void TestRecentFiles::sixProjectsKeepTheLastFive()
{
    Home h;
    const QStringList projects = h.projects(6);
    Frame f(h.store);
    for (const QString& project : projects)
        f.load(project);
    const QStringList lastFive = reversed(projects.mid(1));
    QCOMPARE(f.shown(MenuBars::Frame), lastFive);
    QCOMPARE(f.shown(MenuBars::Document), lastFive);
    QCOMPARE(f.recent().list().paths(), lastFive);
    QVERIFY(!f.recent().IsInRecentMenu(projects.at(0)));
    QVERIFY(!h.store.contains(Settings::RecentFiles, QStringLiteral("RecentFile6")));
    // Loading one already listed changes nothing.
    f.load(projects.at(3));
    QCOMPARE(f.shown(MenuBars::Frame), lastFive);
}

void TestRecentFiles::ampersandNamesShowAndStayPut()
{
    Home h;
    const QString rnd = h.project(QStringLiteral("R&D.prj"));
    const QString other = h.project(QStringLiteral("other.prj"));
    Frame f(h.store);
    f.load(rnd);
    f.load(other);
    f.load(rnd);
    f.load(rnd);
    QCOMPARE(f.recent().list().paths(), (QStringList{other, rnd}));
    QString caption = rnd;
    caption.replace(QStringLiteral("&"), QStringLiteral("&&"));
    QCOMPARE(f.shown(MenuBars::Frame), (QStringList{other, caption}));
    // The entry loads the file itself, not its caption.
    f.click(MenuBars::Frame, 2);
    QCOMPARE(f.projectList().ProjectFile(), rnd);
    QVERIFY(f.prompter.done());
}

void TestRecentFiles::entryLoadsItsProject_data()
{
    QTest::addColumn<bool>("fromDocumentBar");
    QTest::newRow("frame bar") << false;
    QTest::newRow("document bar") << true;
}

void TestRecentFiles::entryLoadsItsProject()
{
    QFETCH(bool, fromDocumentBar);
    Home h;
    const QStringList projects = h.projects(4);
    Frame f(h.store);
    for (const QString& project : projects)
        f.load(project);
    if (fromDocumentBar)
        f.documents().NewDocument();
    f.click(fromDocumentBar ? MenuBars::Document : MenuBars::Frame, 3);
    QCOMPARE(f.projectList().ProjectFile(), projects.at(1));
    QCOMPARE(f.frame.windowTitle(), ProjectController::CaptionPrefix + projects.at(1));
    // A listed project keeps its place.
    QCOMPARE(f.shown(MenuBars::Frame), reversed(projects));
    QVERIFY(f.prompter.done());
}

void TestRecentFiles::changedProjectIsAskedAbout()
{
    Home h;
    const QStringList projects = h.projects(2);
    Frame f(h.store);
    f.load(projects.at(0));
    f.load(projects.at(1));
    QVERIFY(f.frame.projects().AddNewDocOrLink(h.home.write(QStringLiteral("doc.txt"), "x")));
    f.prompter.expectMessage(ProjectController::changedQuestion(projects.at(1)), Answer::Cancel);
    f.click(MenuBars::Frame, 2);
    QCOMPARE(f.projectList().ProjectFile(), projects.at(1));
    f.prompter.expectMessage(ProjectController::changedQuestion(projects.at(1)), Answer::No);
    f.click(MenuBars::Frame, 2);
    QCOMPARE(f.projectList().ProjectFile(), projects.at(0));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestRecentFiles::missingProjectIsAskedAbout_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("kept") << Answer::No;
    QTest::newRow("removed") << Answer::Yes;
}

void TestRecentFiles::missingProjectIsAskedAbout()
{
    QFETCH(int, answer);
    Home h;
    const QStringList projects = h.projects(3);
    Frame f(h.store);
    for (const QString& project : projects)
        f.load(project);
    QVERIFY(QFile::remove(projects.at(1)));
    f.prompter.expectMessage(RecentFiles::missingQuestion(projects.at(1)), answer);
    f.click(MenuBars::Frame, 2);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.last().text, QStringLiteral("File: ") + projects.at(1) +
                                                  QStringLiteral("\n\nThis project file no longer "
                                                                 "exists.  Do you want to remove "
                                                                 "it from the recent projects "
                                                                 "list?"));
    QCOMPARE(f.prompter.messages.last().buttons, MessageButtons::YesNo);
    QCOMPARE(f.prompter.messages.last().icon, MessageIcon::Question);
    QCOMPARE(f.prompter.messages.last().defaultButton, 2);
    // Nothing was loaded: no empty project under the missing name.
    QCOMPARE(f.projectList().ProjectFile(), projects.at(2));
    QVERIFY(!QFile::exists(projects.at(1)));
    const QStringList expected =
        answer == Answer::Yes ? QStringList{projects.at(2), projects.at(0)} : reversed(projects);
    QCOMPARE(f.shown(MenuBars::Frame), expected);
    QCOMPARE(f.shown(MenuBars::Document), expected);
    QCOMPARE(f.recent().list().paths(), expected);
}

void TestRecentFiles::closeRemembersTheCurrentPosition_data()
{
    QTest::addColumn<int>("current"); // which project is current at the close, 0 for a new one
    QTest::addColumn<QString>("written");
    QTest::newRow("the newest") << 3 << QStringLiteral("1");
    QTest::newRow("the oldest, chosen from the menu") << 1 << QStringLiteral("3");
    QTest::newRow("a new project") << 0 << QStringLiteral("0");
}

void TestRecentFiles::closeRemembersTheCurrentPosition()
{
    QFETCH(int, current);
    QFETCH(QString, written);
    Home h;
    h.setGeneral(QStringLiteral("Most Recent"), QStringLiteral("2"));
    const QStringList projects = h.projects(3);
    {
        Frame f(h.store);
        for (const QString& project : projects)
            f.load(project);
        if (current == 1)
            f.click(MenuBars::Frame, 3);
        else if (current == 0)
            f.frame.projects().mnuNewProject_Click();
        f.frame.mnuExit_Click();
        QVERIFY(!f.frame.isVisible());
        QVERIFY(f.prompter.done());
    }
    QCOMPARE(h.general("Most Recent"), written);
}

void TestRecentFiles::startLoadsTheMostRecent_data()
{
    QTest::addColumn<QString>("autoLoad");
    QTest::addColumn<QString>("mostRecent");
    QTest::addColumn<bool>("withCommandLine");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<int>("loaded"); // position of the project loaded, 0 for a new one

    QTest::newRow("on") << "True"
                        << "2" << false << false << 2;
    QTest::newRow("off") << "False"
                         << "2" << false << false << 0;
    QTest::newRow("no position") << "True"
                                 << "0" << false << false << 0;
    QTest::newRow("position past the list") << "True"
                                            << "5" << false << false << 0;
    QTest::newRow("a path given") << "True"
                                  << "2" << true << false << 0;
    QTest::newRow("project gone") << "True"
                                  << "2" << false << true << 0;
}

void TestRecentFiles::startLoadsTheMostRecent()
{
    QFETCH(QString, autoLoad);
    QFETCH(QString, mostRecent);
    QFETCH(bool, withCommandLine);
    QFETCH(bool, deleted);
    QFETCH(int, loaded);
    Home h;
    const QStringList projects = h.projects(3);
    for (int i = 0; i < projects.size(); ++i)
        h.store.write(Settings::RecentFiles, RecentList::keyName(i + 1), projects.at(i));
    h.setGeneral(QStringLiteral("AutoLoadProject"), autoLoad);
    h.setGeneral(QStringLiteral("Most Recent"), mostRecent);
    if (deleted)
        QVERIFY(QFile::remove(projects.at(1)));
    const QString document = h.home.path(QStringLiteral("given.txt"));
    Frame f(h.store, withCommandLine ? QStringList{document} : QStringList());
    if (deleted)
        f.prompter.expectMessage(RecentFiles::missingQuestion(projects.at(1)), Answer::No);
    f.start();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.projectList().ProjectFile(), loaded ? projects.at(loaded - 1) : QString());
    QCOMPARE(f.recent().list().paths(), projects);
}

void TestRecentFiles::projectsGoToTheDesktopListWhenAsked_data()
{
    QTest::addColumn<bool>("asked");
    QTest::newRow("Add2RecentPrj on") << true;
    QTest::newRow("Add2RecentPrj off") << false;
}

void TestRecentFiles::projectsGoToTheDesktopListWhenAsked()
{
    QFETCH(bool, asked);
    Home h;
    h.setGeneral(QStringLiteral("Add2RecentPrj"), asked ? "True" : "False");
    const QStringList projects = h.projects(2);
    Frame f(h.store);
    f.load(projects.at(0));
    f.load(projects.at(1));
    f.prompter.expectFile(h.home.path(QStringLiteral("saved.prj")));
    QVERIFY(f.frame.projects().mnuSaveProjectAs_Click());
    QVERIFY(f.recent().desktopList().waitForDone(10000));
    QVERIFY(f.recent().desktopList().lastStatus());
    for (const QString& project : projects + QStringList{h.home.path(QStringLiteral("saved.prj"))})
        QCOMPARE(inDesktopList(project), asked);
    // The program's own list does not depend on it.
    QCOMPARE(f.recent().list().paths().size(), 3);
}

void TestRecentFiles::documentsGoToTheDesktopListOnceTheyExist()
{
    Home h;
    h.setGeneral(QStringLiteral("Add2RecentDoc"), QStringLiteral("True"));
    const QString existing = h.home.write(QStringLiteral("here.txt"), "text");
    const QString missing = h.home.path(QStringLiteral("later.txt"));
    Frame f(h.store);
    QVERIFY(f.documents().LoadDocument(existing));
    frmText* later = f.documents().LoadDocument(missing);
    QVERIFY(later);
    QVERIFY(f.recent().desktopList().waitForDone(10000));
    QVERIFY(inDesktopList(existing));
    QVERIFY(!inDesktopList(missing));
    QVERIFY(f.documents().save(later));
    QVERIFY(f.recent().desktopList().waitForDone(10000));
    QVERIFY(inDesktopList(missing));
    // Projects stay out while only documents are asked for.
    f.load(h.project(QStringLiteral("p.prj")));
    QVERIFY(f.recent().desktopList().waitForDone(10000));
    QVERIFY(!inDesktopList(h.home.path(QStringLiteral("p.prj"))));
    QVERIFY(f.prompter.done());
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
