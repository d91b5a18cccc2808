#pragma once

#include "selectionindicators.h"

#include <QObject>
#include <QPointer>

class CommandRouter;
class frmText;

// Keeps a document window's surroundings in step with its caret and selection:
// its indicators, the line in its caption, the font on the status bar, and, through
// the router's refresh, the check marks and pressed buttons. However often the
// selection moves in one turn of the event loop, the work runs once.
class SelectionTracker : public QObject {
    Q_OBJECT
public:
    SelectionTracker(frmText* window, CommandRouter& router);

    const SelectionIndicators& indicators() const { return m_indicators; }
    // The refresh itself, now.
    void RichTextBox1_SelChange();
    // The selection's attributes, read in one pass over its formats.
    SelectionIndicators::Attributes attributes() const;

signals:
    void fontTextChanged(const QString& text);
    void pointerMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();

    QPointer<frmText> m_window;
    CommandRouter& m_router;
    SelectionIndicators m_indicators;
    bool m_scheduled = false;
};
