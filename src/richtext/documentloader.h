#pragma once

#include "documentfile.h"
#include "platform/result.h"
#include "textfileformat.h"
#include "textpieces.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class QTextDocument;
class QThreadPool;

// A document read, decoded and built on a worker thread, so that the window stays
// responsive while a large file loads. The document comes back to the loader's
// thread, unparented, for a view to take over whole.
struct LoadedDocument {
    std::unique_ptr<QTextDocument> document;
    TextFileFormat format;
    DocumentKind readAs = DocumentKind::Text;
};

class DocumentLoader : public QObject {
    Q_OBJECT
public:
    // Files from this size on load in the background; smaller ones are quicker read
    // at once than shown empty for a moment.
    static constexpr qint64 BackgroundBytes = 2 * 1024 * 1024;
    // A text longer than this many characters is first shown by its beginning,
    // built apart in a moment, while the whole document is still being built.
    static constexpr qsizetype PreviewChars = 256 * 1024;

    explicit DocumentLoader(QObject* parent = nullptr);
    // A load still running is cancelled; its document is thrown away when done.
    ~DocumentLoader() override;

    // withPreview: a long text's beginning is handed over first (previewReady).
    void start(const QString& path, DocumentKind kind, bool withPreview = true);
    // The loads' own threads: a long load never holds up the painting's helpers,
    // which run in the global pool.
    static QThreadPool* pool();
    // The load ends soon with the error ErrorCode::Cancelled.
    void cancel();
    bool running() const { return m_job != nullptr; }
    // 0 to 100.
    int percent() const;
    QString path() const { return m_path; }
    // Once finished() was emitted: the document or why there is none.
    Result<LoadedDocument> take();
    // Once previewReady() was emitted: the text's beginning, to be shown read-only.
    std::unique_ptr<QTextDocument> takePreview();

    // The whole work of the thread, for a test to run where it likes: reads the file,
    // decodes it and builds the document. `progress` is told how far it got and stops
    // it by answering false; `preview` is handed a long text's beginning first. A
    // plain text goes into the document in pieces of about `pieceBytes` of the file.
    using Progress = std::function<bool(int percent)>;
    using Preview = std::function<void(std::unique_ptr<QTextDocument> beginning)>;
    static Result<LoadedDocument> load(const QString& path, DocumentKind kind,
                                       const Progress& progress = {}, const Preview& preview = {},
                                       qsizetype pieceBytes = TextPieces::DefaultPieceBytes);

signals:
    void progressed(int percent);
    void previewReady();
    void finished();

private:
    struct Job;
    void deliver();
    void deliverPreview();

    std::shared_ptr<Job> m_job;
    std::unique_ptr<Result<LoadedDocument>> m_outcome;
    std::unique_ptr<QTextDocument> m_preview;
    QString m_path;
    QTimer m_poll;
    int m_lastPercent = -1;
};
