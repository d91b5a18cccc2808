#include "platform/settings.h"
#include "project/openrules.h"

#include <QHash>
#include <QTest>

Q_DECLARE_METATYPE(OpenMethod)

namespace {

const QString DefaultExclude = QString::fromLatin1(Key::OpenExclude.defaultText);
const Association Viewer{QStringLiteral("org.example.Viewer.desktop"),
                         QStringLiteral("Document Viewer"), false};
const Association Editor{QStringLiteral("org.example.Editor.desktop"),
                         QStringLiteral("Text Editor"), true};
const Association Own{OpenRules::OwnApplication, QStringLiteral("Quillora"), false};
const Association Planner{QStringLiteral("org.example.Planner.desktop"), QString(), false};

// The desktop's associations by the name's last suffix, counting each question.
struct Desktop {
    QHash<QString, Association> table{
        {QStringLiteral(".pdf"), Viewer},   {QStringLiteral(".ini"), Editor},
        {QStringLiteral(".qdoc"), Own},     {QStringLiteral(".prj"), Planner},
        {QStringLiteral(".plan"), Planner}, {QStringLiteral(".htm"), Viewer},
        {QStringLiteral(".lnk"), Viewer},   {QStringLiteral(".empty"), Association{}}};
    QStringList asked;

    OpenRules::AssociationLookup lookup()
    {
        return [this](const QString& path) -> std::optional<Association> {
            asked.append(path);
            const QString suffix = path.mid(path.lastIndexOf(u'.')).toLower();
            const auto it = table.constFind(suffix);
            if (it == table.cend())
                return std::nullopt;
            return *it;
        };
    }
};

QString asked(const QString& path, const QString& program)
{
    return path + QStringLiteral("\n\nShould I open this item in\n") + program + u'?';
}

QString askedLinked(const QString& path)
{
    return QStringLiteral("Linked item: ") + path +
           QStringLiteral("\n\nShould I open this item in its external application?");
}

} // namespace

class TestOpenRules : public QObject {
    Q_OBJECT
private slots:
    void decides_data();
    void decides();
    void excludeListItems_data();
    void excludeListItems();
    void asksTheDesktopOncePerExtension();
    void neverAsksWhenTheRulesDecide();
    void openMethodSetting();
};

