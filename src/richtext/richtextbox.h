#pragma once

#include "documentfile.h"
#include "platform/result.h"
#include "textfileformat.h"

#include <QTextBlock>
#include <QTextEdit>
#include <optional>

// The rich-text control of every document window. Positions and lengths count a
// line break as two characters (CR LF), as the tools that use it expect.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    static constexpr double NoWrapMargin = 9999999;
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };

    explicit RichTextBox(QWidget* parent = nullptr);

    Status LoadFile(const QString& path, DocumentKind kind);
    Status SaveFile(const QString& path, DocumentKind kind);
    QString FileName() const { return m_fileName; }
    // How FileName holds the document: a file named .rtf may hold plain text.
    DocumentKind fileKind() const { return m_fileKind; }
    TextFileFormat& textFileFormat() { return m_textFormat; }

    QString Text() const;
    void setText(const QString& text);
    QByteArray TextRTF() const;
    void setTextRTF(const QByteArray& rtf);
    QByteArray SelRTF() const;
    void setSelRTF(const QByteArray& rtf);

    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    // False when protected text refused the change.
    bool setSelText(const QString& text);

    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<bool> SelProtected() const;
    void setSelProtected(bool on);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& name);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    std::optional<qint32> SelColor() const;
    void setSelColor(qint32 color);
    std::optional<int> SelCharOffset() const;
    void setSelCharOffset(int twips);
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);
    std::optional<bool> SelBullet() const;
    void setSelBullet(bool on);
    std::optional<int> SelIndent() const;
    void setSelIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void setSelRightIndent(int twips);
    std::optional<int> SelHangingIndent() const;
    void setSelHangingIndent(int twips);

    std::optional<int> SelTabCount() const;
    void setSelTabCount(int count);
    // The position of tab stop `index` in twips.
    std::optional<int> SelTabs(int index) const;
    void setSelTabs(int index, int twips);
    qint32 BackColor() const;
    void setBackColor(qint32 color);

    // Selects the match and returns its start, or -1.
    int Find(const QString& text, int start = 0, int end = -1, int options = 0);
    void Span(const QString& characters, bool forward, bool negate);
    int GetLineFromChar(int position) const;
    // Lines as the window shows them: display lines while wrapping, else paragraphs.
    int lineCount() const;
    int lineIndex(int line) const;
    int lineLength(int position) const;

    double RightMargin() const { return m_rightMargin; }
    void setRightMargin(double twips);

    // Between document positions and positions that count CR LF.
    int toCrLf(int documentPosition) const;
    int fromCrLf(int position) const;

signals:
    void Change();
    void SelChange();
    void overwriteModeChanged(bool overwrite);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    template <typename T, typename F> std::optional<T> uniformChar(F value) const;
    template <typename T, typename F> std::optional<T> uniformBlock(F value) const;
    void mergeSelectionFormat(const QTextCharFormat& format);
    void mergeSelectionBlockFormat(const std::function<void(QTextBlockFormat&)>& change);
    // The paragraph and the line inside it that hold a display line.
    QTextBlock blockOfLine(int line, int* lineInBlock) const;
    bool editWouldTouchProtected(QKeyEvent* event) const;
    void dropProtectionFromTyping();

    QString m_fileName;
    DocumentKind m_fileKind = DocumentKind::Text;
    TextFileFormat m_textFormat;
    double m_rightMargin = 0;
};
