#include "frmfind.h"

#include "platform/prompter.h"
#include "toolscontroller.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox* historyBox(QWidget* parent, const char* name)
{
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    // The history is kept by UpdateFindHistory alone, compared exactly.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setMinimumContentsLength(30);
    return box;
}

} // namespace

frmFind::frmFind(ToolsController& tools, QWidget* parent) : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(Caption);
    setModal(false);
    buildControls();
}

void frmFind::buildControls()
{
    auto* scope = named(new QGroupBox(QStringLiteral("Scope:"), this), "Frame1");
    Option1_0 = named(new QRadioButton(QStringLiteral("Current document"), scope), "Option1_0");
    Option1_1 = named(new QRadioButton(QStringLiteral("All documents"), scope), "Option1_1");
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(Option1_0);
    scopeLayout->addWidget(Option1_1);
    auto* what = named(new QGroupBox(QStringLiteral("Find what:"), this), "Frame2");
    optWhat_0 = named(new QRadioButton(QStringLiteral("Find &text"), what), "optWhat_0");
    optWhat_1 = named(new QRadioButton(QStringLiteral("Find &line #"), what), "optWhat_1");
    auto* whatLayout = new QVBoxLayout(what);
    whatLayout->addWidget(optWhat_0);
    whatLayout->addWidget(optWhat_1);
    Label1 = named(new QLabel(QStringLiteral("Fi&nd What:"), this), "Label1");
    Combo1_0 = historyBox(this, "Combo1_0");
    Label1->setBuddy(Combo1_0);
    Label2 = named(new QLabel(QStringLiteral("Re&place with:"), this), "Label2");
    Combo1_1 = historyBox(this, "Combo1_1");
    Label2->setBuddy(Combo1_1);
    chkCase = named(new QCheckBox(QStringLiteral("Match &Case"), this), "chkCase");
    chkWhole = named(new QCheckBox(QStringLiteral("Match &Whole word"), this), "chkWhole");
    cmdFind = named(new QPushButton(QStringLiteral("&Find next"), this), "cmdFind");
    cmdReplace = named(new QPushButton(QStringLiteral("&Replace"), this), "cmdReplace");
    cmdReplaceAll = named(new QPushButton(QStringLiteral("Replace &All"), this), "cmdReplaceAll");
    cmdcancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdcancel");
    cmdFind->setDefault(true);
    Label3 = named(new QLabel(this), "Label3");

    auto* grid = new QGridLayout(this);
    grid->addWidget(scope, 0, 0);
    grid->addWidget(what, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(Combo1_0, 1, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(Combo1_1, 2, 1);
    grid->addWidget(chkCase, 3, 0);
    grid->addWidget(chkWhole, 3, 1);
    grid->addWidget(Label3, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdFind, cmdReplace, cmdReplaceAll, cmdcancel})
        buttons->addWidget(button);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    connect(Combo1_0, &QComboBox::editTextChanged, this, [this] { Combo1_Change(0); });
    connect(Combo1_1, &QComboBox::editTextChanged, this, [this] { Combo1_Change(1); });
    for (QComboBox* box : {Combo1_0, Combo1_1})
        box->lineEdit()->installEventFilter(this);
    connect(chkCase, &QCheckBox::clicked, this, [this](bool on) {
        m_tools.engine().MatchCase = on;
        optionChanged();
    });
    connect(chkWhole, &QCheckBox::clicked, this, [this](bool on) {
        m_tools.engine().WholeWord = on;
        optionChanged();
    });
    for (QRadioButton* option : {Option1_0, Option1_1})
        connect(option, &QRadioButton::clicked, this, [this, option] {
            optionChanged();
            m_tools.engine().SearchAllDocs = option == Option1_1;
        });
    for (QRadioButton* option : {optWhat_0, optWhat_1})
        connect(option, &QRadioButton::clicked, this, [this, option] {
            m_tools.engine().FindLineNumber = option == optWhat_1;
            Combo1_Change(0);
        });
    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmFind::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &frmFind::cmdReplaceAll_Click);
    connect(cmdcancel, &QPushButton::clicked, this, &frmFind::cmdcancel_Click);
}

void frmFind::optionChanged()
{
    m_tools.engine().NewSearch = true;
    m_tools.engine().FindStartDoc = 0;
}

void frmFind::showWithMode(const QString& mode)
{
    m_mode = mode;
    show();
    raise();
    activateWindow();
}

void frmFind::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated)
        Form_Activate();
}

