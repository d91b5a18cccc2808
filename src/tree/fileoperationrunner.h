#pragma once

#include "fileoperation.h"
#include "filereport.h"

#include <QObject>
#include <QPointer>

class QWidget;

// Runs one file operation at a time for the tree: its collisions are asked
// through the prompter, its progress shows after half a second with a Cancel
// button, and what stopped it is told at the end. The window keeps answering
// meanwhile; the work runs on the operation's own thread.
class FileOperationRunner : public QObject {
    Q_OBJECT
public:
    explicit FileOperationRunner(QWidget* window, QObject* parent = nullptr);

    // Returns once the operation has ended, with its report.
    FileReport run(FileOperation& operation);
    bool isRunning() const { return m_running != nullptr; }
    // Closing the program: a running operation stops and is waited for.
    void cancelAndWait();

private:
    QWidget* m_window;
    QPointer<FileOperation> m_running;
};
