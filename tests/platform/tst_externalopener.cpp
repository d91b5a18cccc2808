#include "platform/externalopener.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray desktopEntry(const char* name, const char* types)
{
    return QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
           "\nExec=true %f\nMimeType=" + types + "\n";
}

// The recording program: it hands the arguments it was started with to the test
// through a named pipe, so the test reads them as soon as, and only when, it ran.
QString recorderPath()
{
    return QDir::homePath() + QStringLiteral("/bin/record");
}
QString pipePath()
{
    return QDir::homePath() + QStringLiteral("/record.pipe");
}

// A desktop entry that starts the recording program, which first records the tag.
QByteArray recorderEntry(const char* name, const char* tag, const char* types)
{
    return QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
           "\nIcon=accessories-text-editor\nExec=\"" + QFile::encodeName(recorderPath()) + "\" " +
           tag + " %f\nMimeType=" + types + "\n";
}

// The arguments of the next start of the recording program. Blocks until it
// writes them: call only after a start was reported.
QStringList recorded()
{
    QFile pipe(pipePath());
    if (!pipe.open(QIODevice::ReadOnly))
        return {QStringLiteral("(the pipe did not open)")};
    QStringList arguments;
    for (const QByteArray& argument : pipe.readAll().split('\0'))
        arguments.append(QFile::decodeName(argument));
    arguments.removeLast(); // after the last argument's end
    return arguments;
}

QByteArray mimeApps()
{
    return TestHome::read(qEnvironmentVariable("XDG_CONFIG_HOME") +
                          QStringLiteral("/mimeapps.list"));
}

QStringList ids(const QList<ProgramInfo>& programs)
{
    QStringList found;
    for (const ProgramInfo& program : programs)
        found.append(program.id);
    return found;
}

OpenWithChoice program(const QString& id, bool alwaysUse = false)
{
    return {id, QString(), alwaysUse};
}
OpenWithChoice command(const QString& line, bool alwaysUse = false)
{
    return {QString(), line, alwaysUse};
}
// The recording program as a typed command.
QString recorderCommand(const QString& rest)
{
    return QStringLiteral("\"%1\" %2").arg(recorderPath(), rest);
}

} // namespace

// The test runs with its own XDG folders, so the associations are the ones it writes.
class TestExternalOpener : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void findsTheDefaultButNeverItself();
    void missingFileFails();
    void defaultsFromTheNameAlone();
    void arrangesTheChoosersLists();
    void requestListsRecommendedThenOthers();
    void launchesTheChosenProgramWithTheFile_data();
    void launchesTheChosenProgramWithTheFile();
    void relativeNameStartingWithDashArrivesWhole();
    void customCommandGetsTheFileOnce_data();
    void customCommandGetsTheFileOnce();
    void failuresCarryTheReason();
    void cancelLaunchesNothing();
    void alwaysUseMakesTheDefault();
    void withoutAPrompterNothingOpens();
    void cleanupTestCase();
};

