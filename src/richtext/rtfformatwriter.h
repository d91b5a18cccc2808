#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextFormat>

class QTextDocument;
class QTextList;

// The words of character and paragraph formats, and the font and colour tables
// they refer to by number.
class RtfFormatWriter {
public:
    explicit RtfFormatWriter(const QTextDocument* document) : m_document(document) {}

    // The fonts of the table the document came with come first, in their places.
    void keepFonts(const QStringList& families);
    // The document's default font: text without a font of its own is in it.
    void setDefaultFont(const QString& family);
    int defaultFont() const { return m_defaultFont; }
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color); // 0 is the automatic colour
    // Puts the font and colours the format uses in the tables.
    void addToTables(const QTextCharFormat& format);
    void writeTables(QByteArray& out) const;

    // A run's formatting against its paragraph style's (`base`). The font and size
    // the document's defaults or the style gave are left to them, as they came.
    // The rest is said in full, since some readers do not give runs their
    // paragraph style's formatting, and what the style has and the run has not is
    // turned off, since others do.
    void writeCharFormat(QByteArray& out, const QTextCharFormat& format,
                         const QTextCharFormat& base);
    // A paragraph's alignment, indents, spacing and tabs, against its style's
    // block format (the StyleBlockFormat property).
    void writeBlockFormat(QByteArray& out, const QTextBlockFormat& format, const QTextList* list,
                          int level) const;

private:
    QString familyOf(const QTextCharFormat& format) const;
    void writeScriptFormat(QByteArray& out, const QTextCharFormat& format,
                           const QTextCharFormat& base);
    void writeBackground(QByteArray& out, const QTextCharFormat& format,
                         const QTextCharFormat& base);

    const QTextDocument* m_document;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    int m_defaultFont = 0;
    QList<QColor> m_colors;
};
