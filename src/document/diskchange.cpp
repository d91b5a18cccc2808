#include "diskchange.h"

#include <QFileInfo>

DiskChange::Action DiskChange::decide(const DiskStamp& seen, const DiskStamp& now, bool edited)
{
    using Kind = DiskStamp::Kind;
    if (now.sameContent(seen))
        return now.sameMetadata(seen) ? Action::None : Action::Restamp;
    switch (now.kind) {
    case Kind::Missing:
        return Action::MarkGone;
    case Kind::Folder:
    case Kind::Other:
    case Kind::Unreadable:
        return Action::MarkUnfit;
    case Kind::File:
        break;
    }
    return edited ? Action::Ask : Action::Reload;
}

DiskStamp DiskChange::look(const QString& path, const DiskStamp& seen, bool thorough)
{
    const DiskStamp quick = DiskStamp::quick(path);
    if (quick.sameMetadata(seen) &&
        (!thorough || quick.kind != DiskStamp::Kind::File || quick.size > ThoroughHashLimit))
        return seen;
    return DiskStamp::of(path);
}

bool DiskChange::overwriteNeedsQuestion(const DiskStamp& saved, const DiskStamp& now)
{
    using Kind = DiskStamp::Kind;
    // Nothing there is written anew; a folder or device is never replaced (the
    // save itself refuses them and says why).
    if (now.kind != Kind::File && now.kind != Kind::Unreadable)
        return false;
    return !now.sameContent(saved);
}

QString DiskChange::reloadQuestion(const QString& path)
{
    return QStringLiteral("The file ") + path +
           QStringLiteral(" has been changed by another program. Reload it and lose your changes?");
}

QString DiskChange::overwriteQuestion(const QString& path)
{
    return QStringLiteral("The file ") + path +
           QStringLiteral(" has been changed by another program since it was loaded or last "
                          "saved. Overwrite it with this document?");
}

QString DiskChange::reloadedStatus(const QString& path)
{
    return QStringLiteral("Reloaded: ") + QFileInfo(path).fileName() +
           QStringLiteral(", changed on disk");
}

QString DiskChange::goneStatus(const QString& path)
{
    return QStringLiteral("Gone from disk: ") + QFileInfo(path).fileName() +
           QStringLiteral(", deleted or moved away; Save writes it again");
}

QString DiskChange::unfitMessage(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nSomething other than a readable file now stands at this path (a "
                          "folder, a device, or a file you may not read). The document keeps "
                          "its text, unsaved.");
}
