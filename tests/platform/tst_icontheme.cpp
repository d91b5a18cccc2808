#include "platform/icontheme.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QStandardPaths>
#include <QTest>

// The test runs with its own cache folder and no desktop icon theme, as on a bare X server.
class TestIconTheme : public QObject {
    Q_OBJECT
private slots:
    void darkPaletteGivesLightIcons();
};

void TestIconTheme::darkPaletteGivesLightIcons()
{
    QPalette dark;
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Window, QColor(0x22, 0x22, 0x22));
    QGuiApplication::setPalette(dark);
    IconTheme::install();
    // Every name the menus and toolbars ask for is found.
    for (const char* name : {"document-open", "edit-cut", "format-text-bold", "view-refresh",
                             "list-add", "go-next", "quillora"})
        QVERIFY2(!QIcon::fromTheme(QString::fromLatin1(name)).isNull(), name);
    QVERIFY(!QIcon::fromTheme(QStringLiteral("edit-cut")).pixmap(32).isNull());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QFile cut(cache + QStringLiteral("/icons-eeeeee/quillora/scalable/actions/edit-cut.svg"));
    QVERIFY(cut.open(QIODevice::ReadOnly));
    const QByteArray svg = cut.readAll();
    QVERIFY(svg.contains("stroke=\"#bbbbbb\"")); // three parts text, one part window
    QVERIFY(!svg.contains("#7a8a9a"));
}

QTEST_MAIN(TestIconTheme)
#include "tst_icontheme.moc"
