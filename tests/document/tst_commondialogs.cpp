#include "document/commondialogapi.h"
#include "document/frmyesnoall.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace CommonDialogAPI;

class TestCommonDialogs : public QObject {
    Q_OBJECT
private slots:
    void filtersConvert_data();
    void filtersConvert();
    void openDialogFlags();
    void saveDialogAddsTheDefaultExtension();
    void namesWithoutExtensionThatExistAreKept();
    void colorDialogKeepsCustomColors();
    void withoutAPrompterNothingIsShown();
    void cancelledPrinterDialogs();
    void yesNoAllEnterAnswersCancel();
    void yesNoAllCloseBoxIsCancel();
    void yesNoAllAnswersWithTheCheckBox();
};

void TestCommonDialogs::filtersConvert_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("converted");
    QTest::newRow("document filter")
        << ".txt|*.txt|.htm*|*.htm*|All Files|*.*"
        << QStringList{".txt (*.txt)", ".htm* (*.htm*)", "All Files (*)"};
    QTest::newRow("description with patterns")
        << "Text files (*.txt)|*.txt|Web (*.htm;*.html)|*.htm;*.html"
        << QStringList{"Text files (*.txt)", "Web (*.htm *.html)"};
    QTest::newRow("upper-case patterns match lower-case names")
        << "Text Files (*.TXT)|*.TXT|All Files|*.*"
        << QStringList{"Text Files (*.TXT *.txt)", "All Files (*)"};
    QTest::newRow("odd trailing part")
        << "Project Files (*.prj)|*.prj|All Files" << QStringList{"Project Files (*.prj)"};
}

void TestCommonDialogs::filtersConvert()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, converted);
    QCOMPARE(convertFilter(filter), converted);
}

