#pragma once

#include "documentfile.h"
#include "platform/result.h"
#include "richtextmodel.h"
#include "textfileformat.h"
#include "viewmetrics.h"

#include <QTextEdit>
#include <memory>
#include <optional>

class DocumentLoader;

// The rich-text control of every document window: the editing, keys and menus of the
// view; its text, selection, formatting and lines are the model's.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    static constexpr double NoWrapMargin = 9999999;
    using FindOption = RichTextModel::FindOption;
    using enum RichTextModel::FindOption;

    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;

    Status LoadFile(const QString& path, DocumentKind kind);
    Status SaveFile(const QString& path, DocumentKind kind);
    // Loads on a worker thread: the control stays empty and read-only until
    // loadFinished(), then holds the file as LoadFile leaves it. A large plain-text
    // file is shown with the line layout (PlainTextLayout).
    void startLoad(const QString& path, DocumentKind kind);
    // Loads on a worker thread as startLoad does, but the document shown stays, read-only,
    // until the file's is complete and takes its place in one step. A load that fails
    // or is cancelled leaves it as it was; so does an edit that got into it meanwhile
    // (a command working past the read-only state): the load then ends as cancelled.
    void startReload(const QString& path, DocumentKind kind);
    // The load ends with ErrorCode::Cancelled; the control stays empty, or as it was
    // for a reload.
    void cancelLoad();
    bool isLoading() const { return m_loader != nullptr; }
    QString loadingPath() const;
    int loadPercent() const;
    // Shows a document built apart from the control, which takes it over: a large
    // text builds in a fraction of the time it takes in place, and plain text gets
    // the line layout where it suits.
    void takeDocument(QTextDocument* document, bool plainText) { adopt(document, plainText); }
    // Whether the document is shown with the line layout rather than the rich-text one.
    bool hasLineLayout() const;
    QString FileName() const { return m_fileName; }
    // How FileName holds the document: a file named .rtf may hold plain text.
    DocumentKind fileKind() const { return m_fileKind; }
    TextFileFormat& textFileFormat() { return m_textFormat; }
    // Takes the file and kind a document restored from elsewhere was last saved as.
    void setFileOrigin(const QString& path, DocumentKind kind)
    {
        m_fileName = path;
        m_fileKind = kind;
    }

    RichTextModel& model() { return m_model; }
    const RichTextModel& model() const { return m_model; }

    QString Text() const { return m_model.Text(); }
    void setText(const QString& text) { m_model.setText(text); }
    QByteArray TextRTF() const;
    void setTextRTF(const QByteArray& rtf);
    QByteArray SelRTF() const;
    void setSelRTF(const QByteArray& rtf);

    int SelStart() const { return m_model.SelStart(); }
    void setSelStart(int start) { m_model.setSelStart(start); }
    int SelLength() const { return m_model.SelLength(); }
    void setSelLength(int length) { m_model.setSelLength(length); }
    QString SelText() const { return m_model.SelText(); }
    // False when protected text refused the change.
    bool setSelText(const QString& text) { return m_model.setSelText(text); }

    std::optional<bool> SelBold() const { return m_model.SelBold(); }
    void setSelBold(bool on) { m_model.setSelBold(on); }
    std::optional<bool> SelItalic() const { return m_model.SelItalic(); }
    void setSelItalic(bool on) { m_model.setSelItalic(on); }
    std::optional<bool> SelUnderline() const { return m_model.SelUnderline(); }
    void setSelUnderline(bool on) { m_model.setSelUnderline(on); }
    std::optional<bool> SelStrikeThru() const { return m_model.SelStrikeThru(); }
    void setSelStrikeThru(bool on) { m_model.setSelStrikeThru(on); }
    std::optional<bool> SelProtected() const { return m_model.SelProtected(); }
    void setSelProtected(bool on) { m_model.setSelProtected(on); }
    std::optional<QString> SelFontName() const { return m_model.SelFontName(); }
    void setSelFontName(const QString& name) { m_model.setSelFontName(name); }
    std::optional<double> SelFontSize() const { return m_model.SelFontSize(); }
    void setSelFontSize(double points) { m_model.setSelFontSize(points); }
    std::optional<qint32> SelColor() const { return m_model.SelColor(); }
    void setSelColor(qint32 color) { m_model.setSelColor(color); }
    std::optional<int> SelCharOffset() const { return m_model.SelCharOffset(); }
    void setSelCharOffset(int twips) { m_model.setSelCharOffset(twips); }
    std::optional<int> SelAlignment() const { return m_model.SelAlignment(); }
    void setSelAlignment(int alignment) { m_model.setSelAlignment(alignment); }
    std::optional<bool> SelBullet() const { return m_model.SelBullet(); }
    void setSelBullet(bool on) { m_model.setSelBullet(on); }
    std::optional<int> BulletIndent() const { return m_model.BulletIndent(); }
    void setBulletIndent(int twips) { m_model.setBulletIndent(twips); }
    std::optional<int> SelIndent() const { return m_model.SelIndent(); }
    void setSelIndent(int twips) { m_model.setSelIndent(twips); }
    std::optional<int> SelRightIndent() const { return m_model.SelRightIndent(); }
    void setSelRightIndent(int twips) { m_model.setSelRightIndent(twips); }
    std::optional<int> SelHangingIndent() const { return m_model.SelHangingIndent(); }
    void setSelHangingIndent(int twips) { m_model.setSelHangingIndent(twips); }

    std::optional<int> SelTabCount() const { return m_model.SelTabCount(); }
    void setSelTabCount(int count) { m_model.setSelTabCount(count); }
    // The position of tab stop `index` in twips.
    std::optional<int> SelTabs(int index) const { return m_model.SelTabs(index); }
    void setSelTabs(int index, int twips) { m_model.setSelTabs(index, twips); }
    qint32 BackColor() const;
    void setBackColor(qint32 color);

    // Selects the match and returns its start, or -1.
    int Find(const QString& text, int start = 0, int end = -1, int options = 0)
    {
        return m_model.Find(text, start, end, options);
    }
    void Span(const QString& characters, bool forward, bool negate)
    {
        m_model.Span(characters, forward, negate);
    }
    int GetLineFromChar(int position) const { return m_model.GetLineFromChar(position); }
    // Lines as the window shows them: display lines while wrapping, else paragraphs.
    int lineCount() const { return m_model.lineCount(); }
    int lineIndex(int line) const { return m_model.lineIndex(line); }
    int lineLength(int position) const { return m_model.lineLength(position); }

    void setRightMargin(double twips);

    // Between document positions and positions in Text().
    int toCrLf(int documentPosition) const { return m_model.toCrLf(documentPosition); }
    int fromCrLf(int position) const { return m_model.fromCrLf(position); }

signals:
    void Change();
    void SelChange();
    void overwriteModeChanged(bool overwrite);
    void loadProgressed(int percent);
    // The loaded text is in place (or the load failed, or was cancelled).
    void loadFinished(const Status& status);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void watchDocument(QTextDocument* document);
    void showPreview();
    void beginLoad(const QString& path, DocumentKind kind, bool keepShown);
    void finishLoad();
    // Puts the document (a child of this control from now on) in place of the one shown.
    // Plain text keeps the text options set on the control's document, and is shown
    // with the line layout where it suits unless lineLayout is false.
    void adopt(QTextDocument* document, bool plainText, bool lineLayout = true);
    void useRichLayout();
    bool editWouldTouchProtected(QKeyEvent* event) const;
    void dropProtectionFromTyping();

    QString m_fileName;
    DocumentKind m_fileKind = DocumentKind::Text;
    TextFileFormat m_textFormat;
    RichTextModel m_model;
    // What the document's layout measures with instead of the viewport itself.
    ViewMetrics m_metrics;
    std::unique_ptr<DocumentLoader> m_loader;
    bool m_readOnlyBeforeLoad = false;
    // A reload runs: the document shown is the user's until the new one takes over.
    bool m_keepShown = false;
};
