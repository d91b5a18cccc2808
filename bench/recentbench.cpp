// Prints how long one add to the desktop's recent documents list takes when the
// list already holds 10,000 entries of several programs: the read-modify-write
// itself, and a queued add until the worker has written it (what a user's open
// leaves to the background).
#include "platform/recentdocuments.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// The list as a desktop that has been used for years leaves it.
QByteArray bigList(int entries)
{
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n"
        "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
        "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n>\n";
    const char* programs[] = {"Files", "Viewer", "Writer", "Quillora"};
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray program = programs[i % 4];
        xml += "  <bookmark href=\"file:///home/user/Documents/folder-" +
               QByteArray::number(i % 97) + "/document%20" + n +
               ".txt\" added=\"2025-01-01T10:00:00.000000Z\" "
               "modified=\"2025-01-02T10:00:00.000000Z\" visited=\"2025-01-03T10:00:00.000000Z\">\n"
               "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n"
               "        <mime:mime-type type=\"text/plain\"/>\n"
               "        <bookmark:applications>\n"
               "          <bookmark:application name=\"" +
               program + "\" exec=\"&apos;" + program.toLower() +
               " %u&apos;\" modified=\"2025-01-02T10:00:00.000000Z\" count=\"" +
               QByteArray::number(i + 1) +
               "\"/>\n        </bookmark:applications>\n      </metadata>\n    </info>\n"
               "  </bookmark>\n";
    }
    return xml + "</xbel>\n";
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("recently-used.xbel"));
    const QString document = dir.filePath(QStringLiteral("opened.txt"));
    if (!writeFile(list, bigList(10000)) || !writeFile(document, "text")) {
        std::fprintf(stderr, "cannot write the sample files\n");
        return 1;
    }
    std::printf("list: 10000 entries, %lld bytes\n", QFileInfo(list).size());

    QList<double> direct;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const Status status = RecentDocuments::addNow(list, {document});
        direct << timer.nsecsElapsed() / 1e6;
        if (!status) {
            std::fprintf(stderr, "%s\n", qPrintable(status.error().message));
            return 1;
        }
    }
    std::printf("one add, read-modify-write: median %.1f ms, best %.1f ms (7 runs)\n",
                median(direct), *std::min_element(direct.begin(), direct.end()));

    QList<double> queued;
    QList<double> caller;
    {
        RecentDocuments recent(list);
        for (int run = 0; run < 7; ++run) {
            QElapsedTimer timer;
            timer.start();
            recent.add(document);
            caller << timer.nsecsElapsed() / 1e6;
            recent.waitForDone(60000);
            queued << timer.nsecsElapsed() / 1e6;
        }
    }
    std::printf("one queued add: the caller waits %.2f ms; written after %.1f ms (medians)\n",
                median(caller), median(queued));
    return 0;
}
