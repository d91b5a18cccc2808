#include "documenttext.h"

#include "richtext/protectedtext.h"
#include "richtext/richtextmodel.h"
#include "richtext/richtextproperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

DocumentText::DocumentText(QTextDocument* document) : QObject(document), m_document(document)
{
    setObjectName(QStringLiteral("DocumentText"));
    // Any change, of the text or only of its formats: the precise signal comes only
    // once a view lays the document out.
    connect(document, &QTextDocument::contentsChanged, this, [this] { m_valid = false; });
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

bool DocumentText::apply(QList<LineTools::Edit> edits, bool joinPrevious)
{
    if (edits.isEmpty())
        return true;
    std::sort(edits.begin(), edits.end(), [](const LineTools::Edit& a, const LineTools::Edit& b) {
        return a.position < b.position;
    });
    struct Range {
        int from;
        int to;
        QString text;
    };
    // Document positions in one walk over the blocks: each block's text starts at its
    // position plus two characters for every break before it.
    std::vector<Range> ranges;
    ranges.reserve(edits.size());
    QTextBlock block = m_document->begin();
    int blockStart = 0;   // in the document
    int spelledStart = 0; // in the text, where each break is two characters
    const auto toDocument = [&](int position) {
        while (block.next().isValid() && spelledStart + block.length() + 1 <= position) {
            spelledStart += block.length() + 1;
            blockStart += block.length();
            block = block.next();
        }
        return blockStart + qBound(0, position - spelledStart, block.length() - 1);
    };
    for (const LineTools::Edit& edit : std::as_const(edits)) {
        const int from = toDocument(edit.position);
        const int to = toDocument(edit.position + edit.length);
        ranges.push_back({from, to, unspelled(edit.text)});
    }
    const bool guarded = ProtectedText::anyIn(m_document);
    if (guarded) {
        QTextCursor probe(m_document);
        for (const Range& range : ranges) {
            probe.setPosition(range.from);
            probe.setPosition(range.to, QTextCursor::KeepAnchor);
            if (ProtectedText::blocksInsertion(probe))
                return false;
        }
    }
    // Laying out each change as it is made would take seconds on a large document;
    // without a page size the layout waits and then goes on lazily, as after loading.
    const QSizeF pageSize = m_document->pageSize();
    m_document->setPageSize(QSizeF());
    QTextCursor cursor(m_document);
    if (joinPrevious)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    // From the last to the first, so each edit's positions still hold when it is made.
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
        QTextCharFormat format;
        if (guarded) {
            // What is put in next to protected text is not protected.
            cursor.setPosition(it->to > it->from ? it->from + 1 : it->from);
            format = cursor.charFormat();
            format.clearProperty(RichTextProperty::Protected);
        }
        cursor.setPosition(it->from);
        // Unguarded, the new text takes the cursor's format: the replaced text's own.
        cursor.setPosition(it->to, QTextCursor::KeepAnchor);
        if (it->text.isEmpty())
            cursor.removeSelectedText();
        else if (guarded)
            cursor.insertText(it->text, format);
        else
            cursor.insertText(it->text);
    }
    cursor.endEditBlock();
    m_document->setPageSize(pageSize);
    return true;
}
