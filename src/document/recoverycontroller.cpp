#include "recoverycontroller.h"

#include "documentmanager.h"
#include "framecontext.h"
#include "frmtext.h"
#include "platform/instancepaths.h"
#include "platform/prompter.h"
#include "recoverycatch.h"
#include "recoverysnapshot.h"
#include "recoverywriter.h"
#include "richtext/richtextbox.h"
#include "richtext/rtfreader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

RecoveryController::RecoveryController(FrameContext& context, const RecoveryStore& store,
                                       const RecoveryOwner& owner, QObject* parent)
    : QObject(parent), m_context(context), m_store(store), m_owner(owner),
      m_writer(new RecoveryWriter(store, this))
{
    setObjectName(QStringLiteral("RecoveryController"));
    // Names no other instance, now or later, picks: the start time and the process.
    m_namePrefix = QString::number(QDateTime::currentMSecsSinceEpoch()) + u'-' +
                   QString::number(QCoreApplication::applicationPid()) + u'-';
    DocumentManager& documents = m_context.documents;
    connect(&documents, &DocumentManager::documentCreated, this, &RecoveryController::watch);
    connect(&documents, &DocumentManager::documentClosed, this, &RecoveryController::forget);
    connect(&documents, &DocumentManager::documentSaved, this, &RecoveryController::saved);
    // Edits the user chose to lose for the file's new text are not offered back.
    connect(&documents, &DocumentManager::documentReloaded, this, &RecoveryController::saved);
    // The file went or turned into something else: the text lives only here now.
    connect(&documents, &DocumentManager::documentMarkedChanged, this,
            &RecoveryController::changed);
    connect(m_writer, &RecoveryWriter::failed, this, &RecoveryController::failed);
    connect(m_writer, &RecoveryWriter::written, this, &RecoveryController::written);
}

RecoveryController::RecoveryController(FrameContext& context, QObject* parent)
    : RecoveryController(context, RecoveryStore(RecoveryStore::defaultFolder()),
                         RecoveryOwner::current(InstancePaths::lockPath()), parent)
{}

// The copies stay: an end without closing is no normal exit.
RecoveryController::~RecoveryController() = default;

QString RecoveryController::unreadableMessage(const QString& folder, const QStringList& names)
{
    return QStringLiteral("These recovery copies in %1 cannot be read and were kept as they "
                          "are:\n")
               .arg(folder) +
           names.join(u'\n');
}

QString RecoveryController::problemMessage(const QString& detail)
{
    return QStringLiteral("Unsaved changes are not being kept for recovery: ") + detail;
}

QString RecoveryController::copyName(const frmText* window) const
{
    const auto it = m_watched.constFind(const_cast<frmText*>(window));
    return it == m_watched.cend() ? QString() : it->name;
}

void RecoveryController::waitForWrites()
{
    m_writer->waitForIdle();
    // The failures reported from the writer's thread arrive as events.
    QCoreApplication::sendPostedEvents(this);
}

void RecoveryController::watch(frmText* window)
{
    if (window->slot() == 0 || m_watched.contains(window))
        return; // the notes pad keeps itself
    Watched watched;
    watched.window = window;
    watched.name = m_namePrefix + QString::number(m_nextNumber++) + RecoveryStore::Suffix;
    watched.timer = new QTimer(this);
    watched.timer->setSingleShot(true);
    connect(watched.timer, &QTimer::timeout, this, [this, window] { writeNow(window); });
    connect(window->RichTextBox1, &RichTextBox::Change, this, [this, window] { changed(window); });
    m_watched.insert(window, watched);
}

void RecoveryController::forget(frmText* window)
{
    const auto it = m_watched.find(window);
    if (it == m_watched.end())
        return;
    stopTaking(*it);
    delete it->timer;
    delete it->slicer;
    m_writer->remove(it->name);
    m_watched.erase(it);
}

void RecoveryController::changed(frmText* window)
{
    const auto it = m_watched.find(window);
    if (it == m_watched.end() || !it->window || !window->state().Dirty || window->state().Deleted)
        return;
    // Only a restart of a timer per key: the copy waits for a pause, but not forever.
    if (!it->pendingSince.isValid())
        it->pendingSince.start();
    const qint64 left = m_longest - it->pendingSince.elapsed();
    it->timer->start(int(std::clamp<qint64>(left, 0, m_quiet)));
}

