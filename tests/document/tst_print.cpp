#include "document/commondialogapi.h"
#include "document/frmprtpreview.h"
#include "document/pagepainter.h"
#include "document/pathcompleter.h"
#include "document/printcontroller.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto match = pages.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pdfText(const QString& pdf)
{
    return run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
}

// Every word's box on the pages, in points from the paper's top left corner.
struct WordBox {
    double xMin, yMin, xMax, yMax;
};
QList<WordBox> pdfWords(const QString& pdf)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    QList<WordBox> boxes;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        boxes.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return boxes;
}

// How many pixels of a rendered page are dark; -1 when there is no page.
int darkPixels(const QString& imagePath)
{
    const QImage page(imagePath);
    if (page.isNull())
        return -1;
    int dark = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 80;
    return dark;
}

// How many pixels of a preview page are dark, the page filling the view.
int previewDarkPixels(QPrintPreviewWidget* preview, int page)
{
    preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview->setZoomMode(QPrintPreviewWidget::FitInView);
    preview->setCurrentPage(page);
    const QImage shot = preview->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 140;
    return dark;
}

void toPdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::Letter));
}

QString longText(int paragraphs)
{
    QStringList lines;
    for (int i = 0; i < paragraphs; ++i)
        lines.append(QStringLiteral("paragraph %1 ").arg(i) +
                     QStringLiteral("alpha beta gamma delta epsilon zeta eta theta ").repeated(6));
    return lines.join(u'\n');
}

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("line%1 of the printed file").arg(i, 4, 10, QLatin1Char('0')));
    return lines.join(u'\n') + u'\n';
}

struct Fixture : FrameFixture {
    QTemporaryDir out;
    PrintController* print() { return frame.findChild<PrintController*>(); }
    QString pdf(const QString& name) const { return out.filePath(name); }
    RichTextBox* open(const QString& name, const QString& text)
    {
        const QString path = home.write(name, text.toUtf8());
        commands()->OpenPath(path);
        return active()->RichTextBox1;
    }
    void pressCtrlP(RichTextBox* box)
    {
        QApplication::setActiveWindow(&frame);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_P, Qt::ControlModifier);
    }
};

const QMarginsF OneInch(1, 1, 1, 1);

} // namespace

Q_DECLARE_METATYPE(PagePainter::Margins)

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void marginsPlaceTheText_data();
    void marginsPlaceTheText();
    void aPictureTallerThanAPageStillAdvances();
    void textWithoutColourIsBlackOnADarkTheme();
    void printThroughThePreview();
    void selectionOrWholeDocument_data();
    void selectionOrWholeDocument();
    void cancelsEndThePrint();
    void anUnwritableFileIsReported();
    void previewShowsTextOnEveryPage();
    void fileNameNeverReadsKernelFiles();
};

void TestPrint::marginsPlaceTheText_data()
{
    QTest::addColumn<PagePainter::Margins>("margins"); // top, bottom, left, right
    QTest::addColumn<double>("border");                // the printer's unprintable border
    QTest::addColumn<QMarginsF>("placed");             // left, top, right, bottom in inches
    QTest::newRow("one inch") << PagePainter::Margins{1000, 1000, 1000, 1000} << 0.0
                              << QMarginsF(1, 1, 1, 1);
    QTest::newRow("uneven") << PagePainter::Margins{500, 1500, 1500, 750} << 0.0
                            << QMarginsF(1.5, 0.5, 0.75, 1.5);
    QTest::newRow("within the border")
        << PagePainter::Margins{100, 1200, 0, 2000} << 0.25 << QMarginsF(0.25, 0.25, 2, 1.2);
}

