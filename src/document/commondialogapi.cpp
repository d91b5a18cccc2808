#include "commondialogapi.h"

#include "platform/prompter.h"
#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <cmath>

namespace CommonDialogAPI {

namespace {

QString withoutDot(const QString& extension)
{
    return extension.startsWith(u'.') ? extension.mid(1) : extension;
}

// Only a typed name that is not there as given gets the extension: README and
// Makefile are files of their own.
QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || !QFileInfo(path).suffix().isEmpty() || QFileInfo::exists(path))
        return path;
    return path + u'.' + extension;
}

QString fileNotFound(const QString& path)
{
    return path + QStringLiteral("\nFile not found.\nCheck the file name and try again.");
}

QString createQuestion(const QString& path)
{
    return path + QStringLiteral("\nThis file does not exist.\nDo you want to create it?");
}

QString replaceQuestion(const QString& path)
{
    return path + QStringLiteral(" already exists.\nDo you want to replace it?");
}

// Runs the file dialog until the user confirms a name that the flags allow, or cancels.
QString runFileDialog(FileRequest request, const QString& defaultExtension, int flags)
{
    for (;;) {
        const QString chosen = Prompter::current().file(request);
        if (chosen.trimmed().isEmpty())
            return QString();
        const QString path = withDefaultExtension(chosen.trimmed(), withoutDot(defaultExtension));
        const bool exists = QFileInfo::exists(path);
        request.initialPath = path;
        if (!request.save && !exists && (flags & OFN_FILEMUSTEXIST)) {
            Prompter::tell(fileNotFound(path), MessageIcon::Exclamation);
            continue;
        }
        if (!request.save && !exists && (flags & OFN_CREATEPROMPT) &&
            Prompter::ask(createQuestion(path), MessageButtons::YesNo, MessageIcon::Question) !=
                Answer::Yes)
            continue;
        if (request.save && exists && (flags & OFN_OVERWRITEPROMPT) &&
            Prompter::ask(replaceQuestion(path), MessageButtons::YesNo, MessageIcon::Exclamation,
                          2) != Answer::Yes)
            continue;
        return path;
    }
}

FileRequest fileRequest(bool save, const QString& filter, int flags, const QString& initialFolder,
                        const QString& title, int filterIndex, const QString& initialFileName)
{
    FileRequest request;
    request.save = save;
    request.mustExist = !save && (flags & OFN_FILEMUSTEXIST);
    request.title = title;
    request.nameFilters = convertFilter(filter);
    request.selectedFilter = qMax(0, filterIndex - 1);
    request.initialFolder = initialFolder;
    request.initialPath = initialFileName.trimmed();
    request.resolveSymlinks = !(flags & OFN_NODEREFERENCELINKS);
    return request;
}

} // namespace

QStringList convertFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        QStringList variants;
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*"); // names without a dot are files too
            // Names here keep their case: "*.TXT" must still list words.txt.
            if (pattern != pattern.toLower() && !patterns.contains(pattern.toLower()))
                variants.append(pattern.toLower());
        }
        patterns += variants;
        const QString patternText = patterns.join(u' ');
        QString description = parts[i].trimmed();
        if (!description.endsWith(u')'))
            description += QStringLiteral(" (") + patternText + u')';
        else
            description = description.left(description.lastIndexOf(u'(')).trimmed() +
                          QStringLiteral(" (") + patternText + u')';
        filters.append(description);
    }
    return filters;
}

QString ShowOpen(QWidget*, const QString& defaultExtension, const QString& filter, int flags,
                 const QString& initialFolder, const QString& title, int filterIndex,
                 const QString& initialFileName)
{
    return runFileDialog(
        fileRequest(false, filter, flags, initialFolder, title, filterIndex, initialFileName),
        defaultExtension, flags);
}

QString ShowSave(QWidget*, const QString& defaultExtension, const QString& filter, int flags,
                 const QString& initialFileName, const QString& initialFolder, const QString& title,
                 int filterIndex)
{
    return runFileDialog(
        fileRequest(true, filter, flags, initialFolder, title, filterIndex, initialFileName),
        defaultExtension, flags);
}

QList<qint32>& customColors()
{
    static QList<qint32> colors = {0xB4FFFF, 0xE1FFFF, 0xEEFFFF, 0xEEF5FF, 0xE6F0FA, 0xF0FAFF,
                                   0xCCCCCC, 0xE6E6E6, 0xFFF8F0, 0xFFFFE6, 0xFAE6E6, 0xE6E0B0,
                                   0xF5F0FF, 0xE1E4FF, 0xD8BFD8, 0xF0FFF0};
    return colors;
}

qint32 ShowColor(QWidget*, qint32 initialColor)
{
    QList<QColor> custom;
    for (qint32 stored : customColors())
        custom.append(Settings::colorFromStored(stored));
    const std::optional<QColor> chosen =
        Prompter::current().color(Settings::colorFromStored(initialColor), custom);
    if (!chosen)
        return -1;
    for (qsizetype i = 0; i < custom.size() && i < customColors().size(); ++i)
        customColors()[i] = Settings::storedFromColor(custom[i]);
    return Settings::storedFromColor(*chosen);
}

QPrinter& programPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool ShowPrinter(QWidget*, int& flags)
{
    bool selectionOnly = flags & PD_SELECTION;
    const bool allowSelection = !(flags & PD_NOSELECTION);
    if (!Prompter::current().printer(programPrinter(), selectionOnly, allowSelection))
        return true;
    flags = selectionOnly ? (flags | PD_SELECTION) & ~PD_NOSELECTION : flags & ~PD_SELECTION;
    return false;
}

bool ShowPageSetup(QWidget*, int, int& top, int& bottom, int& left, int& right)
{
    QPrinter& printer = programPrinter();
    QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch);
    if (!Prompter::current().pageSetup(printer, margins))
        return true;
    top = int(std::lround(margins.top() * 1000));
    bottom = int(std::lround(margins.bottom() * 1000));
    left = int(std::lround(margins.left() * 1000));
    right = int(std::lround(margins.right() * 1000));
    return false;
}

} // namespace CommonDialogAPI
