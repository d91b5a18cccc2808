#include "app/firstrunplan.h"
#include "document/recoverystore.h"
#include "platform/settings.h"
#include "platform/settingsstore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

// The real program on a virtual X server: typed into, killed, started again.
class TestRecoveryProcess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recoversAfterAKill();
    void changesByAnotherProgram();
    void cleanup();

private:
    QProcess* start(const QStringList& arguments);
    QString xdotool(const QStringList& arguments, int timeoutMs = 30000);
    // Polls until `done` holds or the time is up.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000);
    QList<RecoveryCopy> copies() const;
    // A shown window of the process other than `frame`, once one shows: a question.
    QString otherWindow(qint64 pid, const QString& frame);
    // Answers that question with its default button; false when none came or it stayed.
    bool answerWithDefault(qint64 pid, const QString& frame);
    static QByteArray read(const QString& path);

    QString m_binary;
    QString m_xdotool;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QList<QProcess*> m_started;
};

void TestRecoveryProcess::initTestCase()
{
    m_binary = qEnvironmentVariable("QUILLORA_BINARY");
    QVERIFY2(QFileInfo(m_binary).isExecutable(), qPrintable(m_binary));
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (m_xdotool.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs xdotool and an X server");
    QVERIFY(m_home.isValid());
    const QString home = m_home.path();
    for (const char* folder : {"config", "data", "cache", "state", "runtime"})
        QVERIFY(QDir().mkpath(home + u'/' + QLatin1String(folder)));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    m_environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/state"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    m_environment.insert(QStringLiteral("QUILLORA_INSTANCE"), QStringLiteral("recoveryprocess"));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

    // A program that has started before, and that lists opened files where the test can see them.
    SettingsStore store(home + QStringLiteral("/config/Quillora/Quillora.ini"));
    store.write(Settings::General, QString::fromLatin1(FirstRunPlan::FirstStartDone.name),
                QStringLiteral("True"));
    store.write(Settings::General, QString::fromLatin1(Key::Add2RecentDoc.name),
                QStringLiteral("True"));
    // No start-up messages of other parts.
    store.write(Settings::General, QString::fromLatin1(Key::ToolbarVersion.name),
                QStringLiteral("2"));
    store.write(Settings::General, QString::fromLatin1(Key::AutoCompleteAtStartup.name),
                QStringLiteral("False"));
    store.sync();
}

void TestRecoveryProcess::cleanup()
{
    for (QProcess* process : std::as_const(m_started)) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
        delete process;
    }
    m_started.clear();
}

QProcess* TestRecoveryProcess::start(const QStringList& arguments)
{
    auto* process = new QProcess;
    process->setProcessEnvironment(m_environment);
    process->setWorkingDirectory(m_home.path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(m_binary, arguments);
    m_started.append(process);
    return process;
}

QString TestRecoveryProcess::xdotool(const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(m_xdotool, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool TestRecoveryProcess::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}

QList<RecoveryCopy> TestRecoveryProcess::copies() const
{
    QList<RecoveryCopy> list;
    const RecoveryStore store(m_home.path() + QStringLiteral("/state/Quillora/recovery"));
    for (const RecoveryStore::Entry& entry : store.list())
        if (entry.copy)
            list.append(*entry.copy);
    return list;
}

QString TestRecoveryProcess::otherWindow(qint64 pid, const QString& frame)
{
    QString found;
    waitFor([&] {
        const QStringList shown =
            xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}).split(u'\n');
        for (const QString& window : shown)
            if (!window.isEmpty() && window != frame)
                found = window;
        return !found.isEmpty();
    });
    return found;
}

bool TestRecoveryProcess::answerWithDefault(qint64 pid, const QString& frame)
{
    const QString question = otherWindow(pid, frame);
    if (question.isEmpty())
        return false;
    xdotool({"windowfocus", "--sync", question});
    xdotool({"key", "Return"});
    return waitFor([&] {
        return !xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)})
                    .contains(question);
    });
}

