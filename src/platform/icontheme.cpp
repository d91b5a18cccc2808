#include "icontheme.h"

#include <QIcon>

namespace IconTheme {

void install()
{
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QStringLiteral(":/icons")))
        paths.append(QStringLiteral(":/icons"));
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(QString::fromLatin1(Fallback));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(QString::fromLatin1(Fallback));
}

} // namespace IconTheme
