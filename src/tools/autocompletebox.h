#pragma once

#include <QListView>

class AutoCompleteController;

// The completion box: a list of the sorted entries that pops up at the caret. A blank,
// Enter, ">" or a click takes the selected entry; Esc or a click elsewhere takes
// nothing; other characters go on typing the word, which the box follows.
class AutoCompleteBox : public QListView {
    Q_OBJECT
public:
    AutoCompleteBox(AutoCompleteController& controller, QWidget* parent = nullptr);
    // Shows the box for a caret's line: below it, or above it without room below;
    // moved left to end at the area's right edge.
    void showAt(const QRect& caretLine, const QRect& area);
    // The entries the box's width is made for: the longest ones, so that showing the
    // box does not measure every entry of a long list.
    void setWidest(const QStringList& entries) { m_widest = entries; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void take(bool closingBracket);

    AutoCompleteController& m_controller;
    bool m_taken = false;
    QStringList m_widest;
};
