#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class DocumentManager;
class QMimeData;
class frmText;

// Drags out of a document window: with Shift, Ctrl or Alt held, a drag past the
// start distance copies the selection (as text and RTF) or, with nothing selected,
// offers the document's file. Ctrl+click on a link opens its target.
class DocumentDragSource : public QObject {
    Q_OBJECT
public:
    DocumentDragSource(frmText* window, DocumentManager& documents);
    // What a drag would carry now; null when there is nothing to offer (an untitled
    // document that was not saved).
    QMimeData* dragData();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<frmText> m_window;
    DocumentManager& m_documents;
    QPoint m_pressed;
    bool m_armed = false;
    bool m_dragged = false;
};
