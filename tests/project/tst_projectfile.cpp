#include "project/projectfile.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestProjectFile : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void legacyFileIsSavedAsUtf8();
    void refusesToRead_data();
    void refusesToRead();
    void refusesEntriesThatCannotReadBack_data();
    void refusesEntriesThatCannotReadBack();
    void savingIsAtomicAndKeepsPermissions();
};

void TestProjectFile::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("saved with LF: two, not three")
        << QByteArray("A\nB\n\n") << QStringList{"A", "B"};
    QTest::newRow("saved with CR LF")
        << QByteArray("C:\\Work\\Site\\\r\nC:\\Work\\Site\\index.htm\r\n\r\n")
        << QStringList{"C:\\Work\\Site\\", "C:\\Work\\Site\\index.htm"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("CR before CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "b"};
    QTest::newRow("no end after the last") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("blank lines between")
        << QByteArray("\n\na\n\n\r\n\rb\n\n") << QStringList{"a", "b"};
    QTest::newRow("a line of blanks is an entry")
        << QByteArray("a\n   \n\tb \n") << QStringList{"a", "   ", "\tb "};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("empty project") << QByteArray("\n") << QStringList{};
    QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBF/a.txt\n\n") << QStringList{"/a.txt"};
    QTest::newRow("a BOM later is text") << QByteArray("a\n\xEF\xBB\xBF"
                                                       "b\n")
                                         << QStringList{"a", QStringLiteral("\uFEFFb")};
    QTest::newRow("UTF-8") << QByteArray("/home/j\xC3\xBCrgen/Stra\xC3\x9F"
                                         "e.txt\n\n")
                           << QStringList{QStringLiteral("/home/j\u00FCrgen/Stra\u00DFe.txt")};
    QTest::newRow("Windows-1252") << QByteArray(
                                         "C:\\Docs\\caf\xE9.txt\r\nC:\\\x80\x93x\x94\r\n\r\n")
                                  << QStringList{QStringLiteral("C:\\Docs\\caf\u00E9.txt"),
                                                 QStringLiteral("C:\\\u20AC\u201Cx\u201D")};
    QTest::newRow("Windows-1252 after a BOM")
        << QByteArray("\xEF\xBB\xBF\xE9t\xE9\n") << QStringList{QStringLiteral("\u00E9t\u00E9")};
    QTest::newRow("cut UTF-8 is Windows-1252")
        << QByteArray("a\xC3\n") << QStringList{QStringLiteral("a\u00C3")};
}

void TestProjectFile::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(ProjectFile::decode(bytes), entries);
    TestHome home;
    const Result<QStringList> read = ProjectFile::read(home.write(QStringLiteral("p.prj"), bytes));
    QVERIFY2(read.ok(), qPrintable(read.error().message));
    QCOMPARE(read.value(), entries);
}

void TestProjectFile::writes_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty project") << QStringList{} << QByteArray("\n");
    QTest::newRow("two entries") << QStringList{"A", "B"} << QByteArray("A\nB\n\n");
    QTest::newRow("kinds and forms")
        << QStringList{"/home/ann/Site/", "C:\\Work\\Site\\index.htm", "/d/a.pdf.lnk"}
        << QByteArray("/home/ann/Site/\nC:\\Work\\Site\\index.htm\n/d/a.pdf.lnk\n\n");
    QTest::newRow("blanks kept") << QStringList{"   ", " a "} << QByteArray("   \n a \n\n");
    QTest::newRow("UTF-8 without BOM") << QStringList{QStringLiteral("/caf\u00E9/\u20AC.txt")}
                                       << QByteArray("/caf\xC3\xA9/\xE2\x82\xAC.txt\n\n");
    QTest::newRow("a leading BOM character survives") << QStringList{QStringLiteral("\uFEFFa")}
                                                      << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                                    "a\n\n");
}

void TestProjectFile::writes()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ProjectFile::encode(entries), bytes);
    TestHome home;
    const QString path = home.path(QStringLiteral("p.prj"));
    const Status written = ProjectFile::write(path, entries);
    QVERIFY2(written.ok(), qPrintable(written.error().message));
    QCOMPARE(TestHome::read(path), bytes);
    // And back: what was saved loads as the same entries.
    const Result<QStringList> read = ProjectFile::read(path);
    QVERIFY(read.ok());
    QCOMPARE(read.value(), entries);
}

void TestProjectFile::legacyFileIsSavedAsUtf8()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("old.prj"),
                                    "C:\\Work\\\r\nC:\\Docs\\r\xE9sum\xE9.doc.lnk\r\n\r\n");
    const Result<QStringList> read = ProjectFile::read(path);
    QVERIFY(read.ok());
    QVERIFY(ProjectFile::write(path, read.value()).ok());
    QCOMPARE(TestHome::read(path),
             QByteArray("C:\\Work\\\nC:\\Docs\\r\xC3\xA9sum\xC3\xA9.doc.lnk\n\n"));
}