void frmFind::Form_Activate()
{
    m_activated = true;
    FindEngine& engine = m_tools.engine();
    const QString selected = m_tools.selectedText();
    Combo1_0->setEditText(selected.isEmpty() ? engine.FindString : selected);
    Combo1_1->setEditText(engine.ReplaceString);
    (engine.FindLineNumber ? optWhat_1 : optWhat_0)->setChecked(true);
    chkCase->setChecked(engine.MatchCase);
    chkWhole->setChecked(engine.WholeWord);
    // The notes pad is searched alone.
    const bool notesPad = m_tools.activeSlot() == 0;
    if (notesPad) {
        engine.SearchAllDocs = false;
        Option1_0->setChecked(true);
    }
    Option1_1->setEnabled(!notesPad);
    (engine.SearchAllDocs ? Option1_1 : Option1_0)->setChecked(true);
    Combo1_Change(0);
    Combo1_0->setFocus();
}

void frmFind::Combo1_Change(int index)
{
    if (index != 0)
        return;
    optionChanged();
    const bool empty = Combo1_0->currentText().isEmpty();
    const bool lineMode = optWhat_1->isChecked();
    cmdFind->setEnabled(!empty);
    cmdReplace->setEnabled(!empty && !lineMode);
    if (empty || lineMode) {
        cmdReplaceAll->setEnabled(false);
        Combo1_1->setEnabled(false);
        Label2->setEnabled(false);
        Label3->hide();
    } else if (m_mode == QStringLiteral("R")) {
        Combo1_1->setEnabled(true);
        Label2->setEnabled(true);
        cmdReplaceAll->setEnabled(true);
        Label3->show();
    }
}

bool frmFind::eventFilter(QObject* watched, QEvent* event)
{
    // A box that gets the focus has its text selected, ready to be typed over.
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

bool frmFind::haveDocument()
{
    if (m_tools.hasDocument())
        return true;
    m_tools.NoDocumentWarning();
    return false;
}

void frmFind::cmdFind_Click()
{
    if (!haveDocument())
        return;
    FindEngine& engine = m_tools.engine();
    engine.FindString = Combo1_0->currentText();
    if (engine.FindLineNumber && !FindEngine::zeroBasedLine(engine.FindString)) {
        Prompter::tell(LineNumberWarning, MessageIcon::Exclamation);
        return;
    }
    const int result = m_tools.findUntilDone();
    UpdateFindHistory();
    if (engine.FindLineNumber && result >= 0)
        cmdcancel_Click();
}

void frmFind::cmdReplace_Click()
{
    if (!haveDocument())
        return;
    if (!cmdReplaceAll->isEnabled()) {
        // Opened by Find: this press offers replacing; the next one replaces.
        cmdReplaceAll->setEnabled(true);
        Combo1_1->setEnabled(true);
        Label2->setEnabled(true);
        Label3->show();
        return;
    }
    Label3->clear();
    m_tools.engine().FindString = Combo1_0->currentText();
    m_tools.engine().ReplaceString = Combo1_1->currentText();
    m_tools.replaceSelectedOccurrence();
    m_tools.findUntilDone();
    UpdateFindHistory();
}

void frmFind::showCount(qint64 count)
{
    Label3->setText(QString::number(count) + CountSuffix);
}

void frmFind::cmdReplaceAll_Click()
{
    if (!haveDocument())
        return;
    Label3->clear();
    m_tools.engine().FindString = Combo1_0->currentText();
    m_tools.engine().ReplaceString = Combo1_1->currentText();
    m_tools.engine().FindStartDoc = 0;
    const qint64 count = m_tools.replaceAll([this](qint64 done) { showCount(done); });
    showCount(count);
    UpdateFindHistory();
}

void frmFind::cmdcancel_Click()
{
    m_mode.clear();
    m_tools.engine().FindStartDoc = 0;
    m_tools.focusActiveDocument();
    hide();
    m_activated = false;
}

void frmFind::reject()
{
    cmdcancel_Click();
}

void frmFind::closeEvent(QCloseEvent* event)
{
    // Closing is Cancel: the dialog stays, hidden, with its histories.
    event->ignore();
    cmdcancel_Click();
}

void frmFind::UpdateFindHistory()
{
    for (QComboBox* box : {Combo1_0, Combo1_1}) {
        // Choosing the entry leaves the text as it is: not a change of the search.
        const QSignalBlocker quiet(box);
        const QString text = box->currentText();
        int found = -1;
        for (int i = 0; i < box->count() && found < 0; ++i)
            if (box->itemText(i) == text)
                found = i;
        if (found < 0) {
            box->addItem(text);
            found = box->count() - 1;
        }
        box->setCurrentIndex(found);
    }
}
