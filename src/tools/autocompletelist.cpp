#include "autocompletelist.h"

#include "richtext/documentfile.h"
#include "richtext/textcodec.h"

#include <algorithm>
#include <numeric>

void AutoCompleteList::load(const QString& path)
{
    m_entries.clear();
    m_sorted.clear();
    m_keys.clear();
    m_failure.clear();
    const Result<QByteArray> bytes = DocumentFile::readBytes(path);
    if (!bytes) {
        m_state = State::Unreadable;
        m_entries = {QStringLiteral("Error: ") + path + QStringLiteral(" : ") +
                     bytes.error().message};
        return;
    }
    m_state = State::Loaded;
    const QString text = TextCodec::decode(bytes.value()).text;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        if (end > start && text.at(start) != u'#') {
            if (m_entries.size() == MaximumEntries) {
                m_failure = path + QStringLiteral("\r\nError: ") +
                            QStringLiteral("The list holds more than %1 entries; the rest are "
                                           "left out.")
                                .arg(MaximumEntries);
                break;
            }
            m_entries.append(text.mid(start, end - start));
        }
        start =
            end +
            (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n' ? 2 : 1);
    }
    // Sorted once by keys folded once; equal keys keep the file's order.
    QList<QString> folded;
    folded.reserve(m_entries.size());
    for (const QString& entry : std::as_const(m_entries))
        folded.append(entry.toCaseFolded());
    std::vector<qsizetype> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return folded[a] < folded[b]; });
    m_sorted.reserve(m_entries.size());
    m_keys.reserve(m_entries.size());
    for (qsizetype i : order) {
        m_sorted.append(m_entries[i]);
        m_keys.append(folded[i]);
    }
}

std::optional<int> AutoCompleteList::find(const QString& prefix) const
{
    const QString key = prefix.toCaseFolded();
    const auto at = std::lower_bound(m_keys.cbegin(), m_keys.cend(), key);
    if (at == m_keys.cend() || !at->startsWith(key))
        return std::nullopt;
    return int(at - m_keys.cbegin());
}

bool AutoCompleteList::isHotKey(QChar typed, const QString& hotKeys)
{
    return !typed.isNull() && hotKeys.contains(typed, Qt::CaseInsensitive);
}

int AutoCompleteList::prefixStart(const QString& paragraph, int caret, const QString& hotKeys)
{
    caret = qBound(0, caret, int(paragraph.size()));
    int start = caret;
    while (start > 0 && hotKeys.contains(paragraph.at(start - 1), Qt::CaseInsensitive))
        --start;
    if (start < caret)
        return start;
    static const QString ends = QStringLiteral(">\r\n ;");
    if (start > 0 && ends.contains(paragraph.at(start - 1)))
        return caret; // right after a tag, a break, a blank or a semicolon: no prefix
    while (start > 0 && paragraph.at(start - 1) != u' ' && paragraph.at(start - 1) != u'\r' &&
           paragraph.at(start - 1) != u'\n')
        --start;
    return start;
}
