#pragma once

#include "platform/diskstamp.h"

#include <QString>
#include <QStringList>

// What to do about a document's file when it is looked at again: the rules,
// apart from the watching, the windows and the questions.
class DiskChange {
public:
    enum class Action {
        None,      // nothing new on disk
        Restamp,   // the same bytes with new times (touched, copied back): note it quietly
        Reload,    // new content, nothing edited: load it in place
        Ask,       // new content over unsaved edits: the user chooses
        MarkGone,  // the file was deleted or moved away
        MarkUnfit, // a folder, a device or an unreadable file stands at the path
    };

    // Files up to this size are hashed on every thorough look, so that a change
    // that kept size and time (coarse file system clocks) is still seen.
    static constexpr qint64 ThoroughHashLimit = 4 * 1024 * 1024;

    // seen: the disk as last acted on; now: as it is; edited: the document has
    // changes of the user's own.
    static Action decide(const DiskStamp& seen, const DiskStamp& now, bool edited);
    // The disk as it is, hashing only where the metadata changed or, when
    // thorough, the file is small.
    static DiskStamp look(const QString& path, const DiskStamp& seen, bool thorough);
    // A save would replace content other than what was loaded or last saved.
    static bool overwriteNeedsQuestion(const DiskStamp& saved, const DiskStamp& now);

    static inline const QStringList ReloadButtons = {QStringLiteral("Reload"),
                                                     QStringLiteral("Keep mine")};
    static inline const QStringList OverwriteButtons = {QStringLiteral("Overwrite"),
                                                        QStringLiteral("Cancel")};
    static QString reloadQuestion(const QString& path);
    static QString overwriteQuestion(const QString& path);
    static QString reloadedStatus(const QString& path);
    static QString goneStatus(const QString& path);
    static QString unfitMessage(const QString& path);
};
