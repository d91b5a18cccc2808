#include "app/firstrunplan.h"
#include "platform/datalocations.h"
#include "richtext/rtfreader.h"
#include "support/scopedenvironment.h"
#include "support/testhome.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>

namespace {

QStringList filesUnder(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

class TestDataLocations : public QObject {
    Q_OBJECT
private slots:
    void installedTreeIsFound_data();
    void installedTreeIsFound();
    void userFolderIsTheProgramsDataLocation();
    void buildTreeStagesEverySample();
    void shippedRtfFilesRead();
};

void TestDataLocations::installedTreeIsFound_data()
{
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("inDataDirs");
    QTest::addColumn<QString>("expected");
    QTest::newRow("beside the program wins") << true << true << "prefix/share/quillora";
    QTest::newRow("only beside the program") << true << false << "prefix/share/quillora";
    QTest::newRow("only in XDG_DATA_DIRS") << false << true << "system/share/quillora";
    QTest::newRow("nowhere") << false << false << "";
}

void TestDataLocations::installedTreeIsFound()
{
    QFETCH(bool, besideProgram);
    QFETCH(bool, inDataDirs);
    QFETCH(QString, expected);
    TestHome home;
    QVERIFY(QDir().mkpath(home.path(QStringLiteral("prefix/bin"))));
    if (besideProgram)
        QVERIFY(QDir().mkpath(home.path(QStringLiteral("prefix/share/quillora"))));
    if (inDataDirs)
        QVERIFY(QDir().mkpath(home.path(QStringLiteral("system/share/quillora"))));
    // An empty entry and a relative one are no places to look.
    const ScopedEnvironment dirs(
        "XDG_DATA_DIRS",
        ("::relative/share:" + home.path(QStringLiteral("system/share"))).toUtf8());
    const QString found = DataLocations::findInstalled(home.path(QStringLiteral("prefix/bin")));
    QCOMPARE(found, expected.isEmpty() ? QString() : home.path(expected));
    QCOMPARE(DataLocations::installedCandidates(home.path(QStringLiteral("prefix/bin"))),
             (QStringList{home.path(QStringLiteral("prefix/share/quillora")),
                          home.path(QStringLiteral("system/share/quillora"))}));
}

void TestDataLocations::userFolderIsTheProgramsDataLocation()
{
    TestHome home;
    const ScopedEnvironment dataHome("XDG_DATA_HOME", home.path(QStringLiteral("data")).toUtf8());
    QCOMPARE(DataLocations::userFolder(), home.path(QStringLiteral("data/Quillora")));
    // The program sets no organisation and names itself Quillora.
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Quillora"));
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(ownName);
    QVERIFY(QCoreApplication::organizationName().isEmpty());
    QCOMPARE(DataLocations::userFolder(), appData);
}

void TestDataLocations::buildTreeStagesEverySample()
{
    const QString program = qEnvironmentVariable("QUILLORA_BINARY");
    QVERIFY2(QFileInfo(program).isExecutable(), "QUILLORA_BINARY must name the program");
    const ScopedEnvironment dirs("XDG_DATA_DIRS", QByteArray("/nonexistent"));
    const QString installed = DataLocations::findInstalled(QFileInfo(program).absolutePath());
    QVERIFY2(!installed.isEmpty(), "the build stages no sample files beside the program");
    QStringList samples = FirstRunPlan::sampleFiles();
    samples.sort();
    // Beside the samples lies the user manual, which a first start leaves where it is.
    QStringList staged = filesUnder(installed);
    const QStringList manual = staged.filter(QRegularExpression(QStringLiteral("^help/")));
    QVERIFY(manual.contains(QStringLiteral("help/index.html")));
    for (const QString& page : manual)
        staged.removeOne(page);
    QCOMPARE(staged, samples);
}

void TestDataLocations::shippedRtfFilesRead()
{
    const QString program = qEnvironmentVariable("QUILLORA_BINARY");
    const QString installed = DataLocations::findInstalled(QFileInfo(program).absolutePath());
    QVERIFY(!installed.isEmpty());
    for (const QString& name : filesUnder(installed)) {
        if (!name.endsWith(QStringLiteral(".rtf")))
            continue;
        QFile file(installed + u'/' + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(RtfReader::looksLikeRtf(bytes), qPrintable(name));
        QTextDocument document;
        const Status read = RtfReader::read(bytes, &document);
        QVERIFY2(read.ok(), qPrintable(name + u' ' + read.error().message));
        // Every group closed: nothing of the markup shows as text.
        QVERIFY2(!document.toPlainText().contains(u'\\'), qPrintable(name));
        QVERIFY2(!document.toPlainText().contains(u'{'), qPrintable(name));
        QVERIFY2(document.toPlainText().size() > 20, qPrintable(name));
        QCOMPARE(bytes.count('{'), bytes.count('}'));
    }
}

QTEST_GUILESS_MAIN(TestDataLocations)
#include "tst_datalocations.moc"
