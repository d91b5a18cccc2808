#include "app/optionscontroller.h"
#include "optionsfixture.h"

#include <QLabel>
#include <QLineEdit>

using namespace OptionsTest;

// The dialog's buttons: the file, program, font and colour dialogs they open,
// the desktop's recent list and help.
class TestOptionButtons : public QObject {
    Q_OBJECT
private slots:
    void browseButtonsAskForFiles_data();
    void browseButtonsAskForFiles();
    void programBrowseTakesLinksAsThey();
    void fontsAndColoursComeFromTheirDialogs();
    void clearMenuAsksThenClears();
    void helpWaitsForItsViewer();
};

void TestOptionButtons::browseButtonsAskForFiles_data()
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

void TestOptionButtons::browseButtonsAskForFiles()
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

void TestOptionButtons::programBrowseTakesLinksAsThey()
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

void TestOptionButtons::fontsAndColoursComeFromTheirDialogs()
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

void TestOptionButtons::clearMenuAsksThenClears()
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

void TestOptionButtons::helpWaitsForItsViewer()
{
    FrameFixture f;
    auto* options = f.frame.findChild<OptionsController*>();
    // The frame hands the dialog the manual; without one the button cannot be pressed.
    QVERIFY(options->ShowHelpContext);
    options->ShowHelpContext = nullptr;
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QVERIFY(d.Command1[5]->isVisible());
        QVERIFY(!d.Command1[5]->isEnabled());
        QCOMPARE(d.Command1[5]->text(), QStringLiteral("&Help"));
    }));
    QList<int> contexts;
    QWidget* owner = nullptr;
    options->ShowHelpContext = [&](QWidget* window, int context) {
        owner = window;
        contexts.append(context);
    };
    QVERIFY(openOptions(f, [](frmOptions& d) {
        QVERIFY(d.Command1[5]->isEnabled());
        QTest::mouseClick(d.Command1[5], Qt::LeftButton);
        QVERIFY(d.isVisible());
    }));
    QCOMPARE(contexts, QList<int>{4000});
    QCOMPARE(owner, static_cast<QWidget*>(options->dialog()));
}

QTEST_MAIN(TestOptionButtons)
#include "tst_optionbuttons.moc"
