#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The find state shared by the find dialog, Find next and the engine for as
// long as the program runs, and one find step over a document's text (as the
// control spells it: CR LF between paragraphs, so a match's start is a
// selection start). The engine decides; its caller shows the messages and
// moves the selection.
class FindEngine {
public:
    static inline const QString NotFoundText =
        QStringLiteral("Cannot find any (more) occurrences of\r\n");
    static inline const QString RestartQuestion =
        QStringLiteral("Do you want to re-start from the top?");

    // What one step found out, for its caller to act on.
    struct Step {
        enum Kind {
            Found,         // position/length: the match, to be selected
            GoToLine,      // position: the line's first character; beyondLast: say so first
            CycleComplete, // all documents searched: tell, the search is over (-1)
            NextDocument,  // slot: search it from its top (-2)
            StartGone,     // the start document was closed: over, nothing to say (-1)
            AskRestart,    // the current document is exhausted: ask to go on from the top
        };
        Kind kind = Found;
        int position = -1;
        int length = 0;
        int slot = 0;
        bool beyondLast = false;
        int lineCount = 0;
    };

    // What the step needs to know of the active document and the open ones.
    struct Document {
        int slot = 1;
        int selStart = 0;
        const QString* text = nullptr;
        int lineCount = 1;
        std::function<int(int line)> lineIndex;
        int upperSlot = 1;
        std::function<bool(int slot)> slotFree;
    };

    // A position of 0 or more for a match (the match's start) or a line, -1 when the
    // search is over, -2 when the caller must step again at once.
    static constexpr int Over = -1;
    static constexpr int StepAgain = -2;

    // The find state, named as the find dialog and Find next know it.
    QString FindString;
    QString ReplaceString;
    bool MatchCase = false;
    bool WholeWord = false;
    bool FindLineNumber = false;
    bool SearchAllDocs = false;
    bool NewSearch = false;
    int FindStartDoc = 0;

    // One step from the caret (or one past it after a match), as the state says.
    Step step(const Document& document);

    static QString notFoundMessage(const QString& findString);

    // The first match of what in text at or after from; -1 when there is none. A
    // whole word has no letter or digit on either side.
    static int find(const QString& text, const QString& what, int from, bool matchCase,
                    bool wholeWord);
    // The matches that do not overlap, from the start of [from, to) on, each wholly inside.
    static QList<int> matches(const QString& text, const QString& what, int from, int to,
                              bool matchCase, bool wholeWord);
    // Whether the text at position is an occurrence of what under the options.
    static bool isOccurrence(const QString& text, int position, int length, const QString& what,
                             bool matchCase, bool wholeWord);
    // A typed line number as the zero-based line to go to (halves round to even);
    // nothing when the text is not a number.
    static std::optional<int> zeroBasedLine(const QString& typed);
};
