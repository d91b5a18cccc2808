#include "documentfilter.h"

#include "documenttable.h"

void DocumentFilter::BuildFileFilter(const QString& extensionsSetting)
{
    const QString list =
        extensionsSetting.trimmed().isEmpty() ? DefaultExtensions : extensionsSetting;
    m_extensions.clear();
    QStringList parts;
    for (const QString& raw : list.split(u',')) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        m_extensions.append(entry);
        parts.append(entry + QStringLiteral("|*") + entry);
    }
    parts.append(QStringLiteral("All Files|*.*"));
    m_filter = parts.join(u'|');
}

QString DocumentFilter::firstExtension() const
{
    QString first = m_extensions.value(0);
    if (first.endsWith(u'*'))
        first.chop(1);
    return first;
}

bool DocumentFilter::matches(const QString& entry, const QString& extension) const
{
    const qsizetype star = entry.indexOf(u'*');
    if (star <= 0)
        return entry.compare(extension, Qt::CaseInsensitive) == 0;
    return entry.left(star).compare(extension.left(star), Qt::CaseInsensitive) == 0;
}

DocumentFilter::FilterChoice DocumentFilter::GetFilterIndex(const QString& path) const
{
    const int allFiles = int(m_extensions.size()) + 1;
    // The extension is the file name's: a dot in a folder's name is not one.
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/')) {
        if (path.startsWith(DocumentTable::UntitledPrefix))
            return {firstExtension(), 1};
        return {QString(), allFiles};
    }
    const QString extension = path.mid(dot);
    for (qsizetype i = 0; i < m_extensions.size(); ++i)
        if (matches(m_extensions[i], extension))
            return {extension, int(i) + 1};
    return {extension, allFiles};
}
