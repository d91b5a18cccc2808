#include "app/externaltools.h"
#include "platform/processlauncher.h"
#include "support/framefixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// The recording programs live in a folder whose name has a blank.
QString binFolder()
{
    return QDir::homePath() + QStringLiteral("/tools bin");
}
QString logPath(const QString& name)
{
    return QDir::homePath() + u'/' + name + QStringLiteral(".log");
}
QString stopPath(const QString& name)
{
    return QDir::homePath() + u'/' + name + QStringLiteral(".stop");
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// A program that records each start's arguments (one start a line, each
// argument ended by a NUL) and runs until its stop file exists.
QString writeRecorder(const QString& name, const QString& fileName)
{
    const QString path = binFolder() + u'/' + fileName;
    QFile::remove(logPath(name));
    QFile::remove(stopPath(name));
    writeFile(path, "#!/bin/sh\nprintf '%s\\0' \"$@\" >> '" + QFile::encodeName(logPath(name)) +
                        "'\nprintf '\\n' >> '" + QFile::encodeName(logPath(name)) +
                        "'\nwhile [ ! -e '" + QFile::encodeName(stopPath(name)) +
                        "' ]; do sleep 0.05; done\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void stop(const QString& name)
{
    writeFile(stopPath(name), "");
}

// The arguments of each start recorded so far.
QList<QStringList> starts(const QString& name)
{
    QList<QStringList> found;
    QList<QByteArray> lines = TestHome::read(logPath(name)).split('\n');
    lines.removeLast(); // after the last line's end, or a start still writing
    for (const QByteArray& line : std::as_const(lines)) {
        QStringList arguments;
        for (const QByteArray& argument : line.split('\0'))
            arguments.append(QFile::decodeName(argument));
        arguments.removeLast(); // after the last argument's end
        found.append(arguments);
    }
    return found;
}

// The command line a setting holds for a program: quoted, with arguments.
QString commandFor(const QString& program, const QString& arguments)
{
    return u'"' + program + QStringLiteral("\" ") + arguments;
}

struct Fixture : FrameFixture {
    ExternalTools& tools() { return *frame.findChild<ExternalTools*>(); }
    void trigger(const QString& name) { action(name)->trigger(); }
    // The tick in the frame's bar and, after the refresh, in the document windows' bar.
    bool tick(MenuBars::Bar bar, const QString& name)
    {
        return menus()->action(bar, name)->isChecked();
    }
    bool ticked(const QString& name)
    {
        return tick(MenuBars::Frame, name) && tick(MenuBars::Document, name);
    }
    bool unticked(const QString& name)
    {
        return !tick(MenuBars::Frame, name) && !tick(MenuBars::Document, name);
    }
};

} // namespace

// The mail, news and FTP programs and the disk search utility, started from
// the Options menu with the test's own desktop entries and recording programs.
class TestExternalTools : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void desktopNamesTheTestsMailProgram();
    void addressOrProgram_data();
    void addressOrProgram();
    void addressOpensTheSchemesProgram();
    void addressWithoutProgramIsReported();
    void programGetsItsArgumentsAndRunsOnce();
    void programThatCannotStartIsReported();
    void reusedProcessIdCountsAsEnded();
    void searchReplaceGetsTheFolderAsOneArgument();
    void missingSearchReplaceIsReported();
    void cleanupTestCase();

private:
    QString m_mailHandler;
};

void TestExternalTools::initTestCase()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!data.isEmpty() && !config.isEmpty());
    m_mailHandler = writeRecorder(QStringLiteral("mail"), QStringLiteral("mail handler"));
    stop(QStringLiteral("mail")); // the desktop's program for addresses ends at once
    writeFile(data + QStringLiteral("/applications/quillora-test-mail.desktop"),
              "[Desktop Entry]\nType=Application\nName=Test Mail\nExec=\"" +
                  QFile::encodeName(m_mailHandler) + "\" %u\nMimeType=x-scheme-handler/mailto;\n");
    writeFile(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\nx-scheme-handler/mailto=quillora-test-mail.desktop\n");
    QCOMPARE(QProcess::execute(QStringLiteral("update-desktop-database"),
                               {data + QStringLiteral("/applications")}),
             0);
}

void TestExternalTools::desktopNamesTheTestsMailProgram()
{
    QCOMPARE(ProcessLauncher::schemeHandler(QStringLiteral("mailto")),
             QStringLiteral("quillora-test-mail.desktop"));
    QCOMPARE(ProcessLauncher::schemeHandler(QStringLiteral("MAILTO")),
             QStringLiteral("quillora-test-mail.desktop"));
    QCOMPARE(ProcessLauncher::schemeHandler(QStringLiteral("x-quillora-none")), QString());
}