void TestExternalOpener::initTestCase()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!data.isEmpty() && !config.isEmpty());
    writeFile(data + QStringLiteral("/applications/fake-viewer.desktop"),
              desktopEntry("Viewer", "text/plain;text/x-csrc;"));
    writeFile(data + QStringLiteral("/applications/fake-editor.desktop"),
              desktopEntry("Editor", "text/markdown;") + "Categories=Utility;TextEditor;\n");
    writeFile(data + QStringLiteral("/applications/") + ExternalOpener::OwnDesktopEntry,
              desktopEntry("Quillora", "text/plain;text/x-csrc;application/x-quillora-test;"
                                       "text/x-quillora-pick;text/x-quillora-keep;"));
    // For the chooser: programs made for two kinds of our own, one made for none,
    // and one kept out of the desktop's menus.
    writeFile(data + QStringLiteral("/applications/recorder.desktop"),
              recorderEntry("Recorder", "recorder", "text/x-quillora-pick;text/x-quillora-keep;"));
    writeFile(data + QStringLiteral("/applications/second-recorder.desktop"),
              recorderEntry("Second Recorder", "second", "text/x-quillora-keep;"));
    writeFile(data + QStringLiteral("/applications/fake-other.desktop"),
              "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\n");
    writeFile(data + QStringLiteral("/applications/fake-hidden.desktop"),
              "[Desktop Entry]\nType=Application\nName=Hidden\nExec=true %f\nNoDisplay=true\n");
    writeFile(recorderPath(),
              "#!/bin/sh\nexec </dev/null >/dev/null 2>&1\nprintf '%s\\0' \"$@\" > '" +
                  QFile::encodeName(pipePath()) + "'\n");
    QVERIFY(QFile::setPermissions(recorderPath(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QFile::remove(pipePath());
    QCOMPARE(::mkfifo(QFile::encodeName(pipePath()).constData(), 0600), 0);
    // A type that only our own entry takes.
    writeFile(data + QStringLiteral("/mime/packages/test.xml"),
              "<?xml version=\"1.0\"?>\n<mime-info "
              "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "<mime-type type=\"application/x-quillora-test\"><glob pattern=\"*.qltest\"/>"
              "</mime-type>\n"
              "<mime-type type=\"text/x-quillora-pick\"><comment>Pick test document</comment>"
              "<sub-class-of type=\"text/plain\"/><glob pattern=\"*.qlpick\"/></mime-type>\n"
              "<mime-type type=\"text/x-quillora-keep\"><comment>Keep test document</comment>"
              "<glob pattern=\"*.qlkeep\"/></mime-type>\n"
              "</mime-info>\n");
    QCOMPARE(
        QProcess::execute(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")}),
        0);
    // GIO finds which programs take a kind in the folder's index.
    // Commands kept by an earlier run are gone, so every run starts alike.
    const QDir applications(data + QStringLiteral("/applications"));
    for (const QString& kept : applications.entryList({QStringLiteral("userapp-*.desktop")}))
        QVERIFY(QFile::remove(applications.filePath(kept)));
    QCOMPARE(QProcess::execute(QStringLiteral("update-desktop-database"),
                               {data + QStringLiteral("/applications")}),
             0);
    writeFile(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/plain=fake-viewer.desktop\n"
              "text/markdown=fake-editor.desktop\n"
              "text/x-quillora-keep=recorder.desktop\n"
              "text/x-csrc=" +
                  ExternalOpener::OwnDesktopEntry.toUtf8() +
                  "\n"
                  "application/x-quillora-test=" +
                  ExternalOpener::OwnDesktopEntry.toUtf8() + "\n");
}

void TestExternalOpener::findsTheDefaultButNeverItself()
{
    TestHome home;
    QCOMPARE(ExternalOpener::associatedApplication(home.write(QStringLiteral("a.txt"), "plain\n")),
             QStringLiteral("fake-viewer.desktop"));
    // Handing a file to ourselves would open it here again, not elsewhere: the
    // next program that takes the type is chosen, and with none there is none.
    const QString source = home.write(QStringLiteral("a.c"), "int main(void) { return 0; }\n");
    const QString next = ExternalOpener::associatedApplication(source);
    QVERIFY(!next.isEmpty() && next != ExternalOpener::OwnDesktopEntry);
    const QString own = home.write(QStringLiteral("a.qltest"), "only ours\n");
    QCOMPARE(ExternalOpener::associatedApplication(own), QString());
    QCOMPARE(ExternalOpener::open(own), ExternalOpener::Outcome::NoAssociation);
}

void TestExternalOpener::missingFileFails()
{
    QCOMPARE(ExternalOpener::open(QStringLiteral("Untitled:3")), ExternalOpener::Outcome::Failed);
    QCOMPARE(ExternalOpener::associatedApplication(QStringLiteral("/no/such/file.txt")), QString());
}

void TestExternalOpener::defaultsFromTheNameAlone()
{
    // No file needs to exist: the name says the kind.
    const auto viewer = ExternalOpener::defaultFor(QStringLiteral("/no/such/notes.txt"));
    QVERIFY(viewer);
    QCOMPARE(viewer->id, QStringLiteral("fake-viewer.desktop"));
    QCOMPARE(viewer->name, QStringLiteral("Viewer"));
    QVERIFY(!viewer->textEditor);
    const auto editor = ExternalOpener::defaultFor(QStringLiteral("README.md"));
    QVERIFY(editor);
    QCOMPARE(editor->id, QStringLiteral("fake-editor.desktop"));
    QVERIFY(editor->textEditor);
    // Our own entry is reported as it is; what it means is the caller's to say.
    const auto own = ExternalOpener::defaultFor(QStringLiteral("main.c"));
    QVERIFY(own);
    QCOMPARE(own->id, ExternalOpener::OwnDesktopEntry);
    // The folder's name has no say.
    const auto inFolder = ExternalOpener::defaultFor(QStringLiteral("/work/proj.md/notes.txt"));
    QVERIFY(inFolder);
    QCOMPARE(inFolder->id, QStringLiteral("fake-viewer.desktop"));
}

void TestExternalOpener::arrangesTheChoosersLists()
{
    const ProgramInfo a{QStringLiteral("a.desktop"), QStringLiteral("A"), QString()};
    const ProgramInfo b{QStringLiteral("b.desktop"), QStringLiteral("B"), QString()};
    const ProgramInfo c{QStringLiteral("c.desktop"), QStringLiteral("charlie"), QString()};
    const ProgramInfo d{QStringLiteral("d.desktop"), QStringLiteral("delta"), QString()};
    const ProgramInfo e{QStringLiteral("e.desktop"), QStringLiteral("alpha"), QString()};
    const ProgramInfo z{QStringLiteral("z.desktop"), QStringLiteral("Zeta"), QString()};
    const ProgramInfo own{ExternalOpener::OwnDesktopEntry, QStringLiteral("Quillora"), QString()};
    const ProgramInfo unnamed{QString(), QStringLiteral("custom"), QString()};
    const auto lists =
        ExternalOpener::arrangePrograms({a, own, b, a}, {b, c, own, d, unnamed}, {z, d, e, c, own});
    QCOMPARE(ids(lists.recommended), QStringList({"a.desktop", "b.desktop"}));
    // Those for the kind keep the desktop's order; the rest follow by name, whatever the case.
    QCOMPARE(ids(lists.others), QStringList({"c.desktop", "d.desktop", "e.desktop", "z.desktop"}));
    QCOMPARE(lists.others.at(2).name, QStringLiteral("alpha"));
}

void TestExternalOpener::requestListsRecommendedThenOthers()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("notes.qlpick"), "pick\n");
    const OpenWithRequest request = ExternalOpener::openWithRequest(path);
    QCOMPARE(request.path, path);
    QCOMPARE(request.contentType, QStringLiteral("text/x-quillora-pick"));
    QCOMPARE(request.contentDescription, QStringLiteral("Pick test document"));
    const QStringList recommended = ids(request.recommended);
    const QStringList others = ids(request.others);
    QVERIFY2(recommended.contains(QStringLiteral("recorder.desktop")),
             qPrintable(recommended.join(u' ')));
    // The viewer takes plain text, which the kind is a kind of: offered, not recommended.
    QVERIFY(!recommended.contains(QStringLiteral("fake-viewer.desktop")));
    const qsizetype viewer = others.indexOf(QStringLiteral("fake-viewer.desktop"));
    const qsizetype other = others.indexOf(QStringLiteral("fake-other.desktop"));
    QVERIFY2(viewer >= 0 && other > viewer, qPrintable(others.join(u' ')));
    QVERIFY(!others.contains(QStringLiteral("fake-hidden.desktop")));
    QVERIFY(!recommended.contains(ExternalOpener::OwnDesktopEntry));
    QVERIFY(!others.contains(ExternalOpener::OwnDesktopEntry));
    const QStringList all = recommended + others;
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
    const ProgramInfo& recorder = request.recommended.at(recommended.indexOf("recorder.desktop"));
    QCOMPARE(recorder.name, QStringLiteral("Recorder"));
    QCOMPARE(recorder.iconName, QStringLiteral("accessories-text-editor"));
}

void TestExternalOpener::launchesTheChosenProgramWithTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "notes.qlpick";
    QTest::newRow("spaces") << "my notes  here.qlpick";
    QTest::newRow("dash") << "-v --help.qlpick";
    QTest::newRow("quotes and dollar") << "it's \"$HOME\";x.qlpick";
}

