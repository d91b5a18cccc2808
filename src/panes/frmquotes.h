#pragma once

#include "panewindow.h"

class QListView;

// The quotes pane: one list of quotes filling it, in the bottom right corner
// of the document area. What its list's presses, clicks and keys do is the
// quotes controller's; the pane only reports them.
class frmQuotes : public PaneWindow {
    Q_OBJECT
public:
    explicit frmQuotes(QWidget* parent = nullptr);

    QListView* List1;

    // The row under a point of the list's viewport; -1 beyond the last quote.
    int ListItemFromPoint(QPoint at) const;

signals:
    // Every press on the list, before the list acts on it; a right press goes no further.
    void mousePressed(Qt::MouseButton button, QPoint at);
    // A quote was chosen, by the user or by a command.
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
