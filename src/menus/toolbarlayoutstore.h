#pragma once

#include "platform/result.h"

#include <QStringList>
#include <optional>

// The main toolbar's button order, kept in a file of its own beside (not
// inside) the settings file: one button key per line, "|" for a separator.
namespace ToolbarLayoutStore {
inline const QString Name = QStringLiteral("Quillora Toolbar1");
QString pathBeside(const QString& settingsFile);
// Nothing when there is no saved layout or it cannot be read.
std::optional<QStringList> load(const QString& path);
Status save(const QString& path, const QStringList& keys);
void remove(const QString& path);
} // namespace ToolbarLayoutStore