void TestExternalOpener::launchesTheChosenProgramWithTheFile()
{
    QFETCH(QString, name);
    TestHome home;
    const QString path = home.write(name, "pick\n");
    ScriptedPrompter prompter;
    prompter.expectOpenWith(name, program(QStringLiteral("recorder.desktop")));
    const auto result = ExternalOpener::chooseAndOpen(path);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QCOMPARE(result.error, QString());
    QCOMPARE(result.outcome, ExternalOpener::Chosen::Opened);
    QCOMPARE(recorded(), QStringList({QStringLiteral("recorder"), path}));
    // The prompter was asked with the file's own lists.
    QCOMPARE(prompter.openWithRequests.size(), 1);
    QVERIFY(ids(prompter.openWithRequests.first().recommended).contains("recorder.desktop"));
}

void TestExternalOpener::relativeNameStartingWithDashArrivesWhole()
{
    TestHome home;
    home.write(QStringLiteral("-n.qlpick"), "pick\n");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(home.path(QString())));
    const QString expected = QDir::current().absoluteFilePath(QStringLiteral("-n.qlpick"));
    ScriptedPrompter prompter;
    prompter.expectOpenWith(QStringLiteral("-n.qlpick"),
                            program(QStringLiteral("recorder.desktop")));
    const auto result = ExternalOpener::chooseAndOpen(QStringLiteral("-n.qlpick"));
    QDir::setCurrent(previous);
    QCOMPARE(result.outcome, ExternalOpener::Chosen::Opened);
    // Never "-n.qlpick" alone, which a program would read as its option -n.
    QCOMPARE(recorded(), QStringList({QStringLiteral("recorder"), expected}));
}

