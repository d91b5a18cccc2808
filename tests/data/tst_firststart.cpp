#include "app/firstrunplan.h"
#include "platform/settingsstore.h"
#include "support/testhome.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

// Every file and folder below a folder with its time and a digest of its bytes.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QCryptographicHash digest(QCryptographicHash::Sha256);
        QFile file(path);
        if (info.isFile() && file.open(QIODevice::ReadOnly))
            digest.addData(&file);
        entries << QDir(folder).relativeFilePath(path) + u' ' +
                       info.lastModified().toString(Qt::ISODateWithMs) + u' ' +
                       QString::fromLatin1(digest.result().toHex());
    }
    entries.sort();
    return entries;
}

// The installed program started as a user would, in a home of its own, and
// stopped once its first-start record is on disk.
class InstalledProgram {
public:
    explicit InstalledProgram(const TestHome& home) : m_home(home)
    {
        for (const char* dir : {"home", "config", "data", "cache"})
            QDir().mkpath(home.path(QString::fromLatin1(dir)));
        QDir().mkpath(home.path(QStringLiteral("runtime")));
        QFile::setPermissions(home.path(QStringLiteral("runtime")), QFileDevice::ReadOwner |
                                                                        QFileDevice::WriteOwner |
                                                                        QFileDevice::ExeOwner);
    }

    QString settingsFile() const
    {
        return m_home.path(QStringLiteral("config/Quillora/Quillora.ini"));
    }
    QString user() const { return m_home.path(QStringLiteral("data/Quillora")); }

    bool recorded() const
    {
        return TestHome::read(settingsFile()).contains("\nFirstStartDone=True");
    }

    void start(const QString& binary)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.path(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path(QStringLiteral("runtime")));
        // Only the program's own folder may lead to its sample files.
        env.insert(QStringLiteral("XDG_DATA_DIRS"), m_home.path(QStringLiteral("nowhere")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUILLORA_INSTANCE"), QStringLiteral("tst_firststart"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_home.path(QStringLiteral("home")));
        m_process.start(binary, {});
    }
    bool running() { return m_process.state() != QProcess::NotRunning; }
    void stop()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    ~InstalledProgram() { stop(); }

private:
    const TestHome& m_home;
    QProcess m_process;
};

} // namespace

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void installedProgramSetsUpTheUsersFolder();
};

void TestFirstStart::installedProgramSetsUpTheUsersFolder()
{
    const QString prefix = qEnvironmentVariable("QUILLORA_PREFIX");
    const QString binary = prefix + QStringLiteral("/bin/quillora");
    QVERIFY2(QFileInfo(binary).isExecutable(), "QUILLORA_PREFIX must hold an installed program");
    const QString installed = prefix + QStringLiteral("/share/quillora");
    const QStringList prefixBefore = snapshot(prefix);

    TestHome home;
    InstalledProgram program(home);
    program.start(binary);
    QTRY_VERIFY_WITH_TIMEOUT(program.recorded() || !program.running(), 60000);
    QVERIFY2(program.recorded(), "the program ended before its first start was recorded");
    program.stop();

    const QString user = program.user();
    for (const QString& name : FirstRunPlan::sampleFiles()) {
        QCOMPARE(TestHome::read(user + u'/' + name), TestHome::read(installed + u'/' + name));
        QVERIFY(!TestHome::read(user + u'/' + name).isEmpty());
    }
    QCOMPARE(TestHome::read(user + QStringLiteral("/Welcome.prj")),
             QString(user + "/\n" + user + "/Templates/\n" + user +
                     "/Quillora on the Web!.html.lnk\n" + user + "/Quillora readme.txt\n" + user +
                     "/Welcome.rtf\n\n")
                 .toUtf8());
    QCOMPARE(TestHome::read(user + QStringLiteral("/Templates/Templates.prj")),
             QString(user + "/Templates/\n" + user + "/Templates/HTMTemplate.htm\n" + user +
                     "/Templates/LetterTemplate.rtf\n\n")
                 .toUtf8());
    {
        SettingsStore store(program.settingsFile());
        QCOMPARE(store.read(QStringLiteral("General"), QStringLiteral("QuoteFile"), {}),
                 user + QStringLiteral("/Templates/Quotes.txt"));
        QCOMPARE(store.read(QStringLiteral("General"), QStringLiteral("AutoTagFile"), {}),
                 user + QStringLiteral("/Templates/AutoComplete.txt"));
    }
    QCOMPARE(snapshot(prefix), prefixBefore);

    // The user edits the quotes, throws a template away and loses the settings:
    // the next start puts back only what is missing.
    const QByteArray mine("My own quotes.\n");
    home.write(QStringLiteral("data/Quillora/Templates/Quotes.txt"), mine);
    QVERIFY(QFile::remove(user + QStringLiteral("/Templates/LetterTemplate.rtf")));
    QVERIFY(QFile::remove(program.settingsFile()));
    program.start(binary);
    QTRY_VERIFY_WITH_TIMEOUT(program.recorded() || !program.running(), 60000);
    QVERIFY(program.recorded());
    program.stop();
    QCOMPARE(TestHome::read(user + QStringLiteral("/Templates/Quotes.txt")), mine);
    QCOMPARE(TestHome::read(user + QStringLiteral("/Templates/LetterTemplate.rtf")),
             TestHome::read(installed + QStringLiteral("/Templates/LetterTemplate.rtf")));
    QCOMPARE(snapshot(prefix), prefixBefore);
}

QTEST_GUILESS_MAIN(TestFirstStart)
#include "tst_firststart.moc"
