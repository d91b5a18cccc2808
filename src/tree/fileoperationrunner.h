#pragma once

#include "fileoperation.h"
#include "filereport.h"

#include <QObject>
#include <QPointer>

class QProgressDialog;
class QWidget;

// Runs one file operation at a time for the tree: its collisions are asked
// through the prompter, its progress shows after half a second with a Cancel
// button (never over a question), and what stopped it or was left out is told
// at the end. The window keeps answering meanwhile; the work runs on the
// operation's own thread.
class FileOperationRunner : public QObject {
    Q_OBJECT
public:
    static inline const QString LeftOutText = QStringLiteral("Left out:");

    explicit FileOperationRunner(QWidget* window, QObject* parent = nullptr);

    // Returns once the operation has ended, with its report.
    FileReport run(FileOperation& operation);
    bool isRunning() const { return m_running != nullptr; }
    // A collision question is open; the operation's thread waits for it.
    bool isAsking() const { return m_asking; }
    // Stops a running operation; an open question closes as cancelled. The
    // operation ends soon after, with finished().
    void cancel();
    // Closing the program: a running operation stops and is waited for. Not
    // while a question is open (its answer is what the operation waits for):
    // then false, and the caller waits for finished() instead.
    bool cancelAndWait();

signals:
    void finished();

private:
    void showProgress();

    QWidget* m_window;
    QPointer<FileOperation> m_running;
    QProgressDialog* m_progress = nullptr;
    bool m_asking = false;
    bool m_progressDue = false;
    bool m_closing = false;
    // The last progress, for a dialog shown later.
    qsizetype m_done = 0;
    qsizetype m_total = 0;
    QString m_current;
};
