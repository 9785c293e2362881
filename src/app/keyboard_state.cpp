#include "app/keyboard_state.h"

#include <QGuiApplication>

#include "shell/input_state.h"

#ifdef TRELMO_HAVE_XKB
#include <X11/XKBlib.h>
#endif

namespace trelmo::app {

uint8_t modifierFlags(Qt::KeyboardModifiers m, uint8_t current) {
  uint8_t flags = 0;
  if (m & Qt::ShiftModifier) {
    const uint8_t sides = current & (kLeftShift | kRightShift);
    flags |= sides ? sides : static_cast<uint8_t>(kLeftShift);
  }
  if (m & Qt::ControlModifier) flags |= kCtrl;
  if (m & Qt::AltModifier) flags |= kAlt;
  return flags;
}

uint8_t lockFlags(uint8_t current) {
  const uint8_t known = current & (kCapsLock | kNumLock | kScrollLock);
#ifdef TRELMO_HAVE_XKB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return known;
  struct Light {
    const char* name;
    uint8_t flag;
  };
  uint8_t flags = 0;
  for (const Light& l :
       {Light{"Caps Lock", kCapsLock}, Light{"Num Lock", kNumLock}, Light{"Scroll Lock", kScrollLock}}) {
    Bool on = False;
    const Atom atom = XInternAtom(display, l.name, True);
    // A light the keyboard does not have keeps the state the program knows.
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
      flags |= known & l.flag;
    else if (on)
      flags |= l.flag;
  }
  return flags;
#else
  return known;
#endif
}

}  // namespace trelmo::app
