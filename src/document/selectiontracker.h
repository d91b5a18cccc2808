#pragma once

#include "selectionindicators.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTextDocument>
#include <memory>

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
    ~SelectionTracker() override;

    const SelectionIndicators& indicators() const { return m_indicators; }
    // The refresh itself, now, with every command's state.
    void RichTextBox1_SelChange();
    // The selection's attributes, read in one pass over its formats.
    SelectionIndicators::Attributes attributes() const;

signals:
    void fontTextChanged(const QString& text);
    void pointerMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Scan;
    struct Everywhere;
    void schedule();
    // The indicators and caption; the commands' states too where asked, or where
    // their check marks change.
    void refresh(bool commands);
    void forgetScan();
    const QSet<int>& usedCharFormats(const QTextDocument* document) const;
    const Everywhere& everywhere(const QTextDocument* document) const;
    void noteChange(int position, int removed, int added);
    void addCharFormats(int from, int to) const;

    QPointer<frmText> m_window;
    CommandRouter& m_router;
    SelectionIndicators m_indicators;
    bool m_scheduled = false;
    // What the last selection held, kept while the document stays as it was.
    mutable std::unique_ptr<Scan> m_scan;
    // The character formats the document's text uses, as far as known.
    mutable QPointer<QTextDocument> m_usedIn;
    mutable QSet<int> m_used;
    mutable int m_usedGeneration = 0; // counts the times m_used was emptied
    // What all the document's formats agree on, kept while they and m_used stay.
    mutable std::unique_ptr<Everywhere> m_everywhere;
};
