#pragma once

#include "tree/filereport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

// One step of a planned operation, in the order the run takes them. A folder
// comes as a start (made before its content) and an end (its times set, or
// the emptied source removed, after its content); a deleted folder only as an end.
struct PlannedItem {
    enum class Type { Item, FolderStart, FolderEnd };
    Type type = Type::Item;
    QString source;
    QString target;
    // Item: the target exists and the user chose to replace it.
    bool replace = false;
    // Folder: the target folder exists, so the content goes into it and the
    // folder itself stays as it is.
    bool merge = false;
    // FolderEnd of a move: something inside stays behind, so the source folder stays.
    bool keepSource = false;
    // One of the sources as given, not something found inside one.
    bool topLevel = false;
    // FolderStart: where its end is, and how many counted items lie up to it
    // (itself included), so a folder moved whole counts all its content.
    qsizetype end = -1;
    qsizetype inside = 0;
};

// The answer to "Replace ...?", as the batch prompt gives it: 6 Yes, 7 No,
// 2 Cancel, and whether it stands for every later question of the operation.
struct CollisionAnswer {
    int answer = 2;
    bool applyToAll = false;
};

// What an operation will do, item by item, worked out before anything changes:
// the sources expanded (folders walked depth-first, links not followed), the
// items refused or left alone, and the user's answer for every collision.
class FilePlan {
public:
    static constexpr int Yes = 6;
    static constexpr int No = 7;
    static constexpr int Cancel = 2;
    using Ask = std::function<CollisionAnswer(const QString& question)>;
    using Cancelled = std::function<bool()>;

    static inline const QString QuestionStart = QStringLiteral("Replace ");
    static inline const QString IntoItselfText =
        QStringLiteral("The destination folder is the source folder or inside it.");
    static inline const QString NotFoundText = QStringLiteral("No such file or folder.");
    static inline const QString NoTargetText = QStringLiteral("The destination is not a folder.");
    static inline const QString FolderOntoFileText =
        QStringLiteral("A file of this name is where the folder would go.");
    static inline const QString FileOntoFolderText =
        QStringLiteral("A folder of this name is where the file would go.");
    static inline const QString NotReplacedText = QStringLiteral("Not replaced.");
    static inline const QString SameNameText =
        QStringLiteral("Another item of this name goes to the same place.");
    static inline const QString SpecialText =
        QStringLiteral("Only files, folders and links are copied or moved.");
    static inline const QString AlreadyThereText = QStringLiteral("It is in this folder already.");
    static inline const QString UnreadableText = QStringLiteral("The folder cannot be read.");
    static inline const QString UnreadableNameText =
        QStringLiteral("The name is not valid UTF-8 text, so it cannot be copied or moved.");

    // "Replace " + path + "?"
    static QString question(const QString& path);

    // Copies and moves go into target; the trash and deletes ignore it. Without
    // ask, every collision is answered No.
    static FilePlan make(FileOperationKind kind, const QStringList& sources, const QString& target,
                         const Ask& ask = {}, const Cancelled& cancelled = {});

    // Absolute, clean, each once, none inside another.
    static QStringList topSources(const QStringList& sources);

    QList<PlannedItem> items;
    QList<FileProblem> skipped;
    QList<FileProblem> refused;
    // Items the run counts: every file, link and folder it handles (the trash:
    // every source given).
    qsizetype total = 0;
    // The user answered Cancel, or the walk was cancelled; nothing is to be done.
    bool cancelled = false;

private:
    class Walker;
};
