#include "frmoptions.h"

#include "characterfilter.h"
#include "document/pathcompleter.h"
#include "helpcontexts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename T> T* named(T* widget, const char* name)
{
    return named(widget, QString::fromLatin1(name));
}

QString arrayName(const char* name, int index)
{
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

QLabel* label(const char* name, const QString& caption, QWidget* parent)
{
    return named(new QLabel(caption, parent), name);
}

// A row of a box and its Browse button.
QHBoxLayout* withButton(QWidget* box, QPushButton* button)
{
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(button);
    return row;
}

} // namespace

frmOptions::frmOptions(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(Caption);
    setModal(true);
    setProperty(HelpContexts::PropertyName, HelpContext);
    Form_Load();
}

QPushButton* frmOptions::button(int index, const QString& caption)
{
    auto* pushButton = named(new QPushButton(caption, this), arrayName("Command1", index));
    pushButton->setAutoDefault(false);
    Command1[std::size_t(index)] = pushButton;
    connect(pushButton, &QPushButton::clicked, this,
            [this, index] { emit command1Clicked(index); });
    return pushButton;
}

QLineEdit* frmOptions::pathBox(const char* name)
{
    // Path completion as the user knows it from file dialogs, without reading
    // /proc's files, which froze the window.
    auto* box = named(new QLineEdit(this), name);
    new PathCompleter(box);
    return box;
}

void frmOptions::Form_Load()
{
    if (parentWidget())
        setWindowIcon(parentWidget()->windowIcon());
    TabStrip1 = named(new QTabWidget(this), "TabStrip1");
    // All eight tabs in sight, as on a tab strip.
    TabStrip1->setUsesScrollButtons(false);
    const std::array<std::pair<QString, QWidget*>, 8> tabs = {{
        {QStringLiteral("&General"), generalPanel()},
        {QStringLiteral("&Document"), documentPanel()},
        {QStringLiteral("&Tree view"), treePanel()},
        {QStringLiteral("&Quotes"), quotesPanel()},
        {QStringLiteral("Text &blocks"), textBlocksPanel()},
        {QStringLiteral("&Auto-Complete"), autoCompletePanel()},
        {QStringLiteral("&Notes"), notesPanel()},
        {QStringLiteral("&Internet"), internetPanel()},
    }};
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        Frame2[i + 1] = named(tabs[i].second, arrayName("Frame2", int(i + 1)));
        TabStrip1->addTab(tabs[i].second, tabs[i].first);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button(0, QStringLiteral("&OK")));
    buttons->addWidget(button(1, QStringLiteral("&Cancel")));
    buttons->addWidget(button(5, QStringLiteral("&Help")));
    Command1[0]->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1, 1);
    layout->addLayout(buttons);
    resize(455, 475);
}

