#pragma once

#include <QHash>
#include <QString>
#include <optional>

// The program the desktop opens a kind of file with.
struct Association {
    QString application;     // its desktop entry, "org.example.Viewer.desktop"
    QString name;            // what the user knows it by
    bool textEditor = false; // its desktop entry lists the TextEditor category
    bool operator==(const Association&) const = default;
};

// The desktop's associations by extension (lower case, with its "."), kept while
// the program runs so the desktop is asked once per extension. It keeps what the
// desktop said, not what the rules made of it, so a change of the open method
// needs no new question. Extensions the desktop knows no program for are not
// kept: a program installed meanwhile is found the next time.
class ExtApps {
public:
    std::optional<Association> find(const QString& extension) const
    {
        const auto it = m_associations.constFind(extension);
        if (it == m_associations.cend())
            return std::nullopt;
        return *it;
    }
    void add(const QString& extension, const Association& association)
    {
        m_associations.insert(extension, association);
    }
    // When the preferences are applied: the user may have changed associations.
    void clear() { m_associations.clear(); }
    qsizetype size() const { return m_associations.size(); }

private:
    QHash<QString, Association> m_associations;
};
