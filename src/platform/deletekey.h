#pragma once

#include <QKeyEvent>
#include <optional>

// Delete acts on its release, so the key's repeat cannot ask twice; Shift
// counts from the press too, which a quick release may come without.
class DeleteKey {
public:
    // Takes Delete's press; false for any other key.
    bool pressed(QKeyEvent* event)
    {
        if (event->key() != Qt::Key_Delete)
            return false;
        event->accept();
        if (!event->isAutoRepeat())
            m_shift = event->modifiers() & Qt::ShiftModifier;
        return true;
    }
    // Delete's release: true when the items may go where they can be restored,
    // false with Shift (for good); nothing for a repeat or another key.
    std::optional<bool> released(QKeyEvent* event)
    {
        if (event->key() != Qt::Key_Delete || event->isAutoRepeat())
            return std::nullopt;
        event->accept();
        const bool shift = m_shift || (event->modifiers() & Qt::ShiftModifier);
        m_shift = false;
        return !shift;
    }
    static bool isDelete(const QKeyEvent* event) { return event->key() == Qt::Key_Delete; }

private:
    bool m_shift = false;
};
