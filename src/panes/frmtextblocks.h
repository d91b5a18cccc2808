#pragma once

#include "panewindow.h"

class QFont;
class QPlainTextEdit;

// The text blocks pane: a file of often used passages shown whole in one text
// box, to copy from. Edits stay in the pane; nothing is written back.
class frmTextBlocks : public PaneWindow {
    Q_OBJECT
public:
    static inline const QString CaptionPrefix = QStringLiteral("Text blocks: ");

    explicit frmTextBlocks(QWidget* parent = nullptr);

    QPlainTextEdit* Text1;

    // Reads the file into the text box (or says there why it could not), in the
    // given font, and shows the pane; a pending window state (0 or more) is applied
    // once and set back to -1.
    void MyShow(const QString& path, const QFont& font, qint16& pendingState);
    // The path shown, from the caption.
    QString path() const;

    static QString errorText(const QString& path, const QString& description);

signals:
    // The pointer moved over the text.
    void pointerMoved();
    void copyKeyPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
