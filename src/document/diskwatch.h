#pragma once

#include "platform/diskstamp.h"
#include "platform/prompter.h"
#include "platform/result.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

class DocumentManager;
class frmText;
struct FrameContext;

// Watches the file of every open document for changes by other programs: an
// unedited document is reloaded in place, an edited one asks first, a file
// that went away or became something else leaves the document marked changed.
// Our own saves never count as changes, and a save never replaces a file that
// changed on disk since it was loaded or saved without asking.
class DiskWatch : public QObject {
    Q_OBJECT
public:
    explicit DiskWatch(FrameContext& ctx, QObject* parent = nullptr);

    // Takes the stamp of a document's file as loaded and starts watching it.
    void documentLoaded(frmText* window);
    // Looks at the documents' files again soon (as after an activation);
    // thorough also hashes small files whose size and time did not change.
    void scheduleAll(bool thorough);
    // Looks at what waits now rather than once it settles.
    void lookNow()
    {
        m_settle.stop();
        processPending();
    }
    QStringList watchedFiles() const { return m_watcher.files(); }
    // Files from this size on are reloaded on the worker, as they are opened.
    void setBackgroundBytes(qint64 bytes) { m_backgroundBytes = bytes; }

signals:
    // For the frame's status bar.
    void statusMessage(const QString& text);

private:
    struct Entry {
        QString path;
        DiskStamp saved;      // as loaded or last saved by us
        DiskStamp seen;       // as last acted on
        bool ourMark = false; // the changed mark is ours, not an edit
    };

    // What a reload keeps of the view: the caret's line and the scroll positions.
    struct View {
        int line = 0;
        int top = 0;
        int left = 0;
    };

    void documentSaved(const QString& path);
    void documentRecovered(frmText* window, const DiskStamp& disk);
    void restamp(frmText* window);
    void restamp(frmText* window, const DiskStamp& disk);
    void schedulePath(const QString& path);
    void scheduleThorough(frmText* window);
    void processPending();
    void check(frmText* window, bool thorough);
    // A Yes/No question with its own button names, the careful No its default.
    int ask(const QString& text, MessageIcon icon, const QStringList& buttonTexts);
    void askReload(frmText* window, const QString& path);
    // Reads the file again; disk is its stamp taken before reading. False when a read
    // at once failed; a large file is read in the background and ends in reloadEnded.
    bool reload(frmText* window, const DiskStamp& disk);
    void reloadEnded(frmText* window, const View& view, const DiskStamp& disk,
                     const Status& status);
    void reloaded(frmText* window, const View& view, const DiskStamp& disk);
    void markUnfit(frmText* window, const QString& path);
    // The file could not be read: gone, or something we do not read.
    void markUnread(frmText* window, const QString& path);
    void markChanged(frmText* window, Entry& entry);
    bool mayReplaceFile(frmText* window);
    bool changedOnDisk(frmText* window);
    void syncWatches();

    DocumentManager& m_documents;
    QHash<const frmText*, Entry> m_entries;
    // The files opening in the background, as they stood when their reading began.
    QHash<const frmText*, DiskStamp> m_opening;
    QFileSystemWatcher m_watcher;
    // Changes come in bursts (a program writing in parts, renaming a temporary
    // file over the old one): they are looked at once they settle.
    QTimer m_settle;
    QSet<QString> m_pending;
    bool m_pendingAll = false;
    // Paths whose bytes are looked at even when size and time did not change.
    QSet<QString> m_thorough;
    // One of our questions or messages is open: nothing else is asked meanwhile.
    bool m_busy = false;
    qint64 m_backgroundBytes;
};
