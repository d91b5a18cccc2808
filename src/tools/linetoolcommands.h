#pragma once

#include "document/framecontext.h"
#include "linetools.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class frmText;

// The seven Strip/Reformat commands on the active document's selection: their
// questions, each window's remembered answers, and the result put in as one undo
// step. Long work runs off the window's thread behind a progress dialog whose
// Cancel changes nothing.
class LineToolCommands : public QObject {
    Q_OBJECT
public:
    static inline const QString NoSelection = QStringLiteral("No text has been selected!");
    static inline const QString NoSelectionToConvert =
        QStringLiteral("No text has been selected to convert!");
    static inline const QString NoSelectionForWrapping =
        QStringLiteral("No text has been selected for wrapping!");
    static inline const QString NoSelectionForSorting =
        QStringLiteral("No text has been selected for sorting!");
    static inline const QString StripUpToQuestion = QStringLiteral(
        "This function will remove the beginning characters of each line up to and including "
        "the character(s) you want to search for.  You should already have inserted fixed CR's "
        "to create separate lines.  Before proceeding, I will turn off word-wrapping, if "
        "necessary.\n\nInput the desired character(s) to search for:");
    static inline const QString StripUpToDone = QStringLiteral(
        "The specified character(s) have now been stripped from each line.  Before doing this, I "
        "had turned off word wrapping.  Do you want me to turn it back on?");
    static inline const QString CodesQuestion = QStringLiteral(
        "Input the ASCII code(s) of the character(s) you want to replace, separated by commas.");
    static inline const QString ReplacementCodesQuestion = QStringLiteral(
        "Input the ASCII code(s) of the desired replacement character(s), separated by commas.");
    static inline const QString QuoteQuestion = QStringLiteral(
        "This function will append one or more quote or other characters to the beginning of "
        "each line in the selected text.  You should already have inserted fixed CR's to create "
        "separate lines.  Before proceeding, I will turn off word-wrapping, if necessary.\n\n"
        "Input the desired character(s) to append:");
    static inline const QString BlankLinesQuestion =
        QStringLiteral("Do you want to append to blank lines also?");
    static inline const QString QuoteDone = QStringLiteral(
        "The specified character(s) have now been appended to the beginning of each line.  "
        "Before doing this, I had turned off word wrapping.  Do you want me to turn it back on?");
    static inline const QString MarginQuestion = QStringLiteral(
        "This function will insert CR's at the right window limit of every line, for the "
        "selected text.  For best results, you should have stripped excess CR's prior to running "
        "this procedure.  First, I will word-wrap the text to the window, if necessary.  Should I "
        "continue?");
    static inline const QString MarginDone = QStringLiteral(
        "CR's have now been inserted at the end of each window line.  Before doing this, I had "
        "turned on word wrapping.  Do you want me to turn it back off?");
    static inline const QString SortQuestion = QStringLiteral(
        "This function will sort the selected lines in ascending order.  You should already have "
        "inserted fixed CR's to create separate lines.  Should I continue?");
    static QString codesConfirmation(const QString& codes, const QString& replacements);

    // What a window remembers of the answers it was given.
    struct Answers {
        QString StripUpToChars;
        QString ReplaceCodes;
        QString ReplacementCodes;
        QString QuotePrefix;
    };

    LineToolCommands(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void SelectWholeLines(frmText* window);
    void mnuStrip_Click();
    void mnuStripBlanks_Click();
    void mnuStripUpTo_Click();
    void mnuASCIIReplace_Click();
    void mnuQuotedText_Click();
    void mnuWWMargin_Click();
    void mnuSortLines_Click();

    Answers& answers(const frmText* window) { return m_answers[window]; }
    // Word wrap to the window, on or off, until the formatting commands own it.
    static bool wordWrapOn(const frmText* window);
    static void setWordWrap(frmText* window, bool on);

private:
    // The active document with a selection; without one, the message is shown.
    frmText* selectedDocument(const QString& emptyMessage);
    // Runs work off the window's thread; nothing when the user cancels.
    std::optional<QString> runLong(std::function<QString()> work);
    // Selects from start for length with the caret at the start, so that showing the
    // caret never lays out the whole of a large selection.
    static void select(frmText* window, int start, int length);
    // Replaces the selection by what the tool makes of it, worked out off the
    // window's thread, in one undo step, and selects it.
    void rebuildSelection(QPointer<frmText> window,
                          const std::function<QString(const QString&)>& tool);
    // Replaces the selection with text in one undo step and selects it.
    void replaceSelection(frmText* window, const QString& text);
    // The lines the window shows for its selection, as they start in its text.
    QList<LineTools::Line> selectedLines(frmText* window);
    // Applies in-place edits and selects the lines they were made in.
    void applyToLines(frmText* window, const QList<LineTools::Edit>& edits);

    FrameContext& m_context;
    QHash<const frmText*, Answers> m_answers;
};
