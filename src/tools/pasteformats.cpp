#include "pasteformats.h"

namespace PasteFormats {

const QStringList& richTextTypes()
{
    static const QStringList types = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                      QStringLiteral("text/richtext")};
    return types;
}

QList<Entry> offered(const QStringList& mimeTypes)
{
    const auto holds = [&](const QString& type) { return mimeTypes.contains(type); };
    QList<Entry> entries;
    for (const QString& type : richTextTypes())
        if (holds(type)) {
            entries.append({RichTextCaption, Kind::RichText});
            break;
        }
    if (holds(QStringLiteral("text/html")))
        entries.append({HtmlCaption, Kind::HtmlSource});
    if (holds(QStringLiteral("text/plain")) || holds(QStringLiteral("text/plain;charset=utf-8")))
        entries.append({TextCaption, Kind::Text});
    for (const QString& type : mimeTypes)
        if (type.startsWith(QLatin1String("image/")) ||
            type == QLatin1String("application/x-qt-image")) {
            entries.append({PictureCaption, Kind::Picture});
            break;
        }
    if (holds(QStringLiteral("text/uri-list")) ||
        holds(QStringLiteral("x-special/gnome-copied-files")))
        entries.append({FileListCaption, Kind::FileList});
    return entries;
}

QString htmlLink(const QString& target)
{
    QString escaped = target;
    escaped.replace(u'"', QLatin1String("&quot;"));
    return QStringLiteral("<a href=\"") + escaped + QStringLiteral("\"></a>");
}

} // namespace PasteFormats
