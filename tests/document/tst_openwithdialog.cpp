#include "document/openwithdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

OpenWithRequest request(bool withRecommended = true)
{
    OpenWithRequest asked;
    asked.path = QStringLiteral("/work/notes/todo list.qlpick");
    asked.contentType = QStringLiteral("text/x-quillora-pick");
    asked.contentDescription = QStringLiteral("Pick test document");
    if (withRecommended)
        asked.recommended = {{QStringLiteral("alpha.desktop"), QStringLiteral("Alpha"),
                              QStringLiteral("accessories-text-editor")},
                             {QStringLiteral("beta.desktop"), QStringLiteral("Beta"), QString()}};
    asked.others = {{QStringLiteral("gamma.desktop"), QStringLiteral("Gamma"), QString()}};
    return asked;
}

QStringList names(const QListWidget* list)
{
    QStringList shown;
    for (int row = 0; row < list->count(); ++row)
        shown.append(list->item(row)->text());
    return shown;
}

} // namespace

// The chooser is built and driven here directly: exec() would wait for a user.
class TestOpenWithDialog : public QObject {
    Q_OBJECT
private slots:
    void namesTheFileAndItsKind();
    void okFollowsSelectionAndCommand();
    void showAllAddsTheOthers();
    void withoutRecommendedAllAreShown();
    void alwaysUseGoesWithTheChoice();
    void doubleClickAccepts();
};

void TestOpenWithDialog::namesTheFileAndItsKind()
{
    OpenWithDialog dialog(request());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Open With"));
    QVERIFY2(dialog.fileLabel()->text().contains(QStringLiteral("todo list.qlpick")),
             qPrintable(dialog.fileLabel()->text()));
    QVERIFY(dialog.fileLabel()->text().contains(QStringLiteral("Pick test document")));
    QVERIFY(!dialog.fileLabel()->text().contains(QStringLiteral("/work/notes")));
    QVERIFY(dialog.alwaysUseBox()->text().contains(QStringLiteral("Pick test document files")));
    QVERIFY(!dialog.alwaysUseBox()->isChecked());
    QCOMPARE(names(dialog.programList()), QStringList({"Alpha", "Beta"}));
    // An "&" in the name is shown, not taken for a shortcut key.
    OpenWithRequest ampersand = request();
    ampersand.path = QStringLiteral("/work/notes/R&D plan.txt");
    OpenWithDialog named(ampersand);
    QVERIFY2(named.fileLabel()->text().contains(QStringLiteral("R&&D plan.txt")),
             qPrintable(named.fileLabel()->text()));
}

void TestOpenWithDialog::okFollowsSelectionAndCommand()
{
    OpenWithDialog dialog(request());
    QListWidget* list = dialog.programList();
    // The first recommended program is picked to begin with.
    QVERIFY(dialog.okButton()->isEnabled());
    QCOMPARE(dialog.choice()->applicationId, QStringLiteral("alpha.desktop"));

    list->clearSelection();
    QVERIFY(!dialog.okButton()->isEnabled());
    QVERIFY(!dialog.choice());

    QTest::keyClicks(dialog.commandEdit(), QStringLiteral("   "));
    QVERIFY(!dialog.okButton()->isEnabled());
    dialog.commandEdit()->clear();
    QTest::keyClicks(dialog.commandEdit(), QStringLiteral("vim %f"));
    QVERIFY(dialog.okButton()->isEnabled());
    QCOMPARE(dialog.choice()->customCommand, QStringLiteral("vim %f"));
    QCOMPARE(dialog.choice()->applicationId, QString());

    // A program picked replaces the command, and a command typed the program.
    list->setCurrentRow(1);
    QCOMPARE(dialog.commandEdit()->text(), QString());
    QCOMPARE(dialog.choice()->applicationId, QStringLiteral("beta.desktop"));
    QTest::keyClicks(dialog.commandEdit(), QStringLiteral("gimp"));
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(dialog.choice()->customCommand, QStringLiteral("gimp"));
    QCOMPARE(dialog.choice()->applicationId, QString());

    dialog.commandEdit()->clear();
    QVERIFY(!dialog.okButton()->isEnabled());
}

void TestOpenWithDialog::showAllAddsTheOthers()
{
    OpenWithDialog dialog(request());
    QListWidget* list = dialog.programList();
    QVERIFY(!dialog.showAllBox()->isChecked());
    list->setCurrentRow(1);
    dialog.showAllBox()->setChecked(true);
    QCOMPARE(names(list), QStringList({"Alpha", "Beta", "Gamma"}));
    // The program picked stays picked.
    QCOMPARE(dialog.choice()->applicationId, QStringLiteral("beta.desktop"));
    list->setCurrentRow(2);
    QCOMPARE(dialog.choice()->applicationId, QStringLiteral("gamma.desktop"));
    // Hiding the others again takes a picked one of them away, and OK with it.
    dialog.showAllBox()->setChecked(false);
    QCOMPARE(names(list), QStringList({"Alpha", "Beta"}));
    QVERIFY(!dialog.choice());
    QVERIFY(!dialog.okButton()->isEnabled());
}

void TestOpenWithDialog::withoutRecommendedAllAreShown()
{
    OpenWithDialog dialog(request(false));
    QVERIFY(dialog.showAllBox()->isChecked());
    QCOMPARE(names(dialog.programList()), QStringList({"Gamma"}));
    QVERIFY(dialog.okButton()->isEnabled());
}

void TestOpenWithDialog::alwaysUseGoesWithTheChoice()
{
    OpenWithDialog dialog(request());
    QCOMPARE(dialog.choice()->alwaysUse, false);
    dialog.alwaysUseBox()->setChecked(true);
    QCOMPARE(dialog.choice()->alwaysUse, true);
    dialog.programList()->clearSelection();
    QTest::keyClicks(dialog.commandEdit(), QStringLiteral("gimp"));
    QCOMPARE(dialog.choice()->alwaysUse, true);
}

void TestOpenWithDialog::doubleClickAccepts()
{
    OpenWithDialog dialog(request());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QListWidget* list = dialog.programList();
    const QPoint beta = list->visualItemRect(list->item(1)).center();
    // A double click is a click, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beta);
    QVERIFY(dialog.isVisible());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, beta);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.choice()->applicationId, QStringLiteral("beta.desktop"));
}

QTEST_MAIN(TestOpenWithDialog)
#include "tst_openwithdialog.moc"
