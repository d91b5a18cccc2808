#pragma once

#include <QTextBrowser>

// A help topic shown beside the pointer, as a tooltip is: it takes neither
// the keyboard nor the mouse from the program, so the menus stay usable, and
// it goes away on Escape, on a click anywhere outside it and when the program
// loses the focus. A click or the wheel inside it reads it.
class HelpPopup : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpPopup(QWidget* parent = nullptr);
    ~HelpPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isInside(const QEvent* press) const;
};
