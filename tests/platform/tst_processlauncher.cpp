#include "platform/processlauncher.h"
#include "support/testhome.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

// Xlib's names (Status, None) clash with ours: it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

// Runs on a virtual X server with no window manager: the test plays the
// manager's part, listing windows and receiving the requests to activate one.
class TestProcessLauncher : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startsWithArgumentsAndKnowsWhenItEnded();
    void missingProgramDoesNotStart();
    void raisesTheWindowOfTheProcess();
    void noWindowForOtherProcesses();
    void noWindowWithoutAManagersList();
    void cleanupTestCase();

private:
    void listWindows(const QList<Window>& windows);

    TestHome m_home;
    Display* m_manager = nullptr;
    Atom m_clientList = 0;
    Atom m_active = 0;
    QWidget* m_window = nullptr;
};

void TestProcessLauncher::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_window = new QWidget;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_manager = XOpenDisplay(nullptr);
    QVERIFY(m_manager);
    // Only now: from here on a window that asks to be mapped waits for us.
    XSelectInput(m_manager, DefaultRootWindow(m_manager), SubstructureRedirectMask);
    m_clientList = XInternAtom(m_manager, "_NET_CLIENT_LIST", False);
    m_active = XInternAtom(m_manager, "_NET_ACTIVE_WINDOW", False);
    const Atom wmPid = XInternAtom(m_manager, "_NET_WM_PID", False);
    const unsigned long pid = QCoreApplication::applicationPid();
    XChangeProperty(m_manager, m_window->winId(), wmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XSync(m_manager, False);
}

void TestProcessLauncher::listWindows(const QList<Window>& windows)
{
    const Window root = DefaultRootWindow(m_manager);
    if (windows.isEmpty())
        XDeleteProperty(m_manager, root, m_clientList);
    else
        XChangeProperty(m_manager, root, m_clientList, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(windows.constData()),
                        int(windows.size()));
    XSync(m_manager, False);
}

void TestProcessLauncher::startsWithArgumentsAndKnowsWhenItEnded()
{
    const QString stop = m_home.path(QStringLiteral("stop it"));
    const Result<TaskNumber> started = ProcessLauncher::start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("while [ ! -e \"$1\" ]; do sleep 0.05; done"),
         QStringLiteral("sh"), stop});
    QVERIFY(started.ok());
    const TaskNumber task = started.value();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(task.pid()));
    QVERIFY(stat.open(QIODevice::ReadOnly));
    QCOMPARE(TaskNumber::fromStat(stat.readAll()), task);
    QVERIFY(ProcessLauncher::isRunning(task));
    m_home.write(QStringLiteral("stop it"), QByteArray());
    QTRY_VERIFY(!ProcessLauncher::isRunning(task));
}

void TestProcessLauncher::missingProgramDoesNotStart()
{
    const Result<TaskNumber> started =
        ProcessLauncher::start(m_home.path(QStringLiteral("no such program")), {});
    QVERIFY(!started.ok());
    QVERIFY(!started.error().message.isEmpty());
}

void TestProcessLauncher::raisesTheWindowOfTheProcess()
{
    // A window of no process first, then ours.
    const Window stranger =
        XCreateSimpleWindow(m_manager, DefaultRootWindow(m_manager), 0, 0, 10, 10, 0, 0, 0);
    listWindows({stranger, Window(m_window->winId())});
    QCOMPARE(ProcessLauncher::raiseWindow(QCoreApplication::applicationPid()),
             ProcessLauncher::Raise::Raised);
    QTRY_VERIFY(XPending(m_manager) > 0);
    XEvent event;
    XNextEvent(m_manager, &event);
    QCOMPARE(event.type, ClientMessage);
    QCOMPARE(event.xclient.message_type, m_active);
    QCOMPARE(event.xclient.window, Window(m_window->winId()));
    QCOMPARE(event.xclient.data.l[0], 2L);
    XDestroyWindow(m_manager, stranger);
    XSync(m_manager, False);
}

void TestProcessLauncher::noWindowForOtherProcesses()
{
    listWindows({Window(m_window->winId())});
    QCOMPARE(ProcessLauncher::raiseWindow(QCoreApplication::applicationPid() + 1),
             ProcessLauncher::Raise::NoWindow);
}

void TestProcessLauncher::noWindowWithoutAManagersList()
{
    listWindows({});
    QCOMPARE(ProcessLauncher::raiseWindow(QCoreApplication::applicationPid()),
             ProcessLauncher::Raise::NoWindow);
}

void TestProcessLauncher::cleanupTestCase()
{
    delete m_window;
    if (m_manager)
        XCloseDisplay(m_manager);
}

QTEST_MAIN(TestProcessLauncher)
#include "tst_processlauncher.moc"
