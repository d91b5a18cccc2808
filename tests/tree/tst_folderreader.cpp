#include "foldersamples.h"
#include "tree/folderreader.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

using namespace FolderSamples;

class TestFolderReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsWhatTheTreeShows();
    void order_data();
    void order();
    void caseIgnoredWithoutALanguage();
    void missingFolder_data();
    void missingFolder();
    void batches();
    void smallFolderInOneBatch();
    void cancelledReadDeliversNothing();
    void readError();
};

namespace {

QStringList listing(const std::vector<FolderReader::Entry>& entries)
{
    QStringList names;
    for (const FolderReader::Entry& entry : entries)
        names.append(entry.folder ? entry.name + u'/' : entry.name);
    return names;
}

bool sorted(const std::vector<FolderReader::Entry>& entries)
{
    for (size_t i = 1; i < entries.size(); ++i)
        if (!FolderReader::before(entries[i - 1], entries[i]))
            return false;
    return true;
}

} // namespace

void TestFolderReader::initTestCase()
{
    // The order follows the user's language; these expectations are English.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFolderReader::listsWhatTheTreeShows()
{
    QTemporaryDir dir;
    QVERIFY(makeMixedFolder(dir.path()));
    const auto entries = FolderReader::list(dir.path());
    QVERIFY(entries.ok());
    QCOMPARE(listing(entries.value()), mixedFolderListing());
}

void TestFolderReader::order_data()
{
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("folders and files mixed")
        << QStringList{"b/", "A/", "a.txt"} << QStringList{"A/", "a.txt", "b/"};
    QTest::newRow("case ignored, then upper case first")
        << QStringList{"b", "a", "B/", "A"} << QStringList{"A", "a", "B/", "b"};
    QTest::newRow("numbers as text")
        << QStringList{"file9", "file10", "file1"} << QStringList{"file1", "file10", "file9"};
    QTest::newRow("accents by the language") << QStringList{"zebra", "eclair2", "\u00e9clair"}
                                             << QStringList{"\u00e9clair", "eclair2", "zebra"};
    QTest::newRow("punctuation counts")
        << QStringList{"a_b", "a-b", "ab"} << QStringList{"a_b", "a-b", "ab"};
}

void TestFolderReader::caseIgnoredWithoutALanguage()
{
    // LANG unset gives the C locale, whose collator would sort capitals first.
    QTemporaryDir dir;
    for (const char* name : {"Zeta", "alpha", "Beta"})
        QVERIFY(makeFile(dir.filePath(QString::fromLatin1(name))));
    const auto entries = FolderReader::list(dir.path(), QLocale::c());
    QVERIFY(entries.ok());
    QCOMPARE(listing(entries.value()), (QStringList{"alpha", "Beta", "Zeta"}));
}

void TestFolderReader::order()
{
    QFETCH(QStringList, created);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    for (const QString& name : created) {
        if (name.endsWith(u'/'))
            QVERIFY(makeFolder(dir.filePath(name.chopped(1))));
        else
            QVERIFY(makeFile(dir.filePath(name)));
    }
    const auto entries = FolderReader::list(dir.path());
    QVERIFY(entries.ok());
    QCOMPARE(listing(entries.value()), listed);
}

void TestFolderReader::missingFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("number");

    QTest::newRow("missing") << "missing" << ErrorCode::FileNotFound << ENOENT;
    QTest::newRow("a file") << "file" << ErrorCode::FileNotFound << ENOTDIR;
}

void TestFolderReader::missingFolder()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QFETCH(int, number);
    QTemporaryDir dir;
    QVERIFY(makeFile(dir.filePath("file")));
    const auto entries = FolderReader::list(dir.filePath(name));
    QVERIFY(!entries.ok());
    QCOMPARE(entries.error().code, code);
    QCOMPARE(entries.error().message, qt_error_string(number));
}

