#include "rtfformatwriter.h"

#include "richtextproperties.h"
#include "rtfwriter.h"
#include "twips.h"

#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cmath>

namespace {
QByteArray number(const char* word, int value)
{
    return QByteArray(word) + QByteArray::number(value);
}
} // namespace

QString RtfFormatWriter::familyOf(const QTextCharFormat& format) const
{
    // The family the format names, even one without a name; the document's default
    // font where it names none. Never the font the toolkit would show instead.
    if (format.hasProperty(QTextFormat::FontFamilies))
        return format.fontFamilies().toStringList().value(0);
    if (format.hasProperty(RichTextProperty::DefaultFont))
        return format.stringProperty(RichTextProperty::DefaultFont);
    return m_document->defaultFont().family();
}

void RtfFormatWriter::keepFonts(const QStringList& families)
{
    for (const QString& family : families) {
        if (!m_fontIndex.contains(family)) // a name given twice: the first place
            m_fontIndex.insert(family, int(m_fonts.size()));
        m_fonts.append(family);
    }
}

void RtfFormatWriter::setDefaultFont(const QString& family)
{
    m_defaultFont = fontIndex(family);
}

int RtfFormatWriter::fontIndex(const QString& family)
{
    auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.cend())
        return *it;
    m_fonts.append(family);
    return *m_fontIndex.insert(family, int(m_fonts.size()) - 1);
}

int RtfFormatWriter::colorIndex(const QColor& color)
{
    const QColor rgb = color.toRgb();
    qsizetype index = m_colors.indexOf(rgb);
    if (index < 0) {
        m_colors.append(rgb);
        index = m_colors.size() - 1;
    }
    return int(index) + 1;
}

void RtfFormatWriter::addToTables(const QTextCharFormat& format)
{
    fontIndex(familyOf(format));
    if (format.hasProperty(RichTextProperty::ComplexFont))
        fontIndex(format.stringProperty(RichTextProperty::ComplexFont));
    if (format.hasProperty(RichTextProperty::AsianFont))
        fontIndex(format.stringProperty(RichTextProperty::AsianFont));
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        colorIndex(format.background().color());
}

void RtfFormatWriter::writeTables(QByteArray& out) const
{
    out += "{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i)
        out += "{\\f" + QByteArray::number(i) + "\\fnil " + RtfWriter::escape(m_fonts[i]) + ";}";
    out += "}\n{\\colortbl ;";
    for (const QColor& c : m_colors)
        out += number("\\red", c.red()) + number("\\green", c.green()) +
               number("\\blue", c.blue()) + ';';
    out += "}\n";
}

void RtfFormatWriter::writeCharFormat(QByteArray& out, const QTextCharFormat& format,
                                      const QTextCharFormat& base)
{
    writeScriptFormat(out, format, base);
    const QString family = familyOf(format);
    const int font = fontIndex(family);
    const QString implied = format.stringProperty(RichTextProperty::ImpliedFont);
    const bool fromStyle = implied != format.stringProperty(RichTextProperty::DefaultFont);
    if (!format.hasProperty(RichTextProperty::ImpliedFont) || family != implied ||
        (!fromStyle && font != m_defaultFont))
        out += number("\\f", font);
    const double points = format.hasProperty(QTextFormat::FontPointSize)
                              ? format.fontPointSize()
                              : m_document->defaultFont().pointSizeF();
    if (!format.hasProperty(RichTextProperty::ImpliedSize) ||
        points != format.doubleProperty(RichTextProperty::ImpliedSize))
        out += number("\\fs", int(std::lround(points * 2)));
    const auto flag = [&out](bool on, bool baseOn, const QByteArray& word) {
        if (on)
            out += word;
        else if (baseOn)
            out += word + '0';
    };
    flag(format.fontWeight() >= QFont::DemiBold, base.fontWeight() >= QFont::DemiBold, "\\b");
    flag(format.fontItalic(), base.fontItalic(), "\\i");
    flag(format.fontUnderline(), base.fontUnderline(), "\\ul");
    flag(format.fontStrikeOut(), base.fontStrikeOut(), "\\strike");
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        out += number("\\cf", colorIndex(format.foreground().color()));
    else if (format.boolProperty(RichTextProperty::AutomaticColor) ||
             base.hasProperty(QTextFormat::ForegroundBrush))
        out += "\\cf0";
    writeBackground(out, format, base);
    flag(format.fontCapitalization() == QFont::AllUppercase,
         base.fontCapitalization() == QFont::AllUppercase, "\\caps");
    flag(format.fontCapitalization() == QFont::SmallCaps,
         base.fontCapitalization() == QFont::SmallCaps, "\\scaps");
    flag(format.boolProperty(RichTextProperty::HiddenText),
         base.boolProperty(RichTextProperty::HiddenText), "\\v");
    flag(format.boolProperty(RichTextProperty::Protected),
         base.boolProperty(RichTextProperty::Protected), "\\protect");
    const int offset = format.intProperty(RichTextProperty::CharOffsetTwips);
    if (offset > 0)
        out += number("\\up", offset / 10);
    else if (offset < 0)
        out += number("\\dn", -offset / 10);
    else if (base.intProperty(RichTextProperty::CharOffsetTwips) != 0)
        out += "\\up0";
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out += "\\sub";
    else if (base.verticalAlignment() != QTextCharFormat::AlignNormal)
        out += "\\nosupersub";
}

