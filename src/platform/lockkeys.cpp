#include "lockkeys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace {

bool indicator(Display* display, Atom atom)
{
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
    // The status bar asks every second; the names' atoms are looked up once.
    static const Atom caps = XInternAtom(display, "Caps Lock", True);
    static const Atom num = XInternAtom(display, "Num Lock", True);
    static const Atom scroll = XInternAtom(display, "Scroll Lock", True);
    keys.caps = indicator(display, caps);
    keys.num = indicator(display, num);
    keys.scroll = indicator(display, scroll);
    return keys;
}
