#include "project/itemopener.h"
#include "support/framefixture.h"

#include <QTest>

namespace {

struct Fixture : FrameFixture {
    ItemOpener* opener() { return frame.findChild<ItemOpener*>(); }
    // What was handed to other programs, and what the desktop answers.
    QStringList launched;
    QStringList chosen;
    QHash<QString, ItemOpener::Launch> outcomes;

    Fixture()
    {
        opener()->setLookup([](const QString& path) -> std::optional<Association> {
            if (path.endsWith(QStringLiteral(".pdf")))
                return Association{QStringLiteral("reader.desktop"), QStringLiteral("Reader"),
                                   false};
            if (path.endsWith(QStringLiteral(".ini")))
                return Association{QStringLiteral("editor.desktop"), QStringLiteral("Editor"),
                                   true};
            return std::nullopt;
        });
        opener()->setLauncher([this](const QString& path, const QString& application) {
            launched << path + u'|' + application;
            return outcomes.value(path, ItemOpener::Launch::Opened);
        });
        opener()->setChooser([this](const QString& path) {
            chosen << path;
            return true;
        });
    }
};

} // namespace

class TestItemOpener : public QObject {
    Q_OBJECT
private slots:
    void documentsLoadAndOthersAskFirst();
    void shortcutsOpenTheirTargetAndFailuresAskToGoOn();
};

void TestItemOpener::documentsLoadAndOthersAskFirst()
{
    Fixture f;
    const QString text = f.home.write(QStringLiteral("notes.txt"), "text\n");
    const QString pdf = f.home.write(QStringLiteral("paper.pdf"), "%PDF\n");
    const QString ini = f.home.write(QStringLiteral("app.ini"), "[a]\n");
    // Excluded kinds load as documents without a question.
    f.opener()->OpenPath(text, false);
    QCOMPARE(f.documentWindows().size(), 1);
    // Opening it again only brings its window forward.
    f.opener()->OpenPath(text, false);
    QCOMPARE(f.documentWindows().size(), 1);
    // Another program's file is asked about, naming the program.
    f.prompter.expectYesNoAll(QStringLiteral("Should I open this item in\nReader?"),
                              YesNoAllRegister::Yes);
    f.opener()->OpenPath(pdf, false);
    QCOMPARE(f.launched, QStringList(pdf + QStringLiteral("|reader.desktop")));
    // No leaves it alone.
    f.prompter.expectYesNoAll(pdf, YesNoAllRegister::No);
    f.opener()->OpenPath(pdf, false);
    QCOMPARE(f.launched.size(), 1);
    // A text editor's file is ours unless the setting hands it over too.
    f.opener()->OpenPath(ini, false);
    QCOMPARE(f.documentWindows().size(), 2);
    f.documents().closeAll();
    Settings(f.store).setInteger(Key::OpenMethod, 2);
    f.prompter.expectYesNoAll(QStringLiteral("Editor?"), YesNoAllRegister::Yes);
    f.opener()->OpenPath(ini, false);
    QCOMPARE(f.launched.last(), ini + QStringLiteral("|editor.desktop"));
    // A path from outside is a document whatever it is.
    f.opener()->OpenPath(pdf, true);
    QCOMPARE(f.documentWindows().size(), 1);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestItemOpener::shortcutsOpenTheirTargetAndFailuresAskToGoOn()
{
    Fixture f;
    const QString pdf = f.home.write(QStringLiteral("paper.pdf"), "%PDF\n");
    const QString shortcut = pdf + QStringLiteral(".lnk");
    f.outcomes.insert(shortcut, ItemOpener::Launch::Failed);
    // A read-only shortcut: the shortcut itself cannot open, its target does.
    f.prompter.expectYesNoAll(QStringLiteral("Linked item: ") + shortcut, YesNoAllRegister::Yes);
    f.opener()->OpenPath(shortcut, true);
    QCOMPARE(f.launched, QStringList({shortcut + u'|', pdf + u'|'}));
    // No program for it: the user picks one.
    const QString odd = f.home.write(QStringLiteral("data.xyz"), "?\n");
    Settings(f.store).setText(Key::OpenExclude, QStringLiteral(".txt,"));
    f.outcomes.insert(odd, ItemOpener::Launch::NoAssociation);
    f.prompter.expectYesNoAll(QStringLiteral("[External Application]"), YesNoAllRegister::Yes);
    f.opener()->OpenPath(odd, false);
    QCOMPARE(f.chosen, QStringList(odd));
    // A failure says so; Cancel ends the batch.
    const QString gone = f.home.path(QStringLiteral("gone.pdf"));
    f.outcomes.insert(gone, ItemOpener::Launch::Failed);
    f.prompter.expectYesNoAll(gone, YesNoAllRegister::Yes);
    f.prompter.expectMessage(QStringLiteral("Error: ") + gone + u'\n' + ItemOpener::FileNotFound,
                             Answer::Cancel);
    f.opener()->OpenPath(gone, false);
    QCOMPARE(f.documents().yesNoAll().answer(), YesNoAllRegister::Cancel);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

QTEST_MAIN(TestItemOpener)
#include "tst_itemopener.moc"
