#include "frmprtpreview.h"

#include "platform/prompter.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

frmPrtPreview::frmPrtPreview(QPrinter& printer, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_printer(printer)
{
    setObjectName(QStringLiteral("frmPrtPreview"));
    setWindowTitle(Caption);
    if (parent)
        setWindowIcon(parent->windowIcon());

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuPrint = file->addAction(QIcon::fromTheme(QStringLiteral("document-print")),
                               QStringLiteral("&Print"), this, &frmPrtPreview::mnuPrint_Click);
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuExit = file->addAction(QStringLiteral("E&xit"), this, &frmPrtPreview::mnuExit_Click);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpItem = help->addAction(QIcon::fromTheme(QStringLiteral("help-contents")),
                                  QStringLiteral("&User manual\tF1"), this,
                                  &frmPrtPreview::mnuHelpItem_Click);
    mnuHelpItem->setObjectName(QStringLiteral("mnuHelpItem"));
    mnuHelpItem->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpItem->setShortcutContext(Qt::WindowShortcut);

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    Label1 = new QLabel(QStringLiteral("Device:"), central);
    Label2 = new QLabel(central);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Command1 = new QPushButton(QStringLiteral("&Print"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Send to the printer"));
    connect(Command1, &QPushButton::clicked, this, &frmPrtPreview::mnuPrint_Click);
    Label3 = new QLabel(Explanation, central);
    Label3->setWordWrap(true);
    preview = new QPrintPreviewWidget(&printer, central);
    preview->setObjectName(QStringLiteral("RichTextBox1"));
    connect(preview, &QPrintPreviewWidget::paintRequested, this, &frmPrtPreview::paintPages);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Label3, 1, 0, 1, 3);
    grid->addWidget(preview, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    setCentralWidget(central);
    resize(720, 820);
}

frmPrtPreview::~frmPrtPreview() = default;

void frmPrtPreview::paintPages(QPrinter* printer)
{
    if (m_document)
        m_laidOut = PagePainter(*m_document, m_margins).paint(*printer);
}

Status frmPrtPreview::fill(std::unique_ptr<QTextDocument> document,
                           const PagePainter::Margins& margins)
{
    m_document = std::move(document);
    m_margins = margins;
    Label2->setText(PagePainter::destination(m_printer));
    m_laidOut = {};
    preview->updatePreview();
    return m_laidOut;
}

int frmPrtPreview::pageCount() const
{
    return preview->pageCount();
}

void frmPrtPreview::mnuPrint_Click()
{
    if (!m_document)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status printed = PagePainter(*m_document, m_margins).paint(m_printer);
    QApplication::restoreOverrideCursor();
    if (!printed)
        Prompter::tell(QStringLiteral("Error: ") + printed.error().message,
                       MessageIcon::Exclamation);
}

void frmPrtPreview::mnuExit_Click()
{
    hide();
}

void frmPrtPreview::mnuHelpItem_Click()
{
    if (helpHook)
        helpHook();
}
