#pragma once

#include "pagepainter.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QTextDocument;

// The print preview: the pages as the printer will get them, and the button
// that sends them. It keeps a copy of what was chosen for printing, so the
// document may change or close meanwhile.
class frmPrtPreview : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Quillora - Print Preview");
    static inline const QString Explanation = QStringLiteral(
        "This shows what your document will look like on the printer, with the lines wrapped "
        "to your selected margins.  Click 'Print' to send to printer.");

    frmPrtPreview(QPrinter& printer, QWidget* parent = nullptr);
    ~frmPrtPreview() override;

    // Takes the text to print and lays out its pages anew; an error when they cannot be laid out.
    Status fill(std::unique_ptr<QTextDocument> document, const PagePainter::Margins& margins);
    int pageCount() const;
    const QTextDocument* document() const { return m_document.get(); }

    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuHelpItem_Click();

    // Opens the user manual; may be left empty.
    std::function<void()> helpHook;

    QPrintPreviewWidget* preview;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command1;
    QAction* mnuPrint;
    QAction* mnuExit;
    QAction* mnuHelpItem;

private:
    void paintPages(QPrinter* printer);

    QPrinter& m_printer;
    std::unique_ptr<QTextDocument> m_document;
    PagePainter::Margins m_margins{};
    Status m_laidOut;
};
