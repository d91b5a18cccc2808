#include "platform/optionsvalues.h"
#include "platform/settings.h"
#include "support/testhome.h"

#include <QTest>

namespace {

QString stored(SettingsStore& store, const SettingKey& key)
{
    return store.read(Settings::General, QString::fromLatin1(key.name), QStringLiteral("<none>"));
}

} // namespace

class TestOptionsValues : public QObject {
    Q_OBJECT
private slots:
    void cleanStoreGivesTheDefaults();
    void storedValuesAreShown_data();
    void storedValuesAreShown();
    void okNormalisesWhatItWrites_data();
    void okNormalisesWhatItWrites();
    void fontIsWrittenAfterTheDocumentsAreRefreshed();
    void tabStopCharacters_data();
    void tabStopCharacters();
    void hotKeyCharacters_data();
    void hotKeyCharacters();
    void savingReportsAFileThatCannotBeWritten();
};

void TestOptionsValues::cleanStoreGivesTheDefaults()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    const OptionsValues v = OptionsValues::fromSettings(Settings(store));
    QCOMPARE(v.openMethod, 1);
    QCOMPARE(v.openExclude,
             QStringLiteral(".txt, .bat, .htm, .html, .js, .rtf, .xml, .h, .css, .csv,"));
    QVERIFY(v.confirmExt);
    QVERIFY(!v.saveWindowState);
    QVERIFY(!v.autoLoadProject);
    QCOMPARE(v.fontName, QStringLiteral("Courier New"));
    QCOMPARE(v.fontSize, QStringLiteral("10"));
    QCOMPARE(v.backColor, Settings::SystemWindowBackground);
    QCOMPARE(v.padBackColor, Settings::SystemWindowBackground);
    QVERIFY(v.wordWrap);
    QVERIFY(!v.treeDelMethod);
    QVERIFY(v.autoCompleteAtStartup);
    QCOMPARE(v.autoHotKey, QStringLiteral("<&"));
    QCOMPARE(v.internetApps[0], QStringLiteral("mailto:"));
    QCOMPARE(v.internetApps[1], QStringLiteral("news://"));
    QCOMPARE(v.internetApps[2], QStringLiteral("snews://"));
    QCOMPARE(v.internetApps[3], QStringLiteral("FTP://"));
}

void TestOptionsValues::storedValuesAreShown_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("openMethod");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("method");
    QTest::newRow("half points") << "Arial,10.5"
                                 << "0"
                                 << "Arial"
                                 << "10.5" << 0;
    QTest::newRow("blank before size") << "Times New Roman, 12"
                                       << "2"
                                       << "Times New Roman"
                                       << "12" << 2;
    QTest::newRow("no size") << "Arial"
                             << "1"
                             << "Arial"
                             << "0" << 1;
    QTest::newRow("unreadable method") << "Mono,9"
                                       << "two"
                                       << "Mono"
                                       << "9" << 1;
}

void TestOptionsValues::storedValuesAreShown()
{
    QFETCH(QString, font);
    QFETCH(QString, openMethod);
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    store.write(Settings::General, QStringLiteral("Font"), font);
    store.write(Settings::General, QStringLiteral("OpenMethod"), openMethod);
    const OptionsValues v = OptionsValues::fromSettings(Settings(store));
    QTEST(v.fontName, "name");
    QTEST(v.fontSize, "size");
    QTEST(v.openMethod, "method");
}

void TestOptionsValues::okNormalisesWhatItWrites_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("written");
    QTest::newRow("exclude gets its comma") << "openExclude"
                                            << ".txt, .bat"
                                            << "OpenExclude"
                                            << ".txt, .bat,";
    QTest::newRow("exclude trimmed first") << "openExclude"
                                           << "  .txt,  "
                                           << "OpenExclude"
                                           << ".txt,";
    QTest::newRow("exclude emptied") << "openExclude"
                                     << ""
                                     << "OpenExclude"
                                     << ",";
    QTest::newRow("empty e-mail") << "internet0"
                                  << ""
                                  << "EmailApp"
                                  << "mailto:";
    QTest::newRow("blank news") << "internet1"
                                << "   "
                                << "NewsApp"
                                << "news://";
    QTest::newRow("blank snews") << "internet2"
                                 << "\t"
                                 << "SNewsApp"
                                 << "snews://";
    QTest::newRow("empty ftp") << "internet3"
                               << ""
                               << "FTPApp"
                               << "FTP://";
    QTest::newRow("program trimmed") << "internet0"
                                     << " thunderbird -compose "
                                     << "EmailApp"
                                     << "thunderbird -compose";
    QTest::newRow("tabs trimmed") << "tabs"
                                  << " 8, 16 "
                                  << "Tabs"
                                  << "8, 16";
    QTest::newRow("extensions trimmed") << "extensions"
                                        << " .txt,.md "
                                        << "Extensions"
                                        << ".txt,.md";
    QTest::newRow("quotes file as is") << "quoteFile"
                                       << " /a b/q.txt "
                                       << "QuoteFile"
                                       << " /a b/q.txt ";
    QTest::newRow("hot keys as is") << "autoHotKey"
                                    << "<&#"
                                    << "AutoHotKey"
                                    << "<&#";
    QTest::newRow("font size") << "fontSize"
                               << " 12 "
                               << "Font"
                               << "Mono,12";
    QTest::newRow("half font size") << "fontSize"
                                    << "10.5"
                                    << "Font"
                                    << "Mono,10.5";
    QTest::newRow("no font size") << "fontSize"
                                  << ""
                                  << "Font"
                                  << "Mono,0";
}