void TestOpenRules::decides_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("fromOutside");
    QTest::addColumn<OpenMethod>("method");
    QTest::addColumn<QString>("application"); // empty: no external program
    QTest::addColumn<QString>("question");    // empty: opens as a document

    const QString pdf = QStringLiteral("/home/ann/Manual.pdf");
    const QString ini = QStringLiteral("/home/ann/app.ini");
    const QString own = QStringLiteral("/home/ann/page.qdoc");
    const QString unknown = QStringLiteral("/home/ann/data.xyz");
    const QString excluded = QStringLiteral("/home/ann/site/index.htm");
    const QString project = QStringLiteral("/home/ann/Plans.PRJ");
    const QString link = QStringLiteral("/home/ann/Manual.pdf.lnk");
    const QString viewer = Viewer.application;
    const QString editor = Editor.application;
    const std::pair<OpenMethod, const char*> methods[] = {{OpenMethod::Documents, "0"},
                                                          {OpenMethod::Associated, "1"},
                                                          {OpenMethod::AssociatedOrEditor, "2"}};
    for (const auto& [method, name] : methods) {
        const bool rules = method != OpenMethod::Documents;
        auto row = [&](const char* what) {
            return &QTest::newRow(qPrintable(QStringLiteral("%1 method %2").arg(what, name)));
        };
        *row("associated") << pdf << false << method << (rules ? viewer : QString())
                           << (rules ? asked(pdf, Viewer.name) : QString());
        *row("excluded") << excluded << false << method << QString() << QString();
        *row("project") << project << false << method << QString() << QString();
        *row("shortcut") << link << false << method << QString() << askedLinked(link);
        *row("text editor") << ini << false << method
                            << (method == OpenMethod::AssociatedOrEditor ? editor : QString())
                            << (method == OpenMethod::AssociatedOrEditor ? asked(ini, Editor.name)
                                                                         : QString());
        *row("own") << own << false << method << QString() << QString();
        *row("unknown") << unknown << false << method << QString()
                        << (rules ? asked(unknown, OpenRules::UnknownApplication) : QString());
        *row("outside") << pdf << true << method << QString() << QString();
        *row("outside shortcut") << link << true << method << QString() << askedLinked(link);
    }
    const OpenMethod m = OpenMethod::Associated;
    QTest::newRow("extension in capitals")
        << "/home/ann/MANUAL.PDF" << false << m << viewer
        << asked(QStringLiteral("/home/ann/MANUAL.PDF"), Viewer.name);
    QTest::newRow("shortcut in capitals")
        << "/d/a.pdf.LNK" << false << m << QString() << askedLinked(QStringLiteral("/d/a.pdf.LNK"));
    QTest::newRow("Windows-form shortcut") << "C:\\Docs\\a.pdf.lnk" << false << m << QString()
                                           << askedLinked(QStringLiteral("C:\\Docs\\a.pdf.lnk"));
    QTest::newRow("no extension in a dotted folder")
        << "/home/ann/my.docs/README" << false << m << QString() << QString();
    QTest::newRow("not excluded by a longer item")
        << "/home/ann/boot.s" << false << m << QString()
        << asked(QStringLiteral("/home/ann/boot.s"), OpenRules::UnknownApplication);
    QTest::newRow("a program without a name shows its entry")
        << "/home/ann/week.plan" << false << m << Planner.application
        << asked(QStringLiteral("/home/ann/week.plan"), Planner.application);
    QTest::newRow("an empty answer is no program")
        << "/home/ann/a.empty" << false << m << QString()
        << asked(QStringLiteral("/home/ann/a.empty"), OpenRules::UnknownApplication);
}

void TestOpenRules::decides()
{
    QFETCH(QString, path);
    QFETCH(bool, fromOutside);
    QFETCH(OpenMethod, method);
    QFETCH(QString, application);
    QFETCH(QString, question);
    Desktop desktop;
    ExtApps extApps;
    OpenRules rules(extApps, desktop.lookup());
    const OpenRules::Decision decision = rules.decide(path, fromOutside, method, DefaultExclude);
    QCOMPARE(decision.external, !question.isEmpty());
    QCOMPARE(decision.application, application);
    QCOMPARE(decision.question, question);
}

void TestOpenRules::excludeListItems_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("openExclude");
    QTest::addColumn<bool>("excluded");
    QTest::newRow(".htm") << ".htm" << DefaultExclude << true;
    QTest::newRow(".h") << ".h" << DefaultExclude << true;
    QTest::newRow(".csv, the last") << ".csv" << DefaultExclude << true;
    QTest::newRow(".s is not .js") << ".s" << DefaultExclude << false;
    QTest::newRow(".ml is not .xml") << ".ml" << DefaultExclude << false;
    QTest::newRow("last item without a comma") << ".md"
                                               << ".txt, .md" << true;
    QTest::newRow("items in capitals") << ".txt"
                                       << ".TXT,.MD" << true;
    QTest::newRow("blanks around items") << ".md"
                                         << "  .txt ,  .md  ," << true;
    QTest::newRow("empty setting") << ".txt"
                                   << "" << false;
    QTest::newRow("a comma matches nothing") << "" << DefaultExclude << false;
}

void TestOpenRules::excludeListItems()
{
    QFETCH(QString, extension);
    QFETCH(QString, openExclude);
    QFETCH(bool, excluded);
    QCOMPARE(OpenRules::isExcluded(extension, openExclude), excluded);
}

