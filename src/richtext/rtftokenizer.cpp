#include "rtftokenizer.h"

namespace {
constexpr int MaxWordLength = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\0';
}
} // namespace

RtfTokenizer::Token RtfTokenizer::next()
{
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '{') {
            ++m_p;
            return Token::OpenGroup;
        }
        if (c == '}') {
            ++m_p;
            return Token::CloseGroup;
        }
        if (c == '\r' || c == '\n' || c == '\0') {
            ++m_p;
            continue;
        }
        if (c != '\\') {
            const char* start = m_p;
            while (m_p < m_end && !endsText(*m_p))
                ++m_p;
            m_text = QByteArrayView(start, m_p - start);
            return Token::Text;
        }
        ++m_p;
        if (m_p >= m_end)
            return Token::End;
        const char next = *m_p;
        if (isLetter(next)) {
            const char* start = m_p;
            while (m_p < m_end && isLetter(*m_p) && m_p - start < MaxWordLength)
                ++m_p;
            m_word = QByteArray::fromRawData(start, m_p - start);
            while (m_p < m_end && isLetter(*m_p))
                ++m_p; // an over-long word is cut, not split in two
            const bool negative = m_p + 1 < m_end && *m_p == '-' && isDigit(m_p[1]);
            if (negative)
                ++m_p;
            m_hasParam = false;
            qint64 value = 0;
            while (m_p < m_end && isDigit(*m_p)) {
                m_hasParam = true;
                if (value < 100000000000LL)
                    value = value * 10 + (*m_p - '0');
                ++m_p;
            }
            if (m_p < m_end && *m_p == ' ')
                ++m_p;
            m_param = int(qBound<qint64>(-2147483647LL, negative ? -value : value, 2147483647LL));
            return Token::Word;
        }
        ++m_p;
        if (next != '\'') {
            m_symbol = next;
            return Token::Symbol;
        }
        // A \' without two hex digits stands for nothing.
        if (m_end - m_p >= 2 && hexValue(m_p[0]) >= 0 && hexValue(m_p[1]) >= 0) {
            m_symbol = char(hexValue(m_p[0]) * 16 + hexValue(m_p[1]));
            m_p += 2;
            return Token::HexByte;
        }
    }
    return Token::End;
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
