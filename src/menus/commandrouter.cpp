#include "commandrouter.h"

#include "commandtable.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

CommandRouter::CommandRouter(MenuBars* menus, QObject* parent) : QObject(parent), m_menus(menus)
{
    setObjectName(QStringLiteral("CommandRouter"));
    connect(m_menus, &MenuBars::triggered, this, &CommandRouter::run);
}

void CommandRouter::add(
    std::initializer_list<std::pair<const char*, std::function<void()>>> handlers)
{
    for (const auto& [name, run] : handlers)
        add(QString::fromLatin1(name), run);
}

void CommandRouter::add(const QString& name, std::function<void()> handler,
                        CommandCondition enabledWhen, CommandCondition checkedWhen,
                        CommandCondition mixedWhen)
{
    m_commands.insert(name, {std::move(handler), std::move(enabledWhen), std::move(checkedWhen),
                             std::move(mixedWhen)});
}

void CommandRouter::run(MenuBars::Bar bar, const QString& name)
{
    const auto found = m_commands.constFind(name);
    if (found == m_commands.cend())
        return;
    const bool documentCommand = CommandTable::scope(name) == Scope::Document;
    if (documentCommand && (bar == MenuBars::Frame || !state().hasDocument))
        return;
    // A copy: the handler may replace itself, or close what owns it.
    const std::function<void()> handler = found->run;
    handler();
    refresh();
}

void CommandRouter::runTool(const ToolCommand& command)
{
    if (!command.isValid())
        return;
    if (command.needsDocument && !state().hasDocument) {
        emit noDocument();
        return;
    }
    run(command.needsDocument ? MenuBars::Document : MenuBars::Frame, command.name);
}

void CommandRouter::bind(QObject* target, const ToolCommand& command, bool documentButton)
{
    m_bindings.removeIf([target](const Binding& b) { return b.target == target; });
    m_bindings.append({target, command, documentButton});
}

void CommandRouter::addStateSource(std::function<void(CommandState&)> source)
{
    m_sources.append(std::move(source));
}

CommandState CommandRouter::state() const
{
    CommandState state;
    for (const auto& source : m_sources)
        source(state);
    return state;
}

void CommandRouter::refresh()
{
    refresh(state());
}

bool CommandRouter::isEnabled(const QString& name, const CommandState& state) const
{
    const auto found = m_commands.constFind(name);
    if (found == m_commands.cend())
        return false;
    if (CommandTable::scope(name) == Scope::Document && !state.hasDocument)
        return false;
    return !found->enabledWhen || found->enabledWhen(state);
}

void CommandRouter::apply(QAction* action, const QString& name, bool enabled,
                          const CommandState& state)
{
    action->setEnabled(enabled);
    const auto found = m_commands.constFind(name);
    if (found != m_commands.cend() && found->checkedWhen) {
        action->setCheckable(true);
        action->setChecked(found->checkedWhen(state));
    }
    if (found != m_commands.cend() && found->mixedWhen)
        action->setProperty("mixed", found->mixedWhen(state));
}

void CommandRouter::refreshBar(MenuBars::Bar bar, const CommandState& state)
{
    const QList<Command>& table =
        bar == MenuBars::Frame ? CommandTable::frameBar() : CommandTable::documentBar();
    for (const Command& command : table) {
        const QString name = QString::fromLatin1(command.name);
        QAction* action = m_menus->action(bar, name);
        if (!action || action->menu() || action->isSeparator())
            continue;
        apply(action, name, command.enabled && isEnabled(name, state), state);
    }
}

bool CommandRouter::toolEnabled(const ToolCommand& command, CommandState state) const
{
    if (!command.needsDocument)
        return isEnabled(command.name, state);
    // A document button is live while any document is open; pressed while
    // none is active, it says so (noDocument).
    if (!state.anyDocumentOpen)
        return false;
    state.hasDocument = true;
    return isEnabled(command.name, state);
}

void CommandRouter::refresh(const CommandState& state)
{
    m_menus->show(state.hasDocument ? MenuBars::Document : MenuBars::Frame);
    refreshBar(MenuBars::Frame, state);
    refreshBar(MenuBars::Document, state);
    for (const Command& command : CommandTable::contextMenus()) {
        const QString name = QString::fromLatin1(command.name);
        if (QAction* action = m_menus->popupAction(name))
            apply(action, name, isEnabled(name, state), state);
    }
    m_bindings.removeIf([](const Binding& b) { return b.target.isNull(); });
    QList<QAction*> faces;
    for (const Binding& binding : std::as_const(m_bindings)) {
        auto* action = qobject_cast<QAction*>(binding.target.data());
        if (action && action->menu()) {
            faces.append(action);
            continue;
        }
        const bool enabled = binding.command.isValid() && toolEnabled(binding.command, state) &&
                             (!binding.documentButton || state.anyDocumentOpen);
        if (action)
            apply(action, binding.command.name, enabled, state);
        else if (auto* widget = qobject_cast<QWidget*>(binding.target.data()))
            widget->setEnabled(enabled);
    }
    for (QAction* face : std::as_const(faces)) {
        bool any = false;
        if (const QMenu* menu = face->menu())
            for (const QAction* entry : menu->actions())
                any = any || entry->isEnabled();
        face->setEnabled(any);
    }
    emit refreshed();
}
