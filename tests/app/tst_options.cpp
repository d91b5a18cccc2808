#include "app/frmoptions.h"
#include "app/optionscontroller.h"
#include "document/documentfilter.h"
#include "document/pathcompleter.h"
#include "optionsfixture.h"
#include "project/extapps.h"
#include "project/itemopener.h"
#include "project/projectcontroller.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"
#include "tools/autocompletecontroller.h"
#include "tree/foldertree.h"
#include "tree/foldertreemodel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace OptionsTest;

namespace {

// Each line and check box of the dialog, the key it edits and a value other
// than the key's default ("True" or "False" for a check box).
struct Edited {
    const char* control;
    const char* key;
    const char* value;
};
const Edited EditedControls[] = {
    {"Text9", "OpenExclude", ".c, .h,"},     {"chkOpen", "ConfirmExt", "False"},
    {"Check3", "SaveWindowState", "True"},   {"Check2", "AutoLoadProject", "True"},
    {"Text1", "Extensions", ".md,.txt"},     {"Text3", "Tabs", "4, 8"},
    {"chkWordWrap", "WordWrap", "False"},    {"Check7", "Add2RecentDoc", "True"},
    {"Check6", "Add2RecentPrj", "True"},     {"Check4", "TreeSync", "True"},
    {"Check1", "AutoCopy", "True"},          {"Text2", "QuoteFile", " /data/quotes.txt"},
    {"Text5", "TextBlocks", "/data/b.txt"},  {"Check5", "AutoCompleteAtStartup", "False"},
    {"Text6", "AutoTagFile", "/data/t.txt"}, {"Text8", "AutoHotKey", "#"},
    {"Text4", "NotesFile", "/data/n.txt"},   {"Text7_0", "EmailApp", "mutt"},
    {"Text7_1", "NewsApp", "slrn"},          {"Text7_2", "SNewsApp", "tin"},
    {"Text7_3", "FTPApp", "lftp"},
};

// A store holding a value other than the default for every key the dialog edits.
void fillStore(SettingsStore& store)
{
    for (const Edited& edited : EditedControls)
        store.write(Settings::General, QString::fromLatin1(edited.key),
                    QString::fromLatin1(edited.value));
    store.write(Settings::General, QStringLiteral("OpenMethod"), QStringLiteral("2"));
    store.write(Settings::General, QStringLiteral("TreeDelMethod"), QStringLiteral("True"));
    store.write(Settings::General, QStringLiteral("Font"), QStringLiteral("DejaVu Sans,10.5"));
    store.write(Settings::General, QStringLiteral("rtbBackColor"), QStringLiteral("255"));
    store.write(Settings::General, QStringLiteral("rtbPadBackColor"), QStringLiteral("65280"));
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void dialogShowsEveryStoredValue();
    void dialogLayout();
    void okWritesEveryControlAndSyncs();
    void okWithoutChangesKeepsSystemColours();
    void cancelAndCloseBoxChangeNothing_data();
    void cancelAndCloseBoxChangeNothing();
    void typedAndPastedTextIsFiltered_data();
    void typedAndPastedTextIsFiltered();
    void okTakesEffectAtOnce();
    void treeFollowsTheCurrentFolderOnceAsked();
    void failedWriteIsReportedAndValuesStay();
};

void TestOptions::dialogShowsEveryStoredValue()
{
    FrameFixture f;
    fillStore(f.store);
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Defaults"));
        QCOMPARE(d.Tag, QString());
        for (const Edited& edited : EditedControls) {
            const QString value = QString::fromLatin1(edited.value);
            if (auto* box = control<QLineEdit>(d, edited.control))
                QCOMPARE(box->text(), value);
            else
                QVERIFY2(control<QCheckBox>(d, edited.control)->isChecked() == (value == u"True"),
                         edited.control);
        }
        QVERIFY(!d.OptOpen[0]->isChecked());
        QVERIFY(!d.OptOpen[1]->isChecked());
        QVERIFY(control<QRadioButton>(d, "OptOpen_2")->isChecked());
        QVERIFY(!d.optDelete[0]->isChecked());
        QVERIFY(control<QRadioButton>(d, "optDelete_1")->isChecked());
        QCOMPARE(control<QLabel>(d, "Label1")->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(control<QLabel>(d, "Label3")->text(), QStringLiteral("10.5"));
        QCOMPARE(frmOptions::backColor(control<QPushButton>(d, "Command1_4")), 255);
        QCOMPARE(frmOptions::backColor(control<QPushButton>(d, "Command1_13")), 65280);
        QVERIFY(d.Command1[4]->styleSheet().contains(u"#ff0000"));
        QVERIFY(d.Command1[13]->styleSheet().contains(u"#00ff00"));
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestOptions::dialogLayout()
{
    FrameFixture f;
    frmOptions* first = nullptr;
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        first = &d;
        auto* tabs = control<QTabWidget>(d, "TabStrip1");
        QCOMPARE(tabs->count(), 8);
        const QStringList captions = {"&General",     "&Document",      "&Tree view", "&Quotes",
                                      "Text &blocks", "&Auto-Complete", "&Notes",     "&Internet"};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(tabs->tabText(i), captions[i]);
            QCOMPARE(tabs->widget(i)->objectName(), QStringLiteral("Frame2_%1").arg(i + 1));
        }
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(control<QLabel>(d, "OptOpen_1_Caption")->text().contains(u"= a text editor,"));
        QCOMPARE(control<QRadioButton>(d, "optDelete_0")->text(), QStringLiteral("Move to Trash"));
        QVERIFY(d.findChild<QWidget*>(QStringLiteral("Frame4"))
                    ->property("title")
                    .toString()
                    .contains(u"desktop's 'Recent Documents' list"));
        for (const char* name : {"Text2", "Text4", "Text5", "Text6"}) {
            QCompleter* completer = control<QLineEdit>(d, name)->completer();
            QVERIFY2(qobject_cast<PathCompleter*>(completer), name);
        }
        QVERIFY(!control<QLineEdit>(d, "Text9")->completer());
        // A click on an open rule's caption chooses it.
        QTest::mouseClick(control<QLabel>(d, "OptOpen_0_Caption"), Qt::LeftButton);
        QVERIFY(control<QRadioButton>(d, "OptOpen_0")->isChecked());
        tabs->setCurrentIndex(5);
    }));
    // Kept between openings, with the tab last chosen.
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        QCOMPARE(&d, first);
        QCOMPARE(d.TabStrip1->currentIndex(), 5);
        QVERIFY(control<QRadioButton>(d, "OptOpen_1")->isChecked());
    }));
}

