#pragma once

#include "filematcher.h"
#include "searchoptions.h"
#include "treewalker.h"

#include "platform/result.h"

#include <QSet>
#include <QString>

#include <functional>

// The two steps of a disk replace: search one file and remember how it was,
// then change it only if it is still so. Writes are atomic (QSaveFile keeps the
// permissions), a backup copy comes first when asked, and a file is skipped
// rather than harmed: binary, too large, changed since, read-only, or an
// encoding that cannot hold the replacement.
class ReplaceRun {
public:
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        size_t hash = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Searched {
        QString path;
        QString relativePath;
        FileScan scan;
        Stamp stamp;
        QByteArray bytes; // kept only when asked, for a replace right after
    };
    enum class Outcome { Replaced, Skipped, Failed };
    struct FileOutcome {
        Outcome outcome = Outcome::Skipped;
        int count = 0;
        QString message; // why it was skipped or failed
    };
    using WriteCheck = std::function<bool(const QString& path)>;

    static const QString TooLarge;
    static const QString Binary;
    static const QString Changed;
    static const QString ReadOnly;
    static const QString CannotRead;
    static const QString CannotWrite;
    static const QString CannotBackUp;

    explicit ReplaceRun(const SearchOptions& options);

    void setDryRun(bool dryRun) { m_dryRun = dryRun; }
    void setBackupFolder(const QString& folder) { m_backupFolder = folder; }
    void setWriteCheck(WriteCheck check) { m_canWrite = std::move(check); }

    // Step one. An error for a file not searched (unreadable, too large,
    // binary); its code tells a skip (BadFormat) from a failure.
    Result<Searched> search(const TreeWalker::Entry& entry, bool keepBytes) const;
    // Step two: the chosen lines (all when null) of a file searched before.
    FileOutcome replace(const Searched& searched, const QSet<qint64>* onlyLines = nullptr) const;

    // Write permission by the owner's write bit, never made writable: root
    // could write anything, yet a file its owner protected stays protected.
    static bool ownerMayWrite(const QString& path);
    static Stamp stampOf(const QString& path, const QByteArray& bytes);
    static qint64 modifiedNs(const QString& path);
    // $XDG_DATA_HOME/Quillora/Backups/<date-time>
    static QString defaultBackupFolder();
    static bool isInside(const QString& folder, const QString& root);
    // Makes a folder and its missing parents; the error names the one that
    // could not be made and why.
    static Status makeFolders(const QString& folder);

private:
    SearchOptions m_options;
    FileMatcher m_matcher;
    bool m_dryRun = false;
    QString m_backupFolder;
    WriteCheck m_canWrite = &ReplaceRun::ownerMayWrite;
};
