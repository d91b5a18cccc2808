#include "panelayout.h"

#include <QtGlobal>

namespace PaneLayout {

namespace {

int centred(int outer, int inner)
{
    return (outer - inner) / 2;
}

int below(const Box& box, int gap)
{
    return box.top + box.height + gap;
}

} // namespace

void arrange(Pane& pane, int innerWidth, int frameHeight, bool maximized)
{
    const int w = innerWidth;
    pane.label2.left = centred(w, pane.label2.width);
    pane.list1.height = qRound(frameHeight * (maximized ? 0.33 : 0.25));
    pane.list1.width = w;
    pane.toolbar2.top = below(pane.list1, 150);
    pane.toolbar2.left = centred(w, pane.toolbar2.width);
    pane.label1.top = below(pane.toolbar2, 150);
    pane.label1.left = centred(w, pane.label1.width);
    pane.drive1.top = below(pane.label1, 100);
    pane.drive1.left = centred(w, pane.drive1.width);
    pane.treeView1.top = below(pane.drive1, 100);
    pane.treeView1.height = pane.list1.height;
    pane.treeView1.width = w;
    pane.toolbar3.top = below(pane.treeView1, 150);
    pane.toolbar3.left = centred(w, pane.toolbar3.width);
}

int widthForDrop(int x)
{
    return qMax(x, MinimumWidth);
}

double nextListFontSize(double current, const std::function<double(double)>& actualSize)
{
    if (current >= 13)
        return 8;
    const double before = actualSize(current);
    // A font that offers few sizes may need several steps before it changes;
    // 72 points ends the search for one that never does.
    for (double requested = current + 1; requested <= 72; ++requested)
        if (actualSize(requested) != before)
            return requested;
    return 8;
}

int swappedPlusImage(int plusImage)
{
    return plusImage == 14 ? 12 : 14;
}

} // namespace PaneLayout
