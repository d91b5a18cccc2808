#include "documentdroparea.h"

#include "document/documentmanager.h"
#include "document/framecontext.h"
#include "platform/localfiles.h"
#include "platform/prompter.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

bool acceptable(const QDropEvent* event)
{
    return (event->possibleActions() & Qt::CopyAction) && !localFiles(event->mimeData()).isEmpty();
}

} // namespace

QString DocumentDropArea::directoryMessage(const QString& path)
{
    return QStringLiteral("Item: ") + path + QStringLiteral("\n\n") + DirectoryRefused;
}

DocumentDropArea::DocumentDropArea(FrameContext& context, QMdiArea* area, QObject* parent)
    : QObject(parent), m_context(context), m_viewport(area->viewport())
{
    setObjectName(QStringLiteral("DocumentDropArea"));
    area->viewport()->setAcceptDrops(true);
    area->viewport()->installEventFilter(this);
}

bool DocumentDropArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!acceptable(drag)) {
            drag->ignore();
            return true;
        }
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!acceptable(drop)) {
            drop->ignore();
            return true;
        }
        const QStringList paths = localFiles(drop->mimeData());
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The source waits until the drop returns; messages come after.
        QTimer::singleShot(0, this, [this, paths] { openDropped(paths); });
        return true;
    }
    default:
        return false;
    }
}

void DocumentDropArea::openDropped(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir())
            Prompter::tell(directoryMessage(path), MessageIcon::Exclamation);
        else
            m_context.queuePath(path, 0);
        if (m_context.documents.yesNoAll().answer() == YesNoAllRegister::Cancel)
            break;
    }
}
