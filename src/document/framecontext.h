#pragma once

#include <QString>
#include <functional>

class CommandRouter;
class DocumentManager;
class MenuBars;
class QComboBox;
class QListWidget;
class QTreeWidget;
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
    QListWidget* projectList = nullptr;
    QTreeWidget* folderTree = nullptr;
    QComboBox* drives = nullptr;
    // The toolbar's font name and size boxes.
    QComboBox* fontNameBox = nullptr;
    QComboBox* fontSizeBox = nullptr;
    MenuBars* menus = nullptr;
};