void TestFolderReader::batches()
{
    QTemporaryDir dir;
    const int count = FolderReader::FirstBatchSize + FolderReader::BatchSize + 100;
    QVERIFY(makeFiles(dir.path(), count));
    FolderReader reader;
    QList<FolderReader::Batch> batches;
    connect(&reader, &FolderReader::batchRead, this,
            [&batches](const FolderReader::Batch& batch) { batches.append(batch); });
    const quint64 ticket = reader.read(dir.path());
    QVERIFY(reader.isReading(ticket));
    QTRY_VERIFY(!batches.isEmpty() && batches.last().last);
    QVERIFY(!reader.isReading(ticket));

    // A small sorted batch first, then the rest in one sorted run cut in pieces.
    QCOMPARE(batches.size(), 3);
    QCOMPARE(int(batches.at(0).entries.size()), FolderReader::FirstBatchSize);
    QCOMPARE(int(batches.at(1).entries.size()), FolderReader::BatchSize);
    QCOMPARE(int(batches.at(2).entries.size()), 100);
    std::vector<FolderReader::Entry> rest;
    QSet<QString> names;
    for (const FolderReader::Batch& batch : std::as_const(batches)) {
        QCOMPARE(batch.ticket, ticket);
        QCOMPARE(batch.folder, dir.path());
        QCOMPARE(batch.last, &batch == &batches.last());
        QVERIFY(sorted(batch.entries));
        for (const FolderReader::Entry& entry : batch.entries) {
            names.insert(entry.name);
            if (&batch != &batches.first())
                rest.push_back(entry);
        }
    }
    QVERIFY(sorted(rest));
    QCOMPARE(names.size(), count);
}

void TestFolderReader::smallFolderInOneBatch()
{
    QTemporaryDir dir;
    QVERIFY(makeMixedFolder(dir.path()));
    FolderReader reader;
    QSignalSpy spy(&reader, &FolderReader::batchRead);
    reader.read(dir.path());
    QVERIFY(spy.wait());
    QCOMPARE(spy.size(), 1);
    const auto batch = spy.at(0).at(0).value<FolderReader::Batch>();
    QVERIFY(batch.last);
    QCOMPARE(listing(batch.entries), mixedFolderListing());
}

void TestFolderReader::cancelledReadDeliversNothing()
{
    QTemporaryDir dir;
    QVERIFY(makeFiles(dir.path(), FolderReader::FirstBatchSize + 3 * FolderReader::BatchSize));
    FolderReader reader;
    QList<quint64> tickets;
    connect(&reader, &FolderReader::batchRead, this,
            [&tickets](const FolderReader::Batch& batch) { tickets.append(batch.ticket); });
    // Cancelled once its batches are on their way, then read again from the start.
    const quint64 first = reader.read(dir.path());
    QTRY_VERIFY(tickets.contains(first));
    reader.cancel(first);
    QVERIFY(!reader.isReading(first));
    const qsizetype delivered = tickets.size();
    const quint64 again = reader.read(dir.path());
    QVERIFY(again != first);
    QTRY_COMPARE(tickets.count(again), 4);
    QCOMPARE(tickets.count(first), delivered);
}

void TestFolderReader::readError()
{
    QTemporaryDir dir;
    FolderReader reader;
    QSignalSpy batches(&reader, &FolderReader::batchRead);
    QSignalSpy failures(&reader, &FolderReader::readFailed);
    const quint64 ticket = reader.read(dir.filePath("vanished"));
    QVERIFY(failures.wait());
    QCOMPARE(failures.at(0).at(0).value<quint64>(), ticket);
    QCOMPARE(failures.at(0).at(1).toString(), dir.filePath("vanished"));
    const Error error = failures.at(0).at(2).value<Error>();
    QCOMPARE(error.code, ErrorCode::FileNotFound);
    QCOMPARE(error.message, qt_error_string(ENOENT));
    QCOMPARE(batches.size(), 0);
    QVERIFY(!reader.isReading(ticket));
}

QTEST_GUILESS_MAIN(TestFolderReader)
#include "tst_folderreader.moc"