void TestOpenRules::asksTheDesktopOncePerExtension()
{
    Desktop desktop;
    ExtApps extApps;
    OpenRules rules(extApps, desktop.lookup());
    const OpenMethod m = OpenMethod::Associated;
    QVERIFY(rules.decide(QStringLiteral("/a/one.pdf"), false, m, DefaultExclude).external);
    QVERIFY(rules.decide(QStringLiteral("/b/two.PDF"), false, m, DefaultExclude).external);
    QVERIFY(rules.decide(QStringLiteral("/c/three.pdf"), false, m, DefaultExclude).external);
    // A stored line's trailing blanks are no part of its extension.
    QVERIFY(rules.decide(QStringLiteral("/d/four.pdf  "), false, m, DefaultExclude).external);
    QCOMPARE(desktop.asked, QStringList{"/a/one.pdf"});
    // A text editor's file is a document under method 1; what the desktop said is
    // kept, so method 2 sends the next one to the editor without asking again.
    QVERIFY(!rules.decide(QStringLiteral("/a/x.ini"), false, m, DefaultExclude).external);
    const OpenRules::Decision editor = rules.decide(QStringLiteral("/a/y.ini"), false,
                                                    OpenMethod::AssociatedOrEditor, DefaultExclude);
    QCOMPARE(editor.application, Editor.application);
    QVERIFY(!rules.decide(QStringLiteral("/a/z.qdoc"), false, m, DefaultExclude).external);
    QVERIFY(!rules.decide(QStringLiteral("/a/w.qdoc"), false, m, DefaultExclude).external);
    QCOMPARE(desktop.asked, (QStringList{"/a/one.pdf", "/a/x.ini", "/a/z.qdoc"}));
    QCOMPARE(extApps.size(), 3);
    QCOMPARE(extApps.find(QStringLiteral(".ini")), std::optional<Association>(Editor));
    // Unknown extensions are asked again: a program may have been installed since.
    rules.decide(QStringLiteral("/a/1.xyz"), false, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/2.xyz"), false, m, DefaultExclude);
    QCOMPARE(desktop.asked.size(), 5);
    QCOMPARE(extApps.size(), 3);
    QVERIFY(!extApps.find(QStringLiteral(".xyz")));
    // Emptied when the preferences are applied: the desktop is asked anew.
    extApps.clear();
    rules.decide(QStringLiteral("/a/four.pdf"), false, m, DefaultExclude);
    QCOMPARE(desktop.asked.last(), QStringLiteral("/a/four.pdf"));
    QCOMPARE(desktop.asked.size(), 6);
}

void TestOpenRules::neverAsksWhenTheRulesDecide()
{
    Desktop desktop;
    ExtApps extApps;
    OpenRules rules(extApps, desktop.lookup());
    const OpenMethod m = OpenMethod::AssociatedOrEditor;
    rules.decide(QStringLiteral("/a/index.htm"), false, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/Plans.prj"), false, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/Manual.pdf.lnk"), false, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/README"), false, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/Manual.pdf"), true, m, DefaultExclude);
    rules.decide(QStringLiteral("/a/Manual.pdf"), false, OpenMethod::Documents, DefaultExclude);
    QCOMPARE(desktop.asked, QStringList());
    QCOMPARE(extApps.size(), 0);
}

void TestOpenRules::openMethodSetting()
{
    QCOMPARE(OpenRules::openMethod(0), OpenMethod::Documents);
    QCOMPARE(OpenRules::openMethod(1), OpenMethod::Associated);
    QCOMPARE(OpenRules::openMethod(2), OpenMethod::AssociatedOrEditor);
    // A value the options dialog never writes falls back to the default.
    QCOMPARE(OpenRules::openMethod(7), OpenMethod::Associated);
    QCOMPARE(OpenRules::openMethod(-1), OpenMethod::Associated);
}

QTEST_APPLESS_MAIN(TestOpenRules)
#include "tst_openrules.moc"
