// Opens a folder of 100,000 files in the folder tree as the user sees it: a
// real model on a real tree view. Prints when the first rows and when all rows
// were painted, beside GNU ls listing the same folder, and the longest time the
// window could not answer meanwhile (the longest gap between the ticks of a
// 10 ms timer).
#include "tree/foldertreemodel.h"
#include "treebenchparts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QTreeView>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace TreeBench {

namespace {

constexpr int FileCount = 100000;

// Written last, hidden so neither the tree nor ls lists it: the folder is complete.
const QString CompleteMark = QStringLiteral(".complete");

// Names of several shapes and cases, written in no sorted order.
bool createFiles(const QString& folder)
{
    if (QFile::exists(folder + u'/' + CompleteMark))
        return true;
    if (!QDir().mkpath(folder))
        return false;
    static const char* const prefixes[] = {"Report", "notes",
                                           "\xc3\x9c"
                                           "bersicht",
                                           "data_set"};
    const QByteArray base = QFile::encodeName(folder) + '/';
    for (int i = 0; i < FileCount; ++i) {
        const int number = int((qint64(i) * 7919) % FileCount);
        const QByteArray name =
            base + QByteArray(prefixes[number % 4]) + '-' + QByteArray::number(number) + ".txt";
        const int descriptor = open(name.constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (descriptor < 0 && errno != EEXIST)
            return false;
        if (descriptor >= 0)
            close(descriptor);
    }
    QFile mark(folder + u'/' + CompleteMark);
    return mark.open(QIODevice::WriteOnly);
}

// A tree view that says when it has painted.
class PaintedTree : public QTreeView {
public:
    std::function<void()> painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTreeView::paintEvent(event);
        if (painted)
            painted();
    }
};

double seconds(qint64 nanoseconds)
{
    return nanoseconds / 1e9;
}

// Runs the event loop until the model has read the folder, or a minute passed.
bool waitForRead(FolderTreeModel& model, const QString& key)
{
    QEventLoop loop;
    bool read = false;
    QObject::connect(&model, &FolderTreeModel::folderRead, &loop, [&](const QString& done) {
        if (done == key) {
            read = true;
            loop.quit();
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return read;
}

} // namespace

int listing(const QString& work)
{
    const QString folder = QDir::cleanPath(work + QStringLiteral("/list100k"));
    if (!createFiles(folder)) {
        std::printf("list: cannot create the files under %s\n", qPrintable(folder));
        return 1;
    }
    FolderTreeModel model;
    PaintedTree view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(300, 600);
    view.show();
    model.setRoot(QDir::cleanPath(work));
    if (!waitForRead(model, model.rootPath()))
        return 1;
    view.expand(model.rootIndex());
    const QModelIndex node = model.nodeForPath(folder);
    if (!node.isValid()) {
        std::printf("list: %s is not in the tree\n", qPrintable(folder));
        return 1;
    }
    view.repaint();

    QElapsedTimer clock;
    qint64 firstRows = -1;
    qint64 allRows = -1;
    bool read = false;
    QEventLoop loop;
    view.painted = [&] {
        const int rows = model.rowCount(node);
        if (firstRows < 0 && rows > 0)
            firstRows = clock.nsecsElapsed();
        if (read && rows == FileCount && allRows < 0) {
            allRows = clock.nsecsElapsed();
            loop.quit();
        }
    };
    QObject::connect(&model, &FolderTreeModel::folderRead, &loop, [&](const QString& key) {
        if (key == folder) {
            read = true;
            view.viewport()->update();
        }
    });
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, &loop,
                     [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    clock.start();
    sinceTick.start();
    ticker.start();
    model.ToggleNode(node);
    view.expand(node);
    loop.exec();
    ticker.stop();
    if (allRows < 0) {
        std::printf("list: the folder did not fill (%d rows)\n", model.rowCount(node));
        return 1;
    }

    QProcess ls;
    ls.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer lsClock;
    lsClock.start();
    ls.start(QStringLiteral("ls"), {folder});
    if (!ls.waitForFinished(120000) || ls.exitCode() != 0) {
        std::printf("list: ls failed\n");
        return 1;
    }
    const qint64 lsTime = lsClock.nsecsElapsed();

    std::printf(
        "list %d files: first rows %.2f s, all rows %.2f s, ls %.2f s, longest stall %.2f s\n",
        FileCount, seconds(firstRows), seconds(allRows), seconds(lsTime), longestStall / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace TreeBench
