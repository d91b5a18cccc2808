#pragma once

#include "platform/result.h"

#include <QString>

// Hands a file to the desktop: its associated program, or, with none, the
// desktop's own "open with" choice. Our own desktop entry is never chosen.
namespace ExternalOpener {
inline const QString OwnDesktopEntry = QStringLiteral("org.quillora.Quillora.desktop");

enum class Outcome { Opened, NoAssociation, Failed };

// The desktop entry that would open the file, empty when none (or only ours) would.
QString associatedApplication(const QString& path);
Outcome open(const QString& path);
// A link's target: a file as open() hands it over, any other address to the
// desktop's program for its kind (web, mail).
Outcome openLink(const QString& link);
// Asks the desktop to let the user choose a program; false when it cannot.
bool openWith(const QString& path);
} // namespace ExternalOpener
