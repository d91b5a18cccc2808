#include "autocompletebox.h"

#include "autocompletecontroller.h"

#include <QKeyEvent>

AutoCompleteBox::AutoCompleteBox(AutoCompleteController& controller, QWidget* parent)
    : QListView(parent), m_controller(controller)
{
    setObjectName(QStringLiteral("Combo1"));
    setWindowFlags(Qt::Popup);
    setUniformItemSizes(true); // a million entries lay out at once
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListView::clicked, this, [this] { take(false); });
}

void AutoCompleteBox::showAt(const QRect& caretLine, const QRect& area)
{
    const int rowHeight = qMax(fontMetrics().height(), sizeHintForRow(0));
    int widest = 0;
    for (const QString& entry : std::as_const(m_widest))
        widest = qMax(widest, fontMetrics().horizontalAdvance(entry));
    const QSize size(qMin(qMax(240, widest + 40), area.width()), rowHeight * 10 + 2 * frameWidth());
    QPoint at = caretLine.bottomLeft() + QPoint(0, 1);
    if (at.y() + size.height() > area.bottom() && caretLine.top() - size.height() >= area.top())
        at.setY(caretLine.top() - size.height());
    if (at.x() + size.width() > area.right())
        at.setX(area.right() - size.width());
    setGeometry(QRect(at, size));
    m_taken = false;
    show();
    setFocus();
}

void AutoCompleteBox::take(bool closingBracket)
{
    const QModelIndex current = currentIndex();
    m_taken = true;
    hide();
    if (current.isValid())
        m_controller.accept(current.data().toString(), closingBracket);
    else
        m_controller.cancel();
}

void AutoCompleteBox::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        take(false);
        return;
    case Qt::Key_Escape:
        hide(); // nothing taken: what was typed stays
        return;
    case Qt::Key_Backspace:
        m_controller.erased();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QListView::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (text == QStringLiteral(" ")) {
        take(false);
    } else if (text == QStringLiteral(">")) {
        take(true);
    } else if (!text.isEmpty() && text.at(0).isPrint()) {
        m_controller.typed(text);
    } else {
        QListView::keyPressEvent(event);
    }
}

void AutoCompleteBox::hideEvent(QHideEvent* event)
{
    QListView::hideEvent(event);
    if (!m_taken) {
        m_taken = true;
        m_controller.cancel();
    }
}
