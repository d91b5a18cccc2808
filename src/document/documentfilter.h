#pragma once

#include <QString>
#include <QStringList>

// The document extensions offered by the open and save dialogs, and the rule
// that picks a default extension and a filter entry for a file name.
class DocumentFilter {
public:
    static inline const QString DefaultExtensions = QStringLiteral(".txt,.htm*,.js,.css,.xml,.rtf");

    struct FilterChoice {
        QString defaultExtension;
        int filterIndex = 1; // 1-based; entries + 1 is "All Files"
    };

    // From the "Extensions" setting; an empty setting gives the default list.
    void BuildFileFilter(const QString& extensionsSetting);
    FilterChoice GetFilterIndex(const QString& path) const;

    const QStringList& DocExtensions() const { return m_extensions; }
    const QString& DocFilter() const { return m_filter; }
    // The first extension without a trailing "*", as new names get it.
    QString firstExtension() const;

private:
    bool matches(const QString& entry, const QString& extension) const;
    QStringList m_extensions;
    QString m_filter;
};
