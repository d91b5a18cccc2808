#include "viewmetrics.h"

#include <QWidget>

ViewMetrics::ViewMetrics(const QWidget* source) : m_source(source)
{
    refresh();
}

void ViewMetrics::refresh()
{
    m_dpiX = m_source->logicalDpiX();
    m_dpiY = m_source->logicalDpiY();
    m_physicalDpiX = m_source->physicalDpiX();
    m_physicalDpiY = m_source->physicalDpiY();
    m_depth = m_source->depth();
    m_ratio = m_source->devicePixelRatio();
}

int ViewMetrics::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_source->width();
    case PdmHeight:
        return m_source->height();
    case PdmWidthMM:
        return m_source->widthMM();
    case PdmHeightMM:
        return m_source->heightMM();
    case PdmNumColors:
        return 256; // what a widget answers, without the warning it prints
    case PdmDepth:
        return m_depth;
    case PdmDpiX:
        return m_dpiX;
    case PdmDpiY:
        return m_dpiY;
    case PdmPhysicalDpiX:
        return m_physicalDpiX;
    case PdmPhysicalDpiY:
        return m_physicalDpiY;
    case PdmDevicePixelRatio:
        return int(m_ratio);
    case PdmDevicePixelRatioScaled:
        return int(m_ratio * devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}
