#pragma once

#include "recoveryowner.h"
#include "recoverystore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

class QTimer;
class RecoveryCatch;
class RecoveryWriter;
struct RecoveryCopy;
class frmText;
struct FrameContext;

// Keeps a recovery copy of every document with unsaved changes, written on a
// thread of its own a moment after typing stops (and now and then while it
// goes on), and at the next start offers the copies a program left behind
// when it ended without saving. A copy goes when its document is saved or
// closed, and at a normal exit.
class RecoveryController : public QObject {
    Q_OBJECT
public:
    static constexpr int QuietMilliseconds = 5000;
    static constexpr int LongestMilliseconds = 60000;
    // Documents from this size on are taken in slices of this length, between
    // which the window handles its events.
    static constexpr int SliceFromCharacters = 1 << 19;
    static constexpr int SliceMilliseconds = 4;
    static inline const QString UntitledName = QStringLiteral("Untitled");
    static inline const QString Question =
        QStringLiteral("Quillora ended before these documents were saved. Recover them?");
    static inline const QString KeptAgainMessage =
        QStringLiteral("Unsaved changes are being kept for recovery again.");

    // The copies in `store`, written as `owner`.
    RecoveryController(FrameContext& context, const RecoveryStore& store,
                       const RecoveryOwner& owner, QObject* parent = nullptr);
    // The user's recovery folder, owned by this instance.
    explicit RecoveryController(FrameContext& context, QObject* parent = nullptr);
    ~RecoveryController() override;

    // Clears out old discarded copies and offers the ones left by ended programs.
    void deferredStart();
    // The system is ending the program: every copy is brought up to date before
    // any window closes.
    void writeAllNow();
    // A normal exit: no copy of this instance is left.
    void closing();

    static QString unreadableMessage(const QString& folder, const QStringList& names);
    static QString problemMessage(const QString& detail);

    const RecoveryStore& store() const { return m_store; }
    // The copy's file name a document is kept under; empty when it is not watched.
    QString copyName(const frmText* window) const;
    // Blocks until the copies asked for are written (tests, the system's end).
    void waitForWrites();
    // The pause after which a copy is written, and the longest a change waits
    // for one while typing goes on (tests shorten them).
    void setDelays(int quietMilliseconds, int longestMilliseconds)
    {
        m_quiet = quietMilliseconds;
        m_longest = longestMilliseconds;
    }
    // From which size documents are taken in slices, and how long a slice takes.
    void setSlices(int fromCharacters, int milliseconds)
    {
        m_sliceFrom = fromCharacters;
        m_slice = milliseconds;
    }

signals:
    // Copies cannot be kept, said once until they can again; or they can again.
    void problem(const QString& text);

private:
    struct Watched {
        QPointer<frmText> window; // gone only when the frame goes without closing it
        QString name;
        QTimer* timer = nullptr;
        QElapsedTimer pendingSince;      // valid while a change waits for its copy
        RecoveryCatch* taking = nullptr; // a copy being taken in slices
        QTimer* slicer = nullptr;
        QElapsedTimer takingSince;
    };
    void watch(frmText* window);
    void forget(frmText* window);
    void changed(frmText* window);
    // `whole`: taken at once, never in slices.
    void writeNow(frmText* window, bool whole = false);
    void slice(frmText* window);
    void stopTaking(Watched& watched);
    RecoveryCopy header(frmText* window) const;
    void saved();
    void offer();
    bool recover(const RecoveryStore::Entry& entry);
    void report(const QString& detail);
    void failed(const QString& name, const QString& message);
    void written();

    FrameContext& m_context;
    RecoveryStore m_store;
    RecoveryOwner m_owner;
    RecoveryWriter* m_writer;
    QHash<frmText*, Watched> m_watched;
    QString m_namePrefix;
    int m_nextNumber = 1;
    bool m_told = false;
    int m_quiet = QuietMilliseconds;
    int m_longest = LongestMilliseconds;
    int m_sliceFrom = SliceFromCharacters;
    int m_slice = SliceMilliseconds;
};
