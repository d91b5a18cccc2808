#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

enum class FileOperationKind { Copy, Move, Trash, Delete };

// An item left alone or failed, and why.
struct FileProblem {
    QString path;
    QString reason;
    bool operator==(const FileProblem&) const = default;
};

// What a file operation did, item by item, and the messages to show for it.
class FileReport {
public:
    explicit FileReport(FileOperationKind kind = FileOperationKind::Copy) : m_kind(kind) {}

    FileOperationKind kind() const { return m_kind; }

    // The source of every item finished, each file, link and folder, in order
    // (for the trash: each item given).
    QStringList done;
    // Items left as they were: answered No, a file onto a folder or the reverse.
    QList<FileProblem> skipped;
    // Items refused before anything started (a folder into itself, a vanished
    // source), and last the failure that stopped the run.
    QList<FileProblem> failed;
    // Items the trash would not take (no trash on their volume); the caller may
    // offer to delete them for good.
    QStringList trashRefused;
    // The item where a failure or a cancel stopped the run.
    std::optional<FileProblem> stoppedAt;
    // The user answered Cancel to a question (nothing was changed) or cancelled the run.
    bool cancelled = false;
    qsizetype itemsDone = 0;
    qsizetype itemsTotal = 0;

    // True when every planned item was done and nothing failed.
    bool complete() const { return failed.isEmpty() && !stoppedAt && !cancelled; }

    // "Copied 1,234 of 10,000 items." (Moved, Deleted), with the locale's separators.
    QString countText() const;
    // The message for the item that stopped the run: "Error: " + path, the
    // reason and countText(), one a line. Empty when nothing stopped it.
    QString stopMessage() const;
    // "Error: " + path and the reason, one a line.
    static QString problemMessage(const FileProblem& problem);

private:
    FileOperationKind m_kind;
};
