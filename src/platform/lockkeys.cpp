#include "lockkeys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace {

bool indicator(Display* display, const char* name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}

} // namespace

LockKeys LockKeys::current()
{
    LockKeys keys;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return keys;
    keys.caps = indicator(display, "Caps Lock");
    keys.num = indicator(display, "Num Lock");
    keys.scroll = indicator(display, "Scroll Lock");
    return keys;
}