void TestExternalOpener::customCommandGetsTheFileOnce_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("without field code") << recorderCommand(QStringLiteral("typed"));
    QTest::newRow("with field code") << recorderCommand(QStringLiteral("typed %f"));
    QTest::newRow("spaces around") << QStringLiteral("  ") + recorderCommand("typed") + "  ";
}

void TestExternalOpener::customCommandGetsTheFileOnce()
{
    QFETCH(QString, line);
    TestHome home;
    const QString path = home.write(QStringLiteral("a file; rm -rf x.qlpick"), "pick\n");
    ScriptedPrompter prompter;
    prompter.expectOpenWith(QStringLiteral("a file"), command(line));
    const auto result = ExternalOpener::chooseAndOpen(path);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.outcome, ExternalOpener::Chosen::Opened);
    QCOMPARE(recorded(), QStringList({QStringLiteral("typed"), path}));
}

void TestExternalOpener::failuresCarryTheReason()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("notes.qlpick"), "pick\n");
    ScriptedPrompter prompter;
    prompter.expectOpenWith(QStringLiteral("notes"), command(QStringLiteral("\"unterminated")))
        .expectOpenWith(QStringLiteral("notes"), command(QStringLiteral("/no/such/program-x %f")))
        .expectOpenWith(QStringLiteral("notes"), program(QStringLiteral("no-such.desktop")))
        .expectOpenWith(QStringLiteral("notes"), command(QStringLiteral("   ")));
    for (const QString& reason : {QStringLiteral("\""), QStringLiteral("/no/such/program-x"),
                                  QStringLiteral("no-such.desktop"), QString()}) {
        const auto result = ExternalOpener::chooseAndOpen(path);
        QCOMPARE(result.outcome, ExternalOpener::Chosen::Failed);
        QVERIFY(!result.error.isEmpty());
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    }
    // A file that is not there is reported before anybody is asked.
    const auto missing = ExternalOpener::chooseAndOpen(home.path(QStringLiteral("gone.qlpick")));
    QCOMPARE(missing.outcome, ExternalOpener::Chosen::Failed);
    QVERIFY(!missing.error.isEmpty());
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    // The plain form tells its caller only that the program did not start.
    prompter.expectOpenWith(QStringLiteral("notes"), command(QStringLiteral("/no/such/program-x")));
    QVERIFY(!ExternalOpener::openWith(path));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestExternalOpener::cancelLaunchesNothing()
{
    TestHome home;
    const QString first = home.write(QStringLiteral("first.qlkeep"), "keep\n");
    const QString second = home.write(QStringLiteral("second.qlkeep"), "keep\n");
    const QByteArray associations = mimeApps();
    ScriptedPrompter prompter;
    prompter.expectOpenWith(QStringLiteral("first"), std::nullopt)
        .expectOpenWith(QStringLiteral("first"), std::nullopt)
        .expectOpenWith(QStringLiteral("second"), program(QStringLiteral("recorder.desktop")));
    const auto cancelled = ExternalOpener::chooseAndOpen(first);
    QCOMPARE(cancelled.outcome, ExternalOpener::Chosen::Cancelled);
    QCOMPARE(cancelled.error, QString());
    // Cancelling is no failure for the plain form's callers to report.
    QVERIFY(ExternalOpener::openWith(first));
    QCOMPARE(mimeApps(), associations);
    // The next program started is the only one: had a cancel started the
    // recorder, the pipe would bring the first file too.
    QCOMPARE(ExternalOpener::chooseAndOpen(second).outcome, ExternalOpener::Chosen::Opened);
    QCOMPARE(recorded(), QStringList({QStringLiteral("recorder"), second}));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestExternalOpener::alwaysUseMakesTheDefault()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("kept.qlkeep"), "keep\n");
    const auto before = ExternalOpener::defaultFor(path);
    QVERIFY(before);
    QCOMPARE(before->id, QStringLiteral("recorder.desktop"));
    ScriptedPrompter prompter;
    prompter.expectOpenWith(QStringLiteral("kept"), program("second-recorder.desktop", true))
        .expectOpenWith(QStringLiteral("kept"), command(recorderCommand("typed"), true));

    auto result = ExternalOpener::chooseAndOpen(path);
    QCOMPARE(result.outcome, ExternalOpener::Chosen::Opened);
    QCOMPARE(result.error, QString());
    QCOMPARE(recorded(), QStringList({QStringLiteral("second"), path}));
    const auto second = ExternalOpener::defaultFor(path);
    QVERIFY(second);
    QCOMPARE(second->id, QStringLiteral("second-recorder.desktop"));
    QVERIFY2(mimeApps().contains("text/x-quillora-keep=second-recorder.desktop\n"), mimeApps());

    // A typed command is kept as a desktop entry of its own, which then opens the kind.
    result = ExternalOpener::chooseAndOpen(path);
    QCOMPARE(result.outcome, ExternalOpener::Chosen::Opened);
    QCOMPARE(result.error, QString());
    QCOMPARE(recorded(), QStringList({QStringLiteral("typed"), path}));
    const auto typed = ExternalOpener::defaultFor(path);
    QVERIFY(typed);
    QVERIFY2(typed->id != second->id && typed->id.endsWith(QStringLiteral(".desktop")),
             qPrintable(typed->id));
    QCOMPARE(typed->name, QStringLiteral("record"));
    QVERIFY2(mimeApps().contains("text/x-quillora-keep=" + typed->id.toUtf8() + "\n"), mimeApps());
    QCOMPARE(ExternalOpener::open(path), ExternalOpener::Outcome::Opened);
    QCOMPARE(recorded(), QStringList({QStringLiteral("typed"), path}));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestExternalOpener::withoutAPrompterNothingOpens()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("notes.qlpick"), "pick\n");
    Prompter::refused().clear();
    QCOMPARE(ExternalOpener::chooseAndOpen(path).outcome, ExternalOpener::Chosen::Cancelled);
    QCOMPARE(Prompter::refused(), QStringList(QStringLiteral("Open With: ") + path));
}

void TestExternalOpener::cleanupTestCase()
{
    // Lets a recording program that nobody read finish, so none outlives the test.
    const int pipe = ::open(QFile::encodeName(pipePath()).constData(), O_RDONLY | O_NONBLOCK);
    if (pipe >= 0)
        ::close(pipe);
}

QTEST_GUILESS_MAIN(TestExternalOpener)
#include "tst_externalopener.moc"
