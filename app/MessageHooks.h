#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>

#include "util/Messages.h"

/// Offers the program's keyboard and mouse input to the libraries' message hooks before it
/// is dispatched: first the statistics library's, then the utility library's; an event either
/// of them handles goes no further. Once a burst of events is handled, the utility library
/// gets its idle time.
class CMessageHooks : public QObject {
  Q_OBJECT
 public:
  explicit CMessageHooks(QObject* parent = nullptr);

  /// The window message a Qt event stands for (key down and up, mouse buttons, moves, double
  /// clicks and the wheel), with `receiver` as its window. False for any other event.
  static bool ToMessage(QObject* receiver, QEvent& event, MSG& msg);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTimer idle_;
  // The event last offered: an event that travels up to a parent widget is offered once.
  const QEvent* last_ = nullptr;
  quint64 last_time_ = 0;
  int last_type_ = 0;
};
