#pragma once

#include <QHash>
#include <QMap>
#include <QPair>
#include <QTextListFormat>

class QTextCursor;
class QTextList;

// RTF's lists: the list table's numbering kinds, the overrides that paragraphs
// name with \ls, and the text lists built as paragraphs join them.
class RtfListTable {
public:
    // The words of \listtable and \listoverridetable groups, in order.
    void word(const QByteArray& word, int param);
    // The style a paragraph of list override `ls` at `level` shows.
    QTextListFormat::Style style(int ls, int level) const;
    // Makes the cursor's paragraph an item of the list (ls, level). Items of the
    // same override continue its numbering; a higher level restarts deeper ones.
    void addParagraph(QTextCursor& cursor, int ls, int level);
    // An older \pn paragraph: consecutive ones of the same style make one list.
    void addOldStyleParagraph(QTextCursor& cursor, QTextListFormat::Style style, bool continues);

    static QTextListFormat::Style styleForNumbering(int nfc, int level);

private:
    QHash<int, QList<int>> m_levelsById; // list id → numbering kind of each level
    QList<int> m_currentLevels;
    QHash<int, QList<int>> m_startsById; // list id → first number of each level
    QList<int> m_currentStarts;
    bool m_inOverride = false;
    int m_overrideListId = 0;
    int m_overrideLevel = -1;            // the override's \lfolevel being read
    QHash<int, int> m_overrideNumbering; // level → numbering kind, in the override
    QHash<int, int> m_overrideStarts;    // level → first number, in the override
    QHash<int, QHash<int, int>> m_numberingByLs;
    QHash<int, QHash<int, int>> m_startByLs;
    QHash<int, int> m_listIdByLs;
    QMap<QPair<int, int>, QTextList*> m_lists;
    QTextList* m_oldStyleList = nullptr;
};
