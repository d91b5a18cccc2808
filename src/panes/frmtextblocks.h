#pragma once

#include "panewindow.h"

#include <QTimer>

class QFont;
class QPlainTextEdit;

// The text blocks pane: a file of often used passages shown whole in one text
// box, to copy from. Edits stay in the pane; nothing is written back.
class frmTextBlocks : public PaneWindow {
    Q_OBJECT
public:
    static inline const QString CaptionPrefix = QStringLiteral("Text blocks: ");
    // What one step between events adds to the text box.
    static constexpr qsizetype ChunkCharacters = 256 * 1024;

    explicit frmTextBlocks(QWidget* parent = nullptr);

    QPlainTextEdit* Text1;

    // Reads the file into the text box (or says there why it could not), in the
    // given font, and shows the pane; a pending window state (0 or more) is applied
    // once and set back to -1. A text longer than a step shows its first step at
    // once; the rest follows while events run (loading(), then loaded()).
    void MyShow(const QString& path, const QFont& font, qint16& pendingState);
    // The path shown, from the caption.
    QString path() const;
    bool loading() const { return m_restStart < m_rest.size(); }

    static QString errorText(const QString& path, const QString& description);

signals:
    // The pointer moved over the text.
    void pointerMoved();
    // The whole text is in the text box.
    void loaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qsizetype chunkEnd() const;
    void feed();

    // The text still to add, from m_restStart on.
    QString m_rest;
    qsizetype m_restStart = 0;
    QTimer m_feeder;
};
