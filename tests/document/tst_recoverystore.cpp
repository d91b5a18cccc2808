#include "document/recoverysnapshot.h"
#include "document/recoverystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <unistd.h>

Q_DECLARE_METATYPE(RecoveryCopy)

namespace {

RecoveryCopy sampleCopy()
{
    RecoveryCopy copy;
    copy.owner = {QStringLiteral("host-a"), QStringLiteral("/run/user/1000/quillora/default.lock"),
                  4242};
    copy.savedAt = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 890), Qt::UTC);
    copy.originalPath = QStringLiteral("/home/ann/notes.txt");
    copy.content = QByteArrayLiteral("first\nsecond\n");
    copy.caret = 7;
    copy.disk = {DiskStamp::Kind::File, 13, 1772600767000000001, 4711, {}};
    return copy;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A process number no process has: one that ran and ended.
qint64 endedProcess()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForFinished();
    return process.processId() ? process.processId() : 999999;
}

} // namespace

class TestRecoveryStore : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void unreadableIsReportedAndKept_data();
    void unreadableIsReportedAndKept();
    void folderIsPrivate();
    void removeLeavesOthers();
    void discardKeepsSevenDays();
    void unwritableFolder();
    void owner_data();
    void owner();
    void plainSnapshot();
    void richSnapshot();
    void formattingIsNoticed_data();
    void formattingIsNoticed();
};

void TestRecoveryStore::roundTrip_data()
{
    QTest::addColumn<RecoveryCopy>("copy");
    QTest::newRow("titled plain text") << sampleCopy();
    RecoveryCopy untitled = sampleCopy();
    untitled.originalPath.clear();
    untitled.content = QStringLiteral("Grüße, 日本語 and \u2603").toUtf8();
    QTest::newRow("untitled, not ASCII") << untitled;
    RecoveryCopy legacy = sampleCopy();
    legacy.format = {"windows-1252", false, LineEnding::CRLF, {}};
    legacy.originalPath = QStringLiteral("/tmp/dir with space/ünïcode.TXT");
    QTest::newRow("code page, CRLF") << legacy;
    RecoveryCopy bom = sampleCopy();
    bom.format = {"UTF-16LE", true, LineEnding::CR, {}};
    QTest::newRow("UTF-16 with mark, CR") << bom;
    RecoveryCopy mixed = sampleCopy();
    mixed.format.mixedEndings = {LineEnding::CRLF, LineEnding::LF, LineEnding::CR};
    QTest::newRow("mixed line ends") << mixed;
    RecoveryCopy rich = sampleCopy();
    rich.kind = DocumentKind::Rtf;
    rich.originalPath = QStringLiteral("/home/ann/letter.rtf");
    rich.content = QByteArrayLiteral("{\\rtf1\\ansi {\\b bold}\\par\n}") + QByteArray(1, '\0');
    rich.caret = 0;
    QTest::newRow("rich text") << rich;
    RecoveryCopy empty = sampleCopy();
    empty.content.clear();
    empty.owner.lockPath.clear();
    QTest::newRow("empty text, no lock") << empty;
}

void TestRecoveryStore::roundTrip()
{
    QFETCH(RecoveryCopy, copy);
    const Result<RecoveryCopy> decoded = RecoveryStore::decode(RecoveryStore::encode(copy));
    QVERIFY2(decoded.ok(), qPrintable(decoded.error().message));
    QCOMPARE(decoded.value(), copy);

    QTemporaryDir dir;
    const RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    QVERIFY(store.write(QStringLiteral("a.recovery"), copy).ok());
    const QList<RecoveryStore::Entry> entries = store.list();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].name, QStringLiteral("a.recovery"));
    QCOMPARE(entries[0].bytes, QFileInfo(store.path(QStringLiteral("a.recovery"))).size());
    QVERIFY(entries[0].copy.has_value());
    QCOMPARE(*entries[0].copy, copy);
}

void TestRecoveryStore::unreadableIsReportedAndKept_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    const QByteArray good = RecoveryStore::encode(sampleCopy());
    QTest::newRow("empty file") << QByteArray() << "not a recovery copy";
    QTest::newRow("half the mark") << good.left(8) << "not a recovery copy";
    QTest::newRow("mark only") << good.left(20) << "cut short";
    QTest::newRow("cut in the fields") << good.left(good.size() / 2) << "cut short";
    QTest::newRow("last byte missing") << good.chopped(1) << "cut short";
    QByteArray damaged = good;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
    QTest::newRow("one byte changed") << damaged << "damaged";
    QByteArray newer = good;
    newer[21] = 3; // the version follows the 18-byte mark, most significant byte first
    QTest::newRow("newer version") << newer << "version 3";
    QTest::newRow("something else") << QByteArray("{\\rtf1 hello}") << "not a recovery copy";
}