void TestOptions::okWritesEveryControlAndSyncs()
{
    FrameFixture f;
    QVERIFY(openOptions(f, [](frmOptions& d) {
        for (const Edited& edited : EditedControls) {
            const QString value = QString::fromLatin1(edited.value);
            if (auto* box = control<QLineEdit>(d, edited.control))
                box->setText(value);
            else
                control<QCheckBox>(d, edited.control)->setChecked(value == u"True");
        }
        d.OptOpen[0]->click();
        d.optDelete[1]->click();
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    // On disk, not only in memory.
    SettingsStore disk(f.store.filePath());
    for (const Edited& edited : EditedControls)
        QCOMPARE(stored(disk, edited.key), QString::fromLatin1(edited.value));
    QCOMPARE(stored(disk, "OpenMethod"), QStringLiteral("0"));
    QCOMPARE(stored(disk, "TreeDelMethod"), QStringLiteral("True"));
    QCOMPARE(stored(disk, "Font"), QStringLiteral("Courier New,10"));
}

void TestOptions::okWithoutChangesKeepsSystemColours()
{
    FrameFixture f;
    QVERIFY(openOptions(f, clickOk));
    SettingsStore disk(f.store.filePath());
    QCOMPARE(stored(disk, "rtbBackColor"), QStringLiteral("-2147483643"));
    QCOMPARE(stored(disk, "rtbPadBackColor"), QStringLiteral("-2147483643"));
    QCOMPARE(stored(disk, "OpenMethod"), QStringLiteral("1"));
    QCOMPARE(stored(disk, "OpenExclude"),
             QStringLiteral(".txt, .bat, .htm, .html, .js, .rtf, .xml, .h, .css, .csv,"));
    QCOMPARE(stored(disk, "AutoHotKey"), QStringLiteral("<&"));
    QCOMPARE(stored(disk, "Font"), QStringLiteral("Courier New,10"));
}

void TestOptions::cancelAndCloseBoxChangeNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Command1_1";
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "escape";
}

void TestOptions::cancelAndCloseBoxChangeNothing()
{
    QFETCH(QString, how);
    FrameFixture f;
    fillStore(f.store);
    QVERIFY(f.store.sync());
    const QByteArray before = TestHome::read(f.store.filePath());
    f.prompter.expectColor(QColor(1, 2, 3));
    frmOptions* dialog = nullptr;
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        dialog = &d;
        control<QLineEdit>(d, "Text7_0")->clear();
        control<QLineEdit>(d, "Text3")->setText(QStringLiteral("99"));
        control<QCheckBox>(d, "Check4")->click();
        control<QRadioButton>(d, "OptOpen_0")->click();
        control<QPushButton>(d, "Command1_4")->click();
        QCOMPARE(frmOptions::backColor(d.Command1[4]), 0x030201);
        if (how == QLatin1String("close"))
            QVERIFY(!d.close());
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            control<QPushButton>(d, "Command1_1")->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(d.Tag, frmOptions::Cancelled);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    for (const Edited& edited : EditedControls)
        QCOMPARE(stored(f.store, edited.key), QString::fromLatin1(edited.value));
    QCOMPARE(stored(f.store, "rtbBackColor"), QStringLiteral("255"));
    QVERIFY(f.store.sync());
    QCOMPARE(TestHome::read(f.store.filePath()), before);
    // Hidden, not destroyed; the next opening shows the stored values again.
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        QCOMPARE(&d, dialog);
        QCOMPARE(frmOptions::backColor(d.Command1[4]), 255);
        QCOMPARE(d.Text3->text(), QStringLiteral("4, 8"));
        QCOMPARE(d.Text7[0]->text(), QStringLiteral("mutt"));
        QVERIFY(d.OptOpen[2]->isChecked());
    }));
}

