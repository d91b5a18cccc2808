#pragma once

#include <QDialog>

class MainToolbar;
class QListWidget;

// Adds, removes and reorders the main toolbar's buttons and separators; every
// change is applied at once and announced, so that it can be saved.
class ToolbarCustomizer : public QDialog {
    Q_OBJECT
public:
    ToolbarCustomizer(MainToolbar* toolbar, QWidget* parent = nullptr);

    void addSelected();
    void removeSelected();
    void moveSelected(int step);
    void resetToDefault();

    QListWidget* available;
    QListWidget* current;

signals:
    void changed();

private:
    void fill();
    void apply(const QStringList& keys, int selectRow);
    QStringList currentKeys() const;

    MainToolbar* m_toolbar;
};
