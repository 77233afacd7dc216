#include "util/WindowPlacement.h"

#include <cstdio>
#include <string>
#include <variant>

#include "platform/io/Settings.h"
#include "util/SettingsText.h"

namespace {

constexpr const char* kPlacementFormat = "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d";
constexpr long kMaxIdleRounds = 1000;

tessmor::LibraryThread& Thread() {
  static tessmor::LibraryThread thread;
  return thread;
}

}  // namespace

int WriteWindowPlacement(const WINDOWPLACEMENT* placement, const char* entry) {
  if (!placement || !entry) return 0;
  const WINDOWPLACEMENT p = *placement;
  // Ten numbers of at most 11 characters and nine commas: sized so that no value is cut.
  char text[128];
  std::snprintf(text, sizeof text, kPlacementFormat, p.flags, p.showCmd, p.ptMinPosition.x,
                p.ptMinPosition.y, p.ptMaxPosition.x, p.ptMaxPosition.y, p.rcNormalPosition.left,
                p.rcNormalPosition.top, p.rcNormalPosition.right, p.rcNormalPosition.bottom);
  try {
    return tessmor::GetSettings().WriteString(kPlacementSection, entry, text) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int ReadWindowPlacement(WINDOWPLACEMENT* placement, const char* entry) {
  if (!placement || !entry) return 0;
  std::string text;
  try {
    text = tessmor::GetSettings().GetString(kPlacementSection, entry, {});
  } catch (...) {
    return 0;
  }
  if (text.empty()) return 0;
  const std::vector<ScannedValue> v = ScanSettingsText(text, kPlacementFormat);
  if (v.size() != 10) return 0;
  const auto s = [&v](int i) { return std::get<std::int32_t>(v[i]); };
  WINDOWPLACEMENT p;
  p.length = sizeof(WINDOWPLACEMENT);
  p.flags = std::get<std::uint32_t>(v[0]);
  p.showCmd = std::get<std::uint32_t>(v[1]);
  p.ptMinPosition = {s(2), s(3)};
  p.ptMaxPosition = {s(4), s(5)};
  p.rcNormalPosition = {s(6), s(7), s(8), s(9)};
  *placement = p;
  return 1;
}

int FilterGenQOR1Msg(MSG* msg) {
  if (!msg) return 0;
  try {
    return Thread().PreTranslateMessage(*msg) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

void ProcessDllIdle() {
  try {
    for (long count = 0; count < kMaxIdleRounds; ++count) {
      if (!Thread().OnIdle(count)) break;
    }
  } catch (...) {
    // An idle task that fails ends this idle period; the next one starts again at 0.
  }
}

tessmor::LibraryThread& GenQor1Thread() { return Thread(); }
