#include "frmquotes.h"

#include <QKeyEvent>
#include <QListView>
#include <QMdiArea>
#include <QMouseEvent>

frmQuotes::frmQuotes(QWidget* parent) : PaneWindow(parent), List1(new QListView(this))
{
    setObjectName(QStringLiteral("frmQuotes"));
    List1->setObjectName(QStringLiteral("List1"));
    // Every row is one line of the same height: a million quotes lay out at once.
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setTextElideMode(Qt::ElideRight);
    setWidget(List1);
    resize(480, 240);
    List1->installEventFilter(this);
    List1->viewport()->installEventFilter(this);
    connect(List1, &QAbstractItemView::clicked, this, &frmQuotes::clicked);
    connect(List1, &QAbstractItemView::doubleClicked, this, &frmQuotes::doubleClicked);
}

int frmQuotes::ListItemFromPoint(QPoint at) const
{
    const QModelIndex index = List1->indexAt(at);
    return index.isValid() ? index.row() : -1;
}

bool frmQuotes::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List1->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                         event->type() == QEvent::MouseButtonDblClick)) {
        const auto* press = static_cast<QMouseEvent*>(event);
        // The second press of a double click is a press as well.
        if (event->type() == QEvent::MouseButtonPress || press->button() == Qt::RightButton)
            emit mousePressed(press->button(), press->position().toPoint());
        if (press->button() == Qt::RightButton)
            return true;
    }
    // The list's own copy would put only the shown (cut) text there.
    if (watched == List1 && copyKey(event))
        return true;
    return PaneWindow::eventFilter(watched, event);
}

void frmQuotes::resizeEvent(QResizeEvent* event)
{
    PaneWindow::resizeEvent(event);
    QMdiArea* area = mdiArea();
    if (!area || isMinimized() || isMaximized())
        return;
    const QSize client = area->viewport()->size();
    move(client.width() - width(), client.height() - height());
}
