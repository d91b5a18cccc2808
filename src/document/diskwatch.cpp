#include "diskwatch.h"

#include "diskchange.h"
#include "documentmanager.h"
#include "documenttable.h"
#include "framecontext.h"
#include "frmtext.h"
#include "platform/prompter.h"
#include "richtext/documentfile.h"
#include "richtext/documentloader.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>

DiskWatch::DiskWatch(FrameContext& ctx, QObject* parent)
    : QObject(parent), m_documents(ctx.documents),
      m_backgroundBytes(DocumentLoader::BackgroundBytes)
{
    setObjectName(QStringLiteral("DiskWatch"));
    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_settle, &QTimer::timeout, this, &DiskWatch::processPending);
    // The one place a loaded document's stamp is taken.
    connect(&m_documents, &DocumentManager::documentOpened, this, &DiskWatch::documentLoaded);
    connect(&m_documents, &DocumentManager::documentRecovered, this, &DiskWatch::documentRecovered);
    connect(&m_documents, &DocumentManager::documentSaved, this, &DiskWatch::documentSaved);
    connect(&m_documents, &DocumentManager::loadStarted, this,
            [this](frmText* window, const DiskStamp& disk) { m_opening.insert(window, disk); });
    connect(&m_documents, &DocumentManager::documentClosed, this, [this](frmText* window) {
        m_opening.remove(window);
        m_entries.remove(window);
        syncWatches();
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        // A file replaced by renaming another over it loses its watch: it is
        // watched afresh once the change is looked at.
        m_watcher.removePath(path);
        schedulePath(path);
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& dir) {
        for (const Entry& entry : std::as_const(m_entries))
            if (QFileInfo(entry.path).absolutePath() == dir)
                schedulePath(entry.path);
    });
    // Watchers miss changes on some file systems (network and FUSE mounts): the
    // files are looked at again whenever a document or the program is activated,
    // the bytes of the document in front too. Hashing every open file on each
    // activation would read them all again and again.
    if (QMdiArea* area = m_documents.area())
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
            scheduleThorough(qobject_cast<frmText*>(window));
        });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive)
            return;
        scheduleAll(false);
        scheduleThorough(m_documents.activeDocument());
    });
    m_documents.mayReplaceFile = [this](frmText* window) { return mayReplaceFile(window); };
    m_documents.fileChangedOnDisk = [this](frmText* window) { return changedOnDisk(window); };
}

void DiskWatch::documentLoaded(frmText* window)
{
    if (!window || window->slot() == 0)
        return;
    const bool known = m_entries.contains(window);
    const auto opening = m_opening.constFind(window);
    if (opening == m_opening.cend()) {
        restamp(window);
    } else {
        // Read in the background: a change while it was read is looked at, and reloaded.
        const DiskStamp before = *opening;
        m_opening.erase(opening);
        if (DiskStamp::quick(window->state().FileName).sameMetadata(before)) {
            restamp(window);
        } else {
            restamp(window, before);
            schedulePath(window->state().FileName);
        }
    }
    if (!known)
        connect(window->RichTextBox1, &RichTextBox::Change, this, [this, window] {
            if (auto it = m_entries.find(window); it != m_entries.end())
                it->ourMark = false;
        });
}

void DiskWatch::documentRecovered(frmText* window, const DiskStamp& disk)
{
    documentLoaded(window);
    // Measured against the file as it was when the copy was made: a change since,
    // the crash in between, is seen, asked about and never saved over unasked.
    Entry& entry = m_entries[window];
    entry.saved = entry.seen = disk;
    schedulePath(entry.path);
}

void DiskWatch::documentSaved(const QString& path)
{
    for (frmText* window : m_documents.documentWindows())
        if (window->state().FileName == path)
            documentLoaded(window);
}

void DiskWatch::restamp(frmText* window)
{
    restamp(window, DiskStamp::of(window->state().FileName));
}

void DiskWatch::restamp(frmText* window, const DiskStamp& disk)
{
    Entry& entry = m_entries[window];
    entry.path = window->state().FileName;
    entry.saved = disk;
    entry.seen = entry.saved;
    entry.ourMark = false;
    syncWatches();
}

void DiskWatch::scheduleAll(bool thorough)
{
    m_pendingAll = true;
    if (thorough)
        for (const Entry& entry : std::as_const(m_entries))
            m_thorough.insert(entry.path);
    m_settle.start();
}

void DiskWatch::scheduleThorough(frmText* window)
{
    const auto it = window ? m_entries.constFind(window) : m_entries.cend();
    if (it == m_entries.cend())
        return;
    m_thorough.insert(it->path);
    schedulePath(it->path);
}

