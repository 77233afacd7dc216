#pragma once

// Window messages as the libraries' hooks see them, and the part of a library's own
// application object that those hooks drive. There is no desktop message loop below app/:
// the program fills an MSG from its own event and offers it to each library before
// dispatching it.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/gdi/GdiTypes.h"

/// One window message about to be dispatched: the window it is for, the message number, its
/// two parameters, the time it was posted (ms) and the cursor position (screen pixels).
struct MSG {
  void* hwnd = nullptr;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::uint32_t time = 0;
  tessmor::POINT pt;
};

namespace tessmor {

/// The message pre-translation and idle processing of a library's own application thread.
/// A modeless window of the library adds a filter while it is open; the library's exported
/// hooks call PreTranslateMessage and OnIdle. Used on the user-interface thread only.
class LibraryThread {
 public:
  /// Returns true when it consumed the message.
  using MessageFilter = std::function<bool(const MSG&)>;
  /// Given the idle count (0, 1, 2, ...); returns true while it wants more idle time.
  using IdleTask = std::function<bool(long)>;

  /// Adds a filter; the returned number removes it again.
  int AddMessageFilter(MessageFilter filter) {
    filters_.emplace_back(++last_id_, std::move(filter));
    return last_id_;
  }
  void RemoveMessageFilter(int id) {
    std::erase_if(filters_, [id](auto& f) { return f.first == id; });
  }

  /// Adds an idle task; the returned number removes it again.
  int AddIdleTask(IdleTask task) {
    idle_tasks_.emplace_back(++last_id_, std::move(task));
    return last_id_;
  }
  void RemoveIdleTask(int id) {
    std::erase_if(idle_tasks_, [id](auto& t) { return t.first == id; });
  }

  /// Offers `msg` to the filters in the order they were added until one consumes it. True
  /// when one did; false when nobody handles the message. A filter's exception passes through.
  bool PreTranslateMessage(const MSG& msg) const {
    // A copy, so that a filter may remove itself (a window closing on this message).
    const auto filters = filters_;
    for (const auto& [id, filter] : filters) {
      if (filter(msg)) return true;
    }
    return false;
  }

  /// Runs every idle task with `count`; true while any of them wants more idle time. A
  /// task's exception passes through.
  bool OnIdle(long count) const {
    const auto tasks = idle_tasks_;
    bool more = false;
    for (const auto& [id, task] : tasks) {
      if (task(count)) more = true;
    }
    return more;
  }

 private:
  std::vector<std::pair<int, MessageFilter>> filters_;
  std::vector<std::pair<int, IdleTask>> idle_tasks_;
  int last_id_ = 0;
};

}  // namespace tessmor
