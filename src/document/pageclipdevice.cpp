#include "pageclipdevice.h"

#include <QPaintEngine>
#include <QPainter>

namespace {

// Hands every drawing step to the printer's painter with the state it was made in.
class PageClipEngine : public QPaintEngine {
public:
    PageClipEngine(QPainter& target, qreal pageHeight)
        : QPaintEngine(AllFeatures), m_target(target), m_pageHeight(pageHeight)
    {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override
    {
        // The clip stays the page's, set on the printer's painter for each page.
        const DirtyFlags dirty = s.state();
        if (dirty & DirtyTransform)
            m_target.setTransform(s.transform());
        if (dirty & DirtyPen)
            m_target.setPen(s.pen());
        if (dirty & DirtyBrush)
            m_target.setBrush(s.brush());
        if (dirty & DirtyBrushOrigin)
            m_target.setBrushOrigin(s.brushOrigin());
        if (dirty & DirtyFont)
            m_target.setFont(s.font());
        if (dirty & DirtyBackground)
            m_target.setBackground(s.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_target.setBackgroundMode(s.backgroundMode());
        if (dirty & DirtyHints)
            m_target.setRenderHints(s.renderHints());
        if (dirty & DirtyCompositionMode)
            m_target.setCompositionMode(s.compositionMode());
        if (dirty & DirtyOpacity)
            m_target.setOpacity(s.opacity());
    }

    void drawRects(const QRectF* rects, int count) override { m_target.drawRects(rects, count); }
    void drawLines(const QLineF* lines, int count) override { m_target.drawLines(lines, count); }
    void drawEllipse(const QRectF& r) override { m_target.drawEllipse(r); }
    void drawPath(const QPainterPath& path) override { m_target.drawPath(path); }
    void drawPoints(const QPointF* points, int count) override
    {
        m_target.drawPoints(points, count);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode:
            m_target.drawPolyline(points, count);
            break;
        case ConvexMode:
            m_target.drawConvexPolygon(points, count);
            break;
        case WindingMode:
            m_target.drawPolygon(points, count, Qt::WindingFill);
            break;
        case OddEvenMode:
            m_target.drawPolygon(points, count, Qt::OddEvenFill);
            break;
        }
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override
    {
        m_target.drawPixmap(r, pm, sr);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s) override
    {
        m_target.drawTiledPixmap(r, pixmap, s);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override
    {
        m_target.drawImage(r, image, sr, flags);
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QRectF line(p.x(), p.y() - item.ascent(), item.width(),
                          item.ascent() + item.descent());
        const qreal middle = state->transform().mapRect(line).center().y();
        if (middle < 0 || middle > m_pageHeight)
            return;
        m_target.drawTextItem(p, item);
    }

private:
    QPainter& m_target;
    qreal m_pageHeight;
};

} // namespace

PageClipDevice::PageClipDevice(QPainter& target, const QPaintDevice& printer, qreal pageHeight)
    : m_printer(printer), m_engine(std::make_unique<PageClipEngine>(target, pageHeight))
{}

PageClipDevice::~PageClipDevice() = default;

QPaintEngine* PageClipDevice::paintEngine() const
{
    return m_engine.get();
}

int PageClipDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_printer.width();
    case PdmHeight:
        return m_printer.height();
    case PdmWidthMM:
        return m_printer.widthMM();
    case PdmHeightMM:
        return m_printer.heightMM();
    case PdmNumColors:
        return m_printer.colorCount();
    case PdmDepth:
        return m_printer.depth();
    case PdmDpiX:
        return m_printer.logicalDpiX();
    case PdmDpiY:
        return m_printer.logicalDpiY();
    case PdmPhysicalDpiX:
        return m_printer.physicalDpiX();
    case PdmPhysicalDpiY:
        return m_printer.physicalDpiY();
    case PdmDevicePixelRatio:
        return m_printer.devicePixelRatio();
    case PdmDevicePixelRatioScaled:
        return int(m_printer.devicePixelRatioF() * devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}