void TestPrint::marginsPlaceTheText()
{
    QFETCH(PagePainter::Margins, margins);
    QFETCH(double, border);
    QFETCH(QMarginsF, placed);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("margins.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, pdf);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(border, border, border, border), QPageLayout::Inch,
                                      QMarginsF(border, border, border, border)));
    QCOMPARE(PagePainter::printableMargins(printer, margins), placed);
    QTextDocument document;
    document.setPlainText(longText(60));
    // A window without word wrap still prints its lines wrapped.
    QTextOption noWrap = document.defaultTextOption();
    noWrap.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(noWrap);
    PagePainter painter(document, margins);
    QVERIFY(painter.paint(printer));
    QVERIFY(painter.pageCount() > 1);
    QCOMPARE(pdfPages(pdf), painter.pageCount());

    const QList<WordBox> words = pdfWords(pdf);
    QVERIFY(words.size() > 100);
    double left = 1e9, top = 1e9, right = 0, bottom = 0;
    for (const WordBox& w : words) {
        left = std::min(left, w.xMin);
        top = std::min(top, w.yMin);
        right = std::max(right, w.xMax);
        bottom = std::max(bottom, w.yMax);
    }
    const double width = 8.5 * 72, height = 11 * 72;
    QVERIFY2(qAbs(left - placed.left() * 72) < 2, qPrintable(QString::number(left)));
    QVERIFY2(top >= placed.top() * 72 - 1 && top < placed.top() * 72 + 8,
             qPrintable(QString::number(top)));
    // The lines wrap at the right margin, and fill the line up to it.
    const double rightEdge = width - placed.right() * 72;
    QVERIFY2(right <= rightEdge + 1 && right > rightEdge - 60, qPrintable(QString::number(right)));
    QVERIFY2(bottom <= height - placed.bottom() * 72 + 1, qPrintable(QString::number(bottom)));
}

void TestPrint::aPictureTallerThanAPageStillAdvances()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("tall.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, pdf);
    QTextDocument document;
    QImage tall(120, 3000, QImage::Format_RGB32);
    tall.fill(Qt::darkBlue);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("tall.png")), tall);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("before the picture\n"));
    QTextImageFormat image;
    image.setName(QStringLiteral("tall.png"));
    image.setWidth(120);
    image.setHeight(3000); // some three pages at the screen's resolution
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral("\nafter the picture"));
    PagePainter painter(document, {1000, 1000, 1000, 1000});
    QVERIFY(painter.paint(printer));
    QVERIFY2(painter.pageCount() >= 2 && painter.pageCount() <= 8,
             qPrintable(QString::number(painter.pageCount())));
    QCOMPARE(pdfPages(pdf), painter.pageCount());
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("before the picture")));
    QVERIFY(text.contains(QStringLiteral("after the picture")));
    // The second page is the picture's.
    const QString rendered = dir.filePath(QStringLiteral("tall"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-f"), QStringLiteral("2"),
         QStringLiteral("-l"), QStringLiteral("2"), QStringLiteral("-singlefile"), pdf, rendered});
    const int dark = darkPixels(rendered + QStringLiteral(".ppm"));
    QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
}

void TestPrint::textWithoutColourIsBlackOnADarkTheme()
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(dark);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("dark.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, pdf);
    QTextDocument document;
    QFont big = document.defaultFont();
    big.setPointSize(40);
    document.setDefaultFont(big);
    document.setPlainText(QStringLiteral("MMMMMMMM\nWWWWWWWW"));
    const Status printed = PagePainter(document, {1000, 1000, 1000, 1000}).paint(printer);
    QApplication::setPalette(original);
    QVERIFY(printed);
    const QString image = dir.filePath(QStringLiteral("dark"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-gray"),
         QStringLiteral("-singlefile"), pdf, image});
    const int black = darkPixels(image + QStringLiteral(".pgm"));
    QVERIFY2(black > 50, qPrintable(QString::number(black)));
}

