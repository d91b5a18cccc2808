#pragma once

#include <QMdiSubWindow>

// A companion pane among the document windows: it tells its window state as
// the settings keep it and says so as it closes, then goes.
class PaneWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit PaneWindow(QWidget* parent = nullptr);

    // 0 normal, 1 minimised, 2 maximised.
    int windowStateCode() const;
    void setWindowStateCode(int code);

signals:
    // The window state it had, just before it goes.
    void closing(int stateCode);
    // Ctrl+C in the pane, which the pane's controller answers instead of the control.
    void copyKeyPressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Takes the copy key of a control's events (the key and its shortcut
    // override); true when the event was it.
    bool copyKey(QEvent* event);
};
