#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <optional>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

// The rich-text control's text, selection, formatting and lines over a document, without
// a widget. In its text a paragraph break is CR LF and a soft line break (U+2028 in the
// document) is "\v"; positions and lengths count them the same way, two and one.
class RichTextModel {
public:
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };
    using CursorReader = std::function<QTextCursor()>;
    using CursorWriter = std::function<void(const QTextCursor&)>;

    // The model keeps the selection itself.
    explicit RichTextModel(QTextDocument* document);
    // The selection lives elsewhere (a view's cursor) and is read and written through these.
    RichTextModel(QTextDocument* document, CursorReader read, CursorWriter write);
    RichTextModel(const RichTextModel&) = delete;
    RichTextModel& operator=(const RichTextModel&) = delete;

    QTextDocument* document() const { return m_document; }
    // The view took another document (one loaded in the background).
    void setDocument(QTextDocument* document);
    QTextCursor cursor() const;
    void setCursor(const QTextCursor& cursor);

    // Whether the view wraps lines: then lines are display lines, else paragraphs.
    bool wrapping() const { return m_wrapping; }
    void setWrapping(bool on)
    {
        m_wrapping = on;
        layoutReset();
    }
    // Display lines are counted in the document's own block tree, so that a block's
    // first line is found without walking every block before it. The view reports
    // what changes them: an edit (after which the changed paragraphs are laid out
    // again) or a new width for every line.
    void textChanged(int position, int removed, int added);
    void layoutReset();
    // The colour the view shows text in that has no colour of its own.
    QColor defaultTextColor() const { return m_textColor; }
    void setDefaultTextColor(const QColor& color) { m_textColor = color; }

    // Between document positions and positions in Text().
    int toCrLf(int documentPosition) const;
    int fromCrLf(int position) const;

    QString Text() const;
    // "\v" becomes a soft line break.
    void setText(const QString& text);

    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    // False when protected text refused the change.
    bool setSelText(const QString& text);

    // Each read is empty when the selection mixes values.
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<bool> SelProtected() const;
    void setSelProtected(bool on);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& name);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    std::optional<qint32> SelColor() const;
    void setSelColor(qint32 color);
    std::optional<int> SelCharOffset() const;
    void setSelCharOffset(int twips);
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);
    std::optional<bool> SelBullet() const;
    // Bulleting keeps the first line where it starts and puts the text one bullet
    // indent further in.
    void setSelBullet(bool on);
    std::optional<int> BulletIndent() const;
    void setBulletIndent(int twips);
    std::optional<int> SelIndent() const;
    void setSelIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void setSelRightIndent(int twips);
    std::optional<int> SelHangingIndent() const;
    void setSelHangingIndent(int twips);
    std::optional<int> SelTabCount() const;
    void setSelTabCount(int count);
    // The position of tab stop `index` in twips.
    std::optional<int> SelTabs(int index) const;
    void setSelTabs(int index, int twips);

    // Selects the match and returns its start, or -1.
    int Find(const QString& text, int start = 0, int end = -1, int options = 0);
    void Span(const QString& characters, bool forward, bool negate);

    int GetLineFromChar(int position) const;
    int lineCount() const;
    int lineIndex(int line) const;
    int lineLength(int position) const;
    // The paragraph and the line inside it that hold a line; invalid past the last.
    QTextBlock blockOfLine(int line, int* lineInBlock = nullptr) const;

private:
    // The document's raw characters from position `from` as Text() spells them.
    QString spelled(const QString& raw, int from) const;
    static QString fromSpelled(const QString& text);
    QString rawText(int from, int to) const;
    template <typename T, typename F> std::optional<T> uniformChar(F value) const;
    template <typename T, typename F> std::optional<T> uniformBlock(F value) const;
    void mergeSelectionFormat(const QTextCharFormat& format);
    void mergeSelectionBlockFormat(const std::function<void(QTextBlockFormat&)>& change);

    // Brings the blocks' line counts up to date up to the block numbered upTo.
    void syncLines(int upTo) const;

    QTextDocument* m_document;
    QTextCursor m_cursor; // the selection when nobody else keeps it
    // Blocks before this number carry their display line count; the changed ranges
    // (block numbers) wait for the layout to redo them.
    mutable int m_linesKnownTo = 0;
    mutable QList<std::pair<int, int>> m_changedBlocks;
    // What the counts were made for: another width or font lays every line out anew.
    mutable qreal m_linesWidth = -1;
    mutable QFont m_linesFont;
    int m_blockCount = 1;
    CursorReader m_read;
    CursorWriter m_write;
    bool m_wrapping = false;
    QColor m_textColor = Qt::black;
};
