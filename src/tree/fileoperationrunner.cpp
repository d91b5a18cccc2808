#include "fileoperationrunner.h"

#include "fileoperation.h"
#include "platform/prompter.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>

FileOperationRunner::FileOperationRunner(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window)
{}

FileReport FileOperationRunner::run(FileOperation& operation)
{
    if (m_running)
        return FileReport(operation.kind());
    m_running = &operation;
    // Collisions are found on the operation's thread; the question is the window's.
    operation.setAsk([this](const QString& question) {
        CollisionAnswer answer;
        QMetaObject::invokeMethod(
            this,
            [&answer, &question] {
                const YesNoAllReply reply = Prompter::current().yesNoAll({question, true, false});
                answer = {reply.answer, reply.checked};
            },
            Qt::BlockingQueuedConnection);
        return answer;
    });
    QProgressDialog progress(m_window);
    progress.setWindowTitle(QStringLiteral("Quillora"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, &operation,
            [&operation] { operation.cancel(); });
    connect(&operation, &FileOperation::progressed, &progress,
            [&progress](qsizetype done, qsizetype total, const QString& current) {
                progress.setMaximum(int(qMin<qsizetype>(total, INT_MAX)));
                progress.setValue(int(qMin<qsizetype>(done, INT_MAX)));
                if (!current.isEmpty())
                    progress.setLabelText(QFileInfo(current).fileName());
            });
    QEventLoop loop;
    connect(&operation, &FileOperation::finished, &loop, &QEventLoop::quit);
    operation.start();
    if (operation.isRunning())
        loop.exec();
    progress.close();
    m_running = nullptr;
    const FileReport report = operation.report();
    if (report.stoppedAt)
        Prompter::tell(report.stopMessage(), MessageIcon::Exclamation);
    // The refusals found before anything started, in one message.
    QStringList refused;
    for (const FileProblem& problem : report.failed)
        if (!report.stoppedAt || !(problem == *report.stoppedAt))
            refused << FileReport::problemMessage(problem);
    if (!refused.isEmpty())
        Prompter::tell(refused.mid(0, 10).join(QStringLiteral("\n\n")), MessageIcon::Exclamation);
    return report;
}

void FileOperationRunner::cancelAndWait()
{
    if (!m_running)
        return;
    m_running->cancel();
    m_running->wait();
}