void TestProjectFile::refusesToRead_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing" << ErrorCode::FileNotFound << "File not found";
    QTest::newRow("folder") << "folder" << ErrorCode::PermissionDenied
                            << "The path is a folder, not a file";
    QTest::newRow("NUL bytes") << "nul" << ErrorCode::BadFormat << ProjectFile::NulBytesReason;
    QTest::newRow("UTF-16") << "utf16" << ErrorCode::BadFormat << ProjectFile::NulBytesReason;
    QTest::newRow("over 64 MB") << "huge" << ErrorCode::ReadFailed
                                << "The file is too large to open (the limit is 64 MB)";
    QTest::newRow("pipe") << "fifo" << ErrorCode::PermissionDenied
                          << "The path is a pipe, not a file";
    // Permissions do not stop the superuser.
    if (::geteuid() != 0)
        QTest::newRow("no permission")
            << "noaccess" << ErrorCode::PermissionDenied << "Permission denied";
}

void TestProjectFile::refusesToRead()
{
    QFETCH(QString, what);
    QFETCH(int, code);
    QFETCH(QString, reason);
    TestHome home;
    const QString path = home.path(what + QStringLiteral(".prj"));
    if (what == u"folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (what == u"nul") {
        home.write(QFileInfo(path).fileName(), QByteArray("a\n\0b\n", 5));
    } else if (what == u"utf16") {
        home.write(QFileInfo(path).fileName(), QByteArray("\xFF\xFE"
                                                          "a\0\n\0",
                                                          6));
    } else if (what == u"huge") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ProjectFile::MaxFileBytes + 1)); // sparse: nothing is written
    } else if (what == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (what == u"noaccess") {
        home.write(QFileInfo(path).fileName(), "a\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    const Result<QStringList> read = ProjectFile::read(path);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().code, code);
    QCOMPARE(read.error().message, QStringLiteral("Error: ") + path + u'\n' + reason);
}

void TestProjectFile::refusesEntriesThatCannotReadBack_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("reason");
    QTest::newRow("LF") << "/a\nb.txt" << ProjectFile::LineBreakReason;
    QTest::newRow("CR") << "/a\rb.txt" << ProjectFile::LineBreakReason;
    QTest::newRow("NUL") << QStringLiteral("/a") + QChar(0) << ProjectFile::NulEntryReason;
    QTest::newRow("empty") << "" << ProjectFile::EmptyEntryReason;
}

void TestProjectFile::refusesEntriesThatCannotReadBack()
{
    QFETCH(QString, entry);
    QFETCH(QString, reason);
    QCOMPARE(ProjectFile::refusalReason(entry), reason);
    QVERIFY(ProjectFile::refusalReason(QStringLiteral(" /a b.txt ")).isEmpty());
    TestHome home;
    const QString path = home.write(QStringLiteral("p.prj"), "/old.txt\n\n");
    const Status written = ProjectFile::write(path, {QStringLiteral("/new.txt"), entry});
    QVERIFY(!written.ok());
    QCOMPARE(written.error().message, QStringLiteral("Error: ") + path + u'\n' + reason);
    QCOMPARE(TestHome::read(path), QByteArray("/old.txt\n\n"));
}

void TestProjectFile::savingIsAtomicAndKeepsPermissions()
{
    TestHome home;
    const QString path = home.write(QStringLiteral("p.prj"), "/old.txt\n\n");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const auto mode = [&path] {
        struct stat status;
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                         : 0;
    };
    QVERIFY(ProjectFile::write(path, {QStringLiteral("/new.txt")}).ok());
    QCOMPARE(TestHome::read(path), QByteArray("/new.txt\n\n"));
    QCOMPARE(mode(), mode_t(0640));

    // A save that fails half-way (here at a file size limit, as on a full disk)
    // leaves the old file as it was.
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlim_t unlimited = limit.rlim_cur;
    limit.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Status written = ProjectFile::write(path, {QString(10000, u'x')});
    limit.rlim_cur = unlimited;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    QVERIFY(!written.ok());
    QVERIFY(written.error().message.startsWith(QStringLiteral("Error: ") + path + u'\n'));
    QCOMPARE(TestHome::read(path), QByteArray("/new.txt\n\n"));
    QCOMPARE(mode(), mode_t(0640));

    // A folder is never replaced by a project, and no file can be under a file.
    const QString folder = home.path(QStringLiteral("folder.prj"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(!ProjectFile::write(folder, {"/a"}).ok());
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!ProjectFile::write(path + QStringLiteral("/p.prj"), {"/a"}).ok());
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
