#pragma once

#include <QMimeData>
#include <QStringList>
#include <QUrl>

// The local files among dragged or copied data, in the order given.
inline QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}
