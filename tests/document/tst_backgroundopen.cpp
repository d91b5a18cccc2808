#include "document/documenttable.h"
#include "document/loadprogress.h"
#include "richtext/documentloader.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

namespace {

// A plain-text file large enough to load in the background.
QByteArray largeText()
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < DocumentLoader::BackgroundBytes + 1000; ++i)
        bytes += "line " + QByteArray::number(i) + " of a file that loads in the background\n";
    return bytes;
}

} // namespace

class TestBackgroundOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<frmText*>(); }
    void cleanup() { DocumentLoader::pool()->waitForDone(); }
    void largeFileOpensWhenItsTextIsIn();
    void windowClosedMidLoadOpensNothing();
    void cancelFromTheStatusBarClosesTheWindow();
    void saveWaitsForTheText();
    void unreadableLargeFileIsRefusedAtOnce();
};

void TestBackgroundOpen::largeFileOpensWhenItsTextIsIn()
{
    FrameFixture f;
    const QByteArray bytes = largeText();
    const QString path = f.home.write(QStringLiteral("large.txt"), bytes);
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    QSignalSpy started(&f.documents(), &DocumentManager::loadStarted);
    frmText* window = f.documents().LoadDocument(path);
    QVERIFY(window);
    QCOMPARE(started.count(), 1);
    QCOMPARE(opened.count(), 0);
    QVERIFY(window->RichTextBox1->isLoading());
    QCOMPARE(window->bareCaption(), path);
    auto* progress = f.frame.findChild<LoadProgress*>();
    QVERIFY(progress);
    QCOMPARE(progress->shown(), window);
    QVERIFY(opened.wait(20000));
    QCOMPARE(opened.first().first().value<frmText*>(), window);
    QCOMPARE(window->RichTextBox1->Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             QString::fromLatin1(bytes));
    QVERIFY(!window->state().Dirty);
    QCOMPARE(progress->shown(), nullptr);
    QVERIFY(progress->isHidden());
    // Typed into, it is changed and saves as any other.
    window->RichTextBox1->setSelText(QStringLiteral("first "));
    QVERIFY(window->state().Dirty);
    QVERIFY(f.documents().save(window));
    QCOMPARE(TestHome::read(path), "first " + bytes);
}

void TestBackgroundOpen::windowClosedMidLoadOpensNothing()
{
    FrameFixture f;
    const QString path = f.home.write(QStringLiteral("large.txt"), largeText());
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    QPointer<frmText> window = f.documents().LoadDocument(path);
    QVERIFY(window);
    const int slot = window->slot();
    QVERIFY(window->close());
    QTRY_VERIFY(!window);
    DocumentLoader::pool()->waitForDone();
    QTest::qWait(50);
    QCOMPARE(opened.count(), 0);
    QVERIFY(f.documents().table().state(slot).Deleted);
    QVERIFY(f.documentWindows().isEmpty());
}

void TestBackgroundOpen::cancelFromTheStatusBarClosesTheWindow()
{
    FrameFixture f;
    const QString path = f.home.write(QStringLiteral("large.txt"), largeText());
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    QSignalSpy failed(&f.documents(), &DocumentManager::loadFailed);
    QPointer<frmText> window = f.documents().LoadDocument(path);
    auto* cancel = f.frame.findChild<QToolButton*>(QStringLiteral("LoadCancel"));
    QVERIFY(cancel);
    cancel->click();
    QVERIFY(failed.wait(20000));
    QCOMPARE(failed.first().first().toString(), path);
    QTRY_VERIFY(!window);
    QCOMPARE(opened.count(), 0);
    // Nobody is asked anything: the user chose it.
    QVERIFY(f.prompter.shown.isEmpty());
}

void TestBackgroundOpen::saveWaitsForTheText()
{
    FrameFixture f;
    const QByteArray bytes = largeText();
    const QString path = f.home.write(QStringLiteral("large.txt"), bytes);
    QSignalSpy opened(&f.documents(), &DocumentManager::documentOpened);
    frmText* window = f.documents().LoadDocument(path);
    QVERIFY(window->RichTextBox1->isLoading());
    QVERIFY(!f.documents().save(window));
    QCOMPARE(TestHome::read(path), bytes);
    QVERIFY(opened.wait(20000));
}

void TestBackgroundOpen::unreadableLargeFileIsRefusedAtOnce()
{
    FrameFixture f;
    const QString path = f.home.write(QStringLiteral("large.txt"), largeText());
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (QFileInfo(path).isReadable())
        QSKIP("Running with rights to read any file");
    f.prompter.expectMessage(DocumentManager::loadError(path, QStringLiteral("Permission denied")),
                             Answer::Ok);
    QCOMPARE(f.documents().LoadDocument(path), nullptr);
    QVERIFY(f.documentWindows().isEmpty());
}

QTEST_MAIN(TestBackgroundOpen)
#include "tst_backgroundopen.moc"
