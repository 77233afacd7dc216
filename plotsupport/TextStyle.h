#pragma once

// The character style record shared by the character styles, the axis records and the text
// dialogs: a font, a justification code, colours and a character height in paper mm. It
// depends on nothing but the graphics records, so that any layer may hold one.

#include <cstdint>
#include <cstring>

#include "platform/gdi/GdiTypes.h"

/// Justification codes: the text-alignment flags left 0, right 2, centre 6 combined with top
/// 0 or baseline 24, and two of the chart's own for labels beside a steep axis, drawn as left
/// (24) and right (26) on the baseline.
enum : std::uint32_t {
  kJustifyLeftTop = 0,
  kJustifyRightTop = 2,
  kJustifyCentreTop = 6,
  kJustifyLeftBaseline = 24,
  kJustifyRightBaseline = 26,
  kJustifyCentreBaseline = 30,
  kJustifyLeftBesideAxis = 256,
  kJustifyRightBesideAxis = 512,
};

/// True for the eight justification codes; every setter ignores any other value.
inline constexpr bool IsJustificationCode(std::uint32_t code) {
  switch (code) {
    case kJustifyLeftTop:
    case kJustifyRightTop:
    case kJustifyCentreTop:
    case kJustifyLeftBaseline:
    case kJustifyRightBaseline:
    case kJustifyCentreBaseline:
    case kJustifyLeftBesideAxis:
    case kJustifyRightBesideAxis:
      return true;
    default:
      return false;
  }
}

/// The text-alignment flags a justification code is drawn with: the code itself, 256 as 24 and
/// 512 as 26; anything that is not a code as 24.
inline constexpr std::uint32_t TextAlignOfJustification(std::uint32_t code) {
  if (code == kJustifyLeftBesideAxis) return kJustifyLeftBaseline;
  if (code == kJustifyRightBesideAxis) return kJustifyRightBaseline;
  return IsJustificationCode(code) ? code : kJustifyLeftBaseline;
}

/// Character heights a style accepts, mm: from a hundredth of a millimetre to a metre, beyond
/// any sheet of paper.
inline constexpr float kMinTextHeight = 0.01f;
inline constexpr float kMaxTextHeight = 1000.0f;
/// The default character height, mm.
inline constexpr float kDefaultTextHeight = 5.0f;
/// Logical units per mm assumed for a style that has no mapper (0.01 mm units, zoom 1).
inline constexpr float kUnitsPerMmWithoutMapper = 100.0f;

#pragma pack(push, 1)
/// A character style (76 bytes, stored raw in chart files and inside axis records).
struct TEXTSTYLE {
  /// The font; lfHeight is derived from `height` (a negative character height in logical
  /// units) and lfWidth is 0 after every change of height.
  tessmor::LOGFONT font;
  /// A justification code.
  std::uint32_t justification = 0;
  /// Text colour, at most 0xFFFFFF.
  tessmor::COLORREF colour = 0;
  /// Background colour, at most 0xFFFFFF.
  tessmor::COLORREF background = 0;
  /// Character height, mm.
  float height = 0.0f;

  friend bool operator==(const TEXTSTYLE& a, const TEXTSTYLE& b) {
    return std::memcmp(&a, &b, sizeof(TEXTSTYLE)) == 0;
  }
};
#pragma pack(pop)
static_assert(sizeof(TEXTSTYLE) == 76, "TEXTSTYLE is a 76-byte record");

/// The default style: "Times New Roman" of 5 mm (font height −500, as without a mapper),
/// weight 400, output precision 7, clip precision 16, quality 2, pitch and family 16, all
/// else 0; justification 24, black on white.
inline TEXTSTYLE DefaultTextStyle() {
  TEXTSTYLE s;
  s.font.lfHeight = -500;
  s.font.lfWeight = tessmor::FW_NORMAL;
  s.font.lfOutPrecision = tessmor::OUT_TT_ONLY_PRECIS;
  s.font.lfClipPrecision = tessmor::CLIP_LH_ANGLES;
  s.font.lfQuality = tessmor::PROOF_QUALITY;
  s.font.lfPitchAndFamily = tessmor::FF_ROMAN;
  tessmor::SetFaceName(s.font, "Times New Roman");
  s.justification = kJustifyLeftBaseline;
  s.colour = 0;
  s.background = 0xFFFFFF;
  s.height = kDefaultTextHeight;
  return s;
}

/// True for a height within [kMinTextHeight, kMaxTextHeight] mm (so never NaN).
inline bool IsValidTextHeight(float mm) { return mm >= kMinTextHeight && mm <= kMaxTextHeight; }

/// Copies `src` into `*dst`, repairing what a style cannot use: a face name without its
/// terminator within 32 bytes is cut to 31 characters; a justification that is not a code
/// becomes 24; a colour above 0xFFFFFF becomes 0 and such a background 0xFFFFFF; a height
/// outside [kMinTextHeight, kMaxTextHeight] (or NaN) becomes 5 mm; a weight outside 0-1000
/// becomes 400. Returns 1 when nothing was repaired, 0 otherwise. `dst` may be `&src`.
inline int CheckTextStyle(const TEXTSTYLE& src, TEXTSTYLE* dst) {
  TEXTSTYLE s = src;
  int valid = 1;
  if (std::memchr(s.font.lfFaceName, '\0', sizeof s.font.lfFaceName) == nullptr) {
    s.font.lfFaceName[tessmor::LF_FACESIZE - 1] = '\0';
    valid = 0;
  }
  if (!IsJustificationCode(s.justification)) {
    s.justification = kJustifyLeftBaseline;
    valid = 0;
  }
  if (s.colour > 0xFFFFFF) {
    s.colour = 0;
    valid = 0;
  }
  if (s.background > 0xFFFFFF) {
    s.background = 0xFFFFFF;
    valid = 0;
  }
  if (!IsValidTextHeight(s.height)) {
    s.height = kDefaultTextHeight;
    valid = 0;
  }
  if (s.font.lfWeight < 0 || s.font.lfWeight > 1000) {
    s.font.lfWeight = tessmor::FW_NORMAL;
    valid = 0;
  }
  *dst = s;
  return valid;
}
