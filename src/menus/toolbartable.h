#pragma once

#include <QList>
#include <QString>

// The buttons of the three toolbars and the commands their clicks run.
struct ToolButtonEntry {
    QString key = {};
    QString label = {};
};

struct ToolButton {
    enum class Style { Default, Check, Group, Placeholder, DropDown, Separator };
    QString key = {};
    QString description = {};
    QString tooltip = {};
    Style style = Style::Default;
    QString icon = {};
    int width = 0; // twips, placeholders only
    QList<ToolButtonEntry> menu = {};
};

// What a click runs: a menu command of the frame, or of the active document
// window (which needs one; without it the click warns instead).
struct ToolCommand {
    QString name;
    bool needsDocument = false;
    bool isValid() const { return !name.isEmpty(); }
};

namespace ToolbarTable {
const QList<ToolButton>& toolbar1();
const QList<ToolButton>& toolbar2();
const QList<ToolButton>& toolbar3();
const ToolButton* find(const QList<ToolButton>& buttons, const QString& key);
// Keys are compared without regard to case; an unknown key runs nothing.
ToolCommand toolbar1Click(const QString& key);
ToolCommand toolbar1MenuClick(const QString& buttonKey, const QString& entryKey);
ToolCommand toolbar2Click(const QString& key);
ToolCommand toolbar3Click(const QString& key);
// What a font box placeholder's box sets ("Fontname", "Fontsize").
ToolCommand boxCommand(const QString& key);
// Buttons that are live only while a document is open.
bool isDocumentButton(const QString& key);
} // namespace ToolbarTable
