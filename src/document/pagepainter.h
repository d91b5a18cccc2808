#pragma once

#include "platform/result.h"

#include <QMarginsF>
#include <QString>
#include <array>

class QPrinter;
class QTextDocument;

// Lays a document out inside the page margins and paints its pages on a
// printer. The preview and the printed job both run it, so paper and preview
// agree page for page.
class PagePainter {
public:
    // Margins in thousandths of an inch, in the order top, bottom, left, right.
    using Margins = std::array<int, 4>;
    enum MarginIndex { Top, Bottom, Left, Right };

    // The document is laid out for the printer it paints on: a copy made for printing.
    PagePainter(QTextDocument& document, const Margins& margins);

    // Sets the printer's margins and paints every page; an error when the job cannot start.
    Status paint(QPrinter& printer);
    int pageCount() const { return m_pages; }

    // The margins in inches, each raised to the printer's unprintable border.
    static QMarginsF printableMargins(const QPrinter& printer, const Margins& margins);
    // What the user knows the job's destination by: the PDF file or the printer.
    static QString destination(const QPrinter& printer);

private:
    Error failure(const QPrinter& printer, const QString& description) const;

    QTextDocument& m_document;
    Margins m_margins;
    int m_pages = 0;
};
