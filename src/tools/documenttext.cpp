#include "documenttext.h"

#include "richtext/protectedtext.h"
#include "richtext/richtextmodel.h"
#include "richtext/richtextproperties.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

DocumentText::DocumentText(QTextDocument* document) : QObject(document), m_document(document)
{
    setObjectName(QStringLiteral("DocumentText"));
    connect(document, &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        // A change of format alone leaves the text as it is.
        if (removed || added)
            m_valid = false;
    });
}

DocumentText& DocumentText::of(QTextDocument* document)
{
    if (auto* kept = document->findChild<DocumentText*>(QString(), Qt::FindDirectChildrenOnly))
        return *kept;
    return *new DocumentText(document);
}

const QString& DocumentText::text()
{
    if (!m_valid) {
        m_text = RichTextModel(m_document).Text();
        m_valid = true;
    }
    return m_text;
}

namespace {

QString unspelled(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    text.replace(u'\v', QChar::LineSeparator);
    return text;
}

} // namespace

bool DocumentText::apply(QList<LineTools::Edit> edits)
{
    if (edits.isEmpty())
        return true;
    // From the last to the first, so each edit's positions still hold when it is made.
    std::sort(edits.begin(), edits.end(), [](const LineTools::Edit& a, const LineTools::Edit& b) {
        return a.position > b.position;
    });
    const RichTextModel model(m_document);
    struct Range {
        int from;
        int to;
        QString text;
    };
    std::vector<Range> ranges;
    ranges.reserve(edits.size());
    for (const LineTools::Edit& edit : std::as_const(edits)) {
        const int from = model.fromCrLf(edit.position);
        const int to = model.fromCrLf(edit.position + edit.length);
        QTextCursor probe(m_document);
        probe.setPosition(from);
        probe.setPosition(to, QTextCursor::KeepAnchor);
        if (ProtectedText::blocksInsertion(probe))
            return false;
        ranges.push_back({from, to, unspelled(edit.text)});
    }
    // Laying out each change as it is made would take seconds on a large document;
    // without a page size the layout waits and then goes on lazily, as after loading.
    const QSizeF pageSize = m_document->pageSize();
    m_document->setPageSize(QSizeF());
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    for (const Range& range : ranges) {
        cursor.setPosition(range.to > range.from ? range.from + 1 : range.from);
        QTextCharFormat format = cursor.charFormat();
        format.clearProperty(RichTextProperty::Protected);
        cursor.setPosition(range.from);
        cursor.setPosition(range.to, QTextCursor::KeepAnchor);
        if (range.text.isEmpty())
            cursor.removeSelectedText();
        else
            cursor.insertText(range.text, format);
    }
    cursor.endEditBlock();
    m_document->setPageSize(pageSize);
    return true;
}
