#include "platform/fileactions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// GIO's steps on real files. Everything lies under HOME, so the trash is the
// home trash; the data folder that holds it is made missing before GIO first looks.
class TestFileActions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void trashMakesTheMissingDataFolder();
    void trashTakesAFolderIntoTheExistingTrash();
    void copyKeepsModesTimesAndLinks();
    void copyNeverReplaces();
    void copyOfAVanishedSourceFailsAndMakesNothing();
    void cancelledCopyLeavesNoHalfFile();
    void folderGetsItsAttributesAfterItsContent();
    void moveRenamesAndReplacesOnlyWhenAsked();
    void moveAcrossDevicesIsNotSupported();
    void removeDeletesOneItem();

private:
    QString write(const QString& name, const QByteArray& bytes = "text");

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_dataHome;
};

namespace {

const QDateTime Old(QDate(2020, 1, 2), QTime(3, 4, 5));

void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

QString TestFileActions::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void TestFileActions::initTestCase()
{
    QVERIFY(QDir().mkpath(QDir::homePath()));
    m_dir = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/actions-XXXXXX"));
    QVERIFY(m_dir->isValid());
    m_dataHome = m_dir->filePath(QStringLiteral("local/share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
}

void TestFileActions::trashMakesTheMissingDataFolder()
{
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("local"))));
    const QString file = write(QStringLiteral("notes.txt"), "to the trash");
    const Status trashed = FileActions::trash(file);
    QVERIFY2(trashed.ok(), qPrintable(trashed.error().message));
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(QFile(m_dataHome + QStringLiteral("/Trash/files/notes.txt")).size(), 12);
    QVERIFY(QFileInfo::exists(m_dataHome + QStringLiteral("/Trash/info/notes.txt.trashinfo")));
}

void TestFileActions::trashTakesAFolderIntoTheExistingTrash()
{
    write(QStringLiteral("old/inner/a.txt"));
    const Status trashed = FileActions::trash(m_dir->filePath(QStringLiteral("old")));
    QVERIFY2(trashed.ok(), qPrintable(trashed.error().message));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("old"))));
    QVERIFY(QFileInfo::exists(m_dataHome + QStringLiteral("/Trash/files/old/inner/a.txt")));
    const Status missing = FileActions::trash(m_dir->filePath(QStringLiteral("old")));
    QVERIFY(!missing.ok());
    QCOMPARE(missing.error().code, ErrorCode::FileNotFound);
}

void TestFileActions::copyKeepsModesTimesAndLinks()
{
    const QString tool = write(QStringLiteral("keep/tool.sh"), "#!/bin/sh\n");
    const QString fixed = write(QStringLiteral("keep/fixed.txt"), "read only");
    setModified(tool, Old);
    setModified(fixed, Old.addDays(1));
    const auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(tool, executable));
    QVERIFY(QFile::setPermissions(fixed, readOnly));
    const QString link = m_dir->filePath(QStringLiteral("keep/link"));
    QVERIFY(QFile::link(QStringLiteral("fixed.txt"), link));
    const QString dangling = m_dir->filePath(QStringLiteral("keep/dangling"));
    QVERIFY(QFile::link(QStringLiteral("nowhere.txt"), dangling));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("out"))));

    for (const QString& name : {QStringLiteral("tool.sh"), QStringLiteral("fixed.txt"),
                                QStringLiteral("link"), QStringLiteral("dangling")}) {
        const Status copied = FileActions::copyFile(m_dir->filePath(QStringLiteral("keep/") + name),
                                                    m_dir->filePath(QStringLiteral("out/") + name));
        QVERIFY2(copied.ok(), qPrintable(name + u' ' + copied.error().message));
    }
    const QFileInfo toolCopy(m_dir->filePath(QStringLiteral("out/tool.sh")));
    QCOMPARE(toolCopy.permissions() & 0x7077, executable);
    QCOMPARE(toolCopy.lastModified(), Old);
    const QFileInfo fixedCopy(m_dir->filePath(QStringLiteral("out/fixed.txt")));
    QCOMPARE(fixedCopy.permissions() & 0x7077, readOnly);
    QCOMPARE(fixedCopy.lastModified(), Old.addDays(1));
    const QFileInfo linkCopy(m_dir->filePath(QStringLiteral("out/link")));
    QVERIFY(linkCopy.isSymLink());
    QCOMPARE(linkCopy.symLinkTarget(), m_dir->filePath(QStringLiteral("out/fixed.txt")));
    QCOMPARE(QFile::symLinkTarget(m_dir->filePath(QStringLiteral("out/dangling"))),
             m_dir->filePath(QStringLiteral("out/nowhere.txt")));
}

