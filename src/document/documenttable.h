#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>

struct DocState {
    bool Deleted = true;
    bool Dirty = false;
    QString FileName;
};

// The open documents: parallel slots of windows and states. Slot 0 is the notes
// pad's; documents take slots 1 and up, and a closed document's slot is reused.
class DocumentTable {
public:
    // An untitled document's caption is this and its slot number.
    static inline const QString UntitledPrefix = QStringLiteral("Untitled:");

    DocumentTable();

    int FindFreeIndex();
    bool AnyDocumentsOpen() const;
    int upperBound() const { return int(DocStates.size()) - 1; }
    bool isSlot(int slot) const { return slot >= 0 && slot <= upperBound(); }

    DocState& state(int slot) { return DocStates[slot]; }
    const DocState& state(int slot) const { return DocStates[slot]; }
    QObject* window(int slot) const { return Documents.value(slot); }
    void setWindow(int slot, QObject* window) { Documents[slot] = window; }

    // The open document slot showing this path, or 0. Paths that differ only in
    // letter case match when they name the same file.
    int findOpenPath(const QString& path) const;
    static bool samePath(const QString& a, const QString& b);

    QList<QPointer<QObject>> Documents;
    // A deque never moves its records when it grows, so a record a handler holds
    // stays where it is while a question waits and other documents open.
    std::deque<DocState> DocStates;
};
