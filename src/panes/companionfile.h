#pragma once

#include "platform/result.h"

#include <QString>

// The text of a file a companion pane shows (quotes, text blocks): a regular
// file only, of bounded size, decoded as plain text with its encoding found,
// its lines ended by '\n' whatever the file used.
class CompanionFile {
public:
    // A pane holds its whole file in memory, several times over while loading.
    static constexpr qint64 MaxBytes = 128LL * 1024 * 1024;

    static Result<QString> read(const QString& path, qint64 maxBytes = MaxBytes);
};
