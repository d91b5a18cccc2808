// Hands many small files to a real frame the way later starts do, one request
// per path over the instance channel, and prints how long the open queue takes
// to open them all, whether they opened in order with the last one active, and
// the longest time the window did not answer events meanwhile. Each case runs
// in a process of its own.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "document/documentmanager.h"
#include "document/documenttable.h"
#include "document/frmtext.h"
#include "platform/instanceclient.h"
#include "platform/instanceserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// The window thread's processor time so far, in milliseconds: on a busy machine
// the wall-clock figures grow with the load, this one does not.
qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QStringList writeFiles(const QTemporaryDir& dir, int count)
{
    QStringList paths;
    for (int i = 1; i <= count; ++i) {
        const QString path =
            dir.filePath(QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        for (int line = 0; line < 20; ++line)
            file.write(QByteArray("Line ") + QByteArray::number(line) + " of file " +
                       QByteArray::number(i) + ", a few words to fill it out.\n");
        paths << path;
    }
    return paths;
}

// How: "channel" sends each path as its own request from another thread, as a
// second start does; "queued" hands them all to the queue at once, as the
// program's own command line is.
int runCase(const QString& how, int count)
{
    QTemporaryDir dir;
    const QStringList paths = writeFiles(dir, count);
    if (paths.size() != count)
        return 1;
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frame.show();
    frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    frame.queue().OpenQueueState = OpenQueue::Idle;
    QApplication::processEvents();

    InstanceServer server;
    QObject::connect(&server, &InstanceServer::executeRequested, &frame,
                     [&frame](const QString& command) {
                         int cancel = 0;
                         frame.MDIForm_LinkExecute(command, cancel);
                     });
    const QString socket = dir.filePath(QStringLiteral("bench.socket"));
    if (how == QStringLiteral("channel") && !server.listen(socket))
        return 1;

    qint64 longestFreeze = 0;
    QElapsedTimer gap;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestFreeze = qMax(longestFreeze, gap.restart()); });

    QElapsedTimer clock;
    const qint64 cpuBefore = threadCpuMs();
    std::atomic<qint64> handedOver{-1};
    std::atomic<int> refused{0};
    std::unique_ptr<QThread> sender;
    clock.start();
    gap.start();
    ticker.start(10);
    if (how == QStringLiteral("channel")) {
        sender.reset(QThread::create([&] {
            for (const QString& path : paths) {
                InstanceMessage message;
                message.command = path;
                message.id = InstanceMessage::newId();
                if (InstanceClient::send(socket, message, 5000).outcome !=
                    InstanceClient::Outcome::Accepted)
                    ++refused;
            }
            handedOver = clock.elapsed();
        }));
        sender->start();
    } else {
        for (const QString& path : paths)
            frame.queuePath(path, 0);
        handedOver = clock.elapsed();
    }
    QTimer* timer5 = frame.findChild<QTimer*>(QStringLiteral("Timer5"));
    const auto allOpen = [&] {
        return handedOver >= 0 && !timer5->isActive() &&
               frame.documents().documentWindows().size() + refused >= count;
    };
    while (!allOpen() && clock.elapsed() < 600000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 opened = clock.elapsed();
    const qint64 cpu = threadCpuMs() - cpuBefore;
    ticker.stop();
    if (sender)
        sender->wait();

    QStringList captions;
    for (frmText* window : frame.documents().documentWindows())
        captions << window->bareCaption();
    const frmText* active = frame.documents().activeDocument();
    const bool inOrder = captions == paths;
    const bool lastActive = active && active->bareCaption() == paths.last();
    std::printf("%-7s %5d files (%s): handed over %6lld ms, all open %6lld ms (%5.2f ms a "
                "file; window thread busy %6lld ms), in order %s, last active %s, longest "
                "freeze %4lld ms%s\n",
                qPrintable(how), count, qPrintable(QApplication::platformName()),
                qint64(handedOver), opened, double(opened) / count, cpu, inOrder ? "yes" : "NO",
                lastActive ? "yes" : "NO", longestFreeze,
                refused ? qPrintable(QStringLiteral(", %1 refused").arg(int(refused))) : "");
    std::fflush(stdout);
    return inOrder && lastActive ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return runCase(QString::fromLatin1(argv[2]), QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    // The files opened go into the recent-documents list of a home of the bench's own.
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.path().toLocal8Bit());
    // A count given on the command line replaces the usual ones.
    QList<int> counts = {100, 1000};
    if (argc > 1)
        counts = {QByteArray(argv[1]).toInt()};
    int failures = 0;
    for (const QString& how : {QStringLiteral("channel"), QStringLiteral("queued")}) {
        for (const int count : counts) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--case"), how, QString::number(count)});
            child.waitForFinished(-1);
            failures += child.exitCode() != 0;
        }
    }
    return failures ? 1 : 0;
}
