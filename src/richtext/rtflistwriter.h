#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTextListFormat>

class QTextBlock;
class QTextList;

// The document's lists as RTF's list table. Lists nested in one another share
// one list of the table, a level each.
class RtfListWriter {
public:
    // Lists in the order their paragraphs come.
    void add(const QTextList* list);
    bool isEmpty() const { return m_numbering.isEmpty(); }
    void writeTables(QByteArray& out) const;
    // The item's list words, and its bullet or number as text for readers that
    // know no lists.
    void writeItem(QByteArray& out, const QTextBlock& block, const QTextList* list) const;
    // The nesting level, 0 to 8.
    static int level(const QTextList* list);

private:
    static int numbering(QTextListFormat::Style style);

    QHash<const QTextList*, int> m_group;
    QList<QList<int>> m_numbering; // for each group, each level's numbering kind
    QList<QList<bool>> m_assigned;
    QList<QList<int>> m_starts;
    int m_lastGroup = -1;
};
