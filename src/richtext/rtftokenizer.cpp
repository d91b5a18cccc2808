#include "rtftokenizer.h"

namespace {
constexpr int MaxWordLength = 32;

// What each byte is to the tokenizer, looked up rather than worked out: most of
// the reading time goes on asking this of every byte.
enum : unsigned char { Letter = 1, EndsText = 2 };
struct ByteKinds {
    unsigned char kind[256] = {};
    constexpr ByteKinds()
    {
        for (int c = 'a'; c <= 'z'; ++c)
            kind[c] = kind[c - 'a' + 'A'] = Letter;
        for (unsigned char c : {'{', '}', '\\', '\r', '\n', '\0'})
            kind[c] = EndsText;
    }
};
constexpr ByteKinds bytes;

bool isLetter(char c)
{
    return bytes.kind[uchar(c)] == Letter;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool endsText(char c)
{
    return bytes.kind[uchar(c)] == EndsText;
}
} // namespace

RtfTokenizer::Token RtfTokenizer::next()
{
    // The position is kept in a local: a member would be stored back after every
    // character, as the characters read might be the member itself for all the
    // compiler knows.
    const char* p = m_p;
    const char* const end = m_end;
    const auto done = [this, &p](Token token) {
        m_p = p;
        return token;
    };
    while (p < end) {
        const char c = *p;
        if (c == '{') {
            ++p;
            return done(Token::OpenGroup);
        }
        if (c == '}') {
            ++p;
            return done(Token::CloseGroup);
        }
        if (c == '\r' || c == '\n' || c == '\0') {
            ++p;
            continue;
        }
        if (c != '\\') {
            const char* start = p;
            while (p < end && !endsText(*p))
                ++p;
            m_text = QByteArrayView(start, p - start);
            return done(Token::Text);
        }
        ++p;
        if (p >= end)
            return done(Token::End);
        const char next = *p;
        if (isLetter(next)) {
            const char* start = p;
            while (p < end && isLetter(*p) && p - start < MaxWordLength)
                ++p;
            m_word = QByteArrayView(start, p - start);
            m_keyword = RtfKeywords::find(m_word, RtfKeywords::hashOf(m_word));
            while (p < end && isLetter(*p))
                ++p; // an over-long word is cut, not split in two
            const bool negative = p + 1 < end && *p == '-' && isDigit(p[1]);
            if (negative)
                ++p;
            m_hasParam = false;
            qint64 value = 0;
            while (p < end && isDigit(*p)) {
                m_hasParam = true;
                if (value < 100000000000LL)
                    value = value * 10 + (*p - '0');
                ++p;
            }
            if (p < end && *p == ' ')
                ++p;
            m_param = int(qBound<qint64>(-2147483647LL, negative ? -value : value, 2147483647LL));
            return done(Token::Word);
        }
        ++p;
        if (next != '\'') {
            m_symbol = next;
            return done(Token::Symbol);
        }
        // A \' without two hex digits stands for nothing.
        if (end - p >= 2 && hexValue(p[0]) >= 0 && hexValue(p[1]) >= 0) {
            m_symbol = char(hexValue(p[0]) * 16 + hexValue(p[1]));
            p += 2;
            return done(Token::HexByte);
        }
    }
    return done(Token::End);
}

QByteArrayView RtfTokenizer::takeBinary(qint64 length)
{
    const qint64 size = qBound(qint64(0), length, qint64(m_end - m_p));
    const QByteArrayView data(m_p, size);
    m_p += size;
    return data;
}

QByteArrayView RtfTokenizer::takeGroup()
{
    const char* start = m_p;
    int depth = 1;
    while (m_p < m_end && depth > 0) {
        const char c = *m_p++;
        if (c == '\\' && m_p < m_end)
            ++m_p; // an escaped brace or backslash
        else if (c == '{')
            ++depth;
        else if (c == '}')
            --depth;
    }
    if (depth > 0)
        return QByteArrayView(start, m_p - start);
    --m_p; // the closing brace ends the group as usual
    return QByteArrayView(start, m_p - start);
}
