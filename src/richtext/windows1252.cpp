#include "windows1252.h"

#include <QHash>

namespace {
// 0x80 to 0x9F; the unassigned 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to themselves.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const QHash<char16_t, char>& reverseTable()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 32; ++i)
            t.insert(High[i], char(0x80 + i));
        return t;
    }();
    return table;
}

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    const auto& table = reverseTable();
    auto it = table.constFind(c);
    return it == table.cend() ? -1 : uchar(*it);
}
} // namespace

namespace Windows1252 {

QString decode(const char* data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const uchar b = uchar(data[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b));
    }
    return text;
}

QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

bool canEncode(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

QByteArray encode(const QString& text, bool* lossy)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool lost = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        if (b < 0)
            lost = true;
        bytes[i] = b < 0 ? '?' : char(b);
    }
    if (lossy)
        *lossy = lost;
    return bytes;
}

} // namespace Windows1252
