#pragma once

#include "framecontext.h"
#include "pagepainter.h"

#include <QObject>
#include <QPointer>
#include <functional>

class frmPrtPreview;

// Page setup and printing: the margins shared by all documents, the print
// dialog and the preview, which holds what is to be printed.
class PrintController : public QObject {
    Q_OBJECT
public:
    // The first margin holds this until a page setup is confirmed.
    static constexpr int MarginsNotSet = 999999;
    // Print dialog flags: no page numbers and no printer-language file, plus
    // the selection choice or its absence.
    static constexpr int PrintFlags = 0x100008;

    explicit PrintController(FrameContext& context, QObject* parent = nullptr);
    ~PrintController() override;
    void registerCommands(CommandRouter& router);

    void mnuPageSetup_Click();
    void mnuPrint_Click();

    // Top, bottom, left, right in thousandths of an inch.
    PagePainter::Margins& margins() { return m_margins; }
    bool marginsSet() const { return m_margins[PagePainter::Top] != MarginsNotSet; }
    // Created by the first print.
    frmPrtPreview* preview() const;

    // Opens the user manual from the preview's Help menu; may stay empty.
    std::function<void()> userManual;

private:
    FrameContext& m_context;
    PagePainter::Margins m_margins{MarginsNotSet, 0, 0, 0};
    QPointer<frmPrtPreview> m_preview;
};
