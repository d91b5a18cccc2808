#include "icontheme.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QStandardPaths>

namespace IconTheme {

namespace {

// The colour the fallback icons are drawn in; it stands for the palette's text colour.
constexpr const char* Ink = "#7a8a9a";

// Writes the fallback icons in the palette's text colour into the cache once
// per colour, so that a dark desktop gets light icons; the resource copy is
// used where nothing can be written.
QString paletteThemeFolder()
{
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        return QStringLiteral(":/icons");
    const QString root = cache + QStringLiteral("/icons-") + text.name().mid(1);
    const QString theme = root + u'/' + QString::fromLatin1(Fallback);
    if (QFile::exists(theme + QStringLiteral("/index.theme")))
        return root;
    const QString source = QStringLiteral(":/icons/") + QString::fromLatin1(Fallback);
    QDirIterator files(source, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString to = theme + from.mid(source.size());
        QFile in(from);
        QFile out(to);
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !in.open(QIODevice::ReadOnly) ||
            !out.open(QIODevice::WriteOnly))
            return QStringLiteral(":/icons");
        // Half-way between the text and the window colour keeps them quiet.
        const QColor window = QGuiApplication::palette().color(QPalette::Window);
        const QColor ink((text.red() * 3 + window.red()) / 4,
                         (text.green() * 3 + window.green()) / 4,
                         (text.blue() * 3 + window.blue()) / 4);
        out.write(in.readAll().replace(Ink, ink.name().toLatin1()));
    }
    return root;
}

} // namespace

void install()
{
    QStringList paths = QIcon::themeSearchPaths();
    paths.append(paletteThemeFolder());
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(QString::fromLatin1(Fallback));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(QString::fromLatin1(Fallback));
}

} // namespace IconTheme
