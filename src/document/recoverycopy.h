#pragma once

#include "platform/diskstamp.h"
#include "recoveryowner.h"
#include "richtext/documentfile.h"
#include "richtext/textfileformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a recovery copy holds: enough to bring a document back as it was, to
// be saved where it belongs in the form it had.
struct RecoveryCopy {
    RecoveryOwner owner;
    QDateTime savedAt;    // UTC
    QString originalPath; // empty for an untitled document
    DocumentKind kind = DocumentKind::Text;
    TextFileFormat format;
    int caret = 0; // a document position
    // The file at the original path as it was when the copy was made (no hash):
    // a change after that, a crash in between, must not be saved over unasked.
    DiskStamp disk;
    // RTF for a rich document, else the text as UTF-8 with '\n' between lines.
    QByteArray content;

    bool operator==(const RecoveryCopy&) const = default;
};
