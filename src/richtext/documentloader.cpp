#include "documentloader.h"

#include "rtfreader.h"
#include "textpieces.h"

#include <QMutex>
#include <QMutexLocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

Error cancelledError()
{
    return Error{ErrorCode::Cancelled, QStringLiteral("Operation was cancelled")};
}

// A document of the text's first lines, from the first pieces of a long text.
std::unique_ptr<QTextDocument> beginningOf(const QList<QString>& pieces)
{
    constexpr qsizetype PreviewChars = DocumentLoader::PreviewChars;
    QString text;
    for (const QString& piece : pieces) {
        text += piece;
        if (text.size() > PreviewChars)
            break;
    }
    qsizetype end = text.lastIndexOf(u'\n', PreviewChars);
    if (end <= 0)
        end = text.at(PreviewChars - 1).isHighSurrogate() ? PreviewChars + 1 : PreviewChars;
    auto beginning = std::make_unique<QTextDocument>();
    beginning->setUndoRedoEnabled(false);
    QTextCursor(beginning.get()).insertText(text.left(qMax<qsizetype>(0, end)));
    return beginning;
}

} // namespace

// What the worker and the loader share; the loader may go first (its window
// closed), and then the worker throws its document away itself.
struct DocumentLoader::Job {
    QString path;
    DocumentKind kind = DocumentKind::Text;
    QThread* home = nullptr;
    std::atomic<bool> cancelled{false};
    std::atomic<int> percent{0};
    QMutex mutex;
    DocumentLoader* receiver = nullptr;
    std::unique_ptr<Result<LoadedDocument>> outcome;
    std::unique_ptr<QTextDocument> preview;
};

DocumentLoader::DocumentLoader(QObject* parent) : QObject(parent)
{
    m_poll.setInterval(100);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        const int now = percent();
        if (now != m_lastPercent) {
            m_lastPercent = now;
            emit progressed(now);
        }
    });
}

DocumentLoader::~DocumentLoader()
{
    if (!m_job)
        return;
    QMutexLocker lock(&m_job->mutex);
    m_job->receiver = nullptr;
    m_job->cancelled = true;
    // Delivered but not yet taken: the document lives in this thread by now.
    m_job->outcome.reset();
    m_job->preview.reset();
}

Result<LoadedDocument> DocumentLoader::load(const QString& path, DocumentKind kind,
                                            const Progress& progress, const Preview& preview,
                                            qsizetype pieceBytes)
{
    const auto report = [&](int percent) { return !progress || progress(percent); };
    Result<QByteArray> bytes =
        DocumentFile::readBytes(path, DocumentFile::MaxFileBytes, [&](qint64 done, qint64 total) {
            return report(total > 0 ? int(done * 20 / total) : 0);
        });
    if (!bytes)
        return bytes.error();
    LoadedDocument loaded;
    loaded.document = std::make_unique<QTextDocument>();
    QTextDocument* document = loaded.document.get();
    // A file named .rtf that holds no RTF is shown as the text it is.
    if (kind == DocumentKind::Rtf && RtfReader::looksLikeRtf(bytes.value())) {
        RtfReader::read(bytes.value(), document);
        loaded.readAs = DocumentKind::Rtf;
        if (!report(100))
            return cancelledError();
        return Result<LoadedDocument>(std::move(loaded));
    }
    // The file is read in pieces into the document, so that its text is never
    // held whole beside the document's own.
    TextPieces pieces(std::move(bytes.value()), pieceBytes);
    if (!report(20))
        return cancelledError();
    // Building a document takes seconds for tens of megabytes; its first lines take
    // a moment, and they are what the window shows first: the pieces that hold them
    // are read before any is built.
    QList<QString> held;
    qsizetype heldChars = 0;
    while (preview && !pieces.atEnd() && heldChars <= 4 * PreviewChars) {
        held.append(pieces.next());
        heldChars += held.constLast().size();
    }
    if (heldChars > 4 * PreviewChars)
        preview(beginningOf(held));
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    const auto build = [&](const QString& piece) {
        cursor.insertText(piece);
#ifdef __GLIBC__
        // The document's tables grow by copies, and glibc would keep what they leave
        // behind in this thread's arena: handed back at once, it adds nothing to the peak.
        malloc_trim(0);
#endif
        return report(20 + int(pieces.done() * 80 / qMax<qint64>(1, pieces.total())));
    };
    for (QString& piece : held) {
        if (!build(std::exchange(piece, QString())))
            return cancelledError();
    }
    held.clear();
    while (!pieces.atEnd())
        if (!build(pieces.next()))
            return cancelledError();
    loaded.format = pieces.format();
    document->setUndoRedoEnabled(true);
    return Result<LoadedDocument>(std::move(loaded));
}

