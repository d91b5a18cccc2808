#include "rtflistwriter.h"

#include "richtextproperties.h"
#include "rtfwriter.h"

#include <QTextBlock>
#include <QTextList>

namespace {
constexpr int Levels = 9;
constexpr int Bullet = 23;

QByteArray number(const char* word, int value)
{
    return QByteArray(word) + QByteArray::number(value);
}
} // namespace

int RtfListWriter::level(const QTextList* list)
{
    const QTextListFormat format = list->format();
    const int level = format.hasProperty(RichTextProperty::ListLevel)
                          ? format.intProperty(RichTextProperty::ListLevel)
                          : format.indent() - 1;
    return qBound(0, level, Levels - 1);
}

int RtfListWriter::numbering(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return Bullet;
    }
}

void RtfListWriter::add(const QTextList* list)
{
    if (m_group.contains(list)) {
        m_lastGroup = m_group.value(list);
        return;
    }
    const int lvl = level(list);
    const int nfc = numbering(list->format().style());
    // A level already numbered another way in this group needs a group of its own.
    const bool clash =
        m_lastGroup >= 0 && m_assigned[m_lastGroup][lvl] && m_numbering[m_lastGroup][lvl] != nfc;
    if (lvl == 0 || m_lastGroup < 0 || clash) {
        m_starts.append(QList<int>(Levels, 1));
        m_numbering.append(QList<int>(Levels, nfc));
        m_assigned.append(QList<bool>(Levels, false));
        m_lastGroup = int(m_numbering.size()) - 1;
    }
    QList<int>& levels = m_numbering[m_lastGroup];
    for (int l = lvl; l < Levels; ++l)
        if (l == lvl || !m_assigned[m_lastGroup][l])
            levels[l] = nfc;
    m_assigned[m_lastGroup][lvl] = true;
    if (list->format().hasProperty(RichTextProperty::ListStart))
        m_starts[m_lastGroup][lvl] = list->format().intProperty(RichTextProperty::ListStart);
    m_group.insert(list, m_lastGroup);
}

void RtfListWriter::writeTables(QByteArray& out) const
{
    if (m_numbering.isEmpty())
        return;
    out += "{\\*\\listtable";
    for (qsizetype i = 0; i < m_numbering.size(); ++i) {
        out += "\n{\\list\\listtemplateid" + QByteArray::number(i + 1);
        for (int level = 0; level < Levels; ++level) {
            const int nfc = m_numbering[i][level];
            out += "{\\listlevel" + number("\\levelnfc", nfc) + number("\\levelnfcn", nfc) +
                   "\\leveljc0" + number("\\levelstartat", m_starts[i][level]);
            if (nfc == Bullet)
                out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
            else
                out += "{\\leveltext\\'02\\'0" + QByteArray::number(level) +
                       ".;}{\\levelnumbers\\'01;}";
            out += number("\\fi", -360) + number("\\li", (level + 1) * 360) + '}';
        }
        out += number("\\listid", int(i) + 1) + '}';
    }
    out += "}\n{\\*\\listoverridetable";
    for (qsizetype i = 0; i < m_numbering.size(); ++i)
        out += "{\\listoverride" + number("\\listid", int(i) + 1) + "\\listoverridecount0" +
               number("\\ls", int(i) + 1) + '}';
    out += "}\n";
}

void RtfListWriter::writeItem(QByteArray& out, const QTextBlock& block, const QTextList* list) const
{
    // List-aware readers skip the label; no \pn words beside it: some readers
    // then take every list for the last \pn one they saw.
    const QByteArray label = numbering(list->format().style()) == Bullet
                                 ? QByteArray("\\u8226\\'95")
                                 : RtfWriter::escape(list->itemText(block));
    out += number("\\ls", m_group.value(list) + 1) + number("\\ilvl", level(list)) +
           "{\\listtext\\f0 " + label + "\\tab}";
}
