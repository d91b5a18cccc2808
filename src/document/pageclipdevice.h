#pragma once

#include <QPaintDevice>
#include <memory>

class QPainter;

// One page of a printer as a paint device: whatever is drawn on it goes on to
// the printer's painter, except text whose line lies off the page. A PDF keeps
// clipped-away text, and a paragraph's layout draws one line beyond the top of
// the area asked for, so without this the line before a page break would be
// found again at the top of the next page.
class PageClipDevice : public QPaintDevice {
public:
    // target paints on the printer; pageHeight is the page's height in its pixels.
    PageClipDevice(QPainter& target, const QPaintDevice& printer, qreal pageHeight);
    ~PageClipDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    const QPaintDevice& m_printer;
    std::unique_ptr<QPaintEngine> m_engine;
};