void DiskWatch::schedulePath(const QString& path)
{
    m_pending.insert(path);
    m_settle.start();
}

void DiskWatch::processPending()
{
    // Never a second question over one already open: the changes wait for it.
    if (m_busy || QApplication::activeModalWidget()) {
        m_settle.start();
        return;
    }
    const QSet<QString> paths = std::exchange(m_pending, {});
    const bool all = std::exchange(m_pendingAll, false);
    const QSet<QString> thorough = std::exchange(m_thorough, {});
    QList<QPointer<frmText>> windows;
    for (frmText* window : m_documents.documentWindows())
        if (auto it = m_entries.constFind(window); it != m_entries.cend())
            if (all || paths.contains(it->path) || paths.contains(window->state().FileName))
                windows.append(window);
    for (const QPointer<frmText>& window : std::as_const(windows))
        if (window && !window->state().Deleted)
            check(window, thorough.contains(window->state().FileName));
    syncWatches();
}

void DiskWatch::check(frmText* window, bool thorough)
{
    auto it = m_entries.find(window);
    // A window being reloaded is looked at again once its reload ends.
    if (it == m_entries.end() || window->RichTextBox1->isLoading())
        return;
    const QString path = window->state().FileName;
    // The program itself renamed or moved the file: it is the same document.
    if (path != it->path) {
        restamp(window);
        return;
    }
    const DiskStamp now = DiskChange::look(path, it->seen, thorough);
    const bool edited = window->state().Dirty && !it->ourMark;
    switch (DiskChange::decide(it->seen, now, edited)) {
    case DiskChange::Action::None:
        return;
    case DiskChange::Action::Restamp:
        if (it->saved.sameContent(now))
            it->saved = now;
        it->seen = now;
        return;
    case DiskChange::Action::Reload:
        if (!reload(window, now))
            markUnread(window, path); // gone or unreadable after all
        return;
    case DiskChange::Action::Ask:
        askReload(window, path);
        return;
    case DiskChange::Action::MarkGone:
        it->seen = now;
        markChanged(window, *it);
        emit statusMessage(DiskChange::goneStatus(path));
        return;
    case DiskChange::Action::MarkUnfit:
        break;
    }
    markUnfit(window, path);
}

void DiskWatch::markUnfit(frmText* window, const QString& path)
{
    auto it = m_entries.find(window);
    it->seen = DiskStamp::quick(path);
    markChanged(window, *it);
    m_busy = true;
    Prompter::tell(DiskChange::unfitMessage(path), MessageIcon::Exclamation);
    m_busy = false;
}

int DiskWatch::ask(const QString& text, MessageIcon icon, const QStringList& buttonTexts)
{
    MessageRequest request;
    request.text = text;
    request.buttons = MessageButtons::YesNo;
    request.icon = icon;
    request.defaultButton = 2; // the careful answer
    request.buttonTexts = buttonTexts;
    m_busy = true;
    const int answer = Prompter::current().message(request);
    m_busy = false;
    return answer;
}

void DiskWatch::askReload(frmText* target, const QString& path)
{
    const QPointer<frmText> window(target);
    const int answer =
        ask(DiskChange::reloadQuestion(path), MessageIcon::Question, DiskChange::ReloadButtons);
    auto it = m_entries.find(window.data());
    if (!window || window->state().Deleted || it == m_entries.end() ||
        window->state().FileName != path || window->RichTextBox1->isLoading())
        return;
    if (answer == Answer::Yes) {
        // The file may have gone or turned unreadable while the question was open.
        if (!reload(window, DiskStamp::of(path)))
            markUnread(window, path);
        return;
    }
    // Once for each change: what the disk holds now was shown to the user,
    // changes that came while the question was open included. A save still asks.
    it->seen = DiskStamp::of(path);
}

bool DiskWatch::reload(frmText* window, const DiskStamp& disk)
{
    RichTextBox* box = window->RichTextBox1;
    const View view{box->textCursor().blockNumber(), box->verticalScrollBar()->value(),
                    box->horizontalScrollBar()->value()};
    const QString path = window->state().FileName;
    // Read as a document is opened: the kind from the name, the encoding detected.
    const DocumentKind kind = DocumentFile::kindForPath(path);
    if (disk.size < m_backgroundBytes) {
        if (!box->LoadFile(path, kind))
            return false;
        reloaded(window, view, disk);
        return true;
    }
    // The window keeps showing its text, read-only, until the file's takes over.
    const QPointer<frmText> guard(window);
    connect(
        box, &RichTextBox::loadFinished, this,
        [this, guard, view, disk](const Status& status) {
            if (guard)
                reloadEnded(guard, view, disk, status);
        },
        Qt::SingleShotConnection);
    box->startReload(path, kind);
    m_documents.reloading(window);
    return true;
}

