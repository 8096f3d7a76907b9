// Lock keys from the X server's keyboard indicators.
#include <QGuiApplication>

#include "shell/lock_keys.h"

// After Qt: the X headers define macros (None, Bool, KeyPress) Qt uses as names.
#include <X11/XKBlib.h>

std::optional<LockKeys> queryLockKeys() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return std::nullopt;
    unsigned int state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) return std::nullopt;
    const auto lit = [&](const char* name) {
        const Atom atom = XInternAtom(display, name, True);
        int index = -1;
        if (atom == None || !XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr)) return false;
        return index >= 0 && (state & (1u << index)) != 0;
    };
    return LockKeys{lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
}
