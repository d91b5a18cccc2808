#pragma once

#include "platform/result.h"

#include <QString>
#include <optional>

// Hands a file to the desktop: its associated program, or, with none, the
// desktop's own "open with" choice. Our own desktop entry is never chosen.
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
// Asks the desktop to let the user choose a program; false when it cannot.
bool openWith(const QString& path);
} // namespace ExternalOpener
