#pragma once

#include "menubars.h"
#include "toolbartable.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;

// What the enabled and checked states of the commands depend on, gathered once
// for each refresh from the parts of the program that know it.
struct CommandState {
    bool hasDocument = false;     // a document window is the active one
    bool anyDocumentOpen = false; // some document window exists
};

using CommandCondition = std::function<bool(const CommandState&)>;

namespace Enabled {
inline const CommandCondition Always = [](const CommandState&) { return true; };
inline const CommandCondition WithDocument = [](const CommandState& s) { return s.hasDocument; };
inline const CommandCondition WithAnyDocument = [](const CommandState& s) {
    return s.anyDocumentOpen;
};
} // namespace Enabled

// Runs every command by its control name, whichever menu entry, shortcut or
// toolbar button asked for it, and sets every enabled and checked state in one
// refresh: an entry or button is enabled only when its command has a handler
// and the handler's condition holds. A document-scope command runs only while
// a document window is active.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    explicit CommandRouter(MenuBars* menus, QObject* parent = nullptr);

    // A later add of the same name replaces the handler. A command whose check mark can
    // stand for a selection that mixes on and off says so with mixedWhen: its entries
    // and buttons get the property "mixed".
    void add(const QString& name, std::function<void()> handler,
             CommandCondition enabledWhen = Enabled::Always, CommandCondition checkedWhen = {},
             CommandCondition mixedWhen = {});
    // Many handlers that are always enabled, by control name.
    void add(std::initializer_list<std::pair<const char*, std::function<void()>>> handlers);
    bool has(const QString& name) const { return m_commands.contains(name); }
    // Runs the command as the given bar's entry would.
    void run(MenuBars::Bar bar, const QString& name);
    // Runs a toolbar button's command; one that needs a document announces
    // noDocument instead when no document window is active.
    void runTool(const ToolCommand& command);
    // A command that needs a document found none: the frame says so.
    void warnNoDocument() { emit noDocument(); }

    // A toolbar button or box whose state follows the command; a drop-down
    // button's face (an invalid command) is enabled while any of its entries
    // is. A document button is live only while some document is open.
    void bind(QObject* target, const ToolCommand& command, bool documentButton = false);

    // Each source fills in what it knows of the state.
    void addStateSource(std::function<void(CommandState&)> source);
    CommandState state() const;
    void refresh();
    void refresh(const CommandState& state);
    bool isEnabled(const QString& name, const CommandState& state) const;

signals:
    void noDocument();
    // Every state has been set; views that draw more than a QAction holds follow.
    void refreshed();

private:
    struct Handler {
        std::function<void()> run;
        CommandCondition enabledWhen;
        CommandCondition checkedWhen;
        CommandCondition mixedWhen;
    };
    struct Binding {
        QPointer<QObject> target;
        ToolCommand command;
        bool documentButton = false;
    };
    // An entry of the menus or a binding, with its command looked up by name once:
    // a refresh runs after every command and many caret moves.
    struct Step {
        QPointer<QObject> target;
        const Handler* handler = nullptr;
        bool documentScope = false;
        bool enabled = true; // as the table declares it
        bool tool = false, toolNeedsDocument = false, documentButton = false, face = false;
    };
    void plan();
    static bool enabledBy(const Step& step, const CommandState& state);
    static void apply(QAction* action, const Handler* handler, bool enabled,
                      const CommandState& state);

    MenuBars* m_menus;
    QHash<QString, Handler> m_commands;
    QList<Binding> m_bindings;
    QList<Step> m_steps;
    bool m_planned = false;
    QList<std::function<void(CommandState&)>> m_sources;
};
