#include "embeddedpicture.h"

#include "richtext/richtextproperties.h"
#include "richtext/twips.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>

Result<QTextImageFormat> EmbeddedPicture::add(QTextDocument* document, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray kind = reader.format().toLower();
    // No picture of absurd size is decoded.
    reader.setAllocationLimit(512);
    const QImage image = reader.read();
    if (image.isNull())
        return Error{ErrorCode::BadFormat, reader.errorString()};
    QByteArray data = bytes;
    QString blip;
    if (kind == "png") {
        blip = QStringLiteral("\\pngblip");
    } else if (kind == "jpeg" || kind == "jpg") {
        blip = QStringLiteral("\\jpegblip");
    } else {
        data.clear();
        QBuffer out(&data);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "PNG");
        blip = QStringLiteral("\\pngblip");
    }
    double width = Twips::fromPixels(image.width());
    double height = Twips::fromPixels(image.height());
    if (width > MaximumWidthTwips) {
        height = height * MaximumWidthTwips / width;
        width = MaximumWidthTwips;
    }
    static int pictures = 0;
    const QString name =
        QStringLiteral("inserted://%1/%2").arg(quintptr(document), 0, 16).arg(++pictures);
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(Twips::toPixels(int(width)));
    format.setHeight(Twips::toPixels(int(height)));
    format.setProperty(RichTextProperty::PictureData, data);
    format.setProperty(RichTextProperty::PictureHeader,
                       blip + QStringLiteral("\\picw%1\\pich%2\\picwgoal%3\\pichgoal%4")
                                  .arg(image.width())
                                  .arg(image.height())
                                  .arg(int(width))
                                  .arg(int(height)));
    return format;
}
