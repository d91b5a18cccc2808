#include "pagepainter.h"

#include "pageclipdevice.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>

PagePainter::PagePainter(QTextDocument& document, const Margins& margins)
    : m_document(document), m_margins(margins)
{}

QMarginsF PagePainter::printableMargins(const QPrinter& printer, const Margins& margins)
{
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Inch);
    const QMarginsF border = layout.minimumMargins();
    const auto inches = [&](MarginIndex i, qreal least) {
        return std::max(least, std::max(0, margins[i]) / 1000.0);
    };
    return {inches(Left, border.left()), inches(Top, border.top()), inches(Right, border.right()),
            inches(Bottom, border.bottom())};
}

QString PagePainter::destination(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName();
    return printer.printerName();
}

Error PagePainter::failure(const QPrinter& printer, const QString& description) const
{
    return Error{ErrorCode::WriteFailed, destination(printer) + u'\n' + description};
}

Status PagePainter::paint(QPrinter& printer)
{
    m_pages = 0;
    printer.setFullPage(false);
    if (!printer.setPageMargins(printableMargins(printer, m_margins), QPageLayout::Inch))
        return failure(printer, QStringLiteral("The margins leave no room on the page."));
    const QRectF body = printer.pageRect(QPrinter::DevicePixel);
    if (body.width() < 1 || body.height() < 1)
        return failure(printer, QStringLiteral("The margins leave no room on the page."));

    QPainter painter;
    if (!painter.begin(&printer)) {
        QString description = QStringLiteral("The print job could not be started.");
        if (printer.outputFormat() == QPrinter::PdfFormat) {
            // The PDF writer does not say why; opening the file the same way does.
            QFile file(printer.outputFileName());
            const bool existed = file.exists();
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
                description = file.errorString();
            else if (!existed)
                file.remove();
        }
        return failure(printer, description);
    }

    // Lines break at the margins whatever the window's wrapping, and the
    // fonts are measured at the printer's resolution.
    m_document.documentLayout()->setPaintDevice(&printer);
    m_document.setDocumentMargin(0);
    QTextOption option = m_document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_document.setDefaultTextOption(option);
    m_document.setPageSize(body.size());

    // Text without a colour of its own is black on paper, whatever the theme's text colour.
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    // The layout's page count grows with the laid-out height only, so a
    // picture taller than a page cannot hold pagination in place.
    const int pages = std::max(1, m_document.pageCount());
    PageClipDevice page(painter, printer, body.height());
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            return failure(printer, QStringLiteral("A new page could not be started."));
        }
        // The clip is set again on every page, in the page's own coordinates:
        // the preview starts each page on a fresh picture that inherits the
        // last page's clip under the last page's offset, which hid every page
        // after the first.
        painter.resetTransform();
        painter.setClipRect(QRectF(QPointF(0, 0), body.size()));
        const QRectF view(0, index * body.height(), body.width(), body.height());
        QPainter onPage(&page);
        onPage.translate(0, -view.top());
        context.clip = view;
        m_document.documentLayout()->draw(&onPage, context);
        onPage.end();
        ++m_pages;
    }
    if (!painter.end())
        return failure(printer, QStringLiteral("The print job could not be finished."));
    return {};
}