void TestExternalTools::addressOrProgram_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("scheme"); // empty: a program
    QTest::newRow("mail") << QStringLiteral("mailto:") << QStringLiteral("mailto");
    QTest::newRow("news") << QStringLiteral("news://") << QStringLiteral("news");
    QTest::newRow("secure news") << QStringLiteral("snews://") << QStringLiteral("snews");
    QTest::newRow("FTP in capitals") << QStringLiteral("FTP://") << QStringLiteral("ftp");
    QTest::newRow("address with a host")
        << QStringLiteral("ftp://example.org/pub") << QStringLiteral("ftp");
    QTest::newRow("program path") << QStringLiteral("/usr/bin/thunderbird") << QString();
    QTest::newRow("program with arguments") << QStringLiteral("thunderbird -compose") << QString();
    QTest::newRow("drive letter") << QStringLiteral("C:\\Mail\\mail.exe") << QString();
    QTest::newRow("blank after a scheme") << QStringLiteral("mailto: x") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestExternalTools::addressOrProgram()
{
    QFETCH(QString, value);
    QFETCH(QString, scheme);
    const std::optional<QUrl> url = ExternalTools::urlPrefix(value);
    QCOMPARE(url.has_value(), !scheme.isEmpty());
    if (url)
        QCOMPARE(url->scheme(), scheme);
}

