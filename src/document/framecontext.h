#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class CommandRouter;
class DocumentManager;
class MenuBars;
class QComboBox;
class QWidget;
class Settings;

// What the frame hands each controller: the shared settings, the open
// documents, the command router, the frame's own window and queue, and the
// panes its Parts fill.
struct FrameContext {
    Settings& settings;
    DocumentManager& documents;
    CommandRouter& router;
    QWidget* window;
    // Queues a path for opening, with the source flag of MDIForm_LinkExecute
    // (below 1 from outside, 1 from the program's lists and dialogs); false
    // when the queue refuses it (the program is closing).
    std::function<bool(const QString& path, int source)> queuePath;
    // Runs the paths already queued now, for a message that must follow them.
    std::function<void()> finishQueue;
    // The toolbar's font name and size boxes.
    QComboBox* fontNameBox = nullptr;
    QComboBox* fontSizeBox = nullptr;
    MenuBars* menus = nullptr;
    // Where, in the frame's pixels, the last right press on the project list,
    // the tree or the document area was: the drag and drop help shows there.
    QPoint PopupPos;
};
