#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The recent projects as the store keeps them: section "Recent Files", keys
// "RecentFile1" (the newest) to "RecentFile5", filled from the top without gaps.
class RecentList {
public:
    static constexpr int MaxEntries = 5;
    static QString keyName(int position) { return QStringLiteral("RecentFile%1").arg(position); }
    // A path as a menu caption: "&" would otherwise mark an access key and vanish.
    static QString menuCaption(const QString& path);

    explicit RecentList(SettingsStore& store) : m_store(store) {}

    // The stored paths, newest first; empty while "RecentFile1" is absent or empty.
    QStringList paths() const;
    // Position 1 to 5 of the path among the stored ones, 0 when not listed.
    int position(const QString& path) const;
    bool contains(const QString& path) const { return position(path) > 0; }
    // Makes the path the newest entry; the fifth drops out.
    void PushRecentFile(const QString& path);
    // Pushes the path unless it is listed already (a listed path keeps its place);
    // true when it was pushed.
    bool add(const QString& path);
    // Takes the path out and closes the gap; false when it was not listed.
    bool remove(const QString& path);

private:
    void write(const QStringList& paths);

    SettingsStore& m_store;
};
