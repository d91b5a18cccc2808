#pragma once

#include <QCompleter>

class QLineEdit;
class QStringListModel;

// Completes a file path typed in a box from the names in its folder. Unlike
// a completer over QFileSystemModel it reads nothing but the folder's list,
// and not even that on the system's own file systems (/proc, /sys, /dev),
// whose files can block whoever looks into them: typing "/proc/" froze the
// print dialog.
class PathCompleter : public QCompleter {
    Q_OBJECT
public:
    // Completes for the box, and is its completer from now on.
    explicit PathCompleter(QLineEdit* box);

    // The paths proposed for a typed text: its folder's entries, folders
    // ending in "/"; none for a relative text or a kernel file system.
    static QStringList candidates(const QString& typed);
    static bool isKernelFileSystem(const QString& folder);
    // Gives each box of a dialog (Qt's print dialog) that completes over the
    // file system model one of these instead; how many it replaced.
    static int replaceIn(QWidget* dialog);

private:
    void follow(const QString& typed);

    QStringListModel* m_entries;
    QString m_folder;
};