QWidget* frmOptions::generalPanel()
{
    auto* panel = new QWidget(this);
    auto* frame3 =
        named(new QGroupBox(QStringLiteral("When opening files from within Quillora, "), panel),
              "Frame3");
    const std::array<QString, 3> captions = {
        QStringLiteral("Attempt to open all files (except read-only .lnk shortcuts) in Quillora"),
        QStringLiteral("If file association 'open' action = a text editor, or is in 'include' "
                       "list, open in Quillora.  Honor file association 'open' action for all "
                       "others"),
        QStringLiteral("Honor file association 'open' action for *all* file types, except "
                       "'exclude' list (open in Quillora):"),
    };
    auto* choices = new QVBoxLayout(frame3);
    for (int i = 0; i < 3; ++i) {
        // Long captions wrap in a label beside the button, as the option text did.
        auto* row = new QHBoxLayout;
        OptOpen[std::size_t(i)] = named(new QRadioButton(frame3), arrayName("OptOpen", i));
        auto* text = named(new QLabel(captions[std::size_t(i)], frame3),
                           arrayName("OptOpen", i) + QStringLiteral("_Caption"));
        text->setWordWrap(true);
        text->installEventFilter(this);
        OptOpen[std::size_t(i)]->setAccessibleName(captions[std::size_t(i)]);
        row->addWidget(OptOpen[std::size_t(i)], 0, Qt::AlignTop);
        row->addWidget(text, 1);
        choices->addLayout(row);
    }
    Text9 = named(new QLineEdit(frame3), "Text9");
    auto* include = new QHBoxLayout;
    include->addWidget(label("Label17", QStringLiteral("Include/Exclude:"), frame3));
    include->addWidget(Text9, 1);
    choices->addLayout(include);
    chkOpen = named(
        new QCheckBox(QStringLiteral("Confirm before opening in external application"), frame3),
        "chkOpen");
    choices->addWidget(chkOpen);
    Check3 = named(new QCheckBox(QStringLiteral("Remember window states"), panel), "Check3");
    Check2 = named(
        new QCheckBox(QStringLiteral("At startup, automatically load most recent project"), panel),
        "Check2");
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(frame3);
    layout->addWidget(Check3);
    layout->addWidget(Check2);
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::documentPanel()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    Label1 = label("Label1", QString(), panel);
    Label3 = label("Label3", QString(), panel);
    auto* font = new QHBoxLayout;
    font->addWidget(label("Label5", QStringLiteral("Font:"), panel));
    font->addWidget(Label1, 1);
    font->addWidget(label("Label4", QStringLiteral("Size:"), panel));
    font->addWidget(Label3);
    font->addWidget(button(2, QStringLiteral("&Fonts...")));
    grid->addLayout(font, 0, 0, 1, 2);
    Text1 = named(new QLineEdit(panel), "Text1");
    grid->addWidget(label("Label2", QStringLiteral("Default open/save file extensions:"), panel), 1,
                    0);
    grid->addWidget(Text1, 1, 1);
    Text3 = named(new QLineEdit(panel), "Text3");
    Text3->setValidator(new CharacterFilter(&OptionsValues::tabStopCharacters, Text3));
    grid->addWidget(label("Label7", QStringLiteral("Tab stops:"), panel), 2, 0);
    grid->addWidget(Text3, 2, 1);
    grid->addWidget(
        label("Label8", QStringLiteral("Document background (click to change):"), panel), 3, 0);
    grid->addWidget(button(4, QStringLiteral("&Colors...")), 3, 1);
    chkWordWrap =
        named(new QCheckBox(QStringLiteral("Word wrap document (to window) on open"), panel),
              "chkWordWrap");
    grid->addWidget(chkWordWrap, 4, 0, 1, 2);
    auto* frame4 =
        named(new QGroupBox(QStringLiteral("Add to the desktop's 'Recent Documents' list:"), panel),
              "Frame4");
    Check7 = named(new QCheckBox(QStringLiteral("Document files"), frame4), "Check7");
    Check6 = named(new QCheckBox(QStringLiteral("Project (.prj) files"), frame4), "Check6");
    cmdClearDocMenu =
        named(new QPushButton(QStringLiteral("Clear &menu"), frame4), "cmdClearDocMenu");
    cmdClearDocMenu->setAutoDefault(false);
    connect(cmdClearDocMenu, &QPushButton::clicked, this, &frmOptions::clearDocMenuClicked);
    auto* recent = new QHBoxLayout(frame4);
    recent->addWidget(Check7);
    recent->addWidget(Check6);
    recent->addWidget(cmdClearDocMenu);
    grid->addWidget(frame4, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    return panel;
}

QWidget* frmOptions::treePanel()
{
    auto* panel = new QWidget(this);
    auto* frame1 =
        named(new QGroupBox(QStringLiteral("Treeview deletion method:"), panel), "Frame1");
    optDelete[0] = named(new QRadioButton(QStringLiteral("Move to Trash"), frame1), "optDelete_0");
    optDelete[1] = named(new QRadioButton(QStringLiteral("Delete from disk permanently"), frame1),
                         "optDelete_1");
    auto* methods = new QVBoxLayout(frame1);
    methods->addWidget(optDelete[0]);
    methods->addWidget(optDelete[1]);
    Check4 = named(
        new QCheckBox(QStringLiteral("Automatically synchronize with current directory"), panel),
        "Check4");
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(frame1);
    layout->addWidget(Check4);
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::quotesPanel()
{
    auto* panel = new QWidget(this);
    Check1 = named(new QCheckBox(QStringLiteral("Auto-Copy selected quote to clipboard"), panel),
                   "Check1");
    Check1->setToolTip(QStringLiteral("Check this if you want each newly selected quote "
                                      "automatically copied to the keyboard (single-click copy)."));
    Text2 = pathBox("Text2");
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(Check1);
    layout->addWidget(
        label("Label6", QStringLiteral("Quotes/taglines file to be loaded at startup:"), panel));
    layout->addLayout(withButton(Text2, button(3, QStringLiteral("Browse..."))));
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::textBlocksPanel()
{
    auto* panel = new QWidget(this);
    Text5 = pathBox("Text5");
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(
        label("Label10", QStringLiteral("Text blocks file to be loaded at startup:"), panel));
    layout->addLayout(withButton(Text5, button(7, QStringLiteral("Browse..."))));
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::autoCompletePanel()
{
    auto* panel = new QWidget(this);
    Check5 =
        named(new QCheckBox(QStringLiteral("Enable Auto-Complete at startup"), panel), "Check5");
    Text6 = pathBox("Text6");
    Text8 = named(new QLineEdit(panel), "Text8");
    Text8->setValidator(new CharacterFilter(&OptionsValues::hotKeyCharacters, Text8));
    auto* hotKeys = new QHBoxLayout;
    hotKeys->addWidget(label("Label16", QStringLiteral("Hot keys (use no delimiters):"), panel));
    hotKeys->addWidget(Text8, 1);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(Check5);
    layout->addWidget(
        label("Label11", QStringLiteral("Auto-complete file to be loaded at startup:"), panel));
    layout->addLayout(withButton(Text6, button(8, QStringLiteral("Browse..."))));
    layout->addLayout(hotKeys);
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::notesPanel()
{
    auto* panel = new QWidget(this);
    Text4 = pathBox("Text4");
    auto* colour = new QHBoxLayout;
    colour->addWidget(
        label("Label18", QStringLiteral("Notes window background (click to change):"), panel));
    colour->addWidget(button(13, QStringLiteral("&Colors...")));
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(
        label("Label9", QStringLiteral("Personal notes file to be loaded at startup:"), panel));
    layout->addLayout(withButton(Text4, button(6, QStringLiteral("Browse..."))));
    layout->addLayout(colour);
    layout->addStretch(1);
    return panel;
}

QWidget* frmOptions::internetPanel()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    const std::array<std::pair<const char*, QString>, 4> labels = {{
        {"Label12", QStringLiteral("&Email:")},
        {"Label13", QStringLiteral("&News:")},
        {"Label14", QStringLiteral("&Snews:")},
        {"Label15", QStringLiteral("&FTP:")},
    }};
    for (int i = 0; i < 4; ++i) {
        Text7[std::size_t(i)] = named(new QLineEdit(panel), arrayName("Text7", i));
        QLabel* caption = label(labels[std::size_t(i)].first, labels[std::size_t(i)].second, panel);
        caption->setBuddy(Text7[std::size_t(i)]);
        grid->addWidget(caption, i, 0);
        grid->addWidget(Text7[std::size_t(i)], i, 1);
        grid->addWidget(button(9 + i, QStringLiteral("Browse...")), i, 2);
    }
    grid->setRowStretch(4, 1);
    return panel;
}

qint32 frmOptions::backColor(const QPushButton* button)
{
    return button->property("BackColor").value<qint32>();
}

void frmOptions::setBackColor(QPushButton* button, qint32 stored)
{
    // The stored code is kept, so a system colour left alone is written back as one.
    button->setProperty("BackColor", stored);
    button->setStyleSheet(
        QStringLiteral("background-color: %1").arg(Settings::colorFromStored(stored).name()));
}

void frmOptions::setValues(const OptionsValues& v)
{
    for (std::size_t i = 0; i < OptOpen.size(); ++i)
        OptOpen[i]->setChecked(int(i) == v.openMethod);
    Text9->setText(v.openExclude);
    chkOpen->setChecked(v.confirmExt);
    Check3->setChecked(v.saveWindowState);
    Check2->setChecked(v.autoLoadProject);
    Label1->setText(v.fontName);
    Label3->setText(v.fontSize.trimmed());
    Text1->setText(v.extensions);
    Text3->setText(v.tabs);
    setBackColor(Command1[4], v.backColor);
    chkWordWrap->setChecked(v.wordWrap);
    Check7->setChecked(v.add2RecentDoc);
    Check6->setChecked(v.add2RecentPrj);
    optDelete[1]->setChecked(v.treeDelMethod);
    optDelete[0]->setChecked(!v.treeDelMethod);
    Check4->setChecked(v.treeSync);
    Check1->setChecked(v.autoCopy);
    Text2->setText(v.quoteFile);
    Text5->setText(v.textBlocks);
    Check5->setChecked(v.autoCompleteAtStartup);
    Text6->setText(v.autoTagFile);
    Text8->setText(v.autoHotKey);
    Text4->setText(v.notesFile);
    setBackColor(Command1[13], v.padBackColor);
    for (std::size_t i = 0; i < Text7.size(); ++i)
        Text7[i]->setText(v.internetApps[i]);
}

OptionsValues frmOptions::values() const
{
    OptionsValues v;
    v.openMethod = OptOpen[0]->isChecked() ? 0 : OptOpen[1]->isChecked() ? 1 : 2;
    v.openExclude = Text9->text();
    v.confirmExt = chkOpen->isChecked();
    v.saveWindowState = Check3->isChecked();
    v.autoLoadProject = Check2->isChecked();
    v.fontName = Label1->text();
    v.fontSize = Label3->text();
    v.extensions = Text1->text();
    v.tabs = Text3->text();
    v.backColor = backColor(Command1[4]);
    v.wordWrap = chkWordWrap->isChecked();
    v.add2RecentDoc = Check7->isChecked();
    v.add2RecentPrj = Check6->isChecked();
    v.treeDelMethod = optDelete[1]->isChecked();
    v.treeSync = Check4->isChecked();
    v.autoCopy = Check1->isChecked();
    v.quoteFile = Text2->text();
    v.textBlocks = Text5->text();
    v.autoCompleteAtStartup = Check5->isChecked();
    v.autoTagFile = Text6->text();
    v.autoHotKey = Text8->text();
    v.notesFile = Text4->text();
    v.padBackColor = backColor(Command1[13]);
    for (std::size_t i = 0; i < Text7.size(); ++i)
        v.internetApps[i] = Text7[i]->text();
    return v;
}

void frmOptions::finish(const QString& tag)
{
    Tag = tag;
    QDialog::done(tag == Confirmed ? Accepted : Rejected);
}

void frmOptions::reject()
{
    // Escape and the close box are Cancel.
    finish(Cancelled);
}

void frmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Tag == Opening)
        Tag = Shown;
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    // A click on an open rule's caption chooses it, as on a button's own text.
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < OptOpen.size(); ++i) {
            if (watched->objectName() == OptOpen[i]->objectName() + QStringLiteral("_Caption"))
                OptOpen[i]->click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    // Hidden, never destroyed: the next opening finds the same tab selected.
    if (isVisible())
        reject();
    event->ignore();
}
