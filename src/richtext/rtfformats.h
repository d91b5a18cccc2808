#pragma once

#include "rtfstate.h"

#include <QHash>
#include <QStringList>
#include <QTextFormat>

// The Qt formats that RTF's character and paragraph properties stand for.
namespace RtfFormats {
QTextCharFormat charFormat(const CharState& c, const FormatTables& tables);
// The font's name; "" for one without a name or one the table does not have.
QString fontName(const QHash<int, FontEntry>& fonts, int number);
QTextBlockFormat blockFormat(const ParaState& p);
// The target of a HYPERLINK field instruction, or "" for other fields; and the
// instruction for a target.
QString hyperlinkTarget(const QString& instruction);
QString hyperlinkInstruction(const QString& target);
} // namespace RtfFormats
