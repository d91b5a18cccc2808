#pragma once

#include "codepage.h"
#include "rtffonttable.h"
#include "rtfformatcache.h"
#include "rtflisttable.h"
#include "rtfpicture.h"
#include "rtfstate.h"
#include "rtfstylesheet.h"
#include "rtftablebuilder.h"
#include "rtftokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTextBlock>
#include <QTextFormat>
#include <optional>
#include <vector>

class QTextCursor;
class QTextList;

// Reads RTF into a document at a cursor, one token of the tokenizer at a time,
// with a stack of group states; tables, pictures and formats are built by helpers of their own.
class RtfParser {
public:
    // Inserting into a paragraph leaves that paragraph's format alone unless the
    // inserted text ends paragraphs of its own.
    RtfParser(const QByteArray& data, QTextCursor& cursor, bool wholeDocument)
        : m_tokens(data), m_cursor(cursor), m_wholeDocument(wholeDocument), m_tableBuilder(cursor)
    {}

    void run();

private:
    GroupState& state() { return m_stack.back(); }
    void openGroup();
    void closeGroup();
    void controlSymbol(char symbol);
    void controlWord(RtfKeywords::Id id, QByteArrayView word, bool hasParam, int param);
    bool destinationWord(RtfKeywords::Id id);
    bool unicodeWord(RtfKeywords::Id id, int param);
    bool nameWord(RtfKeywords::Id id, int param);
    void forgetFormats();
    void oldListWord(const QByteArray& word);
    void applyStyle(int style);
    void keepFootnote();
    bool paragraphWord(RtfKeywords::Id id, int param);
    bool specialCharacter(RtfKeywords::Id id);
    void text(const char* data, qsizetype size);
    void byte(char b);
    void asciiText(QLatin1StringView text);
    void unicodeText(const QString& s);
    void flushBytes();
    // Text of another format ends the text so far.
    void pendingFormat();
    // Bytes so far become characters, and names in the font table end.
    void flushPending();
    void flushText();
    void endParagraph(bool newBlock);
    // Makes the block a paragraph mark left for later.
    void placeBlock();
    ParaState endingParagraph();
    // The paragraph at the cursor gets its format and its place in a list.
    void formatParagraph();
    void enterTables();
    void endCell();
    void finishPicture(const RtfPicture& picture);
    void keepFontTable();
    void fieldInstruction(const QString& text);
    bool consumingSkippedCharacter();

    RtfTokenizer m_tokens;
    QTextCursor& m_cursor;
    bool m_wholeDocument;
    RtfTableBuilder m_tableBuilder;
    int m_rowColumns = 0;
    int m_footnotes = 0;
    std::vector<Field> m_fields;
    std::vector<Shape> m_shapes;
    QByteArray m_shapeProperty;
    std::vector<GroupState> m_stack;
    int m_ignoredDepth = 0;
    bool m_nextIsIgnorable = false;
    int m_skipCount = 0;
    int m_codePage = CodePage::Ansi;
    FormatTables m_tables;
    RtfFontTable m_fontTable{m_tables.fonts};
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSeen = false;
    QByteArray m_pendingBytes;
    bool m_expectTrail = false;
    bool m_finished = false;
    QString m_pendingText;
    CharState m_pendingFormat;
    std::vector<RtfPicture> m_pictures;
    RtfListTable m_listTable;
    RtfStyleSheet m_styleSheet;
    bool m_styleSheetRead = false;
    RtfFormatCache m_formats{m_styleSheet, m_tables};
    bool m_blockDue = false;
    QTextCharFormat m_blockDueFormat; // the paragraph mark's
    QTextBlock m_placedBlock;         // made by placeBlock, with this format
    QTextBlockFormat m_placedFormat;
    bool m_previousWasOldList = false;
    std::optional<int> m_styleAtText; // the paragraph style when the paragraph's text began
    int m_imageCount = 0;
};