RecoveryCopy RecoveryController::header(frmText* window) const
{
    const DocState& state = window->state();
    RichTextBox* box = window->RichTextBox1;
    RecoveryCopy header;
    header.owner = m_owner;
    header.savedAt = QDateTime::currentDateTimeUtc();
    header.originalPath = state.FileName;
    // The kind a save would write; an untitled document is kept whole when it
    // may hold formatting.
    if (header.originalPath.isEmpty())
        header.kind = RecoverySnapshot::mayHoldFormatting(box->document()) ? DocumentKind::Rtf
                                                                           : DocumentKind::Text;
    else
        header.kind = header.originalPath == box->FileName()
                          ? box->fileKind()
                          : DocumentFile::kindForPath(header.originalPath);
    header.format = box->textFileFormat();
    header.caret = box->textCursor().position();
    if (!header.originalPath.isEmpty())
        header.disk = DiskStamp::quick(header.originalPath);
    return header;
}

void RecoveryController::writeNow(frmText* window, bool whole)
{
    const auto it = m_watched.find(window);
    if (it == m_watched.end() || !it->window)
        return;
    it->timer->stop();
    it->pendingSince.invalidate();
    const DocState& state = window->state();
    if (!state.Dirty || state.Deleted) {
        stopTaking(*it);
        return;
    }
    const QTextDocument* document = window->RichTextBox1->document();
    const RecoveryCopy copy = header(window);
    // A copy taken whole now leaves nothing for one still being taken; otherwise that
    // one takes in every change made meanwhile.
    if (whole || document->characterCount() < m_sliceFrom || !RecoveryCatch::canSlice(document)) {
        stopTaking(*it);
        m_writer->write(it->name, RecoverySnapshot::take(document, copy));
        return;
    }
    if (it->taking && (it->taking->document() != document || it->taking->kind() != copy.kind))
        stopTaking(*it);
    if (!it->taking) {
        it->taking = new RecoveryCatch(document, copy.kind, this);
        it->takingSince.start();
        if (!it->slicer) {
            it->slicer = new QTimer(this);
            it->slicer->setInterval(0);
            connect(it->slicer, &QTimer::timeout, this, [this, window] { slice(window); });
        }
    }
    it->slicer->start();
}

void RecoveryController::slice(frmText* window)
{
    const auto it = m_watched.find(window);
    if (it == m_watched.end() || !it->window || !it->taking)
        return;
    // Edits that keep sending the taking back to the start, for as long as the
    // pause a copy waits for, end in one copy taken at once.
    if (it->takingSince.hasExpired(m_quiet)) {
        writeNow(window, true);
        return;
    }
    if (it->taking->document() != window->RichTextBox1->document()) {
        writeNow(window); // the window shows another document now
        return;
    }
    if (!it->taking->step(QDeadlineTimer(m_slice)))
        return;
    const RecoveryCopy copy = header(window);
    if (copy.kind != it->taking->kind()) {
        writeNow(window); // formatting came into an untitled document: kept as RTF
        return;
    }
    if (window->state().Dirty && !window->state().Deleted)
        m_writer->write(it->name, it->taking->snapshot(copy));
    stopTaking(*it);
}

void RecoveryController::stopTaking(Watched& watched)
{
    if (watched.slicer)
        watched.slicer->stop();
    delete watched.taking;
    watched.taking = nullptr;
}

void RecoveryController::saved()
{
    // The saved document is clean now; whichever it was, its copy is no longer needed.
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        if (!it->window || it->window->state().Dirty)
            continue;
        stopTaking(*it);
        it->timer->stop();
        it->pendingSince.invalidate();
        m_writer->remove(it->name);
    }
}

void RecoveryController::writeAllNow()
{
    const QList<frmText*> windows = m_watched.keys();
    for (frmText* window : windows)
        writeNow(window, true);
    waitForWrites();
}

void RecoveryController::closing()
{
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        stopTaking(*it);
        it->timer->stop();
        m_writer->remove(it->name);
    }
    waitForWrites();
}

void RecoveryController::report(const QString& detail)
{
    if (m_told)
        return;
    m_told = true;
    emit problem(problemMessage(detail));
}

