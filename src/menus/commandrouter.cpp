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
    m_planned = false; // the table may have moved its handlers
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
    m_planned = false;
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
    Step step;
    step.handler = &*found;
    step.documentScope = CommandTable::scope(name) == Scope::Document;
    return enabledBy(step, state);
}

bool CommandRouter::enabledBy(const Step& step, const CommandState& state)
{
    if (!step.handler || !step.enabled)
        return false;
    CommandState seen = state;
    if (step.tool) {
        // A document button is live while any document is open; pressed while
        // none is active, it says so (noDocument).
        if (step.documentButton && !state.anyDocumentOpen)
            return false;
        if (step.toolNeedsDocument) {
            if (!state.anyDocumentOpen)
                return false;
            seen.hasDocument = true;
        }
    }
    if (step.documentScope && !seen.hasDocument)
        return false;
    return !step.handler->enabledWhen || step.handler->enabledWhen(seen);
}

void CommandRouter::apply(QAction* action, const Handler* handler, bool enabled,
                          const CommandState& state)
{
    action->setEnabled(enabled);
    if (handler && handler->checkedWhen) {
        action->setCheckable(true);
        action->setChecked(handler->checkedWhen(state));
    }
    if (handler && handler->mixedWhen)
        action->setProperty("mixed", handler->mixedWhen(state));
}

void CommandRouter::plan()
{
    m_steps.clear();
    const auto lookUp = [this](const QString& name, Step& step) {
        const auto found = m_commands.constFind(name);
        step.handler = found == m_commands.cend() ? nullptr : &*found;
        step.documentScope = CommandTable::scope(name) == Scope::Document;
    };
    for (MenuBars::Bar bar : {MenuBars::Frame, MenuBars::Document})
        for (const Command& command :
             bar == MenuBars::Frame ? CommandTable::frameBar() : CommandTable::documentBar()) {
            const QString name = QString::fromLatin1(command.name);
            QAction* action = m_menus->action(bar, name);
            if (!action || action->menu() || action->isSeparator())
                continue;
            Step step;
            step.target = action;
            step.enabled = command.enabled;
            lookUp(name, step);
            m_steps.append(step);
        }
    for (const Command& command : CommandTable::contextMenus()) {
        const QString name = QString::fromLatin1(command.name);
        if (QAction* action = m_menus->popupAction(name)) {
            Step step;
            step.target = action;
            lookUp(name, step);
            m_steps.append(step);
        }
    }
    // Drop-down faces last: they follow the entries set before them.
    QList<Step> faces;
    for (const Binding& binding : std::as_const(m_bindings)) {
        Step step;
        step.target = binding.target;
        auto* action = qobject_cast<QAction*>(binding.target.data());
        if (action && action->menu()) {
            step.face = true;
            faces.append(step);
            continue;
        }
        step.tool = true;
        step.documentButton = binding.documentButton;
        step.toolNeedsDocument = binding.command.needsDocument;
        if (binding.command.isValid())
            lookUp(binding.command.name, step);
        m_steps.append(step);
    }
    m_steps.append(faces);
    m_planned = true;
}

void CommandRouter::refresh(const CommandState& state)
{
    m_menus->show(state.hasDocument ? MenuBars::Document : MenuBars::Frame);
    if (!m_planned)
        plan();
    bool gone = false;
    for (const Step& step : std::as_const(m_steps)) {
        QObject* target = step.target.data();
        if (!target) {
            gone = true;
            continue;
        }
        auto* action = qobject_cast<QAction*>(target);
        if (step.face) {
            bool any = false;
            for (const QAction* entry : action->menu()->actions())
                any = any || entry->isEnabled();
            action->setEnabled(any);
            continue;
        }
        const bool enabled = enabledBy(step, state);
        if (action)
            apply(action, step.handler, enabled, state);
        else if (auto* widget = qobject_cast<QWidget*>(target))
            widget->setEnabled(enabled);
    }
    if (gone) {
        m_bindings.removeIf([](const Binding& b) { return b.target.isNull(); });
        m_planned = false;
    }
    emit refreshed();
}
