#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;

// The frame's menu bar and the document windows' menu bar, one shown at a
// time, and the context menus. Only the shown bar's shortcuts are live.
class MenuBars : public QWidget {
    Q_OBJECT
public:
    enum Bar { Frame, Document };

    explicit MenuBars(QWidget* parent = nullptr);

    void show(Bar bar);
    Bar shown() const { return m_shown; }
    QMenuBar* bar(Bar bar) const { return bar == Frame ? m_frameBar : m_documentBar; }
    QAction* action(Bar bar, const QString& name) const;
    const QHash<QString, QAction*>& actions(Bar bar) const;
    QMenu* popup(const QString& name) const { return m_popups.value(name); }
    QAction* popupAction(const QString& name) const { return m_popupActions.value(name); }
    // Both bars' entries of that name.
    QList<QAction*> entries(const QString& name) const;

signals:
    void triggered(MenuBars::Bar bar, const QString& name);
    void windowMenuAboutToShow(QMenu* menu);
    // Any menu of either bar is about to open.
    void menuAboutToShow(const QString& name, QMenu* menu);

private:
    void connectBar(Bar bar);

    QMenuBar* m_frameBar;
    QMenuBar* m_documentBar;
    QHash<QString, QAction*> m_frameActions;
    QHash<QString, QAction*> m_documentActions;
    QHash<QString, QMenu*> m_popups;
    QHash<QString, QAction*> m_popupActions;
    Bar m_shown = Frame;
};
