#pragma once

#include "document/framecontext.h"

#include <QObject>
#include <QPointer>
#include <QString>

class LeftPane;
class MainToolbar;
class ToolbarCustomizer;

// The three toolbars: clicks dispatched by key, raised or flat buttons, the
// main toolbar's customising and its saved layout.
class ToolbarController : public QObject {
    Q_OBJECT
public:
    static inline const QString ToolbarVersionMessage =
        QStringLiteral("2 new toolbar items have been added, 'Font name', and 'Font size'!");
    static constexpr int CurrentToolbarVersion = 2;

    ToolbarController(FrameContext& context, MainToolbar* toolbar, LeftPane* pane,
                      QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    void load();
    // The layout version check, the button style and the saved layout.
    void deferredStart();
    void writeSettings();

    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar1_ButtonMenuClick(const QString& buttonKey, const QString& entryKey);
    void Toolbar2_ButtonClick(const QString& key);
    void Toolbar3_ButtonClick(const QString& key);
    // A right click flips the style; the pane's toolbars follow it.
    void Toolbar1_MouseDown();
    void mnuToolBarCustomize_Click();
    void mnuToolbarButtonRaised_Click();
    void mnuToolbarButtonFlat_Click();
    void ApplyToolbarStyle();
    void Toolbar1_Change();

    QString toolbarLayoutPath() const;
    ToolbarCustomizer* customizer() const { return m_customizer; }
    // 0 raised, 1 flat.
    qint16 ToolBarStyle = 1;

private:
    void restoreToolbarLayout();

    FrameContext& m_context;
    MainToolbar* m_toolbar;
    LeftPane* m_pane;
    QPointer<ToolbarCustomizer> m_customizer;
};
