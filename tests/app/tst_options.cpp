#include "app/frmoptions.h"
#include "app/optionscontroller.h"
#include "document/documentfilter.h"
#include "project/extapps.h"
#include "project/itemopener.h"
#include "project/projectcontroller.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"
#include "tools/autocompletecontroller.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

QString stored(SettingsStore& store, const char* key)
{
    return store.read(Settings::General, QString::fromLatin1(key), QStringLiteral("<none>"));
}

template <typename T> T* control(frmOptions& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// Opens the options the way the user does and runs `whileShown` while the dialog
// waits; a dialog still shown afterwards (a failed check) is cancelled.
bool openOptions(FrameParts& frame, const std::function<void(frmOptions&)>& whileShown)
{
    bool ran = false;
    QTimer::singleShot(0, frame.area(), [&] {
        auto* dialog = frame.area()->window()->findChild<frmOptions*>();
        if (!dialog || !dialog->isVisible())
            return;
        ran = true;
        whileShown(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    frame.action(QStringLiteral("mnuPrefItem"))->trigger();
    return ran;
}

void clickOk(frmOptions& dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, "Command1_0"), Qt::LeftButton);
}

// A store holding a value other than the default for every key the dialog edits.
void fillStore(SettingsStore& store)
{
    const QList<std::pair<const char*, const char*>> values = {
        {"OpenMethod", "2"},
        {"OpenExclude", ".c, .h,"},
        {"ConfirmExt", "False"},
        {"SaveWindowState", "True"},
        {"AutoLoadProject", "True"},
        {"Font", "DejaVu Sans,10.5"},
        {"Extensions", ".md,.txt"},
        {"Tabs", "4, 8"},
        {"rtbBackColor", "255"},
        {"WordWrap", "False"},
        {"Add2RecentDoc", "True"},
        {"Add2RecentPrj", "True"},
        {"TreeDelMethod", "True"},
        {"TreeSync", "True"},
        {"AutoCopy", "True"},
        {"QuoteFile", "/data/quotes.txt"},
        {"TextBlocks", "/data/blocks.txt"},
        {"AutoCompleteAtStartup", "False"},
        {"AutoTagFile", "/data/tags.txt"},
        {"AutoHotKey", "#"},
        {"NotesFile", "/data/notes.txt"},
        {"rtbPadBackColor", "65280"},
        {"EmailApp", "mutt"},
        {"NewsApp", "slrn"},
        {"SNewsApp", "tin"},
        {"FTPApp", "lftp"},
    };
    for (const auto& [key, value] : values)
        store.write(Settings::General, QString::fromLatin1(key), QString::fromLatin1(value));
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
    void emptyProgramsAndExclusionListAreCompleted();
    void browseButtonsAskForFiles_data();
    void browseButtonsAskForFiles();
    void programBrowseTakesLinksAsThey();
    void fontsAndColoursComeFromTheirDialogs();
    void clearMenuAsksThenClears();
    void helpWaitsForItsViewer();
    void okTakesEffectAtOnce();
    void failedWriteIsReportedAndValuesStay();
};

void TestOptions::dialogShowsEveryStoredValue()
{
    FrameFixture f;
    fillStore(f.store);
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Defaults"));
        QCOMPARE(d.Tag, QString());
        QVERIFY(!control<QRadioButton>(d, "OptOpen_0")->isChecked());
        QVERIFY(!control<QRadioButton>(d, "OptOpen_1")->isChecked());
        QVERIFY(control<QRadioButton>(d, "OptOpen_2")->isChecked());
        const QList<std::pair<const char*, bool>> checks = {
            {"chkOpen", false}, {"Check3", true}, {"Check2", true},
            {"Check7", true},   {"Check6", true}, {"chkWordWrap", false},
            {"Check4", true},   {"Check1", true}, {"Check5", false},
        };
        for (const auto& [name, ticked] : checks)
            QVERIFY2(control<QCheckBox>(d, name)->isChecked() == ticked, name);
        QVERIFY(!control<QRadioButton>(d, "optDelete_0")->isChecked());
        QVERIFY(control<QRadioButton>(d, "optDelete_1")->isChecked());
        QCOMPARE(control<QLabel>(d, "Label1")->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(control<QLabel>(d, "Label3")->text(), QStringLiteral("10.5"));
        const QList<std::pair<const char*, const char*>> texts = {
            {"Text9", ".c, .h,"},
            {"Text1", ".md,.txt"},
            {"Text3", "4, 8"},
            {"Text2", "/data/quotes.txt"},
            {"Text5", "/data/blocks.txt"},
            {"Text6", "/data/tags.txt"},
            {"Text8", "#"},
            {"Text4", "/data/notes.txt"},
            {"Text7_0", "mutt"},
            {"Text7_1", "slrn"},
            {"Text7_2", "tin"},
            {"Text7_3", "lftp"},
        };
        for (const auto& [name, text] : texts)
            QCOMPARE(control<QLineEdit>(d, name)->text(), QString::fromLatin1(text));
        QCOMPARE(frmOptions::backColor(control<QPushButton>(d, "Command1_4")), 255);
        QCOMPARE(frmOptions::backColor(control<QPushButton>(d, "Command1_13")), 65280);
        QVERIFY(control<QPushButton>(d, "Command1_4")->styleSheet().contains(u"#ff0000"));
        QVERIFY(control<QPushButton>(d, "Command1_13")->styleSheet().contains(u"#00ff00"));
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
            QVERIFY2(completer && qobject_cast<QFileSystemModel*>(completer->model()), name);
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
        control<QRadioButton>(d, "OptOpen_0")->click();
        control<QLineEdit>(d, "Text9")->setText(QStringLiteral(" .c, .h "));
        for (const char* name : {"chkOpen", "Check3", "Check2", "chkWordWrap", "Check7", "Check6",
                                 "Check4", "Check1", "Check5"})
            control<QCheckBox>(d, name)->click();
        control<QRadioButton>(d, "optDelete_1")->click();
        control<QLineEdit>(d, "Text1")->setText(QStringLiteral(" .md "));
        control<QLineEdit>(d, "Text3")->setText(QStringLiteral(" 4, 8 "));
        control<QLineEdit>(d, "Text2")->setText(QStringLiteral(" /q.txt"));
        control<QLineEdit>(d, "Text5")->setText(QStringLiteral("/b.txt "));
        control<QLineEdit>(d, "Text6")->setText(QStringLiteral("/t.txt"));
        control<QLineEdit>(d, "Text8")->setText(QStringLiteral("#"));
        control<QLineEdit>(d, "Text4")->setText(QStringLiteral("/n.txt"));
        control<QLineEdit>(d, "Text7_0")->setText(QStringLiteral(" mutt "));
        control<QLineEdit>(d, "Text7_1")->setText(QStringLiteral("slrn"));
        control<QLineEdit>(d, "Text7_2")->setText(QStringLiteral("tin"));
        control<QLineEdit>(d, "Text7_3")->setText(QStringLiteral("lftp"));
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    // On disk, not only in memory.
    SettingsStore disk(f.store.filePath());
    const QList<std::pair<const char*, const char*>> expected = {
        {"OpenMethod", "0"},         {"OpenExclude", ".c, .h,"},
        {"ConfirmExt", "False"},     {"SaveWindowState", "True"},
        {"AutoLoadProject", "True"}, {"Font", "Courier New,10"},
        {"Extensions", ".md"},       {"Tabs", "4, 8"},
        {"WordWrap", "False"},       {"Add2RecentDoc", "True"},
        {"Add2RecentPrj", "True"},   {"TreeDelMethod", "True"},
        {"TreeSync", "True"},        {"AutoCopy", "True"},
        {"QuoteFile", " /q.txt"},    {"TextBlocks", "/b.txt "},
        {"AutoTagFile", "/t.txt"},   {"AutoCompleteAtStartup", "False"},
        {"AutoHotKey", "#"},         {"NotesFile", "/n.txt"},
        {"EmailApp", "mutt"},        {"NewsApp", "slrn"},
        {"SNewsApp", "tin"},         {"FTPApp", "lftp"},
    };
    for (const auto& [key, value] : expected)
        QCOMPARE(stored(disk, key), QString::fromLatin1(value));
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
    QCOMPARE(stored(f.store, "Tabs"), QStringLiteral("4, 8"));
    QCOMPARE(stored(f.store, "rtbBackColor"), QStringLiteral("255"));
    QCOMPARE(stored(f.store, "EmailApp"), QStringLiteral("mutt"));
    QCOMPARE(stored(f.store, "TreeSync"), QStringLiteral("True"));
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

void TestOptions::emptyProgramsAndExclusionListAreCompleted()
{
    FrameFixture f;
    fillStore(f.store);
    QVERIFY(openOptions(f, [](frmOptions& d) {
        for (QLineEdit* box : d.Text7)
            box->setText(QStringLiteral("  "));
        d.Text9->setText(QStringLiteral(".c, .h"));
        clickOk(d);
    }));
    QCOMPARE(stored(f.store, "EmailApp"), QStringLiteral("mailto:"));
    QCOMPARE(stored(f.store, "NewsApp"), QStringLiteral("news://"));
    QCOMPARE(stored(f.store, "SNewsApp"), QStringLiteral("snews://"));
    QCOMPARE(stored(f.store, "FTPApp"), QStringLiteral("FTP://"));
    QCOMPARE(stored(f.store, "OpenExclude"), QStringLiteral(".c, .h,"));
}

void TestOptions::browseButtonsAskForFiles_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("key");
    QTest::newRow("quotes") << "Command1_3"
                            << "Text2" << OptionsController::QuotesTitle << "QuoteFile";
    QTest::newRow("notes") << "Command1_6"
                           << "Text4" << OptionsController::NotesTitle << "NotesFile";
    QTest::newRow("text blocks") << "Command1_7"
                                 << "Text5" << OptionsController::TextBlocksTitle << "TextBlocks";
    QTest::newRow("auto-complete")
        << "Command1_8"
        << "Text6" << OptionsController::AutoCompleteTitle << "AutoTagFile";
}

void TestOptions::browseButtonsAskForFiles()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, title);
    QFETCH(QString, key);
    FrameFixture f;
    const QString chosen = f.home.write(QStringLiteral("chosen file.txt"), "x");
    auto* options = f.frame.findChild<OptionsController*>();
    QVERIFY(options);
    // The panes say what they show; only the auto-complete box has no pane to ask.
    options->quotesFile = [] { return QStringLiteral("/shown/quotes.txt"); };
    options->notesFile = [] { return QStringLiteral("/shown/notes.txt"); };
    options->textBlocksFile = [] { return QStringLiteral("/shown/blocks.txt"); };
    f.prompter.expectFile(QString(), title).expectFile(chosen, title).expectFile(QString(), title);
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        auto* edit = d.findChild<QLineEdit*>(box);
        auto* browse = d.findChild<QPushButton*>(button);
        edit->clear();
        browse->click(); // cancelled: the box stays empty
        QCOMPARE(edit->text(), QString());
        browse->click();
        QCOMPARE(edit->text(), chosen);
        browse->click(); // the box's own text is proposed now
        QCOMPARE(edit->text(), chosen);
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const QList<FileRequest>& asked = f.prompter.fileRequests;
    QCOMPARE(asked.size(), 3);
    const QString proposed = key == QLatin1String("QuoteFile")    ? "/shown/quotes.txt"
                             : key == QLatin1String("NotesFile")  ? "/shown/notes.txt"
                             : key == QLatin1String("TextBlocks") ? "/shown/blocks.txt"
                                                                  : "";
    QCOMPARE(asked[0].initialPath, proposed);
    QCOMPARE(asked[2].initialPath, chosen);
    QVERIFY(!asked[0].save);
    QVERIFY(asked[0].mustExist);
    QCOMPARE(asked[0].nameFilters.first(), QStringLiteral("Text files (*.txt)"));
    QCOMPARE(asked[0].nameFilters.size(), 2);
    QCOMPARE(f.store.read(Settings::General, key, QString()), chosen);
}

void TestOptions::programBrowseTakesLinksAsThey()
{
    FrameFixture f;
    const QString program = f.home.write(QStringLiteral("mailer"), "#!/bin/sh\n");
    const QString link = f.home.path(QStringLiteral("mail-link"));
    QVERIFY(QFile::link(program, link));
    for (int i = 0; i < 4; ++i)
        f.prompter.expectFile(i == 2 ? link : QString(), OptionsController::ProgramTitle);
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        d.Text7[0]->setText(QStringLiteral(" mailto: "));
        for (int i = 9; i <= 12; ++i)
            d.Command1[std::size_t(i)]->click();
        QCOMPARE(d.Text7[0]->text(), QStringLiteral(" mailto: "));
        QCOMPARE(d.Text7[2]->text(), link);
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const FileRequest& first = f.prompter.fileRequests.first();
    QCOMPARE(first.initialPath, QStringLiteral("mailto:"));
    QCOMPARE(first.nameFilters, QStringList{QStringLiteral("All Files (*)")});
    QVERIFY(!first.resolveSymlinks);
    QCOMPARE(f.prompter.fileRequests[1].initialPath, QStringLiteral("news://"));
    QCOMPARE(stored(f.store, "SNewsApp"), link);
}

void TestOptions::fontsAndColoursComeFromTheirDialogs()
{
    FrameFixture f;
    FontChoice arial;
    arial.name = QStringLiteral("Arial");
    arial.size = 12.5;
    f.prompter.expectFont(std::nullopt)
        .expectFont(arial)
        .expectColor(std::nullopt)
        .expectColor(QColor(0x12, 0x34, 0x56))
        .expectColor(QColor(Qt::white));
    QVERIFY(openOptions(f, [](frmOptions& d) {
        d.Command1[2]->click(); // cancelled
        QCOMPARE(d.Label1->text(), QStringLiteral("Courier New"));
        QCOMPARE(d.Label3->text(), QStringLiteral("10"));
        d.Command1[2]->click();
        QCOMPARE(d.Label1->text(), QStringLiteral("Arial"));
        QCOMPARE(d.Label3->text(), QStringLiteral("12.5"));
        d.Command1[4]->click(); // cancelled
        QCOMPARE(frmOptions::backColor(d.Command1[4]), Settings::SystemWindowBackground);
        d.Command1[4]->click();
        d.Command1[13]->click();
        clickOk(d);
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const FontChoice& asked = f.prompter.fontRequests.first();
    QCOMPARE(asked.name.value_or(QString()), QStringLiteral("Courier New"));
    QCOMPARE(asked.size.value_or(0), 10.0);
    QCOMPARE(asked.bold.value_or(true), false);
    QCOMPARE(asked.underline.value_or(true), false);
    QCOMPARE(stored(f.store, "Font"), QStringLiteral("Arial,12.5"));
    QCOMPARE(stored(f.store, "rtbBackColor"), QString::number(0x563412));
    QCOMPARE(stored(f.store, "rtbPadBackColor"), QString::number(0xFFFFFF));
}

void TestOptions::clearMenuAsksThenClears()
{
    FrameFixture f;
    auto* options = f.frame.findChild<OptionsController*>();
    int clears = 0;
    Status result;
    options->clearRecentDocuments = [&] {
        ++clears;
        return result;
    };
    f.prompter.expectMessage(OptionsController::ClearQuestion, Answer::No)
        .expectMessage(OptionsController::ClearQuestion, Answer::Yes)
        .expectMessage(OptionsController::ClearQuestion, Answer::Yes)
        .expectMessage(QStringLiteral("Error: /recent.xbel\nPermission denied"));
    QVERIFY(openOptions(f, [&](frmOptions& d) {
        QVERIFY(d.cmdClearDocMenu->isEnabled());
        d.cmdClearDocMenu->click();
        QCOMPARE(clears, 0);
        d.cmdClearDocMenu->click();
        QCOMPARE(clears, 1);
        result =
            Error{ErrorCode::PermissionDenied, QStringLiteral("/recent.xbel\nPermission denied")};
        d.cmdClearDocMenu->click();
        QCOMPARE(clears, 2);
        QVERIFY(d.isVisible());
    }));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const MessageRequest& question = f.prompter.messages.first();
    QCOMPARE(question.text,
             QStringLiteral("Do you want to clear the desktop's Recent Documents list?"));
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(question.icon, MessageIcon::Question);
    QCOMPARE(question.defaultButton, 2);
    QCOMPARE(f.prompter.messages.last().icon, MessageIcon::Exclamation);
    // Without the desktop's list to clear, the button cannot be pressed.
    options->clearRecentDocuments = nullptr;
    QVERIFY(openOptions(f, [](frmOptions& d) { QVERIFY(!d.cmdClearDocMenu->isEnabled()); }));
}

void TestOptions::helpWaitsForItsViewer()
{
    FrameFixture f;
    auto* options = f.frame.findChild<OptionsController*>();
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QVERIFY(d.Command1[5]->isVisible());
        QVERIFY(!d.Command1[5]->isEnabled());
        QCOMPARE(d.Command1[5]->text(), QStringLiteral("&Help"));
    }));
    QList<int> contexts;
    options->ShowHelpContext = [&](int context) { contexts.append(context); };
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QVERIFY(d.Command1[5]->isEnabled());
        QTest::mouseClick(d.Command1[5], Qt::LeftButton);
        QVERIFY(d.isVisible());
    }));
    QCOMPARE(contexts, QList<int>{4000});
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
    frmText* next = f.documents().NewDocument();
    QCOMPARE(next->RichTextBox1->document()->defaultFont().family(),
             QStringLiteral("DejaVu Sans Mono"));
}

void TestOptions::failedWriteIsReportedAndValuesStay()
{
    TestHome home;
    const QString blocker = home.write(QStringLiteral("blocker"), "x");
    SettingsStore store(blocker + QStringLiteral("/Quillora.ini"));
    ScriptedPrompter prompter;
    frmMyMDI frame(QStringList(), store);
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
