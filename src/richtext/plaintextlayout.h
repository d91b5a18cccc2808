#pragma once

#include <QAbstractTextDocumentLayout>
#include <QList>
#include <QTextBlock>

// A document layout for large plain-text documents: every line has the same height,
// so a paragraph's place follows from the display lines before it (kept in the
// document's own block tree), and only what is shown, hit or asked for is laid out.
// The rich-text layout lays out the whole document instead, which takes seconds and
// hundreds of megabytes for a large file. Anything that would give lines their own
// heights or places (another font or size, pictures, tables, lists, alignment,
// indents) makes it ask for the rich-text layout through richLayoutNeeded().
class PlainTextLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)
    // Read by QTextEdit: without alignment a view that does not wrap gives no width.
    Q_PROPERTY(bool contentHasAlignment READ contentHasAlignment)
public:
    explicit PlainTextLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    int cursorWidth() const { return m_cursorWidth; }
    void setCursorWidth(int width) { m_cursorWidth = width; }
    bool contentHasAlignment() const { return false; }

    // Whether the text holds only what this layout shows as the rich-text one would.
    static bool suits(const QTextDocument* document);
    // Whether the characters and paragraphs from `from` to `to` do.
    static bool rangeSuits(const QTextDocument* document, int from, int to);
    // Whether the text holds a word so long that wrapping it at word boundaries
    // first takes Qt time that grows with its square (minutes for a few megabytes):
    // such a paragraph is wrapped anywhere.
    static bool hasEndlessWord(QStringView text);
    static bool hasEndlessWord(const QTextDocument* document);

signals:
    // Emitted once, queued: the text now holds something only the rich layout shows.
    void richLayoutNeeded();

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    qreal lineHeight() const;
    qreal wrapWidth() const;
    // Lays the block out if it is not; true when its number of lines changed.
    bool layoutBlock(const QTextBlock& block) const;
    // How many characters of an unwrapped paragraph too long for one display line
    // the display line from `start` shows.
    static int cutColumns(QStringView text, int start);
    qreal blockTop(const QTextBlock& block) const;
    void scheduleSizeChange() const;
    void forget(const QTextBlock& block) const;
    void forgetAll() const;

    int m_cursorWidth = 1;
    mutable qreal m_lineHeight = -1;
    mutable qreal m_widest = 0;
    mutable int m_lineCount = 1;
    // The width and font the laid-out blocks were made for.
    mutable qreal m_laidOutWidth = -1;
    mutable QFont m_laidOutFont;
    // The blocks holding a layout, so that a change can drop them without a walk over
    // every block; the oldest are dropped once there are many.
    mutable QList<QTextBlock> m_laidOut;
    mutable bool m_sizeChangePending = false;
    bool m_richAsked = false;
};