void TestPrint::printThroughThePreview()
{
    Fixture f;
    RichTextBox* box = f.open(QStringLiteral("report.txt"), numberedLines(400));
    const QString first = f.pdf(QStringLiteral("first.pdf"));
    f.prompter.expectPrinter(first).expectPageSetup(QMarginsF(1.25, 1, 0.5, 0.75));
    f.pressCtrlP(box);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.printerDocNames, QStringList{QStringLiteral("report.txt")});
    QCOMPARE(f.prompter.printerSelectionAllowed, QList<bool>{false});
    QCOMPARE(f.print()->margins(), (PagePainter::Margins{1000, 750, 1250, 500}));

    frmPrtPreview* preview = f.print()->preview();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->windowTitle(), frmPrtPreview::Caption);
    QCOMPARE(preview->Label2->text(), first);
    QCOMPARE(preview->Label3->text(), frmPrtPreview::Explanation);
    QVERIFY(preview->pageCount() > 3);
    QVERIFY(!QFile::exists(first));
    QTest::mouseClick(preview->Command1, Qt::LeftButton);
    QCOMPARE(pdfPages(first), preview->pageCount());
    const QString text = pdfText(first);
    for (int i = 1; i <= 400; ++i) {
        const QString line = QStringLiteral("line%1 ").arg(i, 4, 10, QLatin1Char('0'));
        QVERIFY2(text.count(line) == 1, qPrintable(line));
    }

    // The Help entry opens the manual when the help is there, and nothing breaks when not.
    f.print()->userManual = nullptr;
    preview->mnuHelpItem->trigger();
    int manuals = 0;
    f.print()->userManual = [&] { ++manuals; };
    preview->mnuHelpItem->trigger();
    QCOMPARE(manuals, 1);

    // Later prints keep the margins; the dialog proposes the document's PDF name.
    preview->mnuExit->trigger();
    QVERIFY(!preview->isVisible());
    QString proposed;
    const QString second = f.pdf(QStringLiteral("second.pdf"));
    f.prompter.expectPrinter(second).whileShown(
        [&] { proposed = CommonDialogAPI::programPrinter().outputFileName(); });
    f.pressCtrlP(box);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(proposed, f.pdf(QStringLiteral("report.pdf")));
    QCOMPARE(f.print()->preview(), preview);
    QVERIFY(preview->isVisible());
    preview->mnuPrint->trigger();
    QCOMPARE(pdfPages(second), preview->pageCount());
}

void TestPrint::selectionOrWholeDocument_data()
{
    QTest::addColumn<bool>("selectionOnly");
    QTest::newRow("selection") << true;
    QTest::newRow("all, though text is selected") << false;
}

