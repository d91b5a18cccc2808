#pragma once

#include <QString>
#include <QStringList>

// Where the sample files the installation ships are (read-only), and the user's
// own data folder the first start copies them into, where everything the
// program writes lives.
class DataLocations {
public:
    // The installed tree lies this far from the program's folder; the build
    // stages the same tree at the same distance, so both layouts run.
    static QString relativeToProgram();

    DataLocations(const QString& installed, const QString& user)
        : m_installed(installed), m_user(user)
    {}

    // The program's own locations: installed from its folder, else from
    // $XDG_DATA_DIRS; the user's folder in $XDG_DATA_HOME.
    static DataLocations standard();

    // The installed tree beside the given program folder, else the first
    // "quillora" folder of $XDG_DATA_DIRS; empty when there is none.
    static QString findInstalled(const QString& programFolder);
    // The folders findInstalled looks at, in its order.
    static QStringList installedCandidates(const QString& programFolder);
    // $XDG_DATA_HOME/Quillora: what QStandardPaths::AppDataLocation gives for
    // this program, whatever name the running executable has.
    static QString userFolder();

    // Empty when no installed tree was found.
    const QString& installed() const { return m_installed; }
    const QString& user() const { return m_user; }

private:
    QString m_installed;
    QString m_user;
};
