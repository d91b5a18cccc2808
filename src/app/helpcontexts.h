#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Where a help context number leads in the user manual: a page of the manual's
// folder and, optionally, an anchor on it.
struct HelpTopic {
    QString page;
    QString anchor;
    bool operator==(const HelpTopic&) const = default;
};

// The one table of help context numbers, and where the manual is looked for.
// Windows name their context with the property "HelpContextID"; F1 and the
// Help buttons lead through this table.
class HelpContexts {
public:
    static constexpr int Contents = 0;
    static constexpr int DragDrop = 50;
    static constexpr int Documents = 1000;
    static constexpr int Formatting = 1100;
    static constexpr int FindReplace = 1200;
    static constexpr int Tools = 1300;
    static constexpr int Printing = 1400;
    static constexpr int Projects = 2000;
    static constexpr int FolderTree = 2100;
    static constexpr int Panes = 2200;
    static constexpr int Keys = 3000;
    static constexpr int Options = 4000;
    // 4001 to 4008: the options dialog's tabs in their order.
    static constexpr int OptionsTabs = 4001;

    static const char* const PropertyName;
    // The manual's first page; the keys page is made from the command table.
    static QString contentsPage() { return QStringLiteral("index.html"); }
    static QString keysPage() { return QStringLiteral("keys.html"); }

    // Nothing for a number the table does not know.
    static std::optional<HelpTopic> topic(int context);
    // A known number's topic, else the contents.
    static HelpTopic topicOrContents(int context);
    static QList<int> contexts();

    // The manual's folder in each installed tree, in the order they are searched.
    static QStringList manualFolders(const QStringList& installedTrees);
    // The first of the folders that holds the manual's first page; empty for none.
    static QString findManual(const QStringList& folders);
};
