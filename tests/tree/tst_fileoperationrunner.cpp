#include "steplog.h"
#include "support/scriptedprompter.h"
#include "tree/fileoperationrunner.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The runner as the tree uses it: a slow copy shows its progress and can be
// cancelled, questions come on the window's thread while the copy waits, one
// operation runs at a time, and closing stops a running one.
class TestFileOperationRunner : public QObject {
    Q_OBJECT
private slots:
    void init();
    void progressShowsAndCancelStopsTheCopy();
    void questionsAreAskedByTheWindowOneOperationAtATime();
    void closingCancelsAndWaits();
    void closingWhileAQuestionWaitsDoesNotWaitForIt();
    void whatIsLeftOutIsTold();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Files copied slowly enough for the progress to show.
    FileSteps slowSteps()
    {
        m_log.inject = [](const QString& line) -> std::optional<Error> {
            if (line.startsWith(QStringLiteral("copy ")))
                QThread::msleep(15);
            return std::nullopt;
        };
        return m_log.steps();
    }
    // Calls what every 20 ms while the runner runs, until it returns true.
    static void every20ms(QTimer& timer, std::function<bool()> what)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, &timer, [&timer, what] {
            if (what())
                timer.stop();
        });
        timer.start();
    }
    static QProgressDialog* visibleProgress()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(widget);
                progress && progress->isVisible())
                return progress;
        return nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    StepLog m_log;
    QWidget m_window;
};

void TestFileOperationRunner::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_log = StepLog();
    for (int i = 0; i < 120; ++i)
        writeFile(path(QStringLiteral("source/f%1.txt").arg(i, 3, 10, QLatin1Char('0'))),
                  QByteArray(4000, 'x'));
    QDir().mkpath(path(QStringLiteral("target")));
    m_window.show();
}

void TestFileOperationRunner::progressShowsAndCancelStopsTheCopy()
{
    ScriptedPrompter prompter;
    prompter.expectMessage(QStringLiteral(" of 121 items."));
    FileOperationRunner runner(&m_window);
    FileOperation operation(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                            path(QStringLiteral("target")), slowSteps());
    QString label;
    int shownAt = -1;
    QTimer timer;
    every20ms(timer, [&] {
        QProgressDialog* progress = visibleProgress();
        if (!progress)
            return false;
        label = progress->labelText();
        shownAt = progress->value();
        if (auto* button = progress->findChild<QPushButton*>())
            button->click();
        return true;
    });
    const FileReport report = runner.run(operation);
    // Shown after half a second with the current item's name.
    QVERIFY(label.startsWith(QStringLiteral("f")));
    QVERIFY(shownAt > 0);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QVERIFY(!runner.isRunning());
    QVERIFY(!visibleProgress());
    QVERIFY(report.cancelled);
    QVERIFY(report.itemsDone < report.itemsTotal);
    // What was copied is whole; nothing half written stays.
    const QStringList copied = treeOf(path(QStringLiteral("target/source")));
    QVERIFY(!copied.isEmpty());
    QVERIFY(copied.size() < 120);
    for (const QString& file : copied)
        QCOMPARE(QFileInfo(path(QStringLiteral("target/source/")) + file).size(), 4000);
}

void TestFileOperationRunner::questionsAreAskedByTheWindowOneOperationAtATime()
{
    writeFile(path(QStringLiteral("target/source/f005.txt")), "mine");
    ScriptedPrompter prompter;
    FileOperationRunner runner(&m_window);
    FileOperation operation(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                            path(QStringLiteral("target")), slowSteps());
    bool onWindowThread = false;
    bool progressOverQuestion = true;
    FileReport second;
    bool secondRan = true;
    prompter
        .expectYesNoAll(QStringLiteral("Replace ") + path(QStringLiteral("target/source/f005.txt")),
                        FilePlan::No)
        .whileShown([&] {
            onWindowThread = QThread::currentThread() == m_window.thread();
            // The progress never covers a question, however long it waits.
            QTest::qWait(700);
            progressOverQuestion = visibleProgress() != nullptr;
            // Another drop while the question waits is not started.
            FileOperation other(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                                path(QStringLiteral("elsewhere")), m_log.steps());
            second = runner.run(other);
            secondRan = other.isRunning() || second.itemsTotal != 0;
        });
    const FileReport report = runner.run(operation);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QVERIFY(onWindowThread);
    QVERIFY(!progressOverQuestion);
    QVERIFY(!secondRan);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("elsewhere"))));
    QVERIFY(report.complete());
    QCOMPARE(report.skipped.size(), 1);
    QCOMPARE(TestHome::read(path(QStringLiteral("target/source/f005.txt"))), QByteArray("mine"));
    QCOMPARE(treeOf(path(QStringLiteral("target/source"))).size(), 120);
}

