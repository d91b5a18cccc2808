#pragma once

#include "app/panelayout.h"

#include <QWidget>

class DriveBox;
class FolderTreeView;
class ProjectListView;
class QComboBox;
class QLabel;
class QRubberBand;
class QToolBar;

// The frame's left pane: the project list with its toolbar above the drive
// box, the folder tree and the tree toolbar. Its width is kept in twips; a
// drag of the pane's background moves its edge, a click changes the list
// font (left button) or the add/remove pictures (other buttons).
class LeftPane : public QWidget {
    Q_OBJECT
public:
    explicit LeftPane(QWidget* parent = nullptr);

    void setWidthTwips(int twips);
    int widthTwips() const { return m_widthTwips; }
    void setListFontSize(double points);
    double listFontSize() const;
    void setPlusImage(int picture);
    int plusImage() const { return m_plusImage; }
    // Lays the controls out for the frame's height (twips) and state.
    void Form_Resize(int frameHeightTwips, bool maximized);

    QLabel* Label2;
    ProjectListView* List1;
    QToolBar* Toolbar2;
    QLabel* Label1;
    DriveBox* Drive1;
    FolderTreeView* TreeView1;
    QToolBar* Toolbar3;

signals:
    void buttonClicked(const QString& toolbar, const QString& key);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QToolBar* makeToolbar(const QString& name, bool listButtons);
    void Picture1_Click();
    bool moved(QPoint to) const;
    void place(QWidget* widget, const PaneLayout::Box& box);

    PaneLayout::Pane m_pane;
    int m_widthTwips = PaneLayout::MinimumWidth;
    int m_plusImage = 14;
    int m_frameHeightTwips = 0;
    bool m_maximized = false;
    QPoint m_pressPoint;
    Qt::MouseButton m_pressButton = Qt::NoButton;
    bool m_dragging = false;
    QRubberBand* m_edge = nullptr;
};