void TestOptionsValues::okNormalisesWhatItWrites()
{
    QFETCH(QString, field);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Settings settings(store);
    OptionsValues v = OptionsValues::fromSettings(settings);
    v.fontName = QStringLiteral("Mono");
    if (field == QLatin1String("openExclude"))
        v.openExclude = shown;
    else if (field.startsWith(QLatin1String("internet")))
        v.internetApps[field.right(1).toUInt()] = shown;
    else if (field == QLatin1String("tabs"))
        v.tabs = shown;
    else if (field == QLatin1String("extensions"))
        v.extensions = shown;
    else if (field == QLatin1String("quoteFile"))
        v.quoteFile = shown;
    else if (field == QLatin1String("autoHotKey"))
        v.autoHotKey = shown;
    else if (field == QLatin1String("fontSize"))
        v.fontSize = shown;
    v.applyTo(settings);
    QTEST(store.read(Settings::General, key, QStringLiteral("<none>")), "written");
}

void TestOptionsValues::fontIsWrittenAfterTheDocumentsAreRefreshed()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("settings.ini")));
    Settings settings(store);
    OptionsValues v = OptionsValues::fromSettings(settings);
    v.fontName = QStringLiteral("Mono");
    v.tabs = QStringLiteral("8");
    v.backColor = 0xFF;
    v.extensions = QStringLiteral(".md");
    v.wordWrap = false;
    v.autoHotKey = QStringLiteral("#");
    QStringList seen;
    int lastStep = 0;
    v.applyTo(settings, [&](int step) {
        QCOMPARE(step, lastStep + 1);
        lastStep = step;
        if (step == 5)
            seen << stored(store, Key::Tabs) << stored(store, Key::RtbBackColor)
                 << stored(store, Key::Font);
        if (step == 7)
            seen << stored(store, Key::Extensions);
        if (step == 9)
            seen << stored(store, Key::WordWrap);
        if (step == 12)
            seen << stored(store, Key::AutoHotKey);
    });
    QCOMPARE(lastStep, OptionsValues::LastStep);
    QCOMPARE(seen, (QStringList{"8", "255", "<none>", ".md", "False", "#"}));
    QCOMPARE(stored(store, Key::Font), QStringLiteral("Mono,10"));
}

void TestOptionsValues::tabStopCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("list") << "8, 16"
                          << "8, 16";
    QTest::newRow("letters") << "8a, 1b6"
                             << "8, 16";
    QTest::newRow("other separators") << "8;16.5"
                                      << "8165";
    QTest::newRow("line breaks and tabs") << "8\t16\r\n24"
                                          << "81624";
    QTest::newRow("other digits") << QStringLiteral("\u0661\uFF12 3") << " 3";
    QTest::newRow("empty") << ""
                           << "";
}

void TestOptionsValues::tabStopCharacters()
{
    QFETCH(QString, typed);
    QTEST(OptionsValues::tabStopCharacters(typed), "kept");
}

void TestOptionsValues::hotKeyCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("default") << "<&"
                             << "<&";
    QTest::newRow("blank and comma") << "< &,#"
                                     << "<&#";
    QTest::newRow("letters and digits") << "a1"
                                        << "a1";
    QTest::newRow("line break") << "<\n&"
                                << "<&";
    QTest::newRow("non-ASCII") << QStringLiteral("\u00A7\u20AC") << QStringLiteral("\u00A7\u20AC");
}

void TestOptionsValues::hotKeyCharacters()
{
    QFETCH(QString, typed);
    QTEST(OptionsValues::hotKeyCharacters(typed), "kept");
}

void TestOptionsValues::savingReportsAFileThatCannotBeWritten()
{
    TestHome home;
    {
        SettingsStore store(home.path(QStringLiteral("settings.ini")));
        Settings(store).setText(Key::Tabs, QStringLiteral("8"));
        QVERIFY(OptionsValues::save(store).ok());
        SettingsStore again(home.path(QStringLiteral("settings.ini")));
        QCOMPARE(stored(again, Key::Tabs), QStringLiteral("8"));
    }
    // A folder in the way that is a file: no user, not even root, can write there.
    const QString blocker = home.write(QStringLiteral("blocker"), "x");
    SettingsStore store(blocker + QStringLiteral("/settings.ini"));
    Settings settings(store);
    settings.setText(Key::Tabs, QStringLiteral("8"));
    const Status saved = OptionsValues::save(store);
    QVERIFY(!saved.ok());
    QCOMPARE(saved.error().code, ErrorCode::WriteFailed);
    QVERIFY2(!saved.error().message.isEmpty(), "the user is told why");
    QCOMPARE(settings.text(Key::Tabs), QStringLiteral("8"));
}

QTEST_GUILESS_MAIN(TestOptionsValues)
#include "tst_optionsvalues.moc"
