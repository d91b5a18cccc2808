#include "processlauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

QByteArray readStat(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    return stat.readAll();
}

GAppInfo* handlerFor(const QString& scheme)
{
    const QByteArray name = scheme.toLower().toUtf8();
    return g_app_info_get_default_for_uri_scheme(name.constData());
}

} // namespace

Result<TaskNumber> ProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    qint64 pid = 0;
    if (!process.startDetached(&pid) || pid <= 0)
        return Error{ErrorCode::FileNotFound, process.errorString()};
    // A program that has already ended leaves no start time: its task number
    // then never counts as running, and the next request starts it again.
    const TaskNumber task = TaskNumber::fromStat(readStat(pid));
    return task.pid() == pid ? task : TaskNumber(pid, 0);
}

bool ProcessLauncher::isRunning(const TaskNumber& task)
{
    return !task.isNone() && task.sameProcess(readStat(task.pid()));
}

QString ProcessLauncher::schemeHandler(const QString& scheme)
{
    GAppInfo* app = handlerFor(scheme);
    if (!app)
        return QString();
    const QString id = QString::fromUtf8(g_app_info_get_id(app));
    g_object_unref(app);
    return id;
}

ProcessLauncher::UrlOutcome ProcessLauncher::openUrl(const QUrl& url)
{
    GAppInfo* app = handlerFor(url.scheme());
    if (!app)
        return UrlOutcome::NoHandler;
    bool opened = QDesktopServices::openUrl(url);
    if (!opened) {
        // A platform without a service for addresses (offscreen) still has the
        // desktop's program for the scheme.
        const QByteArray address = url.toEncoded();
        GList* uris = g_list_append(nullptr, const_cast<char*>(address.constData()));
        opened = g_app_info_launch_uris(app, uris, nullptr, nullptr);
        g_list_free(uris);
    }
    g_object_unref(app);
    return opened ? UrlOutcome::Opened : UrlOutcome::Failed;
}

// Xlib defines names (Status, None, Bool) that clash with ours: it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// A window property of 32-bit items, as Xlib hands them: in longs.
QList<unsigned long> longsProperty(Display* display, Window window, Atom property, Atom type)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    QList<unsigned long> values;
    if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            values.append(items[i]);
    }
    if (data)
        XFree(data);
    return values;
}

} // namespace

ProcessLauncher::Raise ProcessLauncher::raiseWindow(qint64 pid)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || pid <= 0)
        return Raise::NoWindow;
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", True);
    const Atom wmPid = XInternAtom(display, "_NET_WM_PID", True);
    const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    if (clientList == None || wmPid == None)
        return Raise::NoWindow;
    const Window root = DefaultRootWindow(display);
    // The window manager lists windows in the order they were mapped: the
    // process's last one is its newest.
    Window found = None;
    for (unsigned long window : longsProperty(display, root, clientList, XA_WINDOW)) {
        const QList<unsigned long> owner = longsProperty(display, window, wmPid, XA_CARDINAL);
        if (owner.size() == 1 && static_cast<qint64>(owner.first()) == pid)
            found = window;
    }
    if (found == None)
        return Raise::NoWindow;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = found;
    event.xclient.message_type = active;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // asked for by the user, as a pager does
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, root, False,
                                 SubstructureRedirectMask | SubstructureNotifyMask, &event) != 0;
    XFlush(display);
    return sent ? Raise::Raised : Raise::Failed;
}
