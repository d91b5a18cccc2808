#pragma once

#include <QString>

// Where the running instance listens: a folder only this user may enter, under
// the user's runtime folder. QUILLORA_INSTANCE names a separate instance (tests).
namespace InstancePaths {
QString instanceName();
// Creates the folder when needed; empty when no private folder can be had.
QString directory();
QString socketPath();
QString lockPath();
} // namespace InstancePaths
