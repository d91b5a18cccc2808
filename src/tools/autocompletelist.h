#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The auto-complete word list: its entries as the file gave them, a view of them
// sorted without regard to letter case (equal ones in file order), and the lookups
// the completion box makes.
class AutoCompleteList {
public:
    // Past this many entries, the rest of a file is not read and the user is told.
    static constexpr int MaximumEntries = 1'000'000;
    static inline const QString NotLoadedMessage = QStringLiteral(
        "No Auto-Complete file has been loaded.  Please click 'Help' for more information");

    enum class State { NotLoaded, Loaded, Unreadable };

    // Reads the file: lines end with LF, CR LF or CR; empty lines and lines that begin
    // with "#" are left out; every other line is an entry, exactly as it is. A file that
    // cannot be read leaves the list unreadable, its one entry the reason.
    void load(const QString& path);
    // What went wrong while reading a readable file (too many entries), for the user.
    QString readingFailure() const { return m_failure; }

    State state() const { return m_state; }
    // The entries in file order (the one error text for an unreadable file).
    const QStringList& entries() const { return m_entries; }
    // The entries sorted, letter case ignored, for the box; empty for an unreadable list.
    const QStringList& sorted() const { return m_sorted; }
    // The first sorted entry that begins with the prefix (letter case ignored).
    std::optional<int> find(const QString& prefix) const;

    // Whether the typed character is one of the trigger characters (letter case ignored).
    static bool isHotKey(QChar typed, const QString& hotKeys);

    // Where the typed prefix begins in the caret's paragraph: right after trigger
    // characters, the triggers themselves; right after ">", a blank or ";", nothing
    // (the caret's own position); else the partial word back to a blank.
    static int prefixStart(const QString& paragraph, int caret, const QString& hotKeys);

private:
    State m_state = State::NotLoaded;
    QStringList m_entries;
    QStringList m_sorted;
    QStringList m_keys; // m_sorted case-folded
    QString m_failure;
};
