#include "app/firstrun.h"
#include "app/firstrunplan.h"
#include "app/frmmymdi.h"
#include "document/documentmanager.h"
#include "document/documenttable.h"
#include "document/frmtext.h"
#include "platform/datalocations.h"
#include "project/projectcontroller.h"
#include "project/projectfile.h"
#include "project/projectlistview.h"
#include "support/framefixture.h"
#include "support/scopedenvironment.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

namespace {

const QString Quotes = QStringLiteral("Templates/Quotes.txt");
const QString Notes = QStringLiteral("Templates/Notes.rtf");
const QString TextBlocks = QStringLiteral("Templates/Often Used Text Blocks.txt");
const QString Letter = QStringLiteral("Templates/LetterTemplate.rtf");

QByteArray installedBytes(const QString& name)
{
    return "as installed: " + name.toUtf8() + '\n';
}

// Every file and folder below a folder with its bytes, to see that nothing changed.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries << QDir(folder).relativeFilePath(path) + u'=' +
                       QString::fromUtf8(TestHome::read(path).toHex());
    }
    entries.sort();
    return entries;
}

// A program installed in a read-only tree of its own, and a user whose data
// and settings live in a temporary home.
struct Installation {
    TestHome home;
    const QString installed = home.path(QStringLiteral("system/quillora"));
    const QString user = home.path(QStringLiteral("data/Quillora"));
    const QString settingsFile = home.path(QStringLiteral("config/Quillora.ini"));
    ScopedEnvironment dataHome{"XDG_DATA_HOME", home.path(QStringLiteral("data")).toUtf8()};
    ScopedEnvironment dataDirs{"XDG_DATA_DIRS", home.path(QStringLiteral("system")).toUtf8()};
    ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<frmMyMDI> frame;

    Installation()
    {
        for (const QString& name : FirstRunPlan::sampleFiles())
            home.write(QStringLiteral("system/quillora/") + name, installedBytes(name));
        makeReadOnly(installed);
    }
    ~Installation()
    {
        frame.reset();
        // The temporary home must be able to remove it again.
        QDirIterator it(installed, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QFile::setPermissions(installed, QFile::permissions(installed) | QFileDevice::WriteOwner);
        while (it.hasNext()) {
            const QString dir = it.next();
            QFile::setPermissions(dir, QFile::permissions(dir) | QFileDevice::WriteOwner);
        }
    }

    static void makeReadOnly(const QString& folder)
    {
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QStringList entries;
        while (it.hasNext())
            entries << it.next();
        entries << folder;
        const auto readOnly =
            QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        for (const QString& path : entries) {
            const bool isDir = QFileInfo(path).isDir();
            QFile::setPermissions(path, isDir ? readOnly | QFileDevice::ExeOwner |
                                                    QFileDevice::ExeGroup | QFileDevice::ExeOther
                                              : readOnly);
        }
    }

    // A start of the program: the frame's load runs, and the deferred start
    // follows when start() is called.
    frmMyMDI& startProgram(const QStringList& commandLine = {})
    {
        frame.reset();
        store = std::make_unique<SettingsStore>(settingsFile);
        // Messages of the other first-start steps have tests of their own; a
        // first start has no toolbar message.
        store->write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                     QStringLiteral("False"));
        frame = std::make_unique<frmMyMDI>(commandLine, *store);
        frame->queue().OpenQueueState = OpenQueue::Idle;
        frame->show();
        FrameParts(*frame).timer4()->stop();
        return *frame;
    }
    void deferredStart() { FrameParts(*frame).start(); }

