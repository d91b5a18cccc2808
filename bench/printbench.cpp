// Times a 1 MB text laid out in the print preview and printed to PDF, beside
// Qt's own QTextDocument::print of the same text in the same run.
#include "document/frmprtpreview.h"
#include "document/pagepainter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <cstdio>
#include <memory>

namespace {

QString megabyteOfText()
{
    QString text;
    const QString words = QStringLiteral(
        "The quick brown fox jumps over the lazy dog while the printer waits for its pages; ");
    for (int line = 0; text.size() < 1024 * 1024; ++line) {
        text += QStringLiteral("%1 ").arg(line, 6, 10, QLatin1Char('0'));
        text += words.left(20 + line % 60);
        text += u'\n';
    }
    return text;
}

void toPdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(1, 1, 1, 1), QPageLayout::Inch));
}

double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTextDocument source;
    QFont font = source.defaultFont();
    font.setPointSize(12);
    source.setDefaultFont(font);
    source.setPlainText(megabyteOfText());
    const PagePainter::Margins margins{1000, 1000, 1000, 1000};

    QPrinter previewPrinter(QPrinter::HighResolution);
    toPdf(previewPrinter, dir.filePath(QStringLiteral("preview.pdf")));
    frmPrtPreview preview(previewPrinter);
    QElapsedTimer timer;
    timer.start();
    const Status shown = preview.fill(std::unique_ptr<QTextDocument>(source.clone()), margins);
    const double previewTime = seconds(timer);

    QPrinter ours(QPrinter::HighResolution);
    toPdf(ours, dir.filePath(QStringLiteral("ours.pdf")));
    timer.restart();
    std::unique_ptr<QTextDocument> copy(source.clone());
    PagePainter painter(*copy, margins);
    const Status printed = painter.paint(ours);
    const double pdfTime = seconds(timer);

    QPrinter qts(QPrinter::HighResolution);
    toPdf(qts, dir.filePath(QStringLiteral("qt.pdf")));
    timer.restart();
    source.print(&qts);
    const double qtTime = seconds(timer);

    if (!shown || !printed) {
        std::fprintf(stderr, "printing failed: %s\n",
                     qPrintable((shown ? printed : shown).error().message));
        return 1;
    }
    std::printf("print 1 MB text (%d pages): preview %.2f s, pdf %.2f s, "
                "QTextDocument::print %.2f s, x%.2f\n",
                painter.pageCount(), previewTime, pdfTime, qtTime, pdfTime / qtTime);
    std::printf("preview pages %d, pdf pages %d\n", preview.pageCount(), painter.pageCount());
    return 0;
}