void TestRecoveryStore::unreadableIsReportedAndKept()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const RecoveryStore store(dir.path());
    writeBytes(store.path(QStringLiteral("bad.recovery")), bytes);
    QVERIFY(store.write(QStringLiteral("good.recovery"), sampleCopy()).ok());

    const QList<RecoveryStore::Entry> entries = store.list();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].name, QStringLiteral("bad.recovery"));
    QVERIFY(!entries[0].copy);
    QVERIFY2(entries[0].error.contains(why), qPrintable(entries[0].error));
    QVERIFY(entries[1].copy.has_value());
    QCOMPARE(fileBytes(store.path(QStringLiteral("bad.recovery"))), bytes);
    QVERIFY(!store.read(QStringLiteral("bad.recovery")).ok());
}

void TestRecoveryStore::folderIsPrivate()
{
    QTemporaryDir dir;
    const RecoveryStore store(dir.filePath(QStringLiteral("state/Quillora/recovery")));
    QVERIFY(store.list().isEmpty()); // a missing folder lists nothing
    QVERIFY(store.write(QStringLiteral("x.recovery"), sampleCopy()).ok());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(store.folder()).permissions() & others, QFileDevice::Permissions());
    QVERIFY(QFileInfo(store.folder()).permissions() & QFileDevice::WriteOwner);
    // No temporary file is left beside the copy.
    QCOMPARE(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("x.recovery")});
}

void TestRecoveryStore::removeLeavesOthers()
{
    QTemporaryDir dir;
    const RecoveryStore store(dir.path());
    QVERIFY(store.write(QStringLiteral("a.recovery"), sampleCopy()).ok());
    QVERIFY(store.write(QStringLiteral("b.recovery"), sampleCopy()).ok());
    QVERIFY(store.remove(QStringLiteral("a.recovery")).ok());
    QVERIFY(store.remove(QStringLiteral("never-written.recovery")).ok());
    QCOMPARE(store.list().size(), 1);
    QCOMPARE(store.list()[0].name, QStringLiteral("b.recovery"));
}

void TestRecoveryStore::discardKeepsSevenDays()
{
    QTemporaryDir dir;
    const RecoveryStore store(dir.path());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QVERIFY(store.write(QStringLiteral("a.recovery"), sampleCopy()).ok());
    QVERIFY(store.write(QStringLiteral("b.recovery"), sampleCopy()).ok());
    const QByteArray a = fileBytes(store.path(QStringLiteral("a.recovery")));
    QVERIFY(store.discard(QStringLiteral("a.recovery"), now.addDays(-3)).ok());
    QVERIFY(store.discard(QStringLiteral("b.recovery"), now.addDays(-8)).ok());
    // A second discard of the same name keeps the first one.
    QVERIFY(store.write(QStringLiteral("a.recovery"), sampleCopy()).ok());
    QVERIFY(store.discard(QStringLiteral("a.recovery"), now).ok());
    QVERIFY(store.list().isEmpty());
    const QString discarded = store.folder() + QStringLiteral("/discarded/");
    QCOMPARE(fileBytes(discarded + QStringLiteral("a.recovery")), a);
    QCOMPARE(QDir(discarded).count(), 3u + 2u); // with . and ..

    QCOMPARE(store.removeOldDiscarded(now), 1); // b, discarded 8 days ago
    QVERIFY(!QFileInfo::exists(discarded + QStringLiteral("b.recovery")));
    QVERIFY(QFileInfo::exists(discarded + QStringLiteral("a.recovery")));
    QCOMPARE(store.removeOldDiscarded(now.addDays(4).addSecs(60)), 1);
    QCOMPARE(store.removeOldDiscarded(now.addDays(8)), 1);
    QCOMPARE(QDir(discarded).entryList(QDir::Files).size(), 0);
}