void TestPrint::selectionOrWholeDocument()
{
    QFETCH(bool, selectionOnly);
    Fixture f;
    RichTextBox* box = f.open(QStringLiteral("parts.txt"),
                              QStringLiteral("opening words\nchosen middle\nclosing words\n"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(14);
    cursor.setPosition(27, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    QCOMPARE(cursor.selectedText(), QStringLiteral("chosen middle"));
    const QString pdf = f.pdf(QStringLiteral("parts.pdf"));
    f.prompter.expectPrinter(pdf, selectionOnly).expectPageSetup(OneInch);
    f.router().run(MenuBars::Document, QStringLiteral("mnuPrint"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.prompter.printerSelectionAllowed, QList<bool>{true});
    f.print()->preview()->mnuPrint_Click();
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("chosen middle")));
    QCOMPARE(text.contains(QStringLiteral("opening words")), !selectionOnly);
    QCOMPARE(text.contains(QStringLiteral("closing words")), !selectionOnly);
}

void TestPrint::cancelsEndThePrint()
{
    Fixture f;
    f.open(QStringLiteral("short.txt"), QStringLiteral("short\n"));
    // Cancel in the print dialog asks nothing more.
    f.prompter.expectPrinter(QString());
    f.router().run(MenuBars::Document, QStringLiteral("mnuPrint"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    // Cancel in the first page setup: no preview, and the next print asks again.
    f.prompter.expectPrinter(f.pdf(QStringLiteral("short.pdf"))).expectPageSetup(std::nullopt);
    f.router().run(MenuBars::Document, QStringLiteral("mnuPrint"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QVERIFY(!f.print()->preview());
    QVERIFY(!f.print()->marginsSet());
    // Page setup on its own sets the margins; a cancelled one leaves them.
    f.prompter.expectPageSetup(QMarginsF(0.5, 0.25, 0.5, 0.25)).expectPageSetup(std::nullopt);
    f.router().run(MenuBars::Document, QStringLiteral("mnuPageSetup"));
    f.router().run(MenuBars::Document, QStringLiteral("mnuPageSetup"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.print()->margins(), (PagePainter::Margins{250, 250, 500, 500}));
    // A short document prints one page.
    f.prompter.expectPrinter(f.pdf(QStringLiteral("short.pdf")));
    f.router().run(MenuBars::Document, QStringLiteral("mnuPrint"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    QCOMPARE(f.print()->preview()->pageCount(), 1);
    f.print()->preview()->mnuPrint_Click();
    QCOMPARE(pdfPages(f.pdf(QStringLiteral("short.pdf"))), 1);
}

void TestPrint::anUnwritableFileIsReported()
{
    Fixture f;
    f.open(QStringLiteral("blocked.txt"), QStringLiteral("nowhere to go\n"));
    const QString pdf = f.pdf(QStringLiteral("missing folder/blocked.pdf"));
    f.prompter.expectPrinter(pdf).expectPageSetup(OneInch);
    f.router().run(MenuBars::Document, QStringLiteral("mnuPrint"));
    f.prompter.expectMessage(QStringLiteral("Error: ") + pdf + u'\n');
    f.print()->preview()->mnuPrint_Click();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const MessageRequest shown = f.prompter.messages.last();
    QCOMPARE(shown.icon, MessageIcon::Exclamation);
    QVERIFY(shown.text.size() > QString(QStringLiteral("Error: ") + pdf + u'\n').size());
    QVERIFY(!QFile::exists(pdf));
}

void TestPrint::previewShowsTextOnEveryPage()
{
    QTemporaryDir out;
    QPrinter printer;
    toPdf(printer, out.filePath(QStringLiteral("unused.pdf")));
    frmPrtPreview preview(printer);
    preview.resize(700, 1000);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    const PagePainter::Margins margins{1000, 1000, 1000, 1000};
    // What an empty page looks like in this view: the paper, its shadow, the window.
    QVERIFY(preview.fill(std::make_unique<QTextDocument>(), margins).ok());
    QCOMPARE(preview.pageCount(), 1);
    const int empty = previewDarkPixels(preview.preview, 1);
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(longText(60));
    QVERIFY(preview.fill(std::move(document), margins).ok());
    QVERIFY(preview.pageCount() >= 3);
    QList<int> dark;
    for (int page = 1; page <= preview.pageCount(); ++page)
        dark.append(previewDarkPixels(preview.preview, page) - empty);
    // The last page may hold a few lines only; every other one is full.
    for (int page = 0; page < dark.size(); ++page)
        QVERIFY2(dark[page] > (page + 1 < dark.size() ? dark.first() / 2 : 50),
                 qPrintable(QStringLiteral("page %1: %2 dark pixels, page 1: %3")
                                .arg(page + 1)
                                .arg(dark[page])
                                .arg(dark.first())));
}

void TestPrint::fileNameNeverReadsKernelFiles()
{
    // The print dialog's file name box completes without the file system
    // model, which read /proc's files and froze the program.
    QPrinter printer;
    QPrintDialog dialog(&printer);
    QVERIFY(PathCompleter::replaceIn(&dialog) >= 1);
    for (const QLineEdit* box : dialog.findChildren<QLineEdit*>())
        QVERIFY(!box->completer() || !qobject_cast<QFileSystemModel*>(box->completer()->model()));
    QVERIFY(qobject_cast<PathCompleter*>(
        dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->completer()));

    QVERIFY(PathCompleter::isKernelFileSystem(QStringLiteral("/proc/")));
    QVERIFY(PathCompleter::candidates(QStringLiteral("/proc/")).isEmpty());
    QVERIFY(PathCompleter::candidates(QStringLiteral("/proc/self/")).isEmpty());
    QVERIFY(PathCompleter::candidates(QStringLiteral("/sys/kernel/")).isEmpty());
    QVERIFY(PathCompleter::candidates(QStringLiteral("relative/name")).isEmpty());
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("reports")));
    QFile pdf(folder.filePath(QStringLiteral("report.pdf")));
    QVERIFY(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    const QStringList expected{folder.filePath(QStringLiteral("report.pdf")),
                               folder.filePath(QStringLiteral("reports")) + u'/'};
    QCOMPARE(PathCompleter::candidates(folder.filePath(QStringLiteral("rep"))), expected);

    // Typed as the user types it.
    QLineEdit box;
    new PathCompleter(&box);
    box.show();
    QTest::keyClicks(&box, QStringLiteral("/proc/"));
    QCOMPARE(box.completer()->completionCount(), 0);
    box.clear();
    QTest::keyClicks(&box, folder.filePath(QStringLiteral("rep")));
    QCOMPARE(box.completer()->completionCount(), 2);
    QCOMPARE(box.completer()->currentCompletion(), expected.first());
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
