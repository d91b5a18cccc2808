#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 with its five unassigned bytes kept as the C1 controls of the same
// number, so that every byte sequence decodes and encodes back unchanged.
namespace Windows1252 {
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);
// Characters outside the code page become "?"; *lossy tells whether any did.
QByteArray encode(const QString& text, bool* lossy = nullptr);
bool canEncode(QChar c);
} // namespace Windows1252
