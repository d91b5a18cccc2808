#include "fileoperationrunner.h"

#include "fileoperation.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>

#include <utility>

namespace {

constexpr int ProgressDelayMs = 500;

} // namespace

FileOperationRunner::FileOperationRunner(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window)
{}

void FileOperationRunner::showProgress()
{
    if (!m_running)
        return;
    // Never over a question: the progress waits until it is answered.
    if (m_asking) {
        m_progressDue = true;
        return;
    }
    m_progressDue = false;
    if (!m_progress) {
        m_progress = new QProgressDialog(m_window);
        m_progress->setWindowTitle(QStringLiteral("Quillora"));
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        connect(m_progress, &QProgressDialog::canceled, this, [this] {
            if (m_running)
                m_running->cancel();
        });
    }
    m_progress->setMaximum(int(qMin<qsizetype>(m_total, INT_MAX)));
    m_progress->setValue(int(qMin<qsizetype>(m_done, INT_MAX)));
    m_progress->setLabelText(m_current);
    m_progress->show();
}

FileReport FileOperationRunner::run(FileOperation& operation)
{
    if (m_running)
        return FileReport(operation.kind());
    m_running = &operation;
    m_done = m_total = 0;
    m_current.clear();
    // Collisions are found on the operation's thread; the question is the window's.
    operation.setAsk([this](const QString& question) {
        CollisionAnswer answer;
        QMetaObject::invokeMethod(
            this,
            [this, &answer, &question] {
                m_asking = true;
                const YesNoAllReply reply = Prompter::current().yesNoAll({question, true, false});
                m_asking = false;
                answer = {reply.answer, reply.checked};
                if (m_progressDue)
                    showProgress();
            },
            Qt::BlockingQueuedConnection);
        return answer;
    });
    connect(&operation, &FileOperation::progressed, this,
            [this](qsizetype done, qsizetype total, const QString& current) {
                m_done = done;
                m_total = total;
                if (!current.isEmpty())
                    m_current = QFileInfo(current).fileName();
                if (m_progress && m_progress->isVisible()) {
                    m_progress->setMaximum(int(qMin<qsizetype>(total, INT_MAX)));
                    m_progress->setValue(int(qMin<qsizetype>(done, INT_MAX)));
                    m_progress->setLabelText(m_current);
                }
            });
    // A big file shows how far its copy has got.
    connect(&operation, &FileOperation::bytesCopied, this, [this](qint64 done, qint64 total) {
        if (m_progress && m_progress->isVisible() && total > 0)
            m_progress->setLabelText(
                m_current + QStringLiteral(" (") + QLocale::system().formattedDataSize(done) +
                QStringLiteral(" of ") + QLocale::system().formattedDataSize(total) + u')');
    });
    QTimer delay;
    delay.setSingleShot(true);
    connect(&delay, &QTimer::timeout, this, &FileOperationRunner::showProgress);
    delay.start(ProgressDelayMs);
    QEventLoop loop;
    connect(&operation, &FileOperation::finished, &loop, &QEventLoop::quit);
    operation.start();
    if (operation.isRunning())
        loop.exec();
    delay.stop();
    delete m_progress;
    m_progress = nullptr;
    m_progressDue = false;
    disconnect(&operation, nullptr, this, nullptr);
    m_running = nullptr;
    const FileReport report = operation.report();
    // Closing the program: nobody is there to read what happened.
    if (std::exchange(m_closing, false)) {
        emit finished();
        return report;
    }
    if (report.stoppedAt)
        Prompter::tell(report.stopMessage(), MessageIcon::Exclamation);
    // The refusals found before anything started, in one message.
    QStringList refused;
    for (const FileProblem& problem : report.failed)
        if (!report.stoppedAt || !(problem == *report.stoppedAt))
            refused << FileReport::problemMessage(problem);
    if (!refused.isEmpty())
        Prompter::tell(refused.mid(0, 10).join(QStringLiteral("\n\n")), MessageIcon::Exclamation);
    // What was left out for a reason other than the user's own No.
    QStringList leftOut;
    for (const FileProblem& problem : report.skipped)
        if (problem.reason != FilePlan::NotReplacedText)
            leftOut << problem.path + QStringLiteral(": ") + problem.reason;
    if (!leftOut.isEmpty()) {
        QString text = LeftOutText + u'\n' + leftOut.mid(0, 10).join(u'\n');
        if (leftOut.size() > 10)
            text += QStringLiteral("\n") +
                    QLocale::system().toString(qlonglong(leftOut.size() - 10)) +
                    QStringLiteral(" more.");
        Prompter::tell(text, MessageIcon::Information);
    }
    emit finished();
    return report;
}

void FileOperationRunner::cancel()
{
    if (!m_running)
        return;
    m_running->cancel();
    // The question's dialog is the modal window while it waits.
    if (m_asking)
        if (QWidget* question = QApplication::activeModalWidget())
            question->close();
}

bool FileOperationRunner::cancelAndWait()
{
    if (!m_running)
        return true;
    m_closing = true;
    cancel();
    if (m_asking)
        return false;
    m_running->wait();
    return true;
}
