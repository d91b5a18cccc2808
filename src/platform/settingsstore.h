#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <memory>

class QSettings;

// The per-user store of sections, keys and text values: an INI file in the XDG
// config folder ("Quillora/Quillora.ini") that reads naturally in a text editor.
class SettingsStore {
public:
    // Opens the user's store, or the given file (for tests and tools).
    SettingsStore();
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();

    QString read(const QString& section, const QString& key, const QString& defaultValue) const;
    bool contains(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    void remove(const QString& section, const QString& key);
    // Every key of a section with its value, in the store's order.
    QList<QPair<QString, QString>> readSection(const QString& section) const;
    // Writes pending changes to disk; false when the file could not be written.
    bool sync();
    QString filePath() const;

    static QString defaultFilePath();

private:
    QString fullKey(const QString& section, const QString& key) const;
    std::unique_ptr<QSettings> m_settings;
};