void TestFileActions::copyNeverReplaces()
{
    const QString from = write(QStringLiteral("never/new.txt"), "new");
    const QString to = write(QStringLiteral("never/old.txt"), "old");
    const Status copied = FileActions::copyFile(from, to);
    QVERIFY(!copied.ok());
    QCOMPARE(copied.error().code, ErrorCode::FileExists);
    QCOMPARE(QFile(to).size(), 3);
    QFile old(to);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

void TestFileActions::copyOfAVanishedSourceFailsAndMakesNothing()
{
    const QString to = m_dir->filePath(QStringLiteral("gone-copy.txt"));
    const Status copied = FileActions::copyFile(m_dir->filePath(QStringLiteral("gone.txt")), to);
    QVERIFY(!copied.ok());
    QCOMPARE(copied.error().code, ErrorCode::FileNotFound);
    QVERIFY(!copied.error().message.isEmpty());
    QVERIFY(!QFileInfo(to).exists() && !QFileInfo(to).isSymLink());
}

void TestFileActions::cancelledCopyLeavesNoHalfFile()
{
    const QString from = write(QStringLiteral("big.bin"), QByteArray(32 << 20, 'x'));
    const QString to = m_dir->filePath(QStringLiteral("big-copy.bin"));
    bool stop = false;
    qint64 seen = 0;
    const Status copied = FileActions::copyFile(
        from, to, [&stop] { return stop; },
        [&](qint64 done, qint64 total) {
            QCOMPARE(total, qint64(32 << 20));
            seen = done;
            if (done > 0)
                stop = true;
        });
    QVERIFY(seen > 0);
    QVERIFY(seen < (32 << 20));
    QVERIFY(!copied.ok());
    QCOMPARE(copied.error().code, ErrorCode::Cancelled);
    QVERIFY(!QFileInfo::exists(to));
    QVERIFY(QFileInfo::exists(from));
}

void TestFileActions::folderGetsItsAttributesAfterItsContent()
{
    const QString inner = write(QStringLiteral("shut/inner.txt"));
    const QString folder = QFileInfo(inner).path();
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(folder, readOnly));
    QVERIFY(QDir(folder).exists());
    const timespec when{Old.toSecsSinceEpoch(), 0};
    const timespec times[2] = {when, when};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), times, 0), 0);
    const QString copy = m_dir->filePath(QStringLiteral("shut-copy"));
    QVERIFY(FileActions::makeFolder(copy).ok());
    QCOMPARE(FileActions::makeFolder(copy).error().code, ErrorCode::FileExists);
    QVERIFY(FileActions::copyFile(inner, copy + QStringLiteral("/inner.txt")).ok());
    const Status kept = FileActions::copyFolderAttributes(folder, copy);
    QVERIFY2(kept.ok(), qPrintable(kept.error().message));
    const QFileInfo made(copy);
    QCOMPARE(made.permissions() & 0x7077, readOnly);
    QCOMPARE(made.lastModified(), Old);
    QVERIFY(QFileInfo::exists(copy + QStringLiteral("/inner.txt")));
    QVERIFY(QFile::setPermissions(folder, readOnly | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(copy, readOnly | QFile::WriteOwner));
}

void TestFileActions::moveRenamesAndReplacesOnlyWhenAsked()
{
    const QString from = write(QStringLiteral("move/a.txt"), "moved");
    const QString other = write(QStringLiteral("move/b.txt"), "stays");
    const Status refused = FileActions::move(from, other);
    QVERIFY(!refused.ok());
    QCOMPARE(refused.error().code, ErrorCode::FileExists);
    QVERIFY(QFileInfo::exists(from));
    const Status replaced = FileActions::move(from, other, true);
    QVERIFY2(replaced.ok(), qPrintable(replaced.error().message));
    QVERIFY(!QFileInfo::exists(from));
    QFile result(other);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), QByteArray("moved"));
    const Status folder = FileActions::move(m_dir->filePath(QStringLiteral("move")),
                                            m_dir->filePath(QStringLiteral("moved")));
    QVERIFY(folder.ok());
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("moved/b.txt"))));
}

void TestFileActions::moveAcrossDevicesIsNotSupported()
{
    const QString shm = QStringLiteral("/dev/shm");
    if (!QFileInfo(shm).isWritable() ||
        QStorageInfo(shm).device() == QStorageInfo(m_dir->path()).device())
        QSKIP("no writable second device at /dev/shm");
    QTemporaryDir other(shm + QStringLiteral("/quillora-XXXXXX"));
    QVERIFY(other.isValid());
    const QString file = write(QStringLiteral("across/file.txt"));
    const Status moved = FileActions::move(file, other.filePath(QStringLiteral("file.txt")));
    QVERIFY(!moved.ok());
    QCOMPARE(moved.error().code, ErrorCode::NotSupported);
    QVERIFY(QFileInfo::exists(file));
    QVERIFY(!QFileInfo::exists(other.filePath(QStringLiteral("file.txt"))));
    const Status folder =
        FileActions::move(QFileInfo(file).path(), other.filePath(QStringLiteral("across")));
    QCOMPARE(folder.error().code, ErrorCode::NotSupported);
    QVERIFY(QFileInfo::exists(file));
}

void TestFileActions::removeDeletesOneItem()
{
    const QString file = write(QStringLiteral("rm/inner/a.txt"));
    const QString folder = m_dir->filePath(QStringLiteral("rm"));
    QVERIFY(!FileActions::remove(folder).ok());
    QVERIFY(QFileInfo::exists(file));
    QVERIFY(FileActions::remove(file).ok());
    QVERIFY(FileActions::remove(QFileInfo(file).path()).ok());
    QVERIFY(FileActions::remove(folder).ok());
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(FileActions::remove(folder).error().code, ErrorCode::FileNotFound);
}

QTEST_GUILESS_MAIN(TestFileActions)
#include "tst_fileactions.moc"
