#pragma once

#include "linetools.h"

#include <QObject>
#include <QString>

class QTextDocument;

// A document's text as the control spells it (CR LF between paragraphs, "\v" for a
// soft break), built in one pass and kept until the text changes; and edits in
// positions of that text, applied in one undo step. One lives with each document.
class DocumentText : public QObject {
    Q_OBJECT
public:
    static DocumentText& of(QTextDocument* document);

    const QString& text();
    // Applies edits that do not overlap, given in positions of text() as it is now, as
    // one undo step; each inserted text takes the format of the text it replaces (or of
    // the text before it). Nothing changes, and false is returned, when an edit would
    // touch protected text. Joined, the edits belong to the undo step of the edits
    // applied just before.
    bool apply(QList<LineTools::Edit> edits, bool joinPrevious = false);

private:
    explicit DocumentText(QTextDocument* document);

    QTextDocument* m_document;
    QString m_text;
    bool m_valid = false;
};
