// Prints how long the project list of the real main window takes with 10,000
// entries: loading until the list has painted (beside the same texts in a plain
// string list), sorting (beside GNU sort -f), 1,000 files dropped on it, and saving.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "platform/settingsstore.h"
#include "project/projectcontroller.h"
#include "project/projectentry.h"
#include "project/projectlistview.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

// 10,000 entries of all three kinds, a fifth of them beyond ASCII.
QStringList entries(const QString& home)
{
    QStringList paths;
    for (int i = 0; i < 10000; ++i) {
        const QString name =
            (i % 5 == 0 ? QStringLiteral("Übersicht-%1") : QStringLiteral("notes-%1"))
                .arg((i * 7919) % 10000);
        if (i % 10 == 1)
            paths << home + QStringLiteral("/folder-%1/").arg(i);
        else if (i % 10 == 2)
            paths << home + u'/' + name + QStringLiteral(".pdf") + ProjectEntry::ShortcutSuffix;
        else
            paths << home + u'/' + name + QStringLiteral(".txt");
    }
    return paths;
}

double seconds(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e9;
}

// Shows the view and lets it paint.
void paint(QListView& view)
{
    view.resize(300, 600);
    view.show();
    view.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList paths = entries(dir.path());
    const QString project = dir.filePath(QStringLiteral("big.prj"));
    {
        QFile file(project);
        file.open(QIODevice::WriteOnly);
        file.write((paths.join(u'\n') + QStringLiteral("\n\n")).toUtf8());
    }

    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frame.show();
    // The deferred start now, so it cannot start a new project in mid-run.
    frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    frame.Timer4_Timer();
    QCoreApplication::processEvents();
    ProjectController& projects = frame.projects();
    ProjectList& list = projects.list();
    ProjectListView& view = *projects.view();
    QElapsedTimer clock;
    clock.start();
    projects.LoadProject(project);
    view.repaint();
    QCoreApplication::processEvents();
    const double load = seconds(clock);

    QStringListModel plainModel;
    QListView plain;
    plain.setUniformItemSizes(true);
    plain.setModel(&plainModel);
    QStringList texts;
    for (const QString& path : paths)
        texts << ProjectEntry(path).displayText();
    clock.restart();
    plainModel.setStringList(texts);
    paint(plain);
    const double floor = seconds(clock);
    std::printf("load 10000 entries: %.3f s (toolkit floor %.3f s)\n", load, floor);

    clock.restart();
    projects.mnuListSort_Click();
    view.repaint();
    const double sort = seconds(clock);
    const QString textsFile = dir.filePath(QStringLiteral("texts.txt"));
    {
        QFile file(textsFile);
        file.open(QIODevice::WriteOnly);
        file.write(texts.join(u'\n').toUtf8());
    }
    QProcess gnuSort;
    gnuSort.setStandardOutputFile(QProcess::nullDevice());
    clock.restart();
    gnuSort.start(QStringLiteral("sort"), {QStringLiteral("-f"), textsFile});
    gnuSort.waitForFinished();
    std::printf("sort 10000 entries: %.3f s (sort -f %.3f s)\n", sort, seconds(clock));

    // Real files, dropped as a file manager drops them.
    QList<QUrl> dropped;
    for (int i = 0; i < 1000; ++i) {
        const QString path = dir.filePath(QStringLiteral("dropped-%1.txt").arg(i));
        QFile(path).open(QIODevice::WriteOnly);
        dropped << QUrl::fromLocalFile(path);
    }
    QMimeData data;
    data.setUrls(dropped);
    const int before = list.entryCount();
    clock.restart();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    if (!drop.isAccepted()) {
        std::printf("the drop was refused\n");
        return 1;
    }
    while (list.entryCount() < before + 1000)
        QCoreApplication::processEvents();
    view.repaint();
    std::printf("drop 1000 files: %.3f s\n", seconds(clock));

    clock.restart();
    const bool saved = list.saveAs(dir.filePath(QStringLiteral("saved.prj"))).ok();
    frame.hide();
    std::printf("save 10000 entries: %.3f s%s\n", seconds(clock), saved ? "" : " (failed)");
    return saved ? 0 : 1;
}
