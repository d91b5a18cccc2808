#include "platform/settings.h"
#include "platform/settingvalue.h"
#include "support/testhome.h"

#include <QGuiApplication>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void cleanStoreGivesEveryDefault();
    void storeFileReadsNaturally();
    void storeFileWrittenByHandIsRead();
    void typedValues_data();
    void typedValues();
    void fontAndPadSizeSplitAtFirstComma();
    void narrowPaneIsWidened();
    void colorsConvertBothWays();
    void recentFilesKeepTheirOrder();
};

void TestSettings::cleanStoreGivesEveryDefault()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("q.ini")));
    Settings s(store);
    QCOMPARE(s.fontName(), QStringLiteral("Courier New"));
    QCOMPARE(s.fontSize(), 10.0);
    QCOMPARE(s.paneWidthTwips(), 2295);
    QCOMPARE(s.padSizeTwips(), QSize(6780, 4230));
    QCOMPARE(s.integer(Key::ToolBarStyle), qint16(1));
    QCOMPARE(s.integer(Key::OpenMethod), qint16(1));
    QCOMPARE(s.integer(Key::SaveArrange), qint16(-1));
    QCOMPARE(s.integer(Key::PlusImage), qint16(14));
    QCOMPARE(s.longValue(Key::RtbBackColor), qint32(0x80000005));
    QCOMPARE(s.boolean(Key::WordWrap), true);
    QCOMPARE(s.boolean(Key::ConfirmExt), true);
    QCOMPARE(s.boolean(Key::AutoCompleteAtStartup), true);
    QCOMPARE(s.boolean(Key::SaveWindowState), false);
    QCOMPARE(s.boolean(Key::TreeDelMethod), false);
    QCOMPARE(s.text(Key::AutoHotKey), QStringLiteral("<&"));
    QCOMPARE(s.text(Key::OpenExclude),
             QStringLiteral(".txt, .bat, .htm, .html, .js, .rtf, .xml, .h, .css, .csv,"));
    QCOMPARE(s.text(Key::EmailApp), QStringLiteral("mailto:"));
    QCOMPARE(s.text(Key::FTPApp), QStringLiteral("FTP://"));
    QCOMPARE(s.number(Key::ListFontSize), 10.0f);
    QCOMPARE(s.text(Key::WindowSize), QString());
    QCOMPARE(s.integer(Key::MostRecent), qint16(0));
}

void TestSettings::storeFileReadsNaturally()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("q.ini"));
    {
        SettingsStore store(file);
        Settings s(store);
        s.setText(Key::Font, QStringLiteral("DejaVu Sans Mono,10.5"));
        s.setBoolean(Key::WordWrap, false);
        s.setInteger(Key::RtbBackColor, Settings::SystemWindowBackground);
        s.setNumber(Key::Pic1Width, 2295);
        store.write(Settings::RecentFiles, QStringLiteral("RecentFile1"),
                    QStringLiteral("/p/a.prj"));
        QVERIFY(store.sync());
    }
    const QString text = QString::fromUtf8(TestHome::read(file));
    QVERIFY2(text.startsWith(QStringLiteral("[General]\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("\nFont=DejaVu Sans Mono,10.5\n")));
    QVERIFY(text.contains(QStringLiteral("\nWordWrap=False\n")));
    QVERIFY(text.contains(QStringLiteral("\nrtbBackColor=-2147483643\n")));
    QVERIFY(text.contains(QStringLiteral("\nPic1Width=2295\n")));
    QVERIFY(text.contains(QStringLiteral("[Recent Files]\nRecentFile1=/p/a.prj\n")));
}

void TestSettings::storeFileWrittenByHandIsRead()
{
    TestHome home;
    const QString file = home.write(QStringLiteral("q.ini"),
                                    "; mine\r\n[General]\r\nMost Recent=3\r\nTabs= 5, 10\r\n"
                                    "LastDir=C:\\\\x\r\n\r\n[Recent Files]\r\nRecentFile2=/b\r\n");
    SettingsStore store(file);
    Settings s(store);
    QCOMPARE(s.integer(Key::MostRecent), qint16(3));
    QCOMPARE(s.text(Key::Tabs), QStringLiteral(" 5, 10"));
    QCOMPARE(s.text(Key::LastDir), QStringLiteral("C:\\x"));
    QCOMPARE(store.read(Settings::RecentFiles, QStringLiteral("RecentFile2"), QString()),
             QStringLiteral("/b"));
}

void TestSettings::typedValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<int>("openMethod");
    QTest::newRow("words") << "False" << false << 1;
    QTest::newRow("any case") << "true" << true << 1;
    QTest::newRow("numbers: 0 is false") << "0" << false << 0;
    QTest::newRow("numbers: others true") << "-1" << true << -1;
    QTest::newRow("garbage is the default") << "maybe" << true << 1;
    QTest::newRow("empty is the default") << "" << true << 1;
    QTest::newRow("out of 16-bit range is the default") << "70000" << true << 1;
}

void TestSettings::typedValues()
{
    QFETCH(QString, stored);
    QFETCH(bool, wordWrap);
    QFETCH(int, openMethod);
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("q.ini")));
    store.write(Settings::General, QStringLiteral("WordWrap"), stored);
    store.write(Settings::General, QStringLiteral("OpenMethod"), stored);
    Settings s(store);
    QCOMPARE(s.boolean(Key::WordWrap), wordWrap);
    QCOMPARE(int(s.integer(Key::OpenMethod)), openMethod);
}