void DocumentLoader::start(const QString& path, DocumentKind kind, bool withPreview)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    job->kind = kind;
    job->home = thread();
    job->receiver = this;
    m_job = job;
    m_path = path;
    m_outcome.reset();
    m_lastPercent = -1;
    m_poll.start();
    pool()->start([job, withPreview] {
        const auto preview = [&job](std::unique_ptr<QTextDocument> beginning) {
            QMutexLocker lock(&job->mutex);
            if (!job->receiver || job->cancelled)
                return;
            beginning->moveToThread(job->home);
            job->preview = std::move(beginning);
            DocumentLoader* receiver = job->receiver;
            QMetaObject::invokeMethod(
                receiver, [receiver] { receiver->deliverPreview(); }, Qt::QueuedConnection);
        };
        Result<LoadedDocument> result = load(
            job->path, job->kind,
            [&job](int percent) {
                job->percent = percent;
                return !job->cancelled;
            },
            withPreview ? Preview(preview) : Preview());
        QMutexLocker lock(&job->mutex);
        // Nobody waits any more: the document goes here, in the thread it belongs to.
        if (!job->receiver)
            return;
        if (result && result.value().document)
            result.value().document->moveToThread(job->home);
        job->outcome = std::make_unique<Result<LoadedDocument>>(std::move(result));
        DocumentLoader* receiver = job->receiver;
        QMetaObject::invokeMethod(
            receiver, [receiver] { receiver->deliver(); }, Qt::QueuedConnection);
    });
}

QThreadPool* DocumentLoader::pool()
{
    static QThreadPool loads;
    return &loads;
}

void DocumentLoader::cancel()
{
    if (!m_job)
        return;
    // The user need not wait for the worker: it throws its work away when it ends.
    {
        QMutexLocker lock(&m_job->mutex);
        m_job->cancelled = true;
        m_job->receiver = nullptr;
        m_job->outcome.reset();
        m_job->preview.reset();
    }
    m_job.reset();
    m_poll.stop();
    m_outcome = std::make_unique<Result<LoadedDocument>>(cancelledError());
    QMetaObject::invokeMethod(this, &DocumentLoader::finished, Qt::QueuedConnection);
}

int DocumentLoader::percent() const
{
    return m_job ? m_job->percent.load() : 100;
}

void DocumentLoader::deliverPreview()
{
    if (!m_job)
        return;
    {
        QMutexLocker lock(&m_job->mutex);
        m_preview = std::move(m_job->preview);
    }
    if (m_preview)
        emit previewReady();
}

std::unique_ptr<QTextDocument> DocumentLoader::takePreview()
{
    return std::move(m_preview);
}

void DocumentLoader::deliver()
{
    if (!m_job)
        return;
    bool cancelled = false;
    {
        QMutexLocker lock(&m_job->mutex);
        m_outcome = std::move(m_job->outcome);
        m_job->receiver = nullptr;
        cancelled = m_job->cancelled;
    }
    m_job.reset();
    m_poll.stop();
    if (cancelled || !m_outcome)
        m_outcome = std::make_unique<Result<LoadedDocument>>(cancelledError());
    emit finished();
}

Result<LoadedDocument> DocumentLoader::take()
{
    if (!m_outcome)
        return cancelledError();
    Result<LoadedDocument> outcome = std::move(*m_outcome);
    m_outcome.reset();
    return outcome;
}
