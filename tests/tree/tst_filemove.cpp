#include "steplog.h"
#include "tree/fileoperation.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

// Moves on real folders: a rename where the device allows it, otherwise each
// item copied before its source goes.
class TestFileMove : public QObject {
    Q_OBJECT
private slots:
    void init();
    void folderOnOneDeviceMovesWhole();
    void acrossDevicesEachSourceGoesAfterItsCopy();
    void failureAcrossDevicesKeepsWhatWasNotCopied();
    void mergedFolderStaysWhileSomethingIsLeftInIt_data();
    void mergedFolderStaysWhileSomethingIsLeftInIt();
    void moveIntoItsOwnFolderIsSkipped();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Moves out of "from" fail as between two devices.
    void acrossDevices()
    {
        const QString from = path(QStringLiteral("from/"));
        m_log.inject = [from](const QString& line) -> std::optional<Error> {
            if (line.startsWith(QStringLiteral("move ") + from) ||
                line.startsWith(QStringLiteral("replace ") + from))
                return Error{ErrorCode::NotSupported, QStringLiteral("Not supported")};
            return std::nullopt;
        };
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    StepLog m_log;
};

void TestFileMove::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_log = StepLog();
}

void TestFileMove::folderOnOneDeviceMovesWhole()
{
    writeFile(path(QStringLiteral("from/dir/a.txt")), "a");
    writeFile(path(QStringLiteral("from/dir/sub/b.txt")), "b");
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    FileOperation operation(FileOperation::Kind::Move, {path(QStringLiteral("from/dir"))},
                            path(QStringLiteral("to")), m_log.steps());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(m_log.lines, QStringList{QStringLiteral("move ") + path(QStringLiteral("from/dir")) +
                                      u' ' + path(QStringLiteral("to/dir"))});
    QCOMPARE(report.itemsTotal, 4);
    QCOMPARE(report.itemsDone, 4);
    QCOMPARE(report.done.size(), 4);
    QCOMPARE(treeOf(path(QStringLiteral("from"))), QStringList());
    QCOMPARE(treeOf(path(QStringLiteral("to"))),
             (QStringList{"dir/", "dir/a.txt", "dir/sub/", "dir/sub/b.txt"}));
}

void TestFileMove::acrossDevicesEachSourceGoesAfterItsCopy()
{
    writeFile(path(QStringLiteral("from/dir/a.txt")), "a");
    writeFile(path(QStringLiteral("from/dir/sub/b.txt")), "b");
    QVERIFY(QFile::link(QStringLiteral("a.txt"), path(QStringLiteral("from/dir/link"))));
    writeFile(path(QStringLiteral("from/top.txt")), "new top");
    writeFile(path(QStringLiteral("to/top.txt")), "old top");
    acrossDevices();
    FileOperation operation(
        FileOperation::Kind::Move,
        {path(QStringLiteral("from/dir")), path(QStringLiteral("from/top.txt"))},
        path(QStringLiteral("to")), m_log.steps());
    operation.setAsk([](const QString&) { return CollisionAnswer{FilePlan::Yes, false}; });
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    // One try to rename each source; then everything is copied.
    QCOMPARE(m_log.count(QStringLiteral("move ")) +
                 m_log.count(QStringLiteral("replace ") + path(QStringLiteral("from"))),
             2);
    for (const char* name : {"dir/a.txt", "dir/sub/b.txt", "dir/link", "top.txt"}) {
        const QString source = path(QStringLiteral("from/") + QString::fromLatin1(name));
        const qsizetype copiedAt = m_log.find(QStringLiteral("copy ") + source + u' ');
        const qsizetype removedAt = m_log.find(QStringLiteral("remove ") + source);
        QVERIFY2(copiedAt >= 0 && copiedAt < removedAt, name);
        QCOMPARE(m_log.count(QStringLiteral("remove ") + source), 1);
    }
    // A folder goes after all its content.
    const auto removed = [&](const char* name) {
        return m_log.lines.indexOf(QStringLiteral("remove ") +
                                   path(QStringLiteral("from/") + QString::fromLatin1(name)));
    };
    QVERIFY(removed("dir/sub") > removed("dir/sub/b.txt"));
    QVERIFY(removed("dir") > removed("dir/sub"));
    QVERIFY(removed("dir") > removed("dir/a.txt"));
    QVERIFY(removed("dir") > removed("dir/link"));
    QCOMPARE(treeOf(path(QStringLiteral("from"))), QStringList());
    QCOMPARE(
        treeOf(path(QStringLiteral("to"))),
        (QStringList{"dir/", "dir/a.txt", "dir/link", "dir/sub/", "dir/sub/b.txt", "top.txt"}));
    QCOMPARE(TestHome::read(path(QStringLiteral("to/top.txt"))), QByteArray("new top"));
    QCOMPARE(QFileInfo(path(QStringLiteral("to/dir/link"))).symLinkTarget(),
             path(QStringLiteral("to/dir/a.txt")));
    QCOMPARE(report.itemsDone, 6);
}

