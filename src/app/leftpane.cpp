#include "leftpane.h"

#include "menus/toolbartable.h"
#include "project/projectlistview.h"
#include "richtext/twips.h"
#include "tree/drivebox.h"
#include "tree/foldertreeview.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>
#include <QStorageInfo>
#include <QToolBar>

namespace {

int toPixels(int twips)
{
    return qRound(Twips::toPixels(twips));
}

} // namespace

LeftPane::LeftPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    Label2 = new QLabel(QStringLiteral("Project List"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    List1 = new ProjectListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    Toolbar2 = makeToolbar(QStringLiteral("Toolbar2"), true);
    Label1 = new QLabel(QStringLiteral("Disk Tree View"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Drive1 = new DriveBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    TreeView1 = new FolderTreeView(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    Toolbar3 = makeToolbar(QStringLiteral("Toolbar3"), false);
    for (QWidget* label : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    setPlusImage(14);
    setListFontSize(10);
    setCursor(Qt::SizeHorCursor);
    for (QWidget* child : {static_cast<QWidget*>(List1), static_cast<QWidget*>(Toolbar2),
                           static_cast<QWidget*>(Drive1), static_cast<QWidget*>(TreeView1),
                           static_cast<QWidget*>(Toolbar3)})
        child->setCursor(Qt::ArrowCursor);
}

QToolBar* LeftPane::makeToolbar(const QString& name, bool listButtons)
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QList<ToolButton>& buttons =
        listButtons ? ToolbarTable::toolbar2() : ToolbarTable::toolbar3();
    for (const ToolButton& button : buttons) {
        QAction* action = bar->addAction(QIcon::fromTheme(button.icon), button.tooltip);
        action->setObjectName(button.key);
        action->setToolTip(button.tooltip);
        action->setStatusTip(button.description);
        const QString key = button.key;
        connect(action, &QAction::triggered, this,
                [this, name, key] { emit buttonClicked(name, key); });
    }
    bar->adjustSize();
    return bar;
}

void LeftPane::setWidthTwips(int twips)
{
    m_widthTwips = qMax(twips, PaneLayout::MinimumWidth);
    setFixedWidth(toPixels(m_widthTwips));
    Form_Resize(m_frameHeightTwips, m_maximized);
}

void LeftPane::setListFontSize(double points)
{
    for (QWidget* w : {static_cast<QWidget*>(List1), static_cast<QWidget*>(TreeView1)}) {
        QFont font = w->font();
        font.setPointSizeF(points);
        w->setFont(font);
    }
}

double LeftPane::listFontSize() const
{
    return List1->font().pointSizeF();
}

void LeftPane::setPlusImage(int picture)
{
    // 14 and 15 are a plus and a minus, 12 and 13 an arrow in and a cross.
    m_plusImage = picture == 12 ? 12 : 14;
    if (QAction* add = Toolbar2->findChild<QAction*>(QStringLiteral("listAdd")))
        add->setIcon(QIcon::fromTheme(m_plusImage == 14 ? QStringLiteral("list-add")
                                                        : QStringLiteral("go-next")));
    if (QAction* remove = Toolbar2->findChild<QAction*>(QStringLiteral("listRemove")))
        remove->setIcon(QIcon::fromTheme(m_plusImage == 14 ? QStringLiteral("list-remove")
                                                           : QStringLiteral("edit-delete")));
}

void LeftPane::Form_Resize(int frameHeightTwips, bool maximized)
{
    m_frameHeightTwips = frameHeightTwips;
    m_maximized = maximized;
    m_pane.toolbar2.width = Twips::fromPixels(Toolbar2->sizeHint().width());
    m_pane.toolbar2.height = Twips::fromPixels(Toolbar2->sizeHint().height());
    m_pane.toolbar3.width = Twips::fromPixels(Toolbar3->sizeHint().width());
    m_pane.toolbar3.height = Twips::fromPixels(Toolbar3->sizeHint().height());
    PaneLayout::arrange(m_pane, m_widthTwips, frameHeightTwips, maximized);
    place(Label2, m_pane.label2);
    place(List1, m_pane.list1);
    place(Toolbar2, m_pane.toolbar2);
    place(Label1, m_pane.label1);
    place(Drive1, m_pane.drive1);
    place(TreeView1, m_pane.treeView1);
    place(Toolbar3, m_pane.toolbar3);
}

void LeftPane::place(QWidget* widget, const PaneLayout::Box& box)
{
    widget->setGeometry(toPixels(box.left), toPixels(box.top), toPixels(box.width),
                        toPixels(box.height));
}

void LeftPane::mousePressEvent(QMouseEvent* event)
{
    m_pressPoint = event->position().toPoint();
    m_pressButton = event->button();
    m_dragging = true;
}

void LeftPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || !moved(event->position().toPoint()))
        return;
    // A line over the frame shows where the pane's edge will go.
    if (!m_edge)
        m_edge = new QRubberBand(QRubberBand::Line, parentWidget());
    const int x =
        qMax(event->position().toPoint().x(), qRound(Twips::toPixels(PaneLayout::MinimumWidth)));
    m_edge->setGeometry(mapTo(parentWidget(), QPoint(x, 0)).x(), 0, 2, parentWidget()->height());
    m_edge->show();
}

bool LeftPane::moved(QPoint to) const
{
    // A hand that shakes a little still clicks.
    return (to - m_pressPoint).manhattanLength() >= QApplication::startDragDistance();
}

void LeftPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_edge)
        m_edge->hide();
    const QPoint drop = event->position().toPoint();
    if (!moved(drop)) {
        Picture1_Click();
        return;
    }
    // The pane sits at the frame's left edge, so the drop's x is the new width.
    setWidthTwips(PaneLayout::widthForDrop(Twips::fromPixels(drop.x())));
}

void LeftPane::Picture1_Click()
{
    if (m_pressButton == Qt::LeftButton) {
        const double next = PaneLayout::nextListFontSize(listFontSize(), [this](double size) {
            QFont font = List1->font();
            font.setPointSizeF(size);
            return QFontInfo(font).pointSizeF();
        });
        setListFontSize(next);
        Form_Resize(m_frameHeightTwips, m_maximized);
    } else {
        setPlusImage(PaneLayout::swappedPlusImage(m_plusImage));
    }
    List1->setFocus();
}