void DiskWatch::reloadEnded(frmText* window, const View& view, const DiskStamp& disk,
                            const Status& status)
{
    const auto it = m_entries.find(window);
    if (it == m_entries.end() || window->state().Deleted)
        return;
    const QString path = window->state().FileName;
    // Measured against what was read: a change that came while it loaded is seen.
    schedulePath(path);
    if (status) {
        reloaded(window, view, disk);
        return;
    }
    if (status.error().code == ErrorCode::Cancelled) {
        // Stopped by the user, or an edit got in first: the text stays, no longer the
        // file's, and a save asks before replacing the file.
        it->seen = disk;
        markChanged(window, *it);
        return;
    }
    // The file went away or became unreadable while it was read.
    markUnread(window, path);
}

void DiskWatch::markUnread(frmText* window, const QString& path)
{
    const DiskStamp now = DiskStamp::quick(path);
    if (now.kind == DiskStamp::Kind::Missing) {
        auto it = m_entries.find(window);
        it->seen = now;
        markChanged(window, *it);
        emit statusMessage(DiskChange::goneStatus(path));
        return;
    }
    markUnfit(window, path);
}

void DiskWatch::reloaded(frmText* window, const View& view, const DiskStamp& disk)
{
    RichTextBox* box = window->RichTextBox1;
    m_documents.InitDocProperties(window);
    window->state().Dirty = false;
    QTextDocument* document = box->document();
    box->setTextCursor(
        QTextCursor(document->findBlockByNumber(qMin(view.line, document->blockCount() - 1))));
    box->verticalScrollBar()->setValue(view.top);
    box->horizontalScrollBar()->setValue(view.left);
    restamp(window, disk);
    m_documents.reloaded(window);
    emit statusMessage(DiskChange::reloadedStatus(window->state().FileName));
}

void DiskWatch::markChanged(frmText* window, Entry& entry)
{
    // A mark of ours over an unedited document: should the file come back, it is
    // simply read again.
    if (!window->state().Dirty)
        entry.ourMark = true;
    window->state().Dirty = true;
    m_documents.markedChanged(window);
}

bool DiskWatch::mayReplaceFile(frmText* target)
{
    const QPointer<frmText> window(target);
    auto it = m_entries.find(target);
    // A new name was chosen in the save dialog, which asked about replacing.
    if (it == m_entries.end() || it->path != target->state().FileName)
        return true;
    const QString path = it->path;
    const DiskStamp now = DiskStamp::of(path);
    if (!DiskChange::overwriteNeedsQuestion(it->saved, now))
        return true;
    const int answer = ask(DiskChange::overwriteQuestion(path), MessageIcon::Exclamation,
                           DiskChange::OverwriteButtons);
    it = m_entries.find(target);
    if (!window || it == m_entries.end())
        return false;
    it->seen = now;
    return answer == Answer::Yes;
}

bool DiskWatch::changedOnDisk(frmText* window)
{
    const auto it = m_entries.constFind(window);
    return it != m_entries.cend() && it->path == window->state().FileName &&
           DiskChange::overwriteNeedsQuestion(it->saved, DiskStamp::of(it->path));
}

void DiskWatch::syncWatches()
{
    QSet<QString> files;
    QSet<QString> folders;
    for (const Entry& entry : std::as_const(m_entries)) {
        if (entry.path.isEmpty())
            continue;
        files.insert(entry.path);
        // The folder tells when a file that went away comes back.
        folders.insert(QFileInfo(entry.path).absolutePath());
    }
    const QStringList watchedFiles = m_watcher.files();
    for (const QString& file : watchedFiles)
        if (!files.contains(file))
            m_watcher.removePath(file);
    const QStringList watchedFolders = m_watcher.directories();
    for (const QString& folder : watchedFolders)
        if (!folders.contains(folder))
            m_watcher.removePath(folder);
    for (const QString& file : std::as_const(files)) {
        const DiskStamp::Kind kind = DiskStamp::quick(file).kind;
        if ((kind == DiskStamp::Kind::File || kind == DiskStamp::Kind::Unreadable) &&
            !watchedFiles.contains(file))
            m_watcher.addPath(file);
    }
    for (const QString& folder : std::as_const(folders))
        if (!watchedFolders.contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
}