void RtfFormatWriter::writeScriptFormat(QByteArray& out, const QTextCharFormat& format,
                                        const QTextCharFormat& base)
{
    // What right-to-left and East Asian text have of their own, where the style
    // does not give it; each after the word that says which text it is for.
    const auto given = [&](int property) {
        return format.hasProperty(property) &&
               (!base.hasProperty(property) ||
                base.property(property) != format.property(property));
    };
    QByteArray complex;
    if (given(RichTextProperty::ComplexFont))
        complex += number("\\af", fontIndex(format.stringProperty(RichTextProperty::ComplexFont)));
    if (given(RichTextProperty::ComplexSize))
        complex += number(
            "\\afs", int(std::lround(format.doubleProperty(RichTextProperty::ComplexSize) * 2)));
    if (given(RichTextProperty::ComplexBold))
        complex += format.boolProperty(RichTextProperty::ComplexBold) ? "\\ab" : "\\ab0";
    if (given(RichTextProperty::ComplexItalic))
        complex += format.boolProperty(RichTextProperty::ComplexItalic) ? "\\ai" : "\\ai0";
    if (!complex.isEmpty())
        out += "\\rtlch" + complex + "\\ltrch";
    if (given(RichTextProperty::AsianFont))
        out += number("\\dbch\\af", fontIndex(format.stringProperty(RichTextProperty::AsianFont))) +
               "\\loch";
}

void RtfFormatWriter::writeBackground(QByteArray& out, const QTextCharFormat& format,
                                      const QTextCharFormat& base)
{
    // Each of the words the background came with; a background set here is a highlight.
    const auto words = [](const QTextCharFormat& f) {
        const int kinds = f.intProperty(RichTextProperty::BackgroundWords);
        return kinds ? kinds : int(RichTextProperty::Highlight);
    };
    const bool has = format.hasProperty(QTextFormat::BackgroundBrush);
    const bool baseHas = base.hasProperty(QTextFormat::BackgroundBrush);
    if (!has && !baseHas)
        return;
    const int index = has ? colorIndex(format.background().color()) : 0;
    const int kinds = words(has ? format : base);
    if (kinds & RichTextProperty::Highlight)
        out += number("\\highlight", index);
    if (kinds & RichTextProperty::CellBackground)
        out += number("\\cb", index);
    if (kinds & RichTextProperty::Shading)
        out += number("\\chcbpat", index);
}

void RtfFormatWriter::writeBlockFormat(QByteArray& out, const QTextBlockFormat& format,
                                       const QTextList* list, int level) const
{
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        out += "\\qc";
    else if (align & Qt::AlignRight)
        out += "\\qr";
    else if (align & Qt::AlignJustify)
        out += "\\qj";
    else if (format.hasProperty(QTextFormat::BlockAlignment))
        out += "\\ql";
    int left = Twips::fromPixels(format.leftMargin());
    int first = Twips::fromPixels(format.textIndent());
    // The bullet stands one bullet indent before the text: the paragraph hangs by it.
    if (list && format.hasProperty(RichTextProperty::BulletIndent)) {
        const int bullet = format.intProperty(RichTextProperty::BulletIndent);
        left += bullet - bulletRoom(bullet);
        first -= bullet;
    }
    if (list && !format.hasProperty(RichTextProperty::BulletIndent) && left == 0 && first == 0) {
        // Room for the bullet, where the list's own indent gave it.
        const int indent = list->format().indent();
        left =
            indent > 0 ? Twips::fromPixels(indent * m_document->indentWidth()) : (level + 1) * 360;
        first = -360;
    }
    // A styled paragraph's numbers are written in full, for readers that do not
    // give it its style's; and zero where the style has another, for those that do.
    const QTextBlockFormat base =
        format.property(RichTextProperty::StyleBlockFormat).value<QTextFormat>().toBlockFormat();
    const auto differs = [&](int value, double baseValue) {
        return value != 0 || Twips::fromPixels(baseValue) != 0;
    };
    if (differs(first, base.textIndent()))
        out += number("\\fi", first);
    if (differs(left, base.leftMargin()))
        out += number("\\li", left);
    if (const int right = Twips::fromPixels(format.rightMargin());
        differs(right, base.rightMargin()))
        out += number("\\ri", right);
    if (const int before = Twips::fromPixels(format.topMargin()); differs(before, base.topMargin()))
        out += number("\\sb", before);
    if (const int after = Twips::fromPixels(format.bottomMargin());
        differs(after, base.bottomMargin()))
        out += number("\\sa", after);
    const bool sameSpacing = format.lineHeightType() == QTextBlockFormat::SingleHeight &&
                             base.lineHeightType() == QTextBlockFormat::SingleHeight;
    switch (sameSpacing ? -1 : format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        out += number("\\sl", int(std::lround(format.lineHeight() * 240 / 100))) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        out += number("\\sl", -Twips::fromPixels(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        out += number("\\sl", Twips::fromPixels(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::SingleHeight:
        out += "\\sl0\\slmult0";
        break;
    default:
        break;
    }
    // Stops in the order of their positions, as readers keep them.
    QList<int> stops;
    for (const QTextOption::Tab& tab : format.tabPositions())
        stops.append(Twips::fromPixels(tab.position));
    std::sort(stops.begin(), stops.end());
    stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
    for (int stop : stops)
        out += number("\\tx", stop);
}
