// Times what keeping recovery copies costs a 10 MB document: a keystroke on its
// own, a keystroke when the copy is taken in the same turn of the event loop,
// the part of taking a copy done on the window's thread, and the part done on
// the writer's thread. Plain text and RTF.
#include "app/frmmymdi.h"
#include "benchframe.h"
#include "benchsupport.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "document/recoverycontroller.h"
#include "document/recoverysnapshot.h"
#include "document/recoverystore.h"
#include "document/recoverywriter.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

double ms(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e6;
}

void print(const char* label, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    if (values.empty())
        return;
    std::printf("  %-44s median %7.3f ms  max %7.3f ms  (%zu)\n", label, values[values.size() / 2],
                values.back(), values.size());
}

void benchCase(bool rtf)
{
    QTemporaryDir dir;
    qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toLocal8Bit());
    const QString path = dir.filePath(rtf ? QStringLiteral("r.rtf") : QStringLiteral("r.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(shortLines(rtf, 10LL * 1024 * 1024));
    }
    std::printf("%s 10 MB\n", rtf ? "rtf" : "text");
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frmText* window = showMaximized(frame, path);
    RichTextBox* box = window->RichTextBox1;
    box->setFocus();
    auto* recovery = frame.findChild<RecoveryController*>();
    QApplication::processEvents();

    std::vector<double> plainKeys;
    for (int i = 0; i < 100; ++i) {
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(box, Qt::Key_A);
        QApplication::processEvents();
        plainKeys.push_back(ms(clock));
    }
    print("keystroke", plainKeys);

    // The copy's timer made due at once after the key. A large document is taken
    // in slices between the window's events: the key's turn runs the first.
    std::vector<double> keysWithCopy;
    const auto makeDue = [recovery] {
        for (QTimer* timer : recovery->findChildren<QTimer*>())
            if (timer->isActive() && timer->interval() > 0)
                timer->start(0);
    };
    std::atomic<int> written = 0;
    QObject::connect(recovery->findChild<RecoveryWriter*>(), &RecoveryWriter::written,
                     [&written](const QString&) { ++written; });
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(box, Qt::Key_B);
        makeDue();
        QApplication::processEvents();
        keysWithCopy.push_back(ms(clock));
        const int before = written;
        while (written == before) {
            QApplication::processEvents();
            recovery->waitForWrites();
        }
    }
    print("keystroke with a copy taken", keysWithCopy);

    // Typing near the start, twenty keys a second, for a second without a copy and
    // then while the copy is taken: how long each turn of the event loop takes (what
    // a key may wait for) and how long until the copy is written.
    QTextCursor nearStart = box->textCursor();
    nearStart.setPosition(100);
    box->setTextCursor(nearStart);
    for (bool copying : {false, true}) {
        std::vector<double> turns, keys;
        int typed = 0;
        QTest::keyClick(box, Qt::Key_C);
        if (copying)
            makeDue();
        const int before = written;
        QElapsedTimer total, sinceKey;
        total.start();
        sinceKey.start();
        while (copying ? written == before && total.elapsed() < 20000 : total.elapsed() < 1000) {
            QElapsedTimer clock;
            clock.start();
            const bool key = sinceKey.elapsed() >= 50;
            if (key) {
                QTest::keyClick(box, Qt::Key_D);
                sinceKey.restart();
                ++typed;
            }
            QApplication::processEvents();
            (key ? keys : turns).push_back(ms(clock));
        }
        const char* what = copying ? "typing near the start, copy taken" : "typing near the start";
        std::printf("  %s:\n", what);
        print("    keystroke", keys);
        print("    other turns", turns);
        if (copying)
            std::printf("    copy written after %.0f ms, %d keys typed meanwhile\n", ms(total),
                        typed);
        recovery->waitForWrites();
    }

    RecoveryCopy header;
    header.kind = rtf ? DocumentKind::Rtf : DocumentKind::Text;
    std::vector<double> take, finish, write;
    const RecoveryStore target(dir.filePath(QStringLiteral("bench")));
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        const RecoverySnapshot snapshot = RecoverySnapshot::take(box->document(), header);
        take.push_back(ms(clock));
        clock.restart();
        const RecoveryCopy copy = snapshot.finish();
        finish.push_back(ms(clock));
        clock.restart();
        target.write(QStringLiteral("b.recovery"), copy);
        write.push_back(ms(clock));
    }
    print("window thread: taking the snapshot", take);
    print("writer thread: making the copy", finish);
    print("writer thread: writing it", write);
    std::printf("  copy size %lld bytes\n",
                QFileInfo(target.path(QStringLiteral("b.recovery"))).size());
    window->state().Dirty = false; // no close question
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchCase(false);
    benchCase(true);
    return 0;
}
