#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What Paste special offers for what the clipboard holds, in its order.
namespace PasteFormats {
enum class Kind { RichText, HtmlSource, Text, Picture, FileList };

struct Entry {
    QString caption;
    Kind kind;
    bool operator==(const Entry&) const = default;
};

inline const QString RichTextCaption = QStringLiteral("Rich Text Format (.rtf file)");
inline const QString HtmlCaption = QStringLiteral("HTML source (.htm file)");
inline const QString TextCaption = QStringLiteral("Text (.txt file)");
inline const QString PictureCaption = QStringLiteral("Picture (.png file)");
inline const QString FileListCaption = QStringLiteral("File list from the file manager");

// The MIME types that hold rich text, in the order they are taken.
const QStringList& richTextTypes();
// From the clipboard's MIME types.
QList<Entry> offered(const QStringList& mimeTypes);

// "<a href="text"></a>", with the text's quotation marks as &quot;.
QString htmlLink(const QString& target);
} // namespace PasteFormats