void TestOptions::typedAndPastedTextIsFiltered_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::newRow("tab stops") << "Text3"
                               << "8a, 1x6"
                               << "q, 24;"
                               << "8, 16, 24"
                               << "Tabs";
    QTest::newRow("tab stops, letters only") << "Text3"
                                             << "abc"
                                             << "xyz"
                                             << ""
                                             << "Tabs";
    QTest::newRow("hot keys") << "Text8"
                              << "< &,"
                              << "# ,$"
                              << "<&#$"
                              << "AutoHotKey";
    QTest::newRow("hot keys, line break pasted") << "Text8"
                                                 << "<"
                                                 << "&\n@"
                                                 << "<&@"
                                                 << "AutoHotKey";
}

void TestOptions::typedAndPastedTextIsFiltered()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    FrameFixture f;
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        auto* edit = d.findChild<QLineEdit*>(box);
        d.TabStrip1->setCurrentWidget(edit->parentWidget());
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), shown);
        clickOk(d);
    }));
    QFETCH(QString, key);
    QCOMPARE(f.store.read(Settings::General, key, QStringLiteral("<none>")), shown);
}

void TestOptions::okTakesEffectAtOnce()
{
    FrameFixture f;
    frmText* open = f.documents().NewDocument();
    const QFont before = open->RichTextBox1->document()->defaultFont();
    auto& extApps = f.frame.projects().opener().extApps();
    extApps.add(QStringLiteral(".pdf"),
                Association{QStringLiteral("viewer.desktop"), QStringLiteral("Viewer"), false});
    auto* autoComplete = f.frame.findChild<AutoCompleteController*>();
    QSignalSpy applied(f.frame.findChild<OptionsController*>(), &OptionsController::applied);
    FontChoice mono;
    mono.name = QStringLiteral("DejaVu Sans Mono");
    mono.size = 14;
    f.prompter.expectFont(mono).expectColor(QColor(0, 0, 255));
    QVERIFY(openOptions(f, [](frmOptions& d) {
        d.Command1[2]->click();
        d.Command1[4]->click();
        d.Text1->setText(QStringLiteral(".md,.rst"));
        d.chkWordWrap->setChecked(false);
        d.Text8->setText(QStringLiteral("#@"));
        d.Text3->setText(QStringLiteral("4"));
        d.chkOpen->setChecked(false);
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(applied.count(), 1);
    QCOMPARE(f.documents().filter().DocExtensions().first(), QStringLiteral(".md"));
    QVERIFY(!f.documents().wordWrap());
    QCOMPARE(extApps.size(), 0);
    QCOMPARE(autoComplete->AutoHotKeys, QStringLiteral("#@"));
    // The open document takes the new background and tab stops now, the new font
    // when its properties are next applied.
    QCOMPARE(open->RichTextBox1->palette().color(QPalette::Base), QColor(0, 0, 255));
    QCOMPARE(open->RichTextBox1->document()->defaultTextOption().tabs().size(), 1);
    QCOMPARE(open->RichTextBox1->document()->defaultFont(), before);
    // Without confirmation the next batch of external opens is answered at once.
    QSignalSpy drained(&f.frame, &frmMyMDI::queueDrained);
    QVERIFY(f.frame.queuePath(f.home.path(QStringLiteral("new.txt")), 1));
    QVERIFY(f.documents().yesNoAll().chkAll);
    QVERIFY(drained.wait());
    frmText* next = f.documents().NewDocument();
    QCOMPARE(next->RichTextBox1->document()->defaultFont().family(),
             QStringLiteral("DejaVu Sans Mono"));
}

void TestOptions::treeFollowsTheCurrentFolderOnceAsked()
{
    FrameFixture f;
    auto* tree = f.frame.findChild<FolderTree*>();
    QVERIFY(openOptions(f, [](frmOptions& d) {
        d.Check4->setChecked(true);
        clickOk(d);
    }));
    QVERIFY(QDir::setCurrent(QDir::homePath()));
    QSignalSpy synchronised(&tree->model(), &FolderTreeModel::synchronised);
    tree->driveChanged();
    QVERIFY(!synchronised.isEmpty() || synchronised.wait());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestOptions::failedWriteIsReportedAndValuesStay()
{
    TestHome home;
    const QString blocker = home.write(QStringLiteral("blocker"), "x");
    SettingsStore store(blocker + QStringLiteral("/Quillora.ini"));
    ScriptedPrompter prompter;
    frmMyMDI frame(QStringList(), startedBefore(store));
    frame.queue().OpenQueueState = OpenQueue::Idle;
    frame.show();
    FrameParts parts(frame);
    prompter.expectMessage(QStringLiteral("Error: ") + store.filePath() + u'\n');
    QVERIFY(openOptions(parts, [](frmOptions& d) {
        d.Text3->setText(QStringLiteral("8"));
        d.Text7[0]->clear();
        clickOk(d);
    }));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QCOMPARE(prompter.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY(prompter.messages.first().text.size() >
            (QStringLiteral("Error: ") + store.filePath() + u'\n').size());
    QCOMPARE(stored(store, "Tabs"), QStringLiteral("8"));
    QCOMPARE(stored(store, "EmailApp"), QStringLiteral("mailto:"));
    QVERIFY(
        openOptions(parts, [](frmOptions& d) { QCOMPARE(d.Text3->text(), QStringLiteral("8")); }));
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
