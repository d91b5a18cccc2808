#include "findengine.h"

#include <cmath>

QString FindEngine::notFoundMessage(const QString& findString)
{
    return NotFoundText + u'"' + findString + u'"';
}

std::optional<int> FindEngine::zeroBasedLine(const QString& typed)
{
    bool numeric = false;
    const double value = typed.trimmed().toDouble(&numeric);
    if (!numeric || !std::isfinite(value))
        return std::nullopt;
    // Rounded to the nearest whole line, halves to the even one.
    const double line = std::nearbyint(value - 1);
    return int(qBound(-1.0, line, double(std::numeric_limits<int>::max() / 2)));
}

namespace {

bool wordBoundaryAt(const QString& text, int start, int end)
{
    return (start == 0 || !text.at(start - 1).isLetterOrNumber()) &&
           (end >= text.size() || !text.at(end).isLetterOrNumber());
}

} // namespace

int FindEngine::find(const QString& text, const QString& what, int from, bool matchCase,
                     bool wholeWord)
{
    if (what.isEmpty())
        return -1;
    const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, qMax(0, from), sensitivity); at >= 0;
         at = text.indexOf(what, at + 1, sensitivity)) {
        if (!wholeWord || wordBoundaryAt(text, int(at), int(at + what.size())))
            return int(at);
    }
    return -1;
}

QList<int> FindEngine::matches(const QString& text, const QString& what, int from, int to,
                               bool matchCase, bool wholeWord)
{
    QList<int> found;
    const int length = int(what.size());
    for (int at = find(text, what, from, matchCase, wholeWord); at >= 0 && at + length <= to;
         at = find(text, what, at + length, matchCase, wholeWord))
        found.append(at);
    return found;
}

bool FindEngine::isOccurrence(const QString& text, int position, int length, const QString& what,
                              bool matchCase, bool wholeWord)
{
    if (what.isEmpty() || length != what.size() || position < 0 || position + length > text.size())
        return false;
    const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return QStringView(text).mid(position, length).compare(what, sensitivity) == 0 &&
           (!wholeWord || wordBoundaryAt(text, position, position + length));
}

FindEngine::Step FindEngine::step(const Document& document)
{
    const int offset = NewSearch ? 0 : 1;
    NewSearch = false;
    const int start = document.selStart + offset;
    Step result;
    if (FindLineNumber) {
        // A number below 1 goes to the first line.
        int line = qMax(0, zeroBasedLine(FindString).value_or(0));
        result.kind = Step::GoToLine;
        result.lineCount = document.lineCount;
        if (line > document.lineCount - 1) {
            result.beyondLast = true;
            line = qMax(0, document.lineCount - 1);
        }
        result.position = document.lineIndex(line);
        return result;
    }
    const QString& text = *document.text;
    const int at = find(text, FindString, start, MatchCase, WholeWord);
    if (at >= 0) {
        result.position = at;
        result.length = int(FindString.size());
        return result;
    }
    NewSearch = true;
    if (!SearchAllDocs) {
        result.kind = Step::AskRestart;
        return result;
    }
    if (document.slot == FindStartDoc) {
        FindStartDoc = 0;
        result.kind = Step::CycleComplete;
        return result;
    }
    if (FindStartDoc == 0)
        FindStartDoc = document.slot;
    int i = document.slot;
    do {
        ++i;
        if (i > document.upperSlot)
            i = 1;
    } while (document.slotFree(i) && i != FindStartDoc);
    if (document.slotFree(i)) {
        result.kind = Step::StartGone;
        return result;
    }
    result.kind = Step::NextDocument;
    result.slot = i;
    return result;
}
