#include "app/LockKeys.h"

#include <QGuiApplication>

// The X11 headers come last: their macros would clash with Qt's names.
#include <X11/XKBlib.h>

namespace {

// The state of the keyboard's indicator `name`; false when the keyboard has none of that name.
bool Indicator(Display* display, const char* name, bool& on) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return false;
  Bool state = 0;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return false;
  on = state != 0;
  return true;
}

}  // namespace

bool ReadLockKeys(bool& caps, bool& num, bool& scroll) {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return false;
  bool c = false, n = false, s = false;
  const bool any = Indicator(display, "Caps Lock", c) | Indicator(display, "Num Lock", n) |
                   Indicator(display, "Scroll Lock", s);
  if (!any) return false;
  caps = c;
  num = n;
  scroll = s;
  return true;
}
