#pragma once

#include "platform/settings.h"

#include <functional>

// Where the left pane's controls go, in twips, for a given pane width and
// frame height; and the small rules of the pane's splitter and clicks.
namespace PaneLayout {
constexpr int MinimumWidth = Settings::MinimumPaneWidth;

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The controls with their fixed sizes in; their places out.
struct Pane {
    Box label2{0, 120, 1275, 240};
    Box list1{0, 465, 2235, 0};
    Box toolbar2;
    Box label1{0, 0, 1635, 240};
    Box drive1{0, 0, 2235, 360};
    Box treeView1;
    Box toolbar3;
};

void arrange(Pane& pane, int innerWidth, int frameHeight, bool maximized);
// The pane width a splitter drop at x gives.
int widthForDrop(int x);
// The next font size of the list and the tree on a left click: one point up
// until the font shows a different size, back to 8 from 13 on. actualSize
// tells which size the font really gives for a requested one; the
// requested size that changed it is returned.
double nextListFontSize(double current, const std::function<double(double)>& actualSize);
// The add button's picture after a right click (the remove button's is one more).
int swappedPlusImage(int plusImage);
} // namespace PaneLayout