    FirstRun* firstRun() const { return frame->findChild<FirstRun*>(); }
    QStringList openDocuments() const
    {
        QStringList paths;
        for (frmText* window : FrameParts(*frame).documentWindows())
            paths << window->state().FileName;
        paths.sort();
        return paths;
    }
    // The value in the settings file's bytes: what a new program would read
    // (another store in this process would share the unsaved values).
    QString stored(const char* key) const
    {
        const QString prefix = QString::fromLatin1(key) + u'=';
        bool general = false;
        for (const QString& line : QString::fromUtf8(TestHome::read(settingsFile)).split(u'\n')) {
            if (line.startsWith(u'['))
                general = line == QStringLiteral("[General]");
            else if (general && line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        return QStringLiteral("<none>");
    }
    QString at(const QString& name) const { return user + u'/' + name; }
};

} // namespace

class TestFirstRun : public QObject {
    Q_OBJECT
private slots:
    void firstStartSetsUpTheDataFolder();
    void welcomeProjectOpensReadmeAndWelcome();
    void laterStartKeepsTheUsersFiles_data();
    void laterStartKeepsTheUsersFiles();
    void commandLineOpensInsteadOfTheWelcome();
    void dataFolderThatCannotBeMadeIsReportedOnce();
    void missingInstallationIsReported();
    void failedProjectLeavesTheSetUpToTheNextStart();
};

void TestFirstRun::firstStartSetsUpTheDataFolder()
{
    Installation setup;
    const QStringList installedBefore = snapshot(setup.installed);
    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QVERIFY(setup.firstRun()->FirstStart);
    QCOMPARE(setup.firstRun()->locations().user(), setup.user);

    for (const QString& name : FirstRunPlan::sampleFiles()) {
        QCOMPARE(TestHome::read(setup.at(name)), installedBytes(name));
        // The installed files are read-only; the user's copies are to be edited.
        QVERIFY2(QFileInfo(setup.at(name)).permission(QFileDevice::WriteOwner), qPrintable(name));
    }
    const Result<QStringList> welcome = ProjectFile::read(setup.at("Welcome.prj"));
    QVERIFY(welcome.ok());
    QCOMPARE(welcome.value(),
             (QStringList{setup.user + "/", setup.user + "/Templates/",
                          setup.user + "/Quillora on the Web!.html.lnk",
                          setup.user + "/Quillora readme.txt", setup.user + "/Welcome.rtf"}));
    const Result<QStringList> templates = ProjectFile::read(setup.at("Templates/Templates.prj"));
    QVERIFY(templates.ok());
    QCOMPARE(templates.value(),
             (QStringList{setup.user + "/Templates/", setup.user + "/Templates/HTMTemplate.htm",
                          setup.user + "/Templates/LetterTemplate.rtf"}));

    // On disk already, before the program has closed.
    QCOMPARE(setup.stored("QuoteFile"), setup.at(Quotes));
    QCOMPARE(setup.stored("NotesFile"), setup.at(Notes));
    QCOMPARE(setup.stored("TextBlocks"), setup.at(TextBlocks));
    QCOMPARE(setup.stored("AutoTagFile"), setup.at("Templates/AutoComplete.txt"));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("True"));
    QCOMPARE(snapshot(setup.installed), installedBefore);
}

void TestFirstRun::welcomeProjectOpensReadmeAndWelcome()
{
    Installation setup;
    frmMyMDI& frame = setup.startProgram();
    setup.deferredStart();
    const QStringList expected{setup.at("Quillora readme.txt"), setup.at("Welcome.rtf")};
    QTRY_COMPARE(setup.openDocuments(), expected);
    QCOMPARE(frame.projects().list().ProjectFile(), setup.at("Welcome.prj"));
    QCOMPARE(frame.projects().list().entryCount(), 5);
    QCOMPARE(frame.windowTitle(), ProjectController::CaptionPrefix + setup.at("Welcome.prj"));
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
}

void TestFirstRun::laterStartKeepsTheUsersFiles_data()
{
    QTest::addColumn<bool>("settingsDeleted");
    QTest::newRow("started before") << false;
    QTest::newRow("the settings file deleted") << true;
}

void TestFirstRun::laterStartKeepsTheUsersFiles()
{
    QFETCH(bool, settingsDeleted);
    Installation setup;
    setup.startProgram();
    setup.frame.reset();
    // The user's own quotes, notes, text blocks and welcome document; a letter
    // template thrown away; the quotes pane pointed elsewhere.
    const QList<std::pair<QString, QByteArray>> changed{{Quotes, "Mine, and no one else's.\n"},
                                                        {Notes, "{\\rtf1 my notes}"},
                                                        {TextBlocks, "Regards, Ann\n"},
                                                        {"Welcome.rtf", "{\\rtf1 edited}"},
                                                        {"Welcome.prj", "/home/ann/mine.txt\n\n"}};
    for (const auto& [name, bytes] : changed)
        setup.home.write(QStringLiteral("data/Quillora/") + name, bytes);
    QVERIFY(QFile::remove(setup.at(Letter)));
    {
        SettingsStore store(setup.settingsFile);
        store.write(Settings::General, QStringLiteral("QuoteFile"), QStringLiteral("/srv/q.txt"));
        QVERIFY(store.sync());
    }
    if (settingsDeleted)
        QVERIFY(QFile::remove(setup.settingsFile));

    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QCOMPARE(setup.firstRun()->FirstStart, settingsDeleted);
    for (const auto& [name, bytes] : changed) {
        if (name != QStringLiteral("Welcome.prj"))
            QCOMPARE(TestHome::read(setup.at(name)), bytes);
    }
    if (settingsDeleted) {
        // Set up again: what was missing comes back, the projects are written afresh.
        QCOMPARE(TestHome::read(setup.at(Letter)), installedBytes(Letter));
        QCOMPARE(ProjectFile::read(setup.at("Welcome.prj")).value(),
                 FirstRunPlan::welcomeLines(setup.user));
        QCOMPARE(setup.stored("QuoteFile"), setup.at(Quotes));
        QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("True"));
    } else {
        QVERIFY(!QFileInfo::exists(setup.at(Letter)));
        QCOMPARE(TestHome::read(setup.at("Welcome.prj")), QByteArray("/home/ann/mine.txt\n\n"));
        QCOMPARE(setup.stored("QuoteFile"), QStringLiteral("/srv/q.txt"));
    }
    setup.deferredStart();
    if (settingsDeleted) {
        const QStringList expected{setup.at("Quillora readme.txt"), setup.at("Welcome.rtf")};
        QTRY_COMPARE(setup.openDocuments(), expected);
    } else {
        QCOMPARE(setup.frame->projects().list().ProjectFile(), QString());
        QCOMPARE(setup.openDocuments(), QStringList());
    }
}

