#include "rtftablebuilder.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

namespace {
constexpr int MaxDepth = 16;
constexpr int MaxColumns = 64;
} // namespace

void RtfTableBuilder::enter(int depth, int columns)
{
    depth = qBound(0, depth, MaxDepth);
    while (this->depth() > depth)
        close();
    if (!m_open.empty())
        moveToNextCell(m_open.back());
    while (this->depth() < depth)
        open(this->depth() == 0 ? columns : 1);
}

void RtfTableBuilder::endCell()
{
    if (m_open.empty())
        enter(1, 1);
    OpenTable& top = m_open.back();
    moveToNextCell(top); // a cell that held nothing
    ++top.column;
    top.cellEnded = true;
}

void RtfTableBuilder::endRow()
{
    if (m_open.empty())
        return;
    m_open.back().rowEnded = true;
    m_open.back().cellEnded = false;
}

void RtfTableBuilder::open(int columns)
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderCollapse(true);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    // A table stands on a paragraph of its own, as one after a paragraph mark
    // does: not on text of the same paragraph, nor on the paragraph that ends the
    // table before it, which would make the two one table when written.
    if (m_cursor.block().length() > 1 || m_cursor.position() == m_closedAt)
        m_cursor.insertBlock();
    QTextTable* table = m_cursor.insertTable(1, qBound(1, columns, MaxColumns), format);
    m_open.push_back({table});
}

void RtfTableBuilder::close()
{
    QTextTable* table = m_open.back().table;
    m_open.pop_back();
    m_cursor.setPosition(table->lastPosition() + 1);
    m_closedAt = m_cursor.position();
}

void RtfTableBuilder::moveToNextCell(OpenTable& top)
{
    if (top.rowEnded) {
        top.table->appendRows(1);
        ++top.row;
        top.column = 0;
        top.rowEnded = false;
        top.cellEnded = false;
        m_cursor = top.table->cellAt(top.row, 0).firstCursorPosition();
        return;
    }
    if (!top.cellEnded)
        return;
    top.cellEnded = false;
    if (top.column >= top.table->columns()) {
        if (top.table->columns() >= MaxColumns) {
            top.column = top.table->columns() - 1; // the rest runs into the last cell
        } else {
            top.table->appendColumns(1);
        }
    }
    m_cursor = top.table->cellAt(top.row, top.column).firstCursorPosition();
}