void TestFileMove::failureAcrossDevicesKeepsWhatWasNotCopied()
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(QStringLiteral("from/dir/") + QString::fromLatin1(name)), name);
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    acrossDevices();
    const auto crossing = m_log.inject;
    m_log.inject = [&, crossing](const QString& line) -> std::optional<Error> {
        if (line.startsWith(QStringLiteral("copy ") + path(QStringLiteral("from/dir/b.txt"))))
            return Error{ErrorCode::WriteFailed, QStringLiteral("Input/output error")};
        return crossing(line);
    };
    FileOperation operation(FileOperation::Kind::Move, {path(QStringLiteral("from/dir"))},
                            path(QStringLiteral("to")), m_log.steps());
    const FileReport report = operation.run();
    const QLocale locale = QLocale::system();
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") +
                                       path(QStringLiteral("from/dir/b.txt")) +
                                       QStringLiteral("\nInput/output error\nMoved %1 of %2 items.")
                                           .arg(locale.toString(1), locale.toString(4)));
    QCOMPARE(treeOf(path(QStringLiteral("from"))), (QStringList{"dir/", "dir/b.txt", "dir/c.txt"}));
    QCOMPARE(treeOf(path(QStringLiteral("to"))), (QStringList{"dir/", "dir/a.txt"}));
}

void TestFileMove::mergedFolderStaysWhileSomethingIsLeftInIt_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("across");
    QTest::newRow("No") << int(FilePlan::No) << false;
    QTest::newRow("Yes") << int(FilePlan::Yes) << false;
    QTest::newRow("No, across devices") << int(FilePlan::No) << true;
    QTest::newRow("Yes, across devices") << int(FilePlan::Yes) << true;
}

void TestFileMove::mergedFolderStaysWhileSomethingIsLeftInIt()
{
    QFETCH(int, answer);
    QFETCH(bool, across);
    writeFile(path(QStringLiteral("from/dir/x.txt")), "new x");
    writeFile(path(QStringLiteral("from/dir/y.txt")), "y");
    writeFile(path(QStringLiteral("to/dir/x.txt")), "old x");
    if (across)
        acrossDevices();
    FileOperation operation(FileOperation::Kind::Move, {path(QStringLiteral("from/dir"))},
                            path(QStringLiteral("to")), m_log.steps());
    operation.setAsk([answer](const QString&) { return CollisionAnswer{answer, false}; });
    const FileReport report = operation.run();
    QVERIFY(!report.stoppedAt);
    QCOMPARE(treeOf(path(QStringLiteral("to"))), (QStringList{"dir/", "dir/x.txt", "dir/y.txt"}));
    if (answer == FilePlan::No) {
        QCOMPARE(treeOf(path(QStringLiteral("from"))), (QStringList{"dir/", "dir/x.txt"}));
        QCOMPARE(TestHome::read(path(QStringLiteral("to/dir/x.txt"))), QByteArray("old x"));
        QCOMPARE(report.skipped.size(), 1);
    } else {
        QCOMPARE(treeOf(path(QStringLiteral("from"))), QStringList());
        QCOMPARE(TestHome::read(path(QStringLiteral("to/dir/x.txt"))), QByteArray("new x"));
        QVERIFY(
            m_log.lines.indexOf(QStringLiteral("remove ") + path(QStringLiteral("from/dir"))) >
            m_log.find(QStringLiteral("replace ") + path(QStringLiteral("to/dir/.x.txt.part"))));
        QVERIFY(m_log.lines.indexOf(QStringLiteral("remove ") + path(QStringLiteral("from/dir"))) >
                m_log.find(QStringLiteral("replace ") + path(QStringLiteral("from/dir/x.txt"))));
    }
}

void TestFileMove::moveIntoItsOwnFolderIsSkipped()
{
    const QString file = writeFile(path(QStringLiteral("here/a.txt")), "a");
    FileOperation operation(FileOperation::Kind::Move, {file}, path(QStringLiteral("here")),
                            m_log.steps());
    const FileReport report = operation.run();
    QCOMPARE(report.skipped, (QList<FileProblem>{{file, FilePlan::AlreadyThereText}}));
    QVERIFY(m_log.lines.isEmpty());
    QCOMPARE(TestHome::read(file), QByteArray("a"));
}

QTEST_GUILESS_MAIN(TestFileMove)
#include "tst_filemove.moc"
