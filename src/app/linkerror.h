#pragma once

#include <QString>

// The messages of the hand-off between a second start and the running window.
namespace LinkError {
// "DDE Error: " and the words for a link error code.
QString text(int code);
// What a second start says when the running window never answered.
QString handoffFailed(const QString& commandLine, int errorNumber, const QString& description);
} // namespace LinkError
