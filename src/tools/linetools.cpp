#include "linetools.h"

#include "richtext/windows1252.h"

#include <algorithm>
#include <cmath>

namespace LineTools {

namespace {

const QLatin1String CrLf("\r\n");

} // namespace

QString stripCrLf(const QString& text)
{
    QString result;
    result.reserve(text.size());
    qsizetype p = 0;
    for (qsizetype at = text.indexOf(CrLf); at >= 0; at = text.indexOf(CrLf, p)) {
        if (at == p) {
            result += QLatin1String("\r\n\r\n");
        } else {
            result += QStringView(text).mid(p, at - p);
            if (at + 2 >= text.size() || text.at(at + 2) != u' ')
                result += u' ';
        }
        p = at + 2;
    }
    result += QStringView(text).mid(p);
    return result;
}

QString stripBlanks(const QString& text)
{
    QString result;
    result.reserve(text.size());
    qsizetype p = 0;
    for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', p)) {
        result += QStringView(text).mid(p, at - p + 1);
        if (at > 0 && text.at(at - 1) == u'.')
            result += u' ';
        p = at + 1;
        while (p < text.size() && text.at(p) == u' ')
            ++p;
    }
    result += QStringView(text).mid(p);
    return result;
}

QList<Edit> stripUpTo(const QList<Line>& lines, const QString& marker)
{
    QList<Edit> edits;
    if (marker.isEmpty())
        return edits;
    for (const Line& line : lines) {
        const qsizetype at = line.text.indexOf(marker, 0, Qt::CaseInsensitive);
        if (at >= 0)
            edits.append({line.start, int(at + marker.size()), QString()});
    }
    return edits;
}

QString badCodeMessage(const QString& piece)
{
    return QStringLiteral("Error: \"") + piece +
           QStringLiteral("\" is not a character code from 0 to 255.");
}

Result<QString> characters(const QString& codes)
{
    QString result;
    for (const QString& raw : codes.split(u',')) {
        const QString piece = raw.trimmed();
        bool numeric = false;
        const double value = piece.toDouble(&numeric);
        const double code = numeric ? std::nearbyint(value) : -1;
        if (!numeric || !(code >= 0 && code <= 255))
            return Error{ErrorCode::BadFormat, badCodeMessage(piece)};
        const char byte = char(int(code));
        result += Windows1252::decode(&byte, 1);
    }
    return result;
}

QString replaceCodes(const QString& text, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return text;
    if (from.size() == 1 && to.size() == 1) {
        // One character for another in one pass: the few characters that are the
        // same letter, letter case ignored, are found once.
        const char32_t folded = QChar::toCaseFolded(char32_t(from.at(0).unicode()));
        QList<char16_t> same;
        for (char32_t c = 0; c <= 0xFFFF; ++c)
            if (!QChar::isSurrogate(c) && QChar::toCaseFolded(c) == folded)
                same.append(char16_t(c));
        QString result(text.size(), Qt::Uninitialized);
        const auto* in = reinterpret_cast<const char16_t*>(text.constData());
        char16_t* out = reinterpret_cast<char16_t*>(result.data());
        const char16_t replacement = to.at(0).unicode();
        const qsizetype n = text.size();
        if (same.size() == 2) {
            const char16_t a = same[0], b = same[1];
            for (qsizetype i = 0; i < n; ++i)
                out[i] = in[i] == a || in[i] == b ? replacement : in[i];
        } else {
            for (qsizetype i = 0; i < n; ++i)
                out[i] = same.contains(in[i]) ? replacement : in[i];
        }
        return result;
    }
    QString result;
    result.reserve(text.size());
    qsizetype p = 0;
    for (qsizetype at = text.indexOf(from, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(from, p, Qt::CaseInsensitive)) {
        result += QStringView(text).mid(p, at - p);
        result += to;
        p = at + from.size();
    }
    result += QStringView(text).mid(p);
    return result;
}

QList<Edit> quotePrefix(const QList<Line>& lines, const QString& prefix, bool blankLinesToo)
{
    QList<Edit> edits;
    for (const Line& line : lines)
        if (blankLinesToo || !line.text.isEmpty())
            edits.append({line.start, 0, prefix});
    return edits;
}

QList<Edit> marginBreaks(const QList<Line>& lines, const QString& text, int textStart)
{
    QList<Edit> edits;
    for (const Line& line : lines) {
        if (line.text.isEmpty())
            continue;
        const qsizetype end = line.start - textStart + line.text.size();
        // A line that ends where the text or a break does needs no break of its own.
        if (end >= text.size() || text.at(end) == u'\r' || text.at(end) == u'\n' ||
            text.at(end) == u'\v')
            continue;
        edits.append({int(line.start + line.text.size()), 0, QString(CrLf)});
    }
    return edits;
}

QString sortLines(const QString& text)
{
    const QStringList lines = text.split(CrLf);
    // Each line folded once; equal keys keep their order.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        keys.emplace_back(lines.at(i).toCaseFolded(), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QString result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i)
            result += CrLf;
        result += lines.at(keys[i].second);
    }
    return result;
}

} // namespace LineTools