void TestExternalTools::addressOpensTheSchemesProgram()
{
    Fixture f;
    QFile::remove(logPath(QStringLiteral("mail")));
    QVERIFY(f.unticked(QStringLiteral("mnuIntEmail")));
    f.trigger(QStringLiteral("mnuIntEmail"));
    QTRY_COMPARE(starts(QStringLiteral("mail")).size(), 1);
    QCOMPARE(starts(QStringLiteral("mail")).first(), QStringList{QStringLiteral("mailto:")});
    QVERIFY(f.ticked(QStringLiteral("mnuIntEmail")));
    // The desktop's program owns the address: nothing is kept to switch to,
    // and the next choice hands the address over again.
    QVERIFY(f.tools().taskNumber(QStringLiteral("mnuIntEmail")).isNone());
    f.trigger(QStringLiteral("mnuIntEmail"));
    QTRY_COMPARE(starts(QStringLiteral("mail")).size(), 2);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestExternalTools::addressWithoutProgramIsReported()
{
    Fixture f;
    // The frame reads the setting when the command runs.
    Settings(f.store).setText(Key::NewsApp, QStringLiteral("X-Quillora-None://"));
    // Said as what is missing, a program for the kind of link, not as a
    // program that failed.
    f.prompter.expectMessage(
        ExternalTools::NoProgramForLinks.arg(QStringLiteral("x-quillora-none:")));
    f.trigger(QStringLiteral("mnuIntNews"));
    QVERIFY(!f.prompter.messages.isEmpty());
    QVERIFY(!f.prompter.messages.first().text.contains(QStringLiteral("problem")));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY(f.unticked(QStringLiteral("mnuIntNews")));
}

void TestExternalTools::programGetsItsArgumentsAndRunsOnce()
{
    Fixture f;
    const QString name = QStringLiteral("news");
    const QString program = writeRecorder(name, QStringLiteral("news reader"));
    Settings(f.store).setText(Key::SNewsApp,
                              commandFor(program, QStringLiteral("--group \"a b\" c;d $HOME")));
    f.trigger(QStringLiteral("mnuIntSnews"));
    QTRY_COMPARE(starts(name).size(), 1);
    QCOMPARE(starts(name).first(), (QStringList{QStringLiteral("--group"), QStringLiteral("a b"),
                                                QStringLiteral("c;d"), QStringLiteral("$HOME")}));
    QVERIFY(f.ticked(QStringLiteral("mnuIntSnews")));
    const TaskNumber first = f.tools().taskNumber(QStringLiteral("mnuIntSnews"));
    QVERIFY(ProcessLauncher::isRunning(first));

    // Running, without a window to raise here: no second copy.
    f.trigger(QStringLiteral("mnuIntSnews"));
    QCOMPARE(f.tools().taskNumber(QStringLiteral("mnuIntSnews")), first);

    // Ended: the next choice starts it again without a word.
    stop(name);
    QTRY_VERIFY(!ProcessLauncher::isRunning(first));
    QFile::remove(stopPath(name));
    f.trigger(QStringLiteral("mnuIntSnews"));
    QTRY_COMPARE(starts(name).size(), 2);
    const TaskNumber second = f.tools().taskNumber(QStringLiteral("mnuIntSnews"));
    QVERIFY(!second.isNone());
    QVERIFY(!(second == first));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    stop(name);
}

void TestExternalTools::programThatCannotStartIsReported()
{
    Fixture f;
    const QString missing = binFolder() + QStringLiteral("/no such ftp");
    const QString value = commandFor(missing, QStringLiteral("-x"));
    Settings(f.store).setText(Key::FTPApp, value);
    f.prompter.expectMessage(ExternalTools::StartErrorPrefix + value);
    f.trigger(QStringLiteral("mnuIntFTP"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(f.unticked(QStringLiteral("mnuIntFTP")));
    QVERIFY(f.tools().taskNumber(QStringLiteral("mnuIntFTP")).isNone());
}

void TestExternalTools::reusedProcessIdCountsAsEnded()
{
    Fixture f;
    const QString name = QStringLiteral("ftp");
    const QString program = writeRecorder(name, QStringLiteral("ftp client"));
    Settings(f.store).setText(Key::FTPApp, commandFor(program, QStringLiteral("host")));
    // The remembered id now belongs to a running process that started later
    // than the one remembered: this test itself.
    QFile own(QStringLiteral("/proc/self/stat"));
    QVERIFY(own.open(QIODevice::ReadOnly));
    const TaskNumber self = TaskNumber::fromStat(own.readAll());
    QVERIFY(ProcessLauncher::isRunning(self));
    const TaskNumber earlier(self.pid(), self.startTime() - 1);
    f.tools().taskNumber(QStringLiteral("mnuIntFTP")) = earlier;
    QVERIFY(!ProcessLauncher::isRunning(earlier));

    f.trigger(QStringLiteral("mnuIntFTP"));
    QTRY_COMPARE(starts(name).size(), 1);
    QCOMPARE(starts(name).first(), QStringList{QStringLiteral("host")});
    QVERIFY(f.tools().taskNumber(QStringLiteral("mnuIntFTP")).pid() != self.pid());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    stop(name);
}

void TestExternalTools::searchReplaceGetsTheFolderAsOneArgument()
{
    Fixture f;
    const QString name = QStringLiteral("sar");
    writeRecorder(name, ExternalTools::SearchReplaceName);
    f.tools().toolsFolder = binFolder();
    const QString folder = f.home.path(QStringLiteral("work \"quoted\" 'single'; rm -rf x"));
    QVERIFY(QDir().mkpath(folder));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder));
    f.trigger(QStringLiteral("mnuSAR"));
    QDir::setCurrent(before);
    QTRY_COMPARE(starts(name).size(), 1);
    QCOMPARE(starts(name).first(), QStringList{QDir(folder).absolutePath() + u','});
    QVERIFY(f.ticked(QStringLiteral("mnuSAR")));
    const TaskNumber first = f.tools().taskNumber(QStringLiteral("mnuSAR"));
    QVERIFY(ProcessLauncher::isRunning(first));

    f.trigger(QStringLiteral("mnuSAR"));
    QCOMPARE(f.tools().taskNumber(QStringLiteral("mnuSAR")), first);

    stop(name);
    QTRY_VERIFY(!ProcessLauncher::isRunning(first));
    QFile::remove(stopPath(name));
    f.trigger(QStringLiteral("mnuSAR"));
    QTRY_COMPARE(starts(name).size(), 2);
    QVERIFY(!(f.tools().taskNumber(QStringLiteral("mnuSAR")) == first));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    stop(name);
}

void TestExternalTools::missingSearchReplaceIsReported()
{
    Fixture f;
    const QString empty = f.home.path(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(empty));
    f.tools().toolsFolder = empty;
    const QString utility = empty + u'/' + ExternalTools::SearchReplaceName;
    f.prompter.expectMessage(ExternalTools::FilePrefix + utility + QStringLiteral("\r\n\r\n") +
                             ExternalTools::SearchReplaceError);
    f.trigger(QStringLiteral("mnuSAR"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY(f.unticked(QStringLiteral("mnuSAR")));
}

void TestExternalTools::cleanupTestCase()
{
    for (const char* name : {"mail", "news", "ftp", "sar"})
        stop(QString::fromLatin1(name));
}

QTEST_MAIN(TestExternalTools)
#include "tst_externaltools.moc"
