#include "rtflisttable.h"

#include "richtextproperties.h"

#include <QTextCursor>
#include <QTextList>

namespace {
constexpr int MaxLevels = 9;
constexpr int BulletNumbering = 23;
} // namespace

void RtfListTable::word(const QByteArray& word, int param)
{
    // An override changes a level's numbering or first number only in a \lfolevel
    // of its own; the same words straight in the override are no override, as
    // readers take them.
    if (word == "list") {
        m_inOverride = false;
        m_currentLevels.clear();
        m_currentStarts.clear();
    } else if (word == "listlevel" && !m_inOverride) {
        if (m_currentLevels.size() < MaxLevels) {
            m_currentLevels.append(0);
            m_currentStarts.append(1);
        }
    } else if (word == "lfolevel" && m_inOverride) {
        ++m_overrideLevel;
    } else if (m_inOverride &&
               (word == "levelstartat" || word == "levelnfc" || word == "levelnfcn")) {
        if (m_overrideLevel >= 0 && m_overrideLevel < MaxLevels)
            (word == "levelstartat" ? m_overrideStarts : m_overrideNumbering)
                .insert(m_overrideLevel, param);
    } else if (word == "levelstartat" && !m_currentStarts.isEmpty()) {
        m_currentStarts.last() = param;
    } else if ((word == "levelnfc" || word == "levelnfcn") && !m_currentLevels.isEmpty()) {
        m_currentLevels.last() = param;
    } else if (word == "listoverride") {
        m_inOverride = true;
        m_overrideListId = 0;
        m_overrideLevel = -1;
        m_overrideNumbering.clear();
        m_overrideStarts.clear();
    } else if (word == "listid") {
        if (m_inOverride)
            m_overrideListId = param;
        else if (m_levelsById.size() < 10000) {
            m_levelsById.insert(param, m_currentLevels);
            m_startsById.insert(param, m_currentStarts);
        }
    } else if (word == "ls" && m_inOverride && m_listIdByLs.size() < 10000) {
        m_listIdByLs.insert(param, m_overrideListId);
        m_numberingByLs.insert(param, m_overrideNumbering);
        m_startByLs.insert(param, m_overrideStarts);
    }
}

QTextListFormat::Style RtfListTable::styleForNumbering(int nfc, int level)
{
    switch (nfc) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case BulletNumbering:
    case 255: {
        static constexpr QTextListFormat::Style bullets[] = {
            QTextListFormat::ListDisc, QTextListFormat::ListCircle, QTextListFormat::ListSquare};
        return bullets[qBound(0, level, MaxLevels) % 3];
    }
    default:
        return QTextListFormat::ListDecimal;
    }
}

QTextListFormat::Style RtfListTable::style(int ls, int level) const
{
    const QHash<int, int> overridden = m_numberingByLs.value(ls);
    if (overridden.contains(level))
        return styleForNumbering(overridden.value(level), level);
    const QList<int> levels = m_levelsById.value(m_listIdByLs.value(ls, -1));
    if (level >= 0 && level < levels.size())
        return styleForNumbering(levels[level], level);
    return QTextListFormat::ListDisc;
}

void RtfListTable::addParagraph(QTextCursor& cursor, int ls, int level)
{
    level = qBound(0, level, MaxLevels - 1);
    // A new item at this level ends the lists nested below the previous one.
    for (auto it = m_lists.begin(); it != m_lists.end();) {
        if (it.key().first == ls && it.key().second > level)
            it = m_lists.erase(it);
        else
            ++it;
    }
    m_oldStyleList = nullptr;
    const QPair<int, int> key(ls, level);
    if (QTextList* list = m_lists.value(key)) {
        list->add(cursor.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(style(ls, level));
    // The paragraphs' own indents place the items, as the writer set them.
    format.setIndent(0);
    format.setProperty(RichTextProperty::ListLevel, level);
    // Kept for saving; the number shown starts at 1 whatever it says.
    const QList<int> starts = m_startsById.value(m_listIdByLs.value(ls, -1));
    const int start = m_startByLs.value(ls).value(level, level < starts.size() ? starts[level] : 1);
    if (start != 1)
        format.setProperty(RichTextProperty::ListStart, start);
    m_lists.insert(key, cursor.createList(format));
}

void RtfListTable::addOldStyleParagraph(QTextCursor& cursor, QTextListFormat::Style style,
                                        bool continues)
{
    if (continues && m_oldStyleList && m_oldStyleList->format().style() == style) {
        m_oldStyleList->add(cursor.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(style);
    format.setIndent(0);
    m_oldStyleList = cursor.createList(format);
}
