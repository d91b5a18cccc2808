#include "steplog.h"
#include "tree/fileoperation.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

// The trash and permanent deletes on real folders. Everything lies under HOME,
// so the trash is the home trash, in a data folder that does not exist yet.
class TestFileDelete : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void trashMakesTheMissingDataFolder();
    void itemsTheTrashRefusesAreReportedApart();
    void trashFailureStopsAndCounts();
    void deleteGoesDepthFirstWithoutFollowingLinks();
    void itemsInsideOtherSourcesAreDeletedOnce();
    void deleteFailureStopsAndCounts();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString deleted(qsizetype done, qsizetype total) const
    {
        const QLocale locale = QLocale::system();
        return QStringLiteral("Deleted %1 of %2 items.")
            .arg(locale.toString(qlonglong(done)), locale.toString(qlonglong(total)));
    }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_dataHome;
    StepLog m_log;
};

void TestFileDelete::initTestCase()
{
    QVERIFY(QDir().mkpath(QDir::homePath()));
    m_home = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/delete-XXXXXX"));
    QVERIFY(m_home->isValid());
    m_dataHome = m_home->filePath(QStringLiteral("local/share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
}

void TestFileDelete::init()
{
    m_dir = std::make_unique<QTemporaryDir>(m_home->filePath(QStringLiteral("work-XXXXXX")));
    QVERIFY(m_dir->isValid());
    m_log = StepLog();
}

void TestFileDelete::trashMakesTheMissingDataFolder()
{
    QVERIFY(!QFileInfo::exists(m_home->filePath(QStringLiteral("local"))));
    const QStringList sources{writeFile(path(QStringLiteral("a.txt")), "a"),
                              path(QStringLiteral("dir")),
                              writeFile(path(QStringLiteral("dir/inner.txt")), "inner")};
    FileOperation operation(FileOperation::Kind::Trash, sources, QString(), m_log.steps());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(m_log.lines, (QStringList{QStringLiteral("trash ") + sources.at(0),
                                       QStringLiteral("trash ") + sources.at(1)}));
    QCOMPARE(report.itemsDone, 2);
    QVERIFY(treeOf(m_dir->path()).isEmpty());
    QCOMPARE(TestHome::read(m_dataHome + QStringLiteral("/Trash/files/a.txt")), QByteArray("a"));
    QCOMPARE(TestHome::read(m_dataHome + QStringLiteral("/Trash/files/dir/inner.txt")),
             QByteArray("inner"));
}

void TestFileDelete::itemsTheTrashRefusesAreReportedApart()
{
    const QStringList sources{writeFile(path(QStringLiteral("a.txt"))),
                              writeFile(path(QStringLiteral("far.txt"))),
                              writeFile(path(QStringLiteral("c.txt")))};
    m_log.inject = [&](const QString& line) -> std::optional<Error> {
        if (line == QStringLiteral("trash ") + sources.at(1))
            return Error{ErrorCode::NotSupported, QStringLiteral("No trash on this volume")};
        return std::nullopt;
    };
    FileOperation operation(FileOperation::Kind::Trash, sources, QString(), m_log.steps());
    const FileReport report = operation.run();
    QCOMPARE(report.trashRefused, QStringList{sources.at(1)});
    QCOMPARE(report.done, (QStringList{sources.at(0), sources.at(2)}));
    QVERIFY(report.failed.isEmpty());
    QVERIFY(!report.stoppedAt);
    QCOMPARE(treeOf(m_dir->path()), QStringList{QStringLiteral("far.txt")});

    // The caller's "delete it for good" is a delete of what the trash refused.
    FileOperation forGood(FileOperation::Kind::Delete, report.trashRefused, QString(),
                          m_log.steps());
    QVERIFY(forGood.run().complete());
    QVERIFY(treeOf(m_dir->path()).isEmpty());
}

void TestFileDelete::trashFailureStopsAndCounts()
{
    const QStringList sources{writeFile(path(QStringLiteral("a.txt"))),
                              writeFile(path(QStringLiteral("b.txt"))),
                              writeFile(path(QStringLiteral("c.txt")))};
    FileOperation operation(FileOperation::Kind::Trash, sources, QString(), m_log.steps());
    connect(
        &operation, &FileOperation::progressed, this,
        [&](qsizetype, qsizetype, const QString& current) {
            if (current == sources.at(1))
                QFile::remove(sources.at(1));
        },
        Qt::DirectConnection);
    const FileReport report = operation.run();
    QVERIFY(report.stoppedAt);
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + sources.at(1) + u'\n' +
                                       report.stoppedAt->reason + u'\n' + deleted(1, 3));
    QVERIFY(report.trashRefused.isEmpty());
    QCOMPARE(treeOf(m_dir->path()), QStringList{QStringLiteral("c.txt")});
}

void TestFileDelete::deleteGoesDepthFirstWithoutFollowingLinks()
{
    const QString kept = writeFile(path(QStringLiteral("kept/keep.txt")), "keep");
    writeFile(path(QStringLiteral("gone/sub/deep/a.txt")));
    writeFile(path(QStringLiteral("gone/b.txt")));
    QVERIFY(QFile::link(path(QStringLiteral("kept")), path(QStringLiteral("gone/sub/folderlink"))));
    QVERIFY(QFile::link(QStringLiteral("nowhere"), path(QStringLiteral("gone/broken"))));
    FileOperation operation(FileOperation::Kind::Delete, {path(QStringLiteral("gone"))}, QString(),
                            m_log.steps());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(report.itemsDone, 7);
    QCOMPARE(treeOf(m_dir->path()), (QStringList{"kept/", "kept/keep.txt"}));
    QCOMPARE(TestHome::read(kept), QByteArray("keep"));
    const auto at = [&](const char* name) {
        return m_log.lines.indexOf(QStringLiteral("remove ") +
                                   path(QStringLiteral("gone/") + QString::fromLatin1(name)));
    };
    QVERIFY(at("sub/deep") > at("sub/deep/a.txt"));
    QVERIFY(at("sub") > at("sub/deep"));
    QVERIFY(at("sub") > at("sub/folderlink"));
    QCOMPARE(m_log.lines.last(), QStringLiteral("remove ") + path(QStringLiteral("gone")));
}

void TestFileDelete::itemsInsideOtherSourcesAreDeletedOnce()
{
    const QString folder = path(QStringLiteral("dir"));
    const QStringList sources{
        writeFile(path(QStringLiteral("dir/a.txt"))), folder, path(QStringLiteral("dir/sub")),
        writeFile(path(QStringLiteral("dir/sub/b.txt"))), folder + QStringLiteral("/")};
    FileOperation operation(FileOperation::Kind::Delete, sources, QString(), m_log.steps());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(m_log.lines.size(), 4);
    QCOMPARE(m_log.lines.removeDuplicates(), 0);
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(FilePlan::topSources(sources), QStringList{folder});
}

void TestFileDelete::deleteFailureStopsAndCounts()
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(QStringLiteral("dir/") + QString::fromLatin1(name)));
    const QString failing = path(QStringLiteral("dir/b.txt"));
    m_log.inject = [&](const QString& line) -> std::optional<Error> {
        if (line == QStringLiteral("remove ") + failing)
            return Error{ErrorCode::PathAccess, QStringLiteral("Device or resource busy")};
        return std::nullopt;
    };
    FileOperation operation(FileOperation::Kind::Delete, {path(QStringLiteral("dir"))}, QString(),
                            m_log.steps());
    const FileReport report = operation.run();
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + failing +
                                       QStringLiteral("\nDevice or resource busy\n") +
                                       deleted(1, 4));
    QCOMPARE(treeOf(m_dir->path()), (QStringList{"dir/", "dir/b.txt", "dir/c.txt"}));
}

QTEST_GUILESS_MAIN(TestFileDelete)
#include "tst_filedelete.moc"
