#pragma once

#include <QHash>
#include <QStatusBar>
#include <QTimer>

class QLabel;

// The frame's status bar: date (or a button's description), time, the lock
// keys, insert mode and the font at the caret, kept current.
class FrameStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static inline const QStringList PanelKeys = {"stsDate",   "stsTime",   "stsCaps", "stsNum",
                                                 "stsInsert", "stsScroll", "stsFont"};

    explicit FrameStatusBar(QWidget* parent = nullptr);

    QLabel* panel(const QString& key) const { return m_panels.value(key); }
    // Panel 1 shows the date unless a toolbar button's description is shown.
    void showDate();
    void showText(const QString& text);
    bool isShowingDate() const { return m_showingDate; }
    // The pointer moved over a document or pane: the first panel shows the date again.
    void backToDate()
    {
        if (!m_showingDate)
            showDate();
    }
    void refresh();

private:
    QHash<QString, QLabel*> m_panels;
    QTimer m_clock;
    bool m_showingDate = true;
    bool m_overwrite = false;
};
