#pragma once

#include <QString>

// One entry of a project: a path kept exactly as stored. Its kind follows from
// the text alone, letter case ignored: a folder ends with the separator, a
// read-only shortcut is its target's path + ".lnk", a project ends with ".prj",
// anything else is a document. Entries written on Windows ("C:\Work\a.txt")
// keep "\" as their separator until they are relocated.
class ProjectEntry {
public:
    enum class Kind { Document, Folder, Shortcut, Project };

    static inline const QString ShortcutSuffix = QStringLiteral(".lnk");
    static inline const QString ProjectSuffix = QStringLiteral(".prj");
    static inline const QString FolderToolTipSuffix = QStringLiteral(" [Folder shortcut]");
    static inline const QString ShortcutToolTipSuffix = QStringLiteral(" [Read only shortcut]");

    explicit ProjectEntry(const QString& text) : m_text(text) {}

    const QString& text() const { return m_text; }
    // A drive letter, ":" and "\": the form of entries written on Windows.
    bool isWindowsForm() const;
    QChar separator() const { return isWindowsForm() ? u'\\' : u'/'; }

    Kind kind() const;
    bool isFolder() const { return kind() == Kind::Folder; }
    bool isShortcut() const { return kind() == Kind::Shortcut; }

    // What the list shows: the file name; the whole path for a folder and for a
    // shortcut to a folder (nothing after the last separator but ".lnk").
    QString displayText() const;
    QString toolTip() const;

    // The text after the last separator.
    QString fileName() const;
    // From the file name's last "." to its end, as written; empty without a ".".
    // A "." in a folder's name never makes an extension.
    QString extension() const;
    // What a read-only shortcut stands for: the text without its final ".lnk".
    // Any other entry stands for itself.
    QString target() const;
    // The path to open: a relative entry lies in the project file's folder.
    // Windows-form entries and entries of an unnamed project stay as they are.
    QString resolved(const QString& projectFile) const;
    // The entry as a project file in another folder must store it to name the
    // same file: a relative entry is made relative to the new folder.
    QString rebased(const QString& fromProjectFile, const QString& toProjectFile) const;

    // Equal texts, or texts differing only in letter case that name the same
    // file: on a case-sensitive disk "Notes.txt" and "notes.txt" are two files,
    // while Windows-form paths name files on a disk that ignores case.
    static bool samePath(const QString& a, const QString& b);

private:
    QString m_text;
};
