#include "rtfpicture.h"

#include "richtextproperties.h"
#include "twips.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

int RtfPicture::hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QTextImageFormat RtfPicture::addTo(QTextDocument* document, int number) const
{
    const RtfPicture& picture = *this;
    QByteArray bytes = picture.data;
    if (bytes.isEmpty()) {
        QByteArray hex;
        hex.reserve(picture.hex.size());
        for (char c : std::as_const(picture.hex))
            if (hexValue(c) >= 0)
                hex.append(c);
        if (hex.size() % 2)
            hex.chop(1);
        bytes = QByteArray::fromHex(hex);
    }
    QImage image;
    if (!picture.kind.isEmpty())
        image.loadFromData(bytes, picture.kind.toLatin1().constData());
    const double scaleX = picture.scalex / 100.0, scaleY = picture.scaley / 100.0;
    double width = picture.goalw > 0 ? Twips::toPixels(picture.goalw) * scaleX : 0;
    double height = picture.goalh > 0 ? Twips::toPixels(picture.goalh) * scaleY : 0;
    if (image.isNull()) {
        // Kept for saving; shown as a framed box of the picture's size.
        const int w = qBound(8, int(width > 0 ? width : 64), 4096);
        const int h = qBound(8, int(height > 0 ? height : 64), 4096);
        image = QImage(w, h, QImage::Format_RGB32);
        image.fill(QColor(0xE0, 0xE0, 0xE0));
        QPainter painter(&image);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(0, 0, w - 1, h - 1);
    }
    if (width <= 0)
        width = image.width() * scaleX;
    if (height <= 0)
        height = image.height() * scaleY;
    // A size no screen could show would only slow the layout down.
    width = qBound(1.0, width, 20000.0);
    height = qBound(1.0, height, 20000.0);
    const QString name =
        QStringLiteral("rtfimage://%1/%2").arg(quintptr(document), 0, 16).arg(number);
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    format.setProperty(RichTextProperty::PictureData, bytes);
    format.setProperty(RichTextProperty::PictureHeader, picture.header);
    return format;
}