void TestFirstRun::commandLineOpensInsteadOfTheWelcome()
{
    Installation setup;
    const QString given = setup.home.write(QStringLiteral("given.txt"), "given\n");
    frmMyMDI& frame = setup.startProgram({given});
    QVERIFY(setup.firstRun()->FirstStart);
    QCOMPARE(setup.stored("QuoteFile"), setup.at(Quotes));
    QVERIFY(QFileInfo::exists(setup.at("Welcome.prj")));
    setup.deferredStart();
    QTRY_COMPARE(setup.openDocuments(), QStringList{given});
    QCOMPARE(frame.projects().list().ProjectFile(), QString());
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
}

void TestFirstRun::dataFolderThatCannotBeMadeIsReportedOnce()
{
    Installation setup;
    // Where the data folder would go, a file stands.
    const QString blocking = setup.home.write(QStringLiteral("blocked"), "a file\n");
    const ScopedEnvironment dataHome("XDG_DATA_HOME", blocking.toUtf8());
    const QString user = blocking + QStringLiteral("/Quillora");
    setup.prompter.expectMessage(FirstRun::folderError(user));
    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QCOMPARE(setup.prompter.messages.size(), 1);
    QVERIFY(!setup.firstRun()->FirstStart);
    QCOMPARE(setup.stored("QuoteFile"), QStringLiteral("<none>"));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("<none>"));
    setup.deferredStart();
    QCOMPARE(setup.openDocuments(), QStringList());

    // Put right, the next start sets up.
    QVERIFY(QFile::remove(blocking));
    setup.startProgram();
    QVERIFY(setup.firstRun()->FirstStart);
    QCOMPARE(TestHome::read(user + u'/' + Quotes), installedBytes(Quotes));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("True"));
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
}

void TestFirstRun::missingInstallationIsReported()
{
    Installation setup;
    QVERIFY(QDir().mkpath(setup.home.path(QStringLiteral("empty"))));
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS",
                                     setup.home.path(QStringLiteral("empty")).toUtf8());
    const QString lookedIn =
        DataLocations::installedCandidates(QCoreApplication::applicationDirPath()).value(0);
    setup.prompter.expectMessage(FirstRun::missingSamplesError(lookedIn));
    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QVERIFY(!setup.firstRun()->FirstStart);
    QVERIFY(!QFileInfo::exists(setup.user));
    QCOMPARE(setup.stored("NotesFile"), QStringLiteral("<none>"));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("<none>"));
}

void TestFirstRun::failedProjectLeavesTheSetUpToTheNextStart()
{
    Installation setup;
    // A folder where the welcome project is to be written.
    QVERIFY(QDir().mkpath(setup.at("Welcome.prj")));
    setup.prompter.expectMessage(QStringLiteral("Error: ") + setup.at("Welcome.prj") + u'\n');
    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QCOMPARE(setup.prompter.messages.size(), 1);
    // Everything else is in place; only the record waits.
    QCOMPARE(TestHome::read(setup.at(Quotes)), installedBytes(Quotes));
    QCOMPARE(ProjectFile::read(setup.at("Templates/Templates.prj")).value(),
             FirstRunPlan::templatesLines(setup.user));
    QCOMPARE(setup.stored("QuoteFile"), setup.at(Quotes));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("<none>"));

    // What the user chose before the next start stays.
    {
        SettingsStore store(setup.settingsFile);
        store.write(Settings::General, QStringLiteral("QuoteFile"), QStringLiteral("/srv/q.txt"));
        QVERIFY(store.sync());
    }
    QVERIFY(QDir(setup.at("Welcome.prj")).removeRecursively());
    setup.startProgram();
    QVERIFY2(setup.prompter.done(), qPrintable(setup.prompter.report()));
    QCOMPARE(setup.stored("QuoteFile"), QStringLiteral("/srv/q.txt"));
    QCOMPARE(ProjectFile::read(setup.at("Welcome.prj")).value(),
             FirstRunPlan::welcomeLines(setup.user));
    QCOMPARE(setup.stored("FirstStartDone"), QStringLiteral("True"));
}

QTEST_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