void TestRecoveryStore::unwritableFolder()
{
    QTemporaryDir dir;
    // A file where the folder should be stops even a user who may write anywhere.
    writeBytes(dir.filePath(QStringLiteral("Quillora")), "not a folder");
    const RecoveryStore store(dir.filePath(QStringLiteral("Quillora/recovery")));
    QVERIFY(!store.ensureFolder().ok());
    const Status written = store.write(QStringLiteral("a.recovery"), sampleCopy());
    QVERIFY(!written.ok());
    QVERIFY(!written.error().message.isEmpty());
    QVERIFY(store.list().isEmpty());
    QCOMPARE(store.removeOldDiscarded(QDateTime::currentDateTimeUtc()), 0);
}

void TestRecoveryStore::owner_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<bool>("useLock");
    QTest::addColumn<qint64>("lockPid");
    QTest::addColumn<bool>("running");
    const QString here = QSysInfo::machineHostName();
    const qint64 me = QCoreApplication::applicationPid();
    const qint64 ended = endedProcess();
    const qint64 parent = qint64(::getppid());
    QTest::newRow("this process") << here << me << false << qint64(0) << true;
    QTest::newRow("another host") << QStringLiteral("elsewhere") << ended << false << qint64(0)
                                  << true;
    QTest::newRow("ended, no lock") << here << ended << false << qint64(0) << false;
    QTest::newRow("alive, no lock") << here << parent << false << qint64(0) << true;
    QTest::newRow("ended, lock gone") << here << ended << true << qint64(-1) << false;
    QTest::newRow("alive, holds its lock") << here << parent << true << parent << true;
    QTest::newRow("alive, lock taken by another") << here << parent << true << me << false;
    QTest::newRow("ended, lock left behind") << here << ended << true << ended << false;
}

void TestRecoveryStore::owner()
{
    QFETCH(QString, host);
    QFETCH(qint64, pid);
    QFETCH(bool, useLock);
    QFETCH(qint64, lockPid);
    QFETCH(bool, running);
    QTemporaryDir dir;
    const QString lockPath = dir.filePath(QStringLiteral("default.lock"));
    if (lockPid > 0)
        writeBytes(lockPath, QByteArray::number(lockPid) + "\nquillora\n" +
                                 QSysInfo::machineHostName().toUtf8() + '\n');
    const RecoveryOwner owner{host, useLock ? lockPath : QString(), pid};
    QCOMPARE(owner.mayBeRunning(), running);
}

void TestRecoveryStore::plainSnapshot()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("one\ntwo\n\nthree"));
    QTextCursor(&document).insertText(QStringLiteral("zero "));
    RecoveryCopy header = sampleCopy();
    header.content = "stale";
    const RecoverySnapshot snapshot = RecoverySnapshot::take(&document, header);
    // What the document becomes later is not in the copy.
    document.setPlainText(QStringLiteral("changed"));
    const RecoveryCopy copy = snapshot.finish();
    QCOMPARE(copy.content, QByteArray("zero one\ntwo\n\nthree"));
    header.content = copy.content;
    QCOMPARE(copy, header);
}

void TestRecoveryStore::richSnapshot()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("plain "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("bold"), bold);
    RecoveryCopy header = sampleCopy();
    header.kind = DocumentKind::Rtf;
    const RecoverySnapshot snapshot = RecoverySnapshot::take(&document, header);
    document.clear();
    const RecoveryCopy copy = snapshot.finish();
    QVERIFY(copy.content.startsWith("{\\rtf1"));
    QVERIFY(copy.content.contains("\\b bold") || copy.content.contains("\\b\\"));
    QVERIFY(copy.content.contains("plain "));
}

void TestRecoveryStore::formattingIsNoticed_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("noticed");
    QTest::newRow("typed text") << 0 << false;
    QTest::newRow("bold") << 1 << true;
    QTest::newRow("centred") << 2 << true;
    QTest::newRow("list") << 3 << true;
    QTest::newRow("table") << 4 << true;
}

void TestRecoveryStore::formattingIsNoticed()
{
    QFETCH(int, change);
    QFETCH(bool, noticed);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("some words\nmore"));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    switch (change) {
    case 1:
        cursor.insertText(QStringLiteral("b"), bold);
        break;
    case 2:
        cursor.setBlockFormat(centred);
        break;
    case 3:
        cursor.createList(QTextListFormat::ListDisc);
        break;
    case 4:
        cursor.insertTable(2, 2);
        break;
    default:
        break;
    }
    QCOMPARE(RecoverySnapshot::mayHoldFormatting(&document), noticed);
}

QTEST_MAIN(TestRecoveryStore)
#include "tst_recoverystore.moc"
