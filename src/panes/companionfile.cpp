#include "companionfile.h"

#include "richtext/documentfile.h"
#include "richtext/textcodec.h"

Result<QString> CompanionFile::read(const QString& path, qint64 maxBytes)
{
    // The bytes go before the lines are split, so a big file is held only once
    // as bytes and once as text at the peak.
    QString text;
    {
        Result<QByteArray> bytes = DocumentFile::readBytes(path, maxBytes);
        if (!bytes)
            return bytes.error();
        text = TextCodec::decode(bytes.value()).text;
    }
    return text;
}
