#include "textpieces.h"

#include "textcodec.h"

TextPieces::TextPieces(QByteArray bytes, qsizetype pieceBytes)
    : m_pieceBytes(qMax<qsizetype>(1, pieceBytes))
{
    TextCodec::Prepared prepared = TextCodec::prepare(bytes);
    m_format = prepared.format;
    if (prepared.whole) {
        // The bytes are done with; only the text is read on.
        m_whole = true;
        m_raw = std::move(prepared.raw);
        m_total = m_raw.size();
    } else {
        m_bytes = std::move(bytes);
        m_at = prepared.offset;
        m_total = m_bytes.size();
        splitBytes();
    }
    if (atEnd())
        finish();
}

qsizetype TextPieces::cutAfter(qsizetype from) const
{
    const char* data = m_bytes.constData();
    qsizetype end = qMin(m_bytes.size(), from + m_pieceBytes);
    // Only valid UTF-8 is read in pieces, so a cut before a character's first
    // byte reads just as the whole does; Windows-1252 may be cut anywhere.
    if (m_format.encoding == "UTF-8")
        while (end < m_bytes.size() && (uchar(data[end]) & 0xC0) == 0x80)
            ++end;
    return end;
}

void TextPieces::splitBytes()
{
    // Shared bytes stay whole: cutting them would only add a copy.
    if (m_total - m_at <= m_pieceBytes || !m_bytes.isDetached())
        return;
    QList<qsizetype> cuts{m_at};
    while (cuts.constLast() < m_total)
        cuts.append(cutAfter(cuts.constLast()));
    // The pieces are copied out from the end and the whole shrunk behind them,
    // so that the file is held about once, and each piece goes once read.
    m_pieces.resize(cuts.size() - 1);
    for (qsizetype i = cuts.size() - 2; i >= 0; --i) {
        m_pieces[i] = m_bytes.sliced(cuts[i], cuts[i + 1] - cuts[i]);
        m_bytes.truncate(cuts[i]);
        m_bytes.squeeze();
    }
    m_bytes = QByteArray();
}

bool TextPieces::atEnd() const
{
    return m_at >= m_total;
}

QString TextPieces::next()
{
    QString raw;
    if (m_whole) {
        qsizetype end = qMin(m_raw.size(), m_at + m_pieceBytes);
        if (end < m_raw.size() && m_raw.at(end - 1).isHighSurrogate())
            ++end;
        raw = m_at == 0 && end == m_raw.size() ? m_raw : m_raw.mid(m_at, end - m_at);
        m_at = end;
        if (atEnd())
            m_raw = QString();
    } else if (!m_pieces.isEmpty()) {
        const QByteArray piece = m_pieces.takeFirst();
        raw = TextCodec::decodeWith(m_format.encoding, piece.constData(), piece.size());
        m_at += piece.size();
    } else {
        const qsizetype end = cutAfter(m_at);
        raw = TextCodec::decodeWith(m_format.encoding, m_bytes.constData() + m_at, end - m_at);
        m_at = end;
        if (atEnd())
            m_bytes = QByteArray();
    }
    QString text = splitLineEndings(raw);
    if (atEnd())
        finish();
    return text;
}

QString TextPieces::splitLineEndings(const QString& raw)
{
    qsizetype from = 0;
    if (m_pendingCr) {
        m_pendingCr = false;
        const bool crlf = !raw.isEmpty() && raw.front() == u'\n';
        noteEnding(crlf ? LineEnding::CRLF : LineEnding::CR);
        from = crlf ? 1 : 0;
    }
    if (!QStringView(raw).mid(from).contains(u'\r')) {
        noteEnding(LineEnding::LF, QStringView(raw).mid(from).count(u'\n'));
        return from == 0 ? raw : raw.mid(from);
    }
    QString text;
    text.reserve(raw.size() - from);
    const QChar* p = raw.constData();
    const qsizetype n = raw.size();
    qsizetype start = from;
    for (qsizetype i = from; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        text.append(p + start, i - start);
        text += u'\n';
        if (c == u'\r' && i + 1 == n) {
            m_pendingCr = true;
        } else if (c == u'\r' && p[i + 1] == u'\n') {
            noteEnding(LineEnding::CRLF);
            ++i;
        } else {
            noteEnding(c == u'\r' ? LineEnding::CR : LineEnding::LF);
        }
        start = i + 1;
    }
    text.append(p + start, n - start);
    return text;
}

void TextPieces::noteEnding(LineEnding ending, qsizetype count)
{
    if (count == 0)
        return;
    if (m_endings == 0)
        m_first = ending;
    m_endings += count;
    if (m_mixed.isEmpty() && ending == m_first)
        return;
    // The first line end unlike the others: from here on each one is kept.
    if (m_mixed.isEmpty())
        m_mixed = QList<LineEnding>(m_endings - count, m_first);
    m_mixed.append(QList<LineEnding>(count, ending));
}

void TextPieces::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_pendingCr) {
        m_pendingCr = false;
        noteEnding(LineEnding::CR);
    }
    if (m_endings > 0)
        m_format.lineEnding = m_first;
    m_format.mixedEndings = m_mixed;
}
