#pragma once

#include "platform/prompter.h"
#include "platform/result.h"

#include <QList>
#include <QString>
#include <optional>

// Hands a file to the desktop: its associated program, or, with none, a program
// the user picks in our own chooser. Our own desktop entry is never chosen.
namespace ExternalOpener {
inline const QString OwnDesktopEntry = QStringLiteral("org.quillora.Quillora.desktop");

enum class Outcome { Opened, NoAssociation, Failed };

// A program the desktop would open a kind of file with.
struct Application {
    QString id;              // its desktop entry, "org.example.Viewer.desktop"
    QString name;            // what the user knows it by
    bool textEditor = false; // its desktop entry lists the TextEditor category
};

// The desktop's default program for a file, judged from its name alone (one
// extension, one answer), our own entry included: the caller decides what that
// means. Nothing when the desktop knows no program for the kind.
std::optional<Application> defaultFor(const QString& fileName);

// The desktop entry that would open the file, empty when none (or only ours) would.
QString associatedApplication(const QString& path);
Outcome open(const QString& path);
// Opens the file with the program of the given desktop entry; with an empty id, as
// open() does.
Outcome openIn(const QString& path, const QString& application);
// A link's target: a file as open() hands it over, any other address to the
// desktop's program for its kind (web, mail).
Outcome openLink(const QString& link);

// The chooser's two lists, each program once and never our own entry: those made
// for the kind first (as the desktop recommends them); then the others that take
// it, a parent kind included (as the desktop lists them); then every other
// program the desktop shows in menus, in the order of their names.
struct ProgramLists {
    QList<ProgramInfo> recommended;
    QList<ProgramInfo> others;
};
ProgramLists arrangePrograms(const QList<ProgramInfo>& recommended,
                             const QList<ProgramInfo>& forType, const QList<ProgramInfo>& shown);

// The chooser's question for a file, its kind judged from its name alone.
OpenWithRequest openWithRequest(const QString& path);

enum class Chosen { Opened, Cancelled, Failed };
struct ChooserResult {
    Chosen outcome = Chosen::Cancelled;
    // Failed: why the program did not start. Opened: empty, or why the program
    // could not be kept as the default for the kind.
    QString error;
};

// Starts the chosen program, or the typed command, on the file (the file goes to
// it as an argument of its own, never through a shell), and, asked to, keeps it
// as the default program for the kind.
ChooserResult openWithChoice(const QString& path, const QString& contentType,
                             const OpenWithChoice& choice);
// Asks the user for a program (Prompter::openWith) and opens the file with it.
ChooserResult chooseAndOpen(const QString& path);
// chooseAndOpen for callers that only report failure: false when the chosen
// program could not be started; true when it was, or the user cancelled.
bool openWith(const QString& path);
} // namespace ExternalOpener