void RecoveryController::failed(const QString& name, const QString& message)
{
    report(message);
    // Tried again later without waiting for more typing: the folder may be
    // writable by then, and the user may not type again before a crash.
    const auto it = std::find_if(m_watched.begin(), m_watched.end(),
                                 [&name](const Watched& watched) { return watched.name == name; });
    if (it == m_watched.end() || !it->window || it->timer->isActive() || it->taking)
        return;
    if (!it->pendingSince.isValid())
        it->pendingSince.start();
    it->timer->start(m_longest);
}

void RecoveryController::written()
{
    // Once copies can be kept again, the earlier warning no longer holds; a new
    // failure is told again.
    if (!m_told)
        return;
    m_told = false;
    emit problem(KeptAgainMessage);
}

void RecoveryController::deferredStart()
{
    m_store.removeOldDiscarded(QDateTime::currentDateTimeUtc());
    if (Status made = m_store.ensureFolder(); !made)
        report(made.error().message);
    offer();
}

void RecoveryController::offer()
{
    QList<RecoveryStore::Entry> offered;
    QStringList unreadable;
    const QList<RecoveryStore::Entry> entries = m_store.list();
    for (const RecoveryStore::Entry& entry : entries) {
        if (!entry.copy)
            unreadable.append(entry.name + QStringLiteral(" (") + entry.error + u')');
        else if (!entry.copy->owner.mayBeRunning())
            offered.append(entry);
    }
    if (!unreadable.isEmpty())
        Prompter::tell(unreadableMessage(m_store.folder(), unreadable), MessageIcon::Exclamation);
    if (offered.isEmpty())
        return;
    std::stable_sort(offered.begin(), offered.end(), [](const auto& a, const auto& b) {
        return a.copy->savedAt < b.copy->savedAt;
    });
    RecoveryRequest request{Question, {}};
    for (const RecoveryStore::Entry& entry : std::as_const(offered)) {
        const QString& path = entry.copy->originalPath;
        request.items.append({path.isEmpty() ? UntitledName : QFileInfo(path).fileName(),
                              entry.copy->savedAt, entry.bytes});
    }
    switch (Prompter::current().recovery(request)) {
    case RecoveryAnswer::Recover:
        for (const RecoveryStore::Entry& entry : std::as_const(offered))
            recover(entry);
        break;
    case RecoveryAnswer::Discard:
        for (const RecoveryStore::Entry& entry : std::as_const(offered))
            if (Status moved = m_store.discard(entry.name, QDateTime::currentDateTimeUtc()); !moved)
                report(moved.error().message);
        break;
    case RecoveryAnswer::Later:
        break;
    }
}

bool RecoveryController::recover(const RecoveryStore::Entry& entry)
{
    const RecoveryCopy& copy = *entry.copy;
    DocumentManager& documents = m_context.documents;
    QString path = copy.originalPath;
    frmText* window = nullptr;
    if (!path.isEmpty()) {
        // A window already showing the file takes the copy while it has no
        // changes of its own; otherwise the copy comes back untitled beside it.
        const int slot = documents.table().findOpenPath(path);
        if (auto* open = slot ? qobject_cast<frmText*>(documents.table().window(slot)) : nullptr) {
            if (open->state().Dirty || open->RichTextBox1->isLoading())
                path.clear();
            else
                window = open;
        }
    }
    if (!window)
        window = documents.NewDocument();
    if (!window)
        return false;
    RichTextBox* box = window->RichTextBox1;
    // Built apart from the window: tens of megabytes then take a second, not many.
    auto* document = new QTextDocument;
    document->setUndoRedoEnabled(false);
    if (copy.kind != DocumentKind::Rtf || !RtfReader::read(copy.content, document))
        DocumentFile::setPlainText(document, QString::fromUtf8(copy.content));
    document->setUndoRedoEnabled(true);
    box->takeDocument(document, copy.kind == DocumentKind::Text);
    box->textFileFormat() = copy.format;
    if (!path.isEmpty()) {
        // Saved where it belongs, in the kind it was read as; the file stays untouched till then.
        box->setFileOrigin(path, copy.kind);
        window->state().FileName = path;
        window->setWindowTitle(path);
    }
    QTextCursor caret = box->textCursor();
    caret.setPosition(std::clamp(copy.caret, 0, box->document()->characterCount() - 1));
    box->setTextCursor(caret);
    window->state().Dirty = true;
    if (!path.isEmpty())
        documents.recovered(window, copy.disk);
    // The text lives under this instance's copy before the old one goes.
    writeNow(window);
    m_writer->remove(entry.name);
    return true;
}
