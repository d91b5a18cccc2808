#pragma once

#include "menus/toolbartable.h"

#include <QHash>
#include <QToolBar>

class CommandRouter;
class QActionGroup;
class QComboBox;
class QToolButton;
class QWidgetAction;

// The main toolbar: its buttons in the user's order, the font boxes on the two
// placeholders, raised or flat buttons, and the hover description.
class MainToolbar : public QToolBar {
    Q_OBJECT
public:
    static inline const QString Separator = QStringLiteral("|");

    // The router keeps every button's enabled and checked state.
    explicit MainToolbar(CommandRouter* router, QWidget* parent = nullptr);

    static QStringList defaultLayout();
    // Rebuilds the buttons in this order; unknown keys are left out.
    void setButtonLayout(const QStringList& keys);
    QStringList layoutKeys() const { return m_keys; }
    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }
    QAction* button(const QString& key) const { return m_buttons.value(key.toLower()); }
    QAction* menuEntry(const QString& buttonKey, const QString& entryKey) const;
    QToolButton* toolButton(const QString& key) const;

    QComboBox* Combo1;
    QComboBox* Combo2;

signals:
    void buttonClicked(const QString& key);
    void menuClicked(const QString& buttonKey, const QString& entryKey);
    void hovered(const QString& description);
    void left();
    void rightClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void addButton(const ToolButton& button);
    QWidgetAction* fontBoxHolder(QComboBox* box);
    void addDropDown(const ToolButton& button, QAction* action);
    void applyStyle();
    // A button whose command's selection mixes on and off gets a dashed frame.
    void showMixed();

    QStringList m_keys;
    QHash<QString, QAction*> m_buttons;
    QHash<QString, QAction*> m_menuEntries;
    QActionGroup* m_alignGroup = nullptr;
    // The font boxes sit in actions of their own that live as long as the
    // toolbar: a box belongs to its action, and rebuilding must not delete it.
    QWidgetAction* m_fontNameHolder;
    QWidgetAction* m_fontSizeHolder;
    QList<QAction*> m_ownActions;
    CommandRouter* m_router;
    bool m_flat = true;
};
