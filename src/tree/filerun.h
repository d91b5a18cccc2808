#pragma once

#include "tree/fileplan.h"
#include "tree/filereport.h"
#include "tree/filesteps.h"

#include <functional>

// Carries out a plan one item at a time through the file steps. A replaced file
// goes only once its new copy is complete; a moved item's source goes only once
// it is in its new place; a half-written copy never stays. The first failure
// stops the run.
class FileRun {
public:
    static inline const QString CancelledText = QStringLiteral("Operation was cancelled");

    struct Hooks {
        std::function<bool()> cancelled;
        // Before each item: items done so far of the total, and the item's source.
        std::function<void(qsizetype done, qsizetype total, const QString& current)> progressed;
        FileSteps::Progress bytesCopied;
    };

    FileRun(FileOperationKind kind, const FileSteps& steps, const Hooks& hooks);

    void run(const FilePlan& plan, FileReport& report);

    // A free name beside target to copy into before the copy replaces it.
    static QString temporaryName(const QString& target);

private:
    void copyOrMove(const FilePlan& plan);
    void remove(const FilePlan& plan);
    void trash(const FilePlan& plan);
    bool cancelledBefore(const PlannedItem& item);
    Status copyItem(const PlannedItem& item);
    Status moveItem(const PlannedItem& item);
    Status copyTo(const QString& from, const QString& to);
    Status startFolder(const PlannedItem& item, bool& movedWhole);
    Status endFolder(const PlannedItem& item);
    void finish(const QString& source);
    void stop(const QString& path, const Error& error);

    FileOperationKind m_kind;
    const FileSteps& m_steps;
    const Hooks& m_hooks;
    FileReport* m_report = nullptr;
    // A move in this source went across devices, so the rest is copied and deleted.
    bool m_crossDevice = false;
    QString m_failedPath;
};
