#pragma once

#include <QPaintDevice>

class QWidget;

// A widget's resolution and size as its document layout sees them, read once and kept.
// The layout asks its paint device for the resolution for every line it moves after an
// edit, and a widget answers that by walking up its parents to its window and screen:
// in a document window that walk cost milliseconds per keystroke in a long document.
// The owner calls refresh() when the answers may have changed (another screen, an edit).
class ViewMetrics : public QPaintDevice {
public:
    explicit ViewMetrics(const QWidget* source);

    void refresh();
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    const QWidget* m_source;
    int m_dpiX = 96, m_dpiY = 96, m_physicalDpiX = 96, m_physicalDpiY = 96;
    int m_depth = 32;
    qreal m_ratio = 1;
};