void TestFileOperationRunner::closingCancelsAndWaits()
{
    // Nobody is told: the program is going.
    ScriptedPrompter prompter;
    FileOperationRunner runner(&m_window);
    FileOperation operation(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                            path(QStringLiteral("target")), slowSteps());
    bool stopped = false;
    QTimer timer;
    every20ms(timer, [&] {
        if (QDir(path(QStringLiteral("target/source"))).count() < 5)
            return false;
        runner.cancelAndWait();
        stopped = !operation.isRunning();
        return true;
    });
    const FileReport report = runner.run(operation);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QVERIFY(stopped);
    QVERIFY(report.cancelled);
    QVERIFY(report.itemsDone > 0);
    QVERIFY(report.itemsDone < report.itemsTotal);
}

void TestFileOperationRunner::closingWhileAQuestionWaitsDoesNotWaitForIt()
{
    writeFile(path(QStringLiteral("target/source/f005.txt")), "mine");
    ScriptedPrompter prompter;
    FileOperationRunner runner(&m_window);
    FileOperation operation(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                            path(QStringLiteral("target")), slowSteps());
    QSignalSpy finished(&runner, &FileOperationRunner::finished);
    bool waited = true;
    prompter.expectYesNoAll(QStringLiteral("Replace "), FilePlan::Yes).whileShown([&] {
        QVERIFY(runner.isAsking());
        // Waiting here would wait for this very question.
        waited = runner.cancelAndWait();
    });
    const FileReport report = runner.run(operation);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    QVERIFY(!waited);
    QCOMPARE(finished.count(), 1);
    QVERIFY(report.cancelled);
    QCOMPARE(TestHome::read(path(QStringLiteral("target/source/f005.txt"))), QByteArray("mine"));
}

void TestFileOperationRunner::whatIsLeftOutIsTold()
{
    QDir(path(QStringLiteral("source"))).removeRecursively();
    writeFile(path(QStringLiteral("source/plain.txt")));
    QVERIFY(::mkfifo(QFile::encodeName(path(QStringLiteral("source/pipe"))).constData(), 0600) ==
            0);
    // A name that is not UTF-8.
    const QByteArray badName = QFile::encodeName(path(QStringLiteral("source/"))) + "\xff\xfe.txt";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    ScriptedPrompter prompter;
    prompter.expectMessage(FileOperationRunner::LeftOutText + u'\n' +
                           path(QStringLiteral("source/")));
    FileOperationRunner runner(&m_window);
    FileOperation operation(FileOperationKind::Copy, {path(QStringLiteral("source"))},
                            path(QStringLiteral("target")), m_log.steps());
    const FileReport report = runner.run(operation);
    QVERIFY2(prompter.done(), qPrintable(prompter.report()));
    const QStringList reasons = [&] {
        QStringList found;
        for (const FileProblem& problem : report.skipped)
            found << problem.reason;
        found.sort();
        return found;
    }();
    QCOMPARE(reasons, (QStringList{FilePlan::SpecialText, FilePlan::UnreadableNameText}));
    QCOMPARE(treeOf(path(QStringLiteral("target/source"))), QStringList{"plain.txt"});
    QVERIFY(::unlink(badName.constData()) == 0);
}

QTEST_MAIN(TestFileOperationRunner)
#include "tst_fileoperationrunner.moc"
