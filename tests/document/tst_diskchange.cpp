#include "document/diskchange.h"
#include "platform/diskstamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Kind = DiskStamp::Kind;
using Action = DiskChange::Action;

DiskStamp stamp(Kind kind, qint64 size = 0, qint64 time = 0, qint64 inode = 0,
                const QByteArray& bytes = QByteArray())
{
    DiskStamp s;
    s.kind = kind;
    s.size = size;
    s.modifiedNs = time;
    s.inode = inode;
    if (kind == Kind::File)
        s.hash = DiskStamp::hashOf(bytes);
    return s;
}

QByteArray write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return bytes;
}

// Rewrites the file's bytes in place and puts its modification time back, as a
// write within a coarse file system clock's tick looks.
void rewriteKeepingTime(const QString& path, const QByteArray& bytes)
{
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &before) == 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    const decltype(before.st_mtim) times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}
} // namespace

Q_DECLARE_METATYPE(DiskStamp)
Q_DECLARE_METATYPE(DiskChange::Action)

class TestDiskChange : public QObject {
    Q_OBJECT
private slots:
    void decide_data();
    void decide();
    void overwriteNeedsQuestion_data();
    void overwriteNeedsQuestion();
    void stampTellsWhatStandsAtThePath();
    void thoroughLookSeesAChangeThatKeptSizeAndTime();
    void replacedFileIsSeenByItsInode();
};

void TestDiskChange::decide_data()
{
    QTest::addColumn<DiskStamp>("seen");
    QTest::addColumn<DiskStamp>("now");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<Action>("action");
    const DiskStamp file = stamp(Kind::File, 3, 100, 7, "abc");
    const DiskStamp touched = stamp(Kind::File, 3, 200, 7, "abc");
    const DiskStamp copiedBack = stamp(Kind::File, 3, 100, 9, "abc");
    const DiskStamp changed = stamp(Kind::File, 3, 200, 7, "xyz");
    const DiskStamp longer = stamp(Kind::File, 4, 200, 8, "abcd");
    const DiskStamp missing = stamp(Kind::Missing);
    QTest::newRow("same") << file << file << true << Action::None;
    QTest::newRow("touched") << file << touched << false << Action::Restamp;
    QTest::newRow("same bytes, new inode") << file << copiedBack << true << Action::Restamp;
    QTest::newRow("changed, not edited") << file << changed << false << Action::Reload;
    QTest::newRow("changed, edited") << file << changed << true << Action::Ask;
    QTest::newRow("replaced by rename") << file << longer << false << Action::Reload;
    QTest::newRow("deleted") << file << missing << false << Action::MarkGone;
    QTest::newRow("deleted, edited") << file << missing << true << Action::MarkGone;
    QTest::newRow("still gone") << missing << missing << true << Action::None;
    QTest::newRow("came back") << missing << file << false << Action::Reload;
    QTest::newRow("came back over edits") << missing << file << true << Action::Ask;
    QTest::newRow("folder") << file << stamp(Kind::Folder, 4096, 5, 3) << false
                            << Action::MarkUnfit;
    QTest::newRow("device") << file << stamp(Kind::Other, 0, 5, 3) << false << Action::MarkUnfit;
    QTest::newRow("unreadable") << file << stamp(Kind::Unreadable, 3, 100, 7) << true
                                << Action::MarkUnfit;
    QTest::newRow("folder again, new time")
        << stamp(Kind::Folder, 4096, 5, 3) << stamp(Kind::Folder, 4096, 6, 3) << false
        << Action::Restamp;
    DiskStamp big = stamp(Kind::File, DiskStamp::HashLimit + 1, 100, 7);
    big.hash.clear();
    DiskStamp bigLater = big;
    bigLater.modifiedNs = 200;
    QTest::newRow("too large to hash, same") << big << big << false << Action::None;
    QTest::newRow("too large to hash, written") << big << bigLater << false << Action::Reload;
    QTest::newRow("unreadable made readable")
        << stamp(Kind::Unreadable, 3, 100, 7) << file << false << Action::Reload;
}

void TestDiskChange::decide()
{
    QFETCH(DiskStamp, seen);
    QFETCH(DiskStamp, now);
    QFETCH(bool, edited);
    QFETCH(Action, action);
    QCOMPARE(DiskChange::decide(seen, now, edited), action);
}

