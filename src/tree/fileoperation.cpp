#include "fileoperation.h"

#include "tree/filerun.h"

#include <QThread>

FileOperation::FileOperation(Kind kind, const QStringList& sources, const QString& target,
                             FileSteps steps, QObject* parent)
    : QObject(parent), m_kind(kind), m_sources(sources), m_target(target),
      m_steps(std::move(steps)), m_report(kind)
{}

FileOperation::~FileOperation()
{
    cancel();
    wait();
}

std::optional<FileOperation::Kind> FileOperation::dropKind(Qt::KeyboardModifiers modifiers)
{
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier)
        return Kind::Copy;
    if (modifiers == Qt::ShiftModifier)
        return Kind::Move;
    return std::nullopt;
}

void FileOperation::setAsk(Ask ask)
{
    m_ask = std::move(ask);
}

void FileOperation::start()
{
    wait();
    m_thread.reset(QThread::create([this] { m_report = run(); }));
    connect(m_thread.get(), &QThread::finished, this, &FileOperation::finished);
    m_thread->start();
}

FileReport FileOperation::run()
{
    const auto cancelled = [this] { return m_cancelled.load(); };
    FileReport report(m_kind);
    const FilePlan plan = FilePlan::make(m_kind, m_sources, m_target, m_ask, cancelled);
    report.skipped = plan.skipped;
    report.failed = plan.refused;
    report.itemsTotal = plan.total;
    if (plan.cancelled) {
        report.cancelled = true;
        return report;
    }
    FileRun::Hooks hooks;
    hooks.cancelled = cancelled;
    hooks.progressed = [this](qsizetype done, qsizetype total, const QString& current) {
        emit progressed(done, total, current);
    };
    hooks.bytesCopied = [this](qint64 done, qint64 total) { emit bytesCopied(done, total); };
    FileRun(m_kind, m_steps, hooks).run(plan, report);
    return report;
}

void FileOperation::cancel()
{
    m_cancelled.store(true);
}

void FileOperation::wait()
{
    if (m_thread)
        m_thread->wait();
}

bool FileOperation::isRunning() const
{
    return m_thread && m_thread->isRunning();
}
