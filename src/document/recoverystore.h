#pragma once

#include "platform/result.h"
#include "recoverycopy.h"

#include <QList>
#include <QString>
#include <optional>

// The recovery folder: one copy per changed document, each written whole
// (a crash mid-write leaves the last copy) under a versioned, checked header.
// A copy that cannot be read is reported and left where it is: it may still be
// the only place some text lives.
class RecoveryStore {
public:
    static constexpr quint32 Version = 2;
    static constexpr int DiscardedDays = 7;
    static inline const QString Suffix = QStringLiteral(".recovery");
    static inline const QString DiscardedFolder = QStringLiteral("discarded");

    // One file of the folder as listed: the copy, or why it cannot be read.
    struct Entry {
        QString name;
        qint64 bytes = 0;
        std::optional<RecoveryCopy> copy;
        QString error;
    };

    explicit RecoveryStore(const QString& folder) : m_folder(folder) {}
    // $XDG_STATE_HOME/Quillora/recovery, the state home defaulting to ~/.local/state.
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    QString path(const QString& name) const { return m_folder + u'/' + name; }
    // Creates the folder, open to its owner alone.
    Status ensureFolder() const;

    static QByteArray encode(const RecoveryCopy& copy);
    static Result<RecoveryCopy> decode(const QByteArray& bytes);

    Status write(const QString& name, const RecoveryCopy& copy) const;
    Result<RecoveryCopy> read(const QString& name) const;
    // The copies in the folder by name; a missing folder lists none.
    QList<Entry> list() const;
    Status remove(const QString& name) const;
    // Moves a copy to the discarded folder, where it stays DiscardedDays days.
    Status discard(const QString& name, const QDateTime& now) const;
    // Removes the discarded copies older than DiscardedDays days; the number removed.
    int removeOldDiscarded(const QDateTime& now) const;

private:
    QString m_folder;
};