void TestDiskChange::overwriteNeedsQuestion_data()
{
    QTest::addColumn<DiskStamp>("saved");
    QTest::addColumn<DiskStamp>("now");
    QTest::addColumn<bool>("asks");
    const DiskStamp file = stamp(Kind::File, 3, 100, 7, "abc");
    QTest::newRow("as saved") << file << file << false;
    QTest::newRow("touched only") << file << stamp(Kind::File, 3, 200, 9, "abc") << false;
    QTest::newRow("changed") << file << stamp(Kind::File, 3, 200, 7, "xyz") << true;
    QTest::newRow("gone: written anew") << file << stamp(Kind::Missing) << false;
    QTest::newRow("created since opened") << stamp(Kind::Missing) << file << true;
    QTest::newRow("folder: the save refuses") << file << stamp(Kind::Folder, 1, 1, 1) << false;
    QTest::newRow("device: the save refuses") << file << stamp(Kind::Other, 0, 1, 1) << false;
    QTest::newRow("unreadable") << file << stamp(Kind::Unreadable, 3, 100, 7) << true;
}

void TestDiskChange::overwriteNeedsQuestion()
{
    QFETCH(DiskStamp, saved);
    QFETCH(DiskStamp, now);
    QFETCH(bool, asks);
    QCOMPARE(DiskChange::overwriteNeedsQuestion(saved, now), asks);
}

void TestDiskChange::stampTellsWhatStandsAtThePath()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    const QByteArray bytes = write(file, "some text\n");
    const DiskStamp of = DiskStamp::of(file);
    QCOMPARE(of.kind, Kind::File);
    QCOMPARE(of.size, bytes.size());
    QCOMPARE(of.hash, DiskStamp::hashOf(bytes));
    QVERIFY(of.inode != 0);
    QVERIFY(DiskStamp::quick(file).hash.isEmpty());
    QVERIFY(DiskStamp::quick(file).sameMetadata(of));

    QCOMPARE(DiskStamp::of(dir.filePath(QStringLiteral("none"))).kind, Kind::Missing);
    QCOMPARE(DiskStamp::of(dir.path()).kind, Kind::Folder);
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QCOMPARE(DiskStamp::of(fifo).kind, Kind::Other); // and never blocks on it
    QCOMPARE(DiskStamp::of(QStringLiteral("/dev/null")).kind, Kind::Other);
    if (::geteuid() != 0) {
        QFile::setPermissions(file, QFileDevice::WriteOwner);
        QCOMPARE(DiskStamp::of(file).kind, Kind::Unreadable);
    }
}

void TestDiskChange::thoroughLookSeesAChangeThatKeptSizeAndTime()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    write(file, "abc");
    const DiskStamp seen = DiskStamp::of(file);
    rewriteKeepingTime(file, "xyz");
    QVERIFY(DiskStamp::quick(file).sameMetadata(seen));
    // A watcher's look trusts size and time; an activation's hashes small files.
    QCOMPARE(DiskChange::decide(seen, DiskChange::look(file, seen, false), false), Action::None);
    const DiskStamp thorough = DiskChange::look(file, seen, true);
    QCOMPARE(thorough.hash, DiskStamp::hashOf("xyz"));
    QCOMPARE(DiskChange::decide(seen, thorough, false), Action::Reload);
}

void TestDiskChange::replacedFileIsSeenByItsInode()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    write(file, "abc");
    const DiskStamp seen = DiskStamp::of(file);
    // Another program writes a temporary file and renames it over the old one;
    // it keeps the size and sets the old time.
    const QString temp = dir.filePath(QStringLiteral("a.txt.tmp"));
    write(temp, "xyz");
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(file).constData(), &before) == 0);
    const decltype(before.st_mtim) times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(temp).constData(), times, 0) == 0);
    QVERIFY(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(file).constData()) ==
            0);
    const DiskStamp now = DiskChange::look(file, seen, false);
    QVERIFY(now.inode != seen.inode);
    QCOMPARE(DiskChange::decide(seen, now, true), Action::Ask);
}

QTEST_GUILESS_MAIN(TestDiskChange)
#include "tst_diskchange.moc"
