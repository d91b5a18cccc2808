// Prints how long the project list takes with 10,000 entries: loading until the
// list has painted (beside the same texts in a plain string list), sorting (beside
// GNU sort -f), 1,000 files dropped on it, and saving.
#include "project/projectentry.h"
#include "project/projectlist.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QStringListModel>
#include <QTemporaryDir>
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

    ProjectList list;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&list);
    QElapsedTimer clock;
    clock.start();
    list.LoadProject(project);
    paint(view);
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
    list.sortByDisplayText();
    QCoreApplication::processEvents();
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

    QStringList dropped;
    for (int i = 0; i < 1000; ++i)
        dropped << dir.filePath(QStringLiteral("dropped-%1.txt").arg(i));
    clock.restart();
    for (const QString& path : dropped)
        list.AddNewDocOrLink(path);
    QCoreApplication::processEvents();
    std::printf("drop 1000 files: %.3f s\n", seconds(clock));

    clock.restart();
    const bool saved = list.saveAs(dir.filePath(QStringLiteral("saved.prj"))).ok();
    std::printf("save 10000 entries: %.3f s%s\n", seconds(clock), saved ? "" : " (failed)");
    return saved ? 0 : 1;
}
