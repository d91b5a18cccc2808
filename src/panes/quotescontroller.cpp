#include "quotescontroller.h"

#include "companionfile.h"
#include "document/commondialogapi.h"
#include "document/documentmanager.h"
#include "frmquotes.h"
#include "frmtextblocks.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "platform/waitcursor.h"
#include "quotemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTextDocumentFragment>

QuotesController::QuotesController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_model(new QuoteModel(this))
{
    setObjectName(QStringLiteral("QuotesController"));
    if (m_context.menus) {
        // Opening the Quotes menu or the pane's own menu forgets a right press,
        // so the quote a command then selects is copied as a click's would be.
        connect(m_context.menus, &MenuBars::menuAboutToShow, this, [this](const QString& name) {
            if (name == QStringLiteral("mnuQuotes"))
                m_lastButton = Qt::NoButton;
        });
        if (QMenu* popup = m_context.menus->popup(QStringLiteral("mnuRCQuotes")))
            connect(popup, &QMenu::aboutToShow, this, &QuotesController::mnuRCQuotes_Click);
    }
}

frmQuotes* QuotesController::quotesPane() const
{
    return m_quotes;
}

frmTextBlocks* QuotesController::textBlocksPane() const
{
    return m_textBlocks;
}

void QuotesController::registerCommands(CommandRouter& router)
{
    const CommandCondition loaded = [this](const CommandState&) { return m_quotesLoaded; };
    router.add(QStringLiteral("mnuLoadQuotes"), [this] { mnuLoadQuotes_Click(); });
    router.add(QStringLiteral("mnuTextBlocksOpen"), [this] { mnuTextBlocksOpen_Click(); });
    const std::pair<const char*, void (QuotesController::*)()> quoteCommands[] = {
        {"FindQuote", &QuotesController::mnuFindQuote_Click},
        {"FindNextQuote", &QuotesController::mnuFindNextQuote_Click},
        {"Random", &QuotesController::mnuRandom_Click},
        {"CopyQuote", &QuotesController::mnuCopyQuote_Click},
    };
    // The pane's context entries run the commands of the same names.
    for (const auto& [name, handler] : quoteCommands)
        for (const char* prefix : {"mnu", "mnuRC"})
            router.add(
                QLatin1String(prefix) + QLatin1String(name), [this, h = handler] { (this->*h)(); },
                loaded);
}

void QuotesController::load(bool restoreWindowStates)
{
    if (!restoreWindowStates)
        return;
    m_quotesState = m_context.settings.integer(Key::QuotesState);
    m_textBlocksState = m_context.settings.integer(Key::TextBlocksState);
}

void QuotesController::deferredStart()
{
    const QString textBlocks = m_context.settings.text(Key::TextBlocks);
    if (!textBlocks.isEmpty())
        ShowTextBlocks(textBlocks);
    const QString quoteFile = m_context.settings.text(Key::QuoteFile);
    if (!quoteFile.isEmpty())
        LoadQuotesFile(quoteFile);
    else
        ToggleQuotesOptions(false);
}

void QuotesController::writeSettings()
{
    // A pane still open at the end keeps the state it is in, as a closed one does.
    if (m_quotes)
        m_quotesState = qint16(m_quotes->windowStateCode());
    if (m_textBlocks)
        m_textBlocksState = qint16(m_textBlocks->windowStateCode());
    m_context.settings.setInteger(Key::QuotesState, m_quotesState);
    m_context.settings.setInteger(Key::TextBlocksState, m_textBlocksState);
}

void QuotesController::LoadQuotesFile(const QString& path)
{
    {
        const WaitCursor wait;
        const Result<QString> text = CompanionFile::read(path);
        if (text) {
            m_model->setText(text.value());
        } else {
            // One line, even for a name with a line break in it.
            QString line =
                QStringLiteral("Error: ") + path + QStringLiteral(" : ") + text.error().message;
            m_model->setText(line.replace(u'\n', u' '));
        }
        ToggleQuotesOptions(text.ok());
        frmQuotes* pane = m_quotes ? m_quotes.data() : quotesPaneCreated();
        pane->setWindowTitle(path);
        pane->show();
        if (m_quotesState >= 0) {
            pane->setWindowStateCode(m_quotesState);
            m_quotesState = -1;
        }
    }
    focusQuotes();
}

void QuotesController::ToggleQuotesOptions(bool enabled)
{
    m_quotesLoaded = enabled;
    m_context.router.refresh();
}

frmQuotes* QuotesController::quotesPaneCreated()
{
    m_quotes = new frmQuotes;
    m_quotes->List1->setModel(m_model);
    m_context.documents.area()->addSubWindow(m_quotes);
    connect(m_quotes, &frmQuotes::mousePressed, this, &QuotesController::List1_MouseDown);
    connect(m_quotes, &frmQuotes::clicked, this, &QuotesController::List1_Click);
    // A quote chosen by a command, the keys or the mouse counts as a click.
    connect(m_quotes->List1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QuotesController::List1_Click);
    connect(m_quotes, &frmQuotes::doubleClicked, this, &QuotesController::List1_DblClick);
    connect(m_quotes, &frmQuotes::copyKeyPressed, this, &QuotesController::List1_KeyPress);
    connect(m_quotes, &frmQuotes::closing, this, &QuotesController::quotesClosing);
    return m_quotes;
}

void QuotesController::quotesClosing(int stateCode)
{
    ToggleQuotesOptions(false);
    m_quotesState = qint16(stateCode);
    // The list goes with the pane; the search stays for the next one.
    m_model->setText(QString());
}

