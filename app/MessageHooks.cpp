#include "app/MessageHooks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "dirstats/Bearing.h"
#include "util/WindowPlacement.h"

namespace {

// Message numbers and button flags as the libraries know them.
constexpr std::uint32_t kKeyDown = 0x0100, kKeyUp = 0x0101, kSysKeyDown = 0x0104,
                        kSysKeyUp = 0x0105;
constexpr std::uint32_t kMouseMove = 0x0200, kWheel = 0x020A;
constexpr std::uint32_t kLeftDown = 0x0201, kRightDown = 0x0204, kMiddleDown = 0x0207;
constexpr std::uint32_t kButtonFlagLeft = 0x1, kButtonFlagRight = 0x2, kButtonFlagShift = 0x4,
                        kButtonFlagControl = 0x8, kButtonFlagMiddle = 0x10;

std::uintptr_t VirtualKey(const QKeyEvent& e) {
  const int key = e.key();
  // Letters and digits are their upper-case characters; other keys their native codes.
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return static_cast<std::uintptr_t>(key);
  }
  return e.nativeVirtualKey() ? e.nativeVirtualKey() : static_cast<std::uintptr_t>(key & 0xFFFF);
}

std::uintptr_t ButtonFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  std::uintptr_t flags = 0;
  if (buttons & Qt::LeftButton) flags |= kButtonFlagLeft;
  if (buttons & Qt::RightButton) flags |= kButtonFlagRight;
  if (buttons & Qt::MiddleButton) flags |= kButtonFlagMiddle;
  if (modifiers & Qt::ShiftModifier) flags |= kButtonFlagShift;
  if (modifiers & Qt::ControlModifier) flags |= kButtonFlagControl;
  return flags;
}

// The button's "down" message; up is one more, a double click two more.
std::uint32_t ButtonBase(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kLeftDown;
    case Qt::RightButton:
      return kRightDown;
    case Qt::MiddleButton:
      return kMiddleDown;
    default:
      return 0;
  }
}

std::intptr_t PackPoint(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                    static_cast<std::uint32_t>(x & 0xFFFF));
}

}  // namespace

CMessageHooks::CMessageHooks(QObject* parent) : QObject(parent) {
  idle_.setSingleShot(true);
  idle_.setInterval(0);
  connect(&idle_, &QTimer::timeout, this, [] { ProcessDllIdle(); });
  QCoreApplication::instance()->installEventFilter(this);
  idle_.start();
}

bool CMessageHooks::ToMessage(QObject* receiver, QEvent& event, MSG& msg) {
  msg = MSG{};
  msg.hwnd = receiver;
  msg.time = static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());
  switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto& e = static_cast<QKeyEvent&>(event);
      const bool alt = e.modifiers() & Qt::AltModifier;
      const bool down = event.type() == QEvent::KeyPress;
      msg.message = down ? (alt ? kSysKeyDown : kKeyDown) : (alt ? kSysKeyUp : kKeyUp);
      msg.wParam = VirtualKey(e);
      msg.lParam = e.isAutoRepeat() ? (1 << 30) : 0;
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      const auto& e = static_cast<QMouseEvent&>(event);
      if (event.type() == QEvent::MouseMove) {
        msg.message = kMouseMove;
      } else {
        const std::uint32_t base = ButtonBase(e.button());
        if (!base) return false;
        msg.message = base + (event.type() == QEvent::MouseButtonPress     ? 0
                              : event.type() == QEvent::MouseButtonRelease ? 1
                                                                           : 2);
      }
      msg.wParam = ButtonFlags(e.buttons(), e.modifiers());
      const QPoint local = e.position().toPoint();
      msg.lParam = PackPoint(local.x(), local.y());
      const QPoint global = e.globalPosition().toPoint();
      msg.pt = {global.x(), global.y()};
      return true;
    }
    case QEvent::Wheel: {
      const auto& e = static_cast<QWheelEvent&>(event);
      msg.message = kWheel;
      const int delta = e.angleDelta().y();
      msg.wParam = (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16) |
                   ButtonFlags(e.buttons(), e.modifiers());
      const QPoint global = e.globalPosition().toPoint();
      msg.lParam = PackPoint(global.x(), global.y());
      msg.pt = {global.x(), global.y()};
      return true;
    }
    default:
      return false;
  }
}

bool CMessageHooks::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return QObject::eventFilter(watched, event);
  const auto* input = dynamic_cast<const QInputEvent*>(event);
  const bool again =
      input && event == last_ && input->timestamp() == last_time_ && event->type() == last_type_;
  if (input && !again) {
    MSG msg;
    if (ToMessage(watched, *event, msg)) {
      last_ = event;
      last_time_ = input->timestamp();
      last_type_ = event->type();
      // Input came: the libraries get their idle time once the queue is empty again.
      idle_.start();
      if (FilterPelvarMsg(&msg) || FilterGenQOR1Msg(&msg)) return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
