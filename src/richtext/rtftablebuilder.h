#pragma once

#include <vector>

class QTextCursor;
class QTextTable;

// Builds the tables that RTF describes cell by cell and row by row: the reader
// says how deep in tables the next text is, and where cells and rows end.
class RtfTableBuilder {
public:
    explicit RtfTableBuilder(QTextCursor& cursor) : m_cursor(cursor) {}

    // Before any content: opens or closes tables until the cursor is at this depth,
    // in the cell that comes next. A new table starts with the given columns.
    void enter(int depth, int columns);
    void endCell();
    void endRow();
    int depth() const { return int(m_open.size()); }
    // A row has just ended and nothing has come after it yet.
    bool rowJustEnded() const { return !m_open.empty() && m_open.back().rowEnded; }

private:
    struct OpenTable {
        QTextTable* table;
        int row = 0;
        int column = 0;
        bool cellEnded = false;
        bool rowEnded = false;
    };
    void open(int columns);
    void close();
    void moveToNextCell(OpenTable& top);

    QTextCursor& m_cursor;
    std::vector<OpenTable> m_open;
    int m_closedAt = -1; // where the cursor went when the last table closed
};