QByteArray TestRecoveryProcess::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRecoveryProcess::recoversAfterAKill()
{
    const QString notes = m_home.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF"
                   "first line\r\nsecond line\r\n");
    }
    const QByteArray original = "\xEF\xBB\xBF"
                                "first line\r\nsecond line\r\n";

    QProcess* first = start({});
    QVERIFY(first->waitForStarted());
    const QString pid = QString::number(first->processId());
    const QString frame =
        xdotool({"search", "--sync", "--onlyvisible", "--pid", pid}).section(u'\n', 0, 0);
    QVERIFY2(!frame.isEmpty(), "the main window never showed");
    xdotool({"windowfocus", "--sync", frame});
    xdotool({"key", "--clearmodifiers", "ctrl+n"});
    xdotool({"type", "--delay", "30", "scratch words"});
    QVERIFY2(waitFor([this] {
                 const QList<RecoveryCopy> list = copies();
                 return list.size() == 1 && list[0].content == "scratch words";
             }),
             "the untitled document's copy never appeared");

    // A second start hands the file over; it opens as the active document.
    QProcess* second = start({notes});
    QVERIFY(second->waitForFinished(15000));
    const QString recent = m_home.path() + QStringLiteral("/data/recently-used.xbel");
    QVERIFY2(waitFor([&] {
                 QFile file(recent);
                 return file.open(QIODevice::ReadOnly) && file.readAll().contains("notes.txt");
             }),
             "notes.txt was never opened");
    xdotool({"windowfocus", "--sync", frame});
    xdotool({"type", "--delay", "30", "Hello "});

    const auto both = [this](const QString& titledText, qint64 owner) {
        const QList<RecoveryCopy> list = copies();
        if (list.size() != 2)
            return false;
        bool titled = false;
        bool untitled = false;
        for (const RecoveryCopy& copy : list) {
            if (owner && copy.owner.pid != owner)
                return false;
            titled |= !copy.originalPath.isEmpty() && copy.content == titledText.toUtf8();
            untitled |= copy.originalPath.isEmpty() && copy.content == "scratch words";
        }
        return titled && untitled;
    };
    const QString typed = QStringLiteral("Hello first line\nsecond line\n");
    QVERIFY2(waitFor([&] { return both(typed, first->processId()); }),
             "the copies of the typed documents never appeared");
    first->kill();
    QVERIFY(first->waitForFinished(5000));
    QCOMPARE(first->exitStatus(), QProcess::CrashExit);

    QProcess* again = start({});
    QVERIFY(again->waitForStarted());
    const QString dialog =
        xdotool({"search", "--sync", "--onlyvisible", "--name", "Recover Unsaved Documents"})
            .section(u'\n', 0, 0);
    QVERIFY2(!dialog.isEmpty(), "the recovery question never showed");
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Return"}); // Recover is the default
    // The recovered documents are kept by the new instance at once.
    QVERIFY2(waitFor([&] { return both(typed, again->processId()); }),
             "the documents were not recovered");
    QCOMPARE(QFile(notes).size(), qint64(original.size())); // untouched until saved

    const QString frame2 = xdotool({"search", "--sync", "--onlyvisible", "--pid",
                                    QString::number(again->processId()), "--name", "^Quillora"})
                               .section(u'\n', 0, 0);
    QVERIFY(!frame2.isEmpty());
    xdotool({"windowfocus", "--sync", frame2});
    xdotool({"key", "--clearmodifiers", "ctrl+s"});
    const QByteArray expected = "\xEF\xBB\xBF"
                                "Hello first line\r\nsecond line\r\n";
    QVERIFY2(waitFor([&] {
                 QFile file(notes);
                 return file.open(QIODevice::ReadOnly) && file.readAll() == expected;
             }),
             "the recovered document was not saved where it belongs");
    // Saved, its copy goes; the untitled one stays.
    QVERIFY(waitFor([this] { return copies().size() == 1; }));
    QVERIFY(copies().value(0).originalPath.isEmpty());
}

void TestRecoveryProcess::changesByAnotherProgram()
{
    const QString path = m_home.filePath(QStringLiteral("watched.txt"));
    const auto rewrite = [&path](const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(rewrite("one\n"));
    // No copies left by the test before, so no question about them.
    QVERIFY(QDir(m_home.path() + QStringLiteral("/state/Quillora/recovery")).removeRecursively());
    QProcess* program = start({path});
    QVERIFY(program->waitForStarted());
    const qint64 pid = program->processId();
    const QString frame =
        xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(pid)})
            .section(u'\n', 0, 0);
    QVERIFY2(!frame.isEmpty(), "the main window never showed");
    const QString recent = m_home.path() + QStringLiteral("/data/recently-used.xbel");
    QVERIFY2(waitFor([&] { return read(recent).contains("watched.txt"); }),
             "watched.txt was never opened");

    // Unchanged in the editor: read again in place. What is typed next goes into the
    // new text, and the save asks nothing, the file being as the editor last read it.
    QTest::qWait(500); // file times are coarse: a rewrite in the same tick looks like none
    QVERIFY(rewrite("two\n"));
    QTest::qWait(2000); // the watch lets changes settle before it looks
    xdotool({"windowfocus", "--sync", frame});
    xdotool({"type", "--delay", "30", "X"});
    xdotool({"key", "--clearmodifiers", "ctrl+s"});
    QVERIFY2(waitFor([&] { return read(path) == "Xtwo\n"; }),
             qPrintable("not reloaded before the save: " + read(path)));

    // Changed in the editor: the question, and Keep mine (the default) keeps the text.
    xdotool({"type", "--delay", "30", "Y"});
    QVERIFY2(waitFor([this] {
                 const QList<RecoveryCopy> list = copies();
                 return list.size() == 1 && list[0].content == "XYtwo\n";
             }),
             "the edit never landed");
    QVERIFY(rewrite("three\n"));
    QVERIFY2(answerWithDefault(pid, frame), "no question about the change");

    // Save after that change asks first; Cancel (the default) writes nothing.
    xdotool({"windowfocus", "--sync", frame});
    xdotool({"key", "--clearmodifiers", "ctrl+s"});
    QVERIFY2(answerWithDefault(pid, frame), "the save did not ask before overwriting");
    QCOMPARE(read(path), QByteArray("three\n"));
    QCOMPARE(copies().value(0).content, QByteArray("XYtwo\n")); // the edit is still kept
}

QTEST_MAIN(TestRecoveryProcess)
#include "tst_recoveryprocess.moc"
