#pragma once

#include "document/framecontext.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QuoteModel;
class frmQuotes;
class frmTextBlocks;

// The quotes pane and the text blocks pane: loading them, finding, picking and
// copying quotes, copying passages, and their remembered window states.
class QuotesController : public QObject {
    Q_OBJECT
public:
    static inline const QString LoadQuotesTitle = QStringLiteral("Select a quotes or tagline file");
    static inline const QString LoadQuotesFilter =
        QStringLiteral("Text Files (*.TXT)|*.TXT|All Files|*.*");
    static inline const QString FindQuotePrompt = QStringLiteral("Quotes: Input the search string");
    static inline const QString TextBlocksTitle = QStringLiteral("Select a text blocks file");
    static inline const QString TextBlocksFilter =
        QStringLiteral("Text files (*.txt)|*.txt|All Files|*.*");

    explicit QuotesController(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    // The panes' remembered window states, when window states are kept.
    void load(bool restoreWindowStates);
    // The text blocks and then the quotes the settings name.
    void deferredStart();
    void writeSettings();

    void LoadQuotesFile(const QString& path);
    void ToggleQuotesOptions(bool enabled);
    void mnuLoadQuotes_Click();
    void mnuFindQuote_Click();
    void mnuFindNextQuote_Click();
    void mnuRandom_Click();
    void mnuCopyQuote_Click();
    void mnuRCQuotes_Click();
    void mnuTextBlocksOpen_Click();
    // Loads the text blocks file into its pane and shows it.
    void ShowTextBlocks(const QString& path);

    bool quotesLoaded() const { return m_quotesLoaded; }
    QuoteModel& model() const { return *m_model; }
    frmQuotes* quotesPane() const;
    frmTextBlocks* textBlocksPane() const;
    // The files the panes show; empty while a pane is hidden or closed.
    QString quotesFile() const;
    QString textBlocksFile() const;

signals:
    // The pointer moved over the text blocks: the status bar shows the date again.
    void pointerMoved();

private:
    void List1_MouseDown(Qt::MouseButton button, QPoint at);
    void List1_Click();
    void List1_DblClick();
    void List1_KeyPress();
    void Text1_KeyPress();
    void quotesClosing(int stateCode);
    frmQuotes* quotesPaneCreated();
    frmTextBlocks* textBlocksPaneCreated();
    // Selects a quote and shows it at the top; -1 selects none.
    void selectQuote(int row);
    void focusQuotes();

    FrameContext& m_context;
    QuoteModel* m_model;
    QPointer<frmQuotes> m_quotes;
    QPointer<frmTextBlocks> m_textBlocks;
    // The panes' window states to restore when next shown; -1 for none.
    qint16 m_quotesState = -1;
    qint16 m_textBlocksState = -1;
    // The button of the last press on the quotes; a right press does not copy.
    Qt::MouseButton m_lastButton = Qt::NoButton;
    bool m_quotesLoaded = false;
};
