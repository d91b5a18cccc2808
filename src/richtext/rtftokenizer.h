#pragma once

#include "rtfkeywords.h"

#include <QByteArray>
#include <QByteArrayView>

// Splits RTF into its tokens: group braces, control words with their
// parameters, control symbols, \'hh bytes and runs of text. It knows nothing of
// what they mean; line breaks and NUL bytes between tokens are dropped.
class RtfTokenizer {
public:
    enum class Token { End, OpenGroup, CloseGroup, Word, Symbol, HexByte, Text };

    // The data must outlive the tokenizer and every word and view it hands out.
    explicit RtfTokenizer(const QByteArray& data)
        : m_p(data.constData()), m_end(data.constData() + data.size())
    {}

    Token next();

    // After a Word: the word (no copy of its bytes) and which word the reader
    // knows it is, whether it has a parameter, and the parameter bounded to an int.
    QByteArray word() const { return QByteArray::fromRawData(m_word.data(), m_word.size()); }
    QByteArrayView wordView() const { return m_word; }
    RtfKeywords::Id keyword() const { return m_keyword; }
    bool hasParam() const { return m_hasParam; }
    int param() const { return m_param; }
    // After a Symbol: the character after the backslash; after a HexByte: the byte.
    char symbol() const { return m_symbol; }
    // After Text: the run.
    QByteArrayView text() const { return m_text; }

    // \binN's data: the next `length` bytes, fewer where the data ends.
    QByteArrayView takeBinary(qint64 length);
    // The rest of the group being read, raw; its closing brace comes next.
    QByteArrayView takeGroup();

private:
    const char* m_p;
    const char* m_end;
    QByteArrayView m_word;
    RtfKeywords::Id m_keyword = RtfKeywords::Id::Other;
    bool m_hasParam = false;
    int m_param = 0;
    char m_symbol = 0;
    QByteArrayView m_text;
};
