#pragma once

#include "rtfformatwriter.h"
#include "rtflistwriter.h"
#include "rtfstylewriter.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextFrame>

class QDeadlineTimer;
class QTextBlock;
class QTextFragment;
class QTextImageFormat;
class QTextTable;

// Builds the RTF of a document or a range of it, in one go or, for a whole
// document without tables, a piece at a time. Between pieces the document may
// change: what was built from a change on is built again.
class RtfBuilder {
public:
    RtfBuilder(const QTextDocument* document, int from, int to);
    QByteArray build();

    // Whether the whole document can be built in pieces.
    static bool canStep(const QTextDocument* document);
    // Builds on until the deadline; true once the whole document is built.
    bool step(const QDeadlineTimer& deadline);
    // The document changed as QTextDocument::contentsChange tells. False when the
    // pieces built so far no longer hold and the building must start again.
    bool changed(int position, int removed, int added);
    // Once step said the document is built: the tables, then the text.
    QByteArray header();
    QByteArray takeBody();

private:
    // Visits the fragments in order from the paragraph at m_next while visit returns
    // true. False when the deadline passed first; m_next is then where to go on.
    template <typename F> bool forEachFragment(const QDeadlineTimer& deadline, F&& visit);
    void collectTables();
    // Runs the stages that collect the tables; false when the deadline passed first.
    bool collect(const QDeadlineTimer& deadline);
    void writeHeader(QByteArray& out);
    void writeFrame(QTextFrame::iterator it, int depth);
    void writeTable(QTextTable* table, int depth);
    void writeParagraph(const QTextBlock& block, int depth = 0);
    void writeImage(const QTextImageFormat& format);
    // The fragment's text from start to end; it begins at position.
    void appendText(const QTextFragment& fragment, int position, int start, int end);

    // What a paragraph format writes, and a character format in a paragraph style:
    // documents use few formats many times over.
    struct Paragraph {
        QByteArray words; // from the style to the tab stops
        int style;
        QTextCharFormat styleFormat;
    };
    struct Run {
        QByteArray words;
        QString link;
        QByteArray footnote;
        bool image;
    };
    const Paragraph& paragraph(const QTextBlock& block, const QTextList* list);
    const Run& run(const QTextFragment& fragment, const Paragraph& paragraph);

    const QTextDocument* m_document;
    int m_from;
    int m_to;
    bool m_whole; // the whole document: no fragment is cut
    RtfFormatWriter m_formats;
    RtfStyleWriter m_styles;
    RtfListWriter m_lists;
    QHash<QPair<int, const QTextList*>, Paragraph> m_paragraphs;
    QHash<QPair<int, int>, Run> m_runs; // by character format and paragraph style
    QByteArray m_out;

    // The stages, in one go or in pieces, each resumed where it stopped.
    enum class Stage { DefaultFont, Paragraphs, Runs, Text, Done };
    struct Mark {
        int position;     // where a paragraph starts in the document
        qsizetype offset; // and its words in the output
    };
    Stage m_stage = Stage::DefaultFont;
    int m_next = 0; // the paragraph the stage goes on with
    qsizetype m_charFormats = 0;
    QSet<int> m_seen; // character formats met by the stage
    QString m_defaultFamily;
    QList<Mark> m_marks;
};
