#include "platform/externalopener.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray desktopEntry(const char* name, const char* types)
{
    return QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
           "\nExec=true %f\nMimeType=" + types + "\n";
}

} // namespace

// The test runs with its own XDG folders, so the associations are the ones it writes.
class TestExternalOpener : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void findsTheDefaultButNeverItself();
    void missingFileFails();
    void defaultsFromTheNameAlone();
};

void TestExternalOpener::initTestCase()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!data.isEmpty() && !config.isEmpty());
    writeFile(data + QStringLiteral("/applications/fake-viewer.desktop"),
              desktopEntry("Viewer", "text/plain;text/x-csrc;"));
    writeFile(data + QStringLiteral("/applications/fake-editor.desktop"),
              desktopEntry("Editor", "text/markdown;") + "Categories=Utility;TextEditor;\n");
    writeFile(data + QStringLiteral("/applications/") + ExternalOpener::OwnDesktopEntry,
              desktopEntry("Quillora", "text/plain;text/x-csrc;application/x-quillora-test;"));
    // A type that only our own entry takes.
    writeFile(data + QStringLiteral("/mime/packages/test.xml"),
              "<?xml version=\"1.0\"?>\n<mime-info "
              "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "<mime-type type=\"application/x-quillora-test\"><glob pattern=\"*.qltest\"/>"
              "</mime-type>\n</mime-info>\n");
    QCOMPARE(
        QProcess::execute(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")}),
        0);
    writeFile(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/plain=fake-viewer.desktop\n"
              "text/markdown=fake-editor.desktop\n"
              "text/x-csrc=" +
                  ExternalOpener::OwnDesktopEntry.toUtf8() +
                  "\n"
                  "application/x-quillora-test=" +
                  ExternalOpener::OwnDesktopEntry.toUtf8() + "\n");
}

void TestExternalOpener::findsTheDefaultButNeverItself()
{
    TestHome home;
    QCOMPARE(ExternalOpener::associatedApplication(home.write(QStringLiteral("a.txt"), "plain\n")),
             QStringLiteral("fake-viewer.desktop"));
    // Handing a file to ourselves would open it here again, not elsewhere: the
    // next program that takes the type is chosen, and with none there is none.
    const QString source = home.write(QStringLiteral("a.c"), "int main(void) { return 0; }\n");
    const QString next = ExternalOpener::associatedApplication(source);
    QVERIFY(!next.isEmpty() && next != ExternalOpener::OwnDesktopEntry);
    const QString own = home.write(QStringLiteral("a.qltest"), "only ours\n");
    QCOMPARE(ExternalOpener::associatedApplication(own), QString());
    QCOMPARE(ExternalOpener::open(own), ExternalOpener::Outcome::NoAssociation);
}

void TestExternalOpener::missingFileFails()
{
    QCOMPARE(ExternalOpener::open(QStringLiteral("Untitled:3")), ExternalOpener::Outcome::Failed);
    QCOMPARE(ExternalOpener::associatedApplication(QStringLiteral("/no/such/file.txt")), QString());
}

void TestExternalOpener::defaultsFromTheNameAlone()
{
    // No file needs to exist: the name says the kind.
    const auto viewer = ExternalOpener::defaultFor(QStringLiteral("/no/such/notes.txt"));
    QVERIFY(viewer);
    QCOMPARE(viewer->id, QStringLiteral("fake-viewer.desktop"));
    QCOMPARE(viewer->name, QStringLiteral("Viewer"));
    QVERIFY(!viewer->textEditor);
    const auto editor = ExternalOpener::defaultFor(QStringLiteral("README.md"));
    QVERIFY(editor);
    QCOMPARE(editor->id, QStringLiteral("fake-editor.desktop"));
    QVERIFY(editor->textEditor);
    // Our own entry is reported as it is; what it means is the caller's to say.
    const auto own = ExternalOpener::defaultFor(QStringLiteral("main.c"));
    QVERIFY(own);
    QCOMPARE(own->id, ExternalOpener::OwnDesktopEntry);
    // The folder's name has no say.
    const auto inFolder = ExternalOpener::defaultFor(QStringLiteral("/work/proj.md/notes.txt"));
    QVERIFY(inFolder);
    QCOMPARE(inFolder->id, QStringLiteral("fake-viewer.desktop"));
}

QTEST_GUILESS_MAIN(TestExternalOpener)
#include "tst_externalopener.moc"