void QuotesController::focusQuotes()
{
    if (!m_quotes)
        return;
    m_context.documents.area()->setActiveSubWindow(m_quotes);
    m_quotes->List1->setFocus();
}

void QuotesController::selectQuote(int row)
{
    if (!m_quotes)
        return;
    QListView* list = m_quotes->List1;
    if (row < 0) {
        list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row);
    list->setCurrentIndex(index);
    list->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void QuotesController::mnuLoadQuotes_Click()
{
    const QString initial = m_quotes && m_quotes->isVisible() ? m_quotes->windowTitle() : QString();
    const QString path = CommonDialogAPI::ShowOpen(
        m_context.window, QStringLiteral(".txt"), LoadQuotesFilter,
        CommonDialogAPI::OFN_FILEMUSTEXIST | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        LoadQuotesTitle, 1, initial);
    if (!path.isEmpty())
        LoadQuotesFile(path);
}

void QuotesController::mnuFindQuote_Click()
{
    QuoteList& quotes = m_model->quotes();
    const QString answer =
        Prompter::current().input(FindQuotePrompt, QString(), quotes.QuoteSearch);
    if (answer.isEmpty())
        return;
    quotes.startSearch(answer);
    mnuFindNextQuote_Click();
}

void QuotesController::mnuFindNextQuote_Click()
{
    QuoteList& quotes = m_model->quotes();
    if (quotes.QuoteSearch.isEmpty()) {
        mnuFindQuote_Click();
        return;
    }
    selectQuote(quotes.findNext());
    focusQuotes();
}

void QuotesController::mnuRandom_Click()
{
    const int row =
        QuoteList::randomIndex(QRandomGenerator::global()->generateDouble(), m_model->rowCount());
    if (row >= 0)
        selectQuote(row);
    focusQuotes();
}

void QuotesController::mnuCopyQuote_Click()
{
    // An error line in place of the quotes is no quote.
    if (!m_quotes || !m_quotesLoaded)
        return;
    const QModelIndexList selected = m_quotes->List1->selectionModel()->selectedIndexes();
    // Nothing selected leaves the clipboard as it was rather than emptying it.
    if (selected.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(m_model->quotes().quote(selected.first().row()));
}

void QuotesController::mnuRCQuotes_Click()
{
    m_lastButton = Qt::NoButton;
}

void QuotesController::List1_MouseDown(Qt::MouseButton button, QPoint at)
{
    m_lastButton = button;
    if (button != Qt::RightButton || !m_quotes)
        return;
    const int row = m_quotes->ListItemFromPoint(at);
    if (row >= 0)
        m_quotes->List1->setCurrentIndex(m_model->index(row));
    m_context.PopupPos = m_quotes->List1->viewport()->mapTo(m_context.window, at);
    if (m_context.menus)
        if (QMenu* menu = m_context.menus->popup(QStringLiteral("mnuRCQuotes")))
            menu->popup(m_quotes->List1->viewport()->mapToGlobal(at));
}

void QuotesController::List1_Click()
{
    if (m_lastButton != Qt::RightButton && m_context.settings.boolean(Key::AutoCopy))
        mnuCopyQuote_Click();
}

void QuotesController::List1_DblClick()
{
    mnuCopyQuote_Click();
}

void QuotesController::List1_KeyPress()
{
    mnuCopyQuote_Click();
}

void QuotesController::mnuTextBlocksOpen_Click()
{
    const QString initial = m_textBlocks && m_textBlocks->isVisible()
                                ? m_textBlocks->path()
                                : m_context.settings.text(Key::TextBlocks);
    const QString path = CommonDialogAPI::ShowOpen(
        m_context.window, QStringLiteral(".txt"), TextBlocksFilter,
        CommonDialogAPI::OFN_FILEMUSTEXIST | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        TextBlocksTitle, 1, initial);
    if (!path.isEmpty())
        ShowTextBlocks(path);
}

void QuotesController::ShowTextBlocks(const QString& path)
{
    frmTextBlocks* pane = m_textBlocks ? m_textBlocks.data() : textBlocksPaneCreated();
    QFont font(m_context.settings.fontName());
    if (m_context.settings.fontSize() > 0)
        font.setPointSizeF(m_context.settings.fontSize());
    pane->MyShow(path, font, m_textBlocksState);
}

frmTextBlocks* QuotesController::textBlocksPaneCreated()
{
    m_textBlocks = new frmTextBlocks;
    m_context.documents.area()->addSubWindow(m_textBlocks);
    connect(m_textBlocks, &frmTextBlocks::pointerMoved, this, &QuotesController::pointerMoved);
    connect(m_textBlocks, &frmTextBlocks::copyKeyPressed, this, &QuotesController::Text1_KeyPress);
    connect(m_textBlocks, &frmTextBlocks::closing, this,
            [this](int stateCode) { m_textBlocksState = qint16(stateCode); });
    return m_textBlocks;
}

void QuotesController::Text1_KeyPress()
{
    if (!m_textBlocks)
        return;
    // Nothing selected leaves the clipboard as it was rather than emptying it.
    const QTextCursor cursor = m_textBlocks->Text1->textCursor();
    if (cursor.hasSelection())
        QGuiApplication::clipboard()->setText(cursor.selection().toPlainText());
}

QString QuotesController::quotesFile() const
{
    return m_quotes && m_quotes->isVisible() ? m_quotes->windowTitle() : QString();
}

QString QuotesController::textBlocksFile() const
{
    return m_textBlocks && m_textBlocks->isVisible() ? m_textBlocks->path() : QString();
}
