#pragma once

// Window placements kept in the calling application's settings, and the message hooks of
// the utility library's own application object (module "genqor1.dll").

#include <cstdint>

#include "platform/gdi/GdiTypes.h"
#include "util/Messages.h"
#include "util/Qor1Export.h"

#pragma pack(push, 1)
/// Where a window sits and how it is shown (44 bytes); positions in screen pixels.
struct WINDOWPLACEMENT {
  /// Size of the record; ReadWindowPlacement sets it to 44.
  std::uint32_t length = 44;
  /// Placement flags; kRestoreToMaximized for a window that was maximised.
  std::uint32_t flags = 0;
  /// How the window is shown.
  std::uint32_t showCmd = 0;
  tessmor::POINT ptMinPosition;
  tessmor::POINT ptMaxPosition;
  tessmor::RECT rcNormalPosition;
};
#pragma pack(pop)
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT is a 44-byte record");

/// The placement flag of a window that is restored maximised.
inline constexpr std::uint32_t kRestoreToMaximized = 2;

/// The settings section that holds window placements.
inline constexpr const char* kPlacementSection = "Settings";

/// Writes the placement's flags, show command, minimised and maximised positions and normal
/// rectangle as "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" under ("Settings", `entry`) of the settings
/// store (the length is not stored). Returns the store's result (1 written, 0 not); 0 for a
/// null record or entry.
QOR1_EXPORT int WriteWindowPlacement(const WINDOWPLACEMENT* placement, const char* entry);

/// Reads the value under ("Settings", `entry`). When it holds all ten numbers of the
/// written form, fills the whole record (length 44) and returns 1; otherwise (no value, a
/// value of fewer numbers, a number outside its 32-bit range, a null record or entry)
/// returns 0 and leaves the record as it was.
QOR1_EXPORT int ReadWindowPlacement(WINDOWPLACEMENT* placement, const char* entry);

/// Offers `msg` to the pre-translation of the utility library's application thread. Returns
/// 1 when a window of the library consumed it, 0 when nobody did, when `msg` is null, or when
/// the pre-translation failed with an exception (which goes no further).
QOR1_EXPORT int FilterGenQOR1Msg(MSG* msg);

/// Gives the utility library's application thread its idle time: idle processing with the
/// counts 0, 1, 2, ... until it wants no more, an exception ends it, or 1000 rounds have run
/// (so that a task that always wants more cannot hold the program).
QOR1_EXPORT void ProcessDllIdle();

/// The utility library's own application thread, where its modeless windows register
/// their message filters and idle tasks.
QOR1_EXPORT tessmor::LibraryThread& GenQor1Thread();
