#pragma once

#include "rtfstate.h"

#include <QHash>
#include <QStringList>
#include <QTextFormat>

// The Qt formats that RTF's character and paragraph properties stand for.
namespace RtfFormats {
// Character formats: text marked hidden (\v), kept so that saving writes it back.
constexpr int HiddenText = QTextFormat::UserProperty + 16;
// Character formats: the font or size is the document's default, not one the text
// was given; saving leaves it to the default again.
constexpr int ImpliedFont = QTextFormat::UserProperty + 17;
constexpr int ImpliedSize = QTextFormat::UserProperty + 18;

QTextCharFormat charFormat(const CharState& c, const QHash<int, FontEntry>& fonts,
                           const QList<QColor>& colors, const QStringList& links);
QTextBlockFormat blockFormat(const ParaState& p);
// The target of a HYPERLINK field instruction, or "" for other fields.
QString hyperlinkTarget(const QString& instruction);
} // namespace RtfFormats
