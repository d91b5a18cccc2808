#include "documentdragsource.h"

#include "documentmanager.h"
#include "documenttable.h"
#include "frmtext.h"
#include "platform/externalopener.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocumentFragment>
#include <QUrl>

namespace {

constexpr Qt::KeyboardModifiers DragKeys =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

} // namespace

DocumentDragSource::DocumentDragSource(frmText* window, DocumentManager& documents)
    : QObject(window), m_window(window), m_documents(documents)
{
    setObjectName(QStringLiteral("DocumentDragSource"));
    window->RichTextBox1->viewport()->installEventFilter(this);
}

QMimeData* DocumentDragSource::dragData()
{
    if (!m_window)
        return nullptr;
    RichTextBox* box = m_window->RichTextBox1;
    auto* data = new QMimeData;
    if (box->textCursor().hasSelection()) {
        data->setText(box->textCursor().selection().toPlainText());
        data->setData(QStringLiteral("text/rtf"), box->SelRTF());
        return data;
    }
    // The file itself: an untitled document is saved first, before the drag begins.
    if (m_window->state().FileName.isEmpty() && !m_documents.save(m_window)) {
        delete data;
        return nullptr;
    }
    if (!m_window || m_window->state().FileName.isEmpty()) {
        delete data;
        return nullptr;
    }
    data->setUrls({QUrl::fromLocalFile(QFileInfo(m_window->state().FileName).absoluteFilePath())});
    return data;
}

bool DocumentDragSource::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport still sends events while the window is being torn down, when the
    // window is no longer a frmText: only mouse buttons and moves look at it.
    const QEvent::Type type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
         type != QEvent::MouseButtonRelease) ||
        !m_window)
        return QObject::eventFilter(watched, event);
    RichTextBox* box = m_window->RichTextBox1;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_armed = mouse->button() == Qt::LeftButton && (mouse->modifiers() & DragKeys);
        m_dragged = false;
        m_pressed = mouse->position().toPoint();
        break; // a Shift+click still extends the selection
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_armed || !(mouse->buttons() & Qt::LeftButton) ||
            (mouse->position().toPoint() - m_pressed).manhattanLength() <
                QApplication::startDragDistance())
            break;
        m_armed = false;
        m_dragged = true;
        if (QMimeData* data = dragData()) {
            auto* drag = new QDrag(box);
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction); // the document keeps its text
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QString link = box->anchorAt(mouse->position().toPoint());
        const bool click = m_armed && !m_dragged;
        m_armed = false;
        if (click && (mouse->modifiers() & Qt::ControlModifier) && !link.isEmpty()) {
            ExternalOpener::openLink(link);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
