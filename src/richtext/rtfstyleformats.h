#pragma once

#include "rtfstate.h"
#include "rtfstylesheet.h"

#include <QHash>
#include <QTextFormat>
#include <QVariantList>

// The Qt formats of a style sheet's styles, made once each. A styled paragraph
// or run carries them, so that saving can write the style again and tell the
// style's formatting from the text's own.
class RtfStyleFormats {
public:
    RtfStyleFormats(const RtfStyleSheet& sheet, const FormatTables& tables)
        : m_sheet(sheet), m_tables(tables)
    {}

    // The fonts or colours changed: formats made so far are out of date.
    void clear();
    // For the style and each style it is based on, itself first: its number,
    // name, character and block formats, the properties its own words set, and
    // whether it is based on itself.
    QVariantList chain(int style);
    // A paragraph of a paragraph style gets the style's chain and the character
    // and block formats it gives.
    void addTo(QTextBlockFormat& format, int style);

private:
    const RtfStyleSheet& m_sheet;
    const FormatTables& m_tables;
    QHash<int, QVariantList> m_chains;
    QHash<int, QTextBlockFormat> m_paragraphFormats; // the style's own, with its chain
};
