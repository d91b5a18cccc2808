#include "rtfformats.h"

#include "richtextproperties.h"
#include "twips.h"

#include <QRegularExpression>

namespace RtfFormats {

QString fontName(const QHash<int, FontEntry>& fonts, int number)
{
    auto it = fonts.constFind(number);
    // Trimmed here too: a table may end before the name does.
    return it != fonts.cend() && !it->name.isNull() ? it->name.trimmed() : QStringLiteral("");
}

QTextCharFormat charFormat(const CharState& c, const FormatTables& tables)
{
    const QHash<int, FontEntry>& fonts = tables.fonts;
    const QList<QColor>& colors = tables.colors;
    const QStringList& links = tables.links;
    QTextCharFormat f;
    // A font without a name, or one the table does not have, stays so: saving
    // must not name a font the document did not.
    const QString family = fontName(fonts, c.font);
    f.setFontFamilies({family});
    f.setFontPointSize(c.halfPoints / 2.0);
    if (!c.fontGiven)
        f.setProperty(RichTextProperty::ImpliedFont, family);
    f.setProperty(RichTextProperty::DefaultFont, fontName(fonts, tables.defaultFont));
    if (c.complexFont >= 0)
        f.setProperty(RichTextProperty::ComplexFont, fontName(fonts, c.complexFont));
    if (c.asianFont >= 0)
        f.setProperty(RichTextProperty::AsianFont, fontName(fonts, c.asianFont));
    if (c.complexHalfPoints > 0)
        f.setProperty(RichTextProperty::ComplexSize, c.complexHalfPoints / 2.0);
    if (c.complexBold >= 0)
        f.setProperty(RichTextProperty::ComplexBold, c.complexBold > 0);
    if (c.complexItalic >= 0)
        f.setProperty(RichTextProperty::ComplexItalic, c.complexItalic > 0);
    if (!c.sizeGiven)
        f.setProperty(RichTextProperty::ImpliedSize, c.halfPoints / 2.0);
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    if (c.color > 0 && c.color < colors.size() && colors[c.color].isValid())
        f.setForeground(colors[c.color]);
    else if (c.colorGiven)
        f.setProperty(RichTextProperty::AutomaticColor, true);
    // The background shown is the shading, else the highlight, else \cb's colour;
    // the words that gave it are kept for saving.
    const auto valid = [&](int index) {
        return index > 0 && index < colors.size() && colors[index].isValid();
    };
    const int background = valid(c.shading)     ? c.shading
                           : valid(c.highlight) ? c.highlight
                                                : c.cellBackground;
    if (valid(background)) {
        f.setBackground(colors[background]);
        const int words = (c.highlight == background ? RichTextProperty::Highlight : 0) |
                          (c.cellBackground == background ? RichTextProperty::CellBackground : 0) |
                          (c.shading == background ? RichTextProperty::Shading : 0);
        if (words != RichTextProperty::Highlight)
            f.setProperty(RichTextProperty::BackgroundWords, words);
    }
    // Capitals are a way of showing the letters, never a change of them.
    if (c.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.hidden)
        f.setProperty(RichTextProperty::HiddenText, true);
    if (c.protect)
        f.setProperty(RichTextProperty::Protected, true);
    if (c.link > 0 && c.link <= links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(links[c.link - 1]);
    }
    if (c.offsetTwips != 0) {
        f.setProperty(RichTextProperty::CharOffsetTwips, c.offsetTwips);
        f.setBaselineOffset(100.0 * c.offsetTwips / (c.halfPoints * 10.0));
    }
    if (c.script == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.script == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat blockFormat(const ParaState& p)
{
    QTextBlockFormat f;
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                                   Qt::AlignJustify};
    if (p.align >= 0)
        f.setAlignment(alignments[qMin(p.align, 3)]);
    f.setLeftMargin(Twips::toPixels(p.left));
    f.setRightMargin(Twips::toPixels(p.right));
    f.setTextIndent(Twips::toPixels(p.first));
    f.setTopMargin(Twips::toPixels(p.before));
    f.setBottomMargin(Twips::toPixels(p.after));
    if (p.lineSpacing != 0) {
        if (p.lineMultiple && p.lineSpacing > 0)
            f.setLineHeight(qMin(1000.0, p.lineSpacing * 100.0 / 240),
                            QTextBlockFormat::ProportionalHeight);
        else
            f.setLineHeight(Twips::toPixels(qAbs(p.lineSpacing)),
                            p.lineSpacing < 0 ? QTextBlockFormat::FixedHeight
                                              : QTextBlockFormat::MinimumHeight);
    }
    if (!p.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (int t : p.tabs)
            tabs.append(QTextOption::Tab(Twips::toPixels(t), QTextOption::LeftTab));
        f.setTabPositions(tabs);
    }
    return f;
}

// The target of a HYPERLINK field: its quoted (or first) argument; "\l" names
// a place in the document.
QString hyperlinkTarget(const QString& instruction)
{
    // A quoted target may hold \" and \\ for a quote and a backslash, and may
    // lack its closing quote where the instruction ends.
    static const QRegularExpression hyperlink(
        QStringLiteral("^\\s*HYPERLINK\\s+(?:\\\\l\\s+)?(?:\"((?:[^\"\\\\]|\\\\.)*)\"?|(\\S+))"));
    static const QRegularExpression local(QStringLiteral("^\\s*HYPERLINK\\s+\\\\l\\s"));
    static const QRegularExpression escaped(QStringLiteral("\\\\(.)"));
    const QRegularExpressionMatch match = hyperlink.match(instruction);
    if (!match.hasMatch())
        return QString();
    QString target = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
    target.replace(escaped, QStringLiteral("\\1"));
    return local.match(instruction).hasMatch() ? u'#' + target : target;
}

QString hyperlinkInstruction(const QString& target)
{
    QString quoted = target;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("HYPERLINK \"") + quoted + u'"';
}

} // namespace RtfFormats