void TestSettings::fontAndPadSizeSplitAtFirstComma()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("q.ini")));
    Settings s(store);
    s.setText(Key::Font, QStringLiteral("Odd, Name,12"));
    QCOMPARE(s.fontName(), QStringLiteral("Odd"));
    QCOMPARE(s.fontSize(), 0.0); // " Name,12" has no leading number
    s.setText(Key::Font, QStringLiteral("Mono,10.5"));
    QCOMPARE(s.fontSize(), 10.5);
    s.setText(Key::Font, QStringLiteral("Mono"));
    QCOMPARE(s.fontSize(), 0.0);
    s.setText(Key::MyPadSize, QStringLiteral("5000,3000"));
    QCOMPARE(s.padSizeTwips(), QSize(5000, 3000));
    QCOMPARE(SettingValue::leadingNumber(QStringLiteral("12pt")), 12.0);
    QCOMPARE(SettingValue::fromNumber(10.5), QStringLiteral("10.5"));
    QCOMPARE(SettingValue::fromNumber(2295), QStringLiteral("2295"));
}

void TestSettings::narrowPaneIsWidened()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("q.ini")));
    Settings s(store);
    s.setNumber(Key::Pic1Width, 1000);
    QCOMPARE(s.paneWidthTwips(), 2295);
    s.setNumber(Key::Pic1Width, 3000);
    QCOMPARE(s.paneWidthTwips(), 3000);
}

void TestSettings::colorsConvertBothWays()
{
    QCOMPARE(Settings::colorFromStored(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(Settings::colorFromStored(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(Settings::storedFromColor(QColor(0x12, 0x34, 0x56)), qint32(0x563412));
    QCOMPARE(Settings::colorFromStored(Settings::SystemWindowBackground),
             QGuiApplication::palette().color(QPalette::Base));
    // Written unsigned by some other program, still the same colour code.
    QCOMPARE(SettingValue::toLong(QStringLiteral("2147483653")).value(), qint32(0x80000005));
}

void TestSettings::recentFilesKeepTheirOrder()
{
    TestHome home;
    SettingsStore store(home.path(QStringLiteral("q.ini")));
    for (int i = 1; i <= 5; ++i)
        store.write(Settings::RecentFiles, QStringLiteral("RecentFile%1").arg(i),
                    QStringLiteral("/p/%1.prj").arg(i));
    store.sync();
    SettingsStore reopened(store.filePath());
    const auto pairs = reopened.readSection(Settings::RecentFiles);
    QCOMPARE(pairs.size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(pairs[i].second, QStringLiteral("/p/%1.prj").arg(i + 1));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
