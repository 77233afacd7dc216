#pragma once

#include <exception>
#include <string>

#include "platform/ui/Prompts.h"

namespace tessmor {

/// Runs `f` inside a Qt event handler: an exception it throws becomes a message box and the
/// program goes on. Returns false when `f` threw.
template <typename F>
bool RunGuarded(F&& f) noexcept {
  try {
    f();
    return true;
  } catch (const std::exception& e) {
    try {
      GetPrompts().MessageBox(std::string("Internal error: ") + e.what(),
                              kPromptOk | kPromptIconError);
    } catch (...) {
    }
  } catch (...) {
    try {
      GetPrompts().MessageBox("Internal error.", kPromptOk | kPromptIconError);
    } catch (...) {
    }
  }
  return false;
}

}  // namespace tessmor
