#pragma once

#include "rtfstate.h"
#include "rtfstyleformats.h"
#include "rtfstylesheet.h"

#include <QHash>
#include <QTextFormat>
#include <optional>

// The Qt formats of the reader's states, each made once: documents use few
// formats many times over, and making one costs more than finding it.
class RtfFormatCache {
public:
    RtfFormatCache(const RtfStyleSheet& sheet, const FormatTables& tables)
        : m_sheet(sheet), m_tables(tables)
    {}

    // The fonts, colours or styles changed: formats made so far are out of date.
    void clear();
    QTextCharFormat charFormat(const CharState& c);
    QTextBlockFormat blockFormat(const ParaState& p);

private:
    const RtfStyleSheet& m_sheet;
    const FormatTables& m_tables;
    RtfStyleFormats m_styleFormats{m_sheet, m_tables};
    QHash<CharState, QTextCharFormat> m_formats;
    std::optional<ParaState> m_lastPara;
    QTextBlockFormat m_lastBlockFormat;
};
