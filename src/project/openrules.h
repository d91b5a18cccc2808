#pragma once

#include "extapps.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

// The setting "OpenMethod": which files open as documents and which in the
// program the desktop associates with them.
enum class OpenMethod {
    Documents = 0,         // everything as a document, except read-only shortcuts
    Associated = 1,        // associated programs, but text editors' files are documents
    AssociatedOrEditor = 2 // associated programs, text editors included
};

// Whether a path opens as a document or goes to another program, and the question
// asked before it goes. Plain rules over the path's text, the settings and the
// desktop's associations, which the caller provides (GIO in the program, a table
// in tests).
class OpenRules {
public:
    // The desktop's program for a file, judged from its name alone; nullopt when
    // the desktop knows none.
    using AssociationLookup = std::function<std::optional<Association>(const QString& path)>;

    // Our own desktop entry (data/org.quillora.Quillora.desktop, as in
    // ExternalOpener): files associated with it open as documents.
    static inline const QString OwnApplication = QStringLiteral("org.quillora.Quillora.desktop");
    // What the question names when the desktop knows no program; Yes then lets the
    // user choose one.
    static inline const QString UnknownApplication = QStringLiteral("[External Application]");
    static inline const QString LinkedItemPrefix = QStringLiteral("Linked item: ");
    static inline const QString LinkedItemQuestion =
        QStringLiteral("Should I open this item in its external application?");
    static inline const QString OpenInQuestion = QStringLiteral("Should I open this item in");

    struct Decision {
        bool external = false;
        // The desktop entry to open it with; empty for a read-only shortcut whose
        // program the desktop finds when it opens it, and when none is known.
        QString application;
        // The question to ask before opening externally; empty for a document.
        QString question;
    };

    OpenRules(ExtApps& extApps, AssociationLookup lookup)
        : m_extApps(extApps), m_lookup(std::move(lookup))
    {}

    // fromOutside: the path came from the command line, another instance or a
    // drop on the document area; such paths open as documents unless they are
    // read-only shortcuts. openExclude is the setting "OpenExclude".
    Decision decide(const QString& path, bool fromOutside, OpenMethod method,
                    const QString& openExclude);

    // Whether the extension (lower case, with its ".") is one of the setting's
    // comma-separated items.
    static bool isExcluded(const QString& extension, const QString& openExclude);
    static OpenMethod openMethod(int setting);

private:
    std::optional<Association> association(const QString& path, const QString& extension);

    ExtApps& m_extApps;
    AssociationLookup m_lookup;
};