void TestCommonDialogs::openDialogFlags()
{
    TestHome home;
    const QString existing = home.write(QStringLiteral("there.txt"), "x");
    const QString missing = home.path(QStringLiteral("missing.txt"));
    ScriptedPrompter prompter;
    // File must exist: a missing name is refused and the dialog comes back.
    prompter.expectFile(missing, QStringLiteral("Pick"))
        .expectMessage(QStringLiteral("File not found."))
        .expectFile(existing, QStringLiteral("Pick"));
    QCOMPARE(ShowOpen(nullptr, QStringLiteral(".txt"), QStringLiteral("Text|*.txt"),
                      OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, QString(), QStringLiteral("Pick"), 0,
                      QString()),
             existing);
    QVERIFY(prompter.fileRequests.first().mustExist);
    // Create prompt: No returns to the dialog, which is then cancelled.
    prompter.expectFile(missing)
        .expectMessage(QStringLiteral("Do you want to create it?"), Answer::No)
        .expectFile(QString());
    QCOMPARE(ShowOpen(nullptr, QString(), QStringLiteral("All|*.*"), OFN_CREATEPROMPT, QString(),
                      QString(), 1, QStringLiteral("start.txt")),
             QString());
    QCOMPARE(prompter.fileRequests.last().initialPath, missing);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestCommonDialogs::saveDialogAddsTheDefaultExtension()
{
    TestHome home;
    ScriptedPrompter prompter;
    prompter.expectFile(home.path(QStringLiteral("report")));
    QCOMPARE(ShowSave(nullptr, QStringLiteral(".prj"),
                      QStringLiteral("Project files (*.prj)|*.prj"), OFN_OVERWRITEPROMPT, QString(),
                      QString(), QString(), 1),
             home.path(QStringLiteral("report.prj")));
    QCOMPARE(prompter.fileRequests.first().selectedFilter, 0);
    QVERIFY(prompter.fileRequests.first().save);
    // A very long name is fine: there is no 254-character limit.
    const QString longName = home.path(QString(300, u'n') + QStringLiteral(".txt"));
    prompter.expectFile(longName);
    QCOMPARE(ShowSave(nullptr, QString(), QString(), 0, QString(), QString(), QString(), 0),
             longName);
}

void TestCommonDialogs::namesWithoutExtensionThatExistAreKept()
{
    TestHome home;
    const QString readme = home.write(QStringLiteral("README"), "read me");
    QDir().mkpath(home.path(QStringLiteral("proj.v2")));
    const QString makefile = home.write(QStringLiteral("proj.v2/Makefile"), "all:");
    ScriptedPrompter prompter;
    // Chosen as they are, with no question: they exist.
    prompter.expectFile(readme).expectFile(makefile);
    for (const QString& path : {readme, makefile})
        QCOMPARE(ShowOpen(nullptr, QStringLiteral(".txt"), QStringLiteral("All|*.*"),
                          OFN_CREATEPROMPT | OFN_HIDEREADONLY, QString(), QString(), 1, QString()),
                 path);
    // A typed name that does not exist gets the default extension.
    const QString typed = home.path(QStringLiteral("proj.v2/notes"));
    prompter.expectFile(typed).expectMessage(QStringLiteral("Do you want to create it?"),
                                             Answer::Yes);
    QCOMPARE(ShowOpen(nullptr, QStringLiteral(".txt"), QStringLiteral("All|*.*"), OFN_CREATEPROMPT,
                      QString(), QString(), 1, QString()),
             typed + QStringLiteral(".txt"));
    // Saving over an existing file without an extension keeps its name.
    prompter.expectFile(makefile).expectMessage(QStringLiteral("Do you want to replace it?"),
                                                Answer::Yes);
    QCOMPARE(ShowSave(nullptr, QStringLiteral(".txt"), QStringLiteral("All|*.*"),
                      OFN_OVERWRITEPROMPT, makefile, QString(), QString(), 1),
             makefile);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestCommonDialogs::withoutAPrompterNothingIsShown()
{
    // No prompter installed: a question is refused at once, never shown (a
    // real dialog would wait here for a click that never comes).
    Prompter::refused().clear();
    QCOMPARE(
        Prompter::ask(QStringLiteral("Replace it?"), MessageButtons::YesNo, MessageIcon::Question),
        Answer::Cancel);
    QCOMPARE(
        ShowOpen(nullptr, QString(), QString(), 0, QString(), QStringLiteral("Pick"), 0, QString()),
        QString());
    QCOMPARE(Prompter::refused(),
             QStringList({QStringLiteral("Replace it?"), QStringLiteral("Pick")}));
}

void TestCommonDialogs::colorDialogKeepsCustomColors()
{
    ScriptedPrompter prompter;
    QCOMPARE(customColors().size(), 16);
    QCOMPARE(customColors().first(), qint32(0xB4FFFF));
    prompter.expectColor(std::nullopt);
    QCOMPARE(ShowColor(nullptr, 0x0000FF), qint32(-1));
    prompter.expectColor(QColor(0x11, 0x22, 0x33));
    QCOMPARE(ShowColor(nullptr, 0), qint32(0x332211));
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
}

void TestCommonDialogs::cancelledPrinterDialogs()
{
    ScriptedPrompter prompter;
    int flags = PD_NOSELECTION;
    QVERIFY(ShowPrinter(nullptr, flags)); // cancelled
    QCOMPARE(flags, PD_NOSELECTION);
    int top = 1, bottom = 2, left = 3, right = 4;
    QVERIFY(ShowPageSetup(nullptr, 0, top, bottom, left, right));
    QCOMPARE(QList<int>({top, bottom, left, right}), QList<int>({1, 2, 3, 4}));
    QCOMPARE(prompter.shown.size(), 2);
}

void TestCommonDialogs::yesNoAllEnterAnswersCancel()
{
    frmYesNoAll dialog;
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    const YesNoAllReply reply = dialog.ask({QStringLiteral("Open it?"), true, false});
    QCOMPARE(reply.answer, Answer::Cancel);
    QCOMPARE(dialog.Label1->text(), QStringLiteral("Open it?"));
}

void TestCommonDialogs::yesNoAllCloseBoxIsCancel()
{
    frmYesNoAll dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    QCOMPARE(dialog.ask({QStringLiteral("q"), false, false}).answer, Answer::Cancel);
    QVERIFY(!dialog.isVisible());
}

void TestCommonDialogs::yesNoAllAnswersWithTheCheckBox()
{
    frmYesNoAll dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.chkAll->setChecked(true);
        dialog.Command2->click();
    });
    const YesNoAllReply reply = dialog.ask({QStringLiteral("q"), true, false});
    QCOMPARE(reply.answer, Answer::No);
    QVERIFY(reply.checked);
    QCOMPARE(dialog.chkAll->text(), frmYesNoAll::ApplyToAllCaption);
}

QTEST_MAIN(TestCommonDialogs)
#include "tst_commondialogs.moc"
