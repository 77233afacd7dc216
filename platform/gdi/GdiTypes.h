#pragma once

// The plain records and constants of the desktop graphics interface that the chart code and
// the device contexts share: points, rectangles, colours, font descriptions, and the codes of
// pens, brushes, hatches, text alignment, mapping modes and regions, with the desktop's values.
// No Qt here: every layer above platform/ may include this file.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

/// A colour as the desktop stores it: 0x00BBGGRR.
using COLORREF = std::uint32_t;

/// The colour of red, green and blue components 0-255.
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFFu; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFFu; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFFu; }

/// A point in integer units (logical or device, as the function using it says).
struct POINT {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};
static_assert(sizeof(POINT) == 8);

/// A size in integer units.
struct SIZE {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const SIZE&, const SIZE&) = default;
};
static_assert(sizeof(SIZE) == 8);

/// A rectangle; right and bottom are exclusive where it stands for pixels. In the metric
/// mapping modes (y up) a logical rectangle usually has top > bottom.
struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};
static_assert(sizeof(RECT) == 16);

/// `r` with left ≤ right and top ≤ bottom.
inline RECT NormalizedRect(const RECT& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}
/// True when `r` has no area (right ≤ left or bottom ≤ top), as the desktop's rectangle union
/// sees it.
inline bool IsRectEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
/// The union of two normalised rectangles; a rectangle without area adds nothing.
inline RECT UnionRects(const RECT& a, const RECT& b) {
  if (IsRectEmpty(b)) return a;
  if (IsRectEmpty(a)) return b;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// ---- Mapping modes -------------------------------------------------------------------------

constexpr int MM_TEXT = 1;         ///< 1 logical unit = 1 device pixel, y down
constexpr int MM_LOMETRIC = 2;     ///< 1 logical unit = 0.1 mm, y up
constexpr int MM_HIMETRIC = 3;     ///< 1 logical unit = 0.01 mm, y up
constexpr int MM_LOENGLISH = 4;    ///< 1 logical unit = 0.01 inch, y up
constexpr int MM_HIENGLISH = 5;    ///< 1 logical unit = 0.001 inch, y up
constexpr int MM_TWIPS = 6;        ///< 1 logical unit = 1/1440 inch, y up
constexpr int MM_ISOTROPIC = 7;    ///< window/viewport extents, equal scales in x and y
constexpr int MM_ANISOTROPIC = 8;  ///< window/viewport extents, free scales

// ---- Pens ----------------------------------------------------------------------------------

constexpr std::uint32_t PS_SOLID = 0;
constexpr std::uint32_t PS_DASH = 1;
constexpr std::uint32_t PS_DOT = 2;
constexpr std::uint32_t PS_DASHDOT = 3;
constexpr std::uint32_t PS_DASHDOTDOT = 4;
constexpr std::uint32_t PS_NULL = 5;
constexpr std::uint32_t PS_INSIDEFRAME = 6;
constexpr std::uint32_t PS_STYLE_MASK = 0x0000000F;
constexpr std::uint32_t PS_ENDCAP_ROUND = 0x00000000;
constexpr std::uint32_t PS_ENDCAP_SQUARE = 0x00000100;
constexpr std::uint32_t PS_ENDCAP_FLAT = 0x00000200;
constexpr std::uint32_t PS_ENDCAP_MASK = 0x00000F00;
constexpr std::uint32_t PS_JOIN_ROUND = 0x00000000;
constexpr std::uint32_t PS_JOIN_BEVEL = 0x00001000;
constexpr std::uint32_t PS_JOIN_MITER = 0x00002000;
constexpr std::uint32_t PS_JOIN_MASK = 0x0000F000;
constexpr std::uint32_t PS_COSMETIC = 0x00000000;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;
constexpr std::uint32_t PS_TYPE_MASK = 0x000F0000;

/// A pen. `style` is a PS_ style, or-ed for a geometric pen with PS_GEOMETRIC and its end
/// (PS_ENDCAP_*) and join (PS_JOIN_*) bits. `width` is in logical units; 0 draws one device
/// pixel whatever the mapping.
///
/// As on the desktop: a pen without PS_GEOMETRIC (a "cosmetic" pen as CreatePen makes it)
/// has round ends and joins, and its dash styles apply only while it is at most one device
/// pixel wide (wider, it draws solid); a geometric pen draws its ends, joins and dashes at
/// any width, the dashes scaled by the width.
struct Pen {
  std::uint32_t style = PS_SOLID;
  std::int32_t width = 0;
  COLORREF color = 0;
  friend bool operator==(const Pen&, const Pen&) = default;
};

// ---- Brushes -------------------------------------------------------------------------------

constexpr std::uint32_t BS_SOLID = 0;
constexpr std::uint32_t BS_NULL = 1;
constexpr std::uint32_t BS_HOLLOW = BS_NULL;
constexpr std::uint32_t BS_HATCHED = 2;
constexpr std::uint32_t BS_PATTERN = 3;
constexpr std::uint32_t BS_DIBPATTERN = 5;
constexpr std::uint32_t BS_DIBPATTERNPT = 6;

constexpr std::int32_t HS_HORIZONTAL = 0;  ///< -----
constexpr std::int32_t HS_VERTICAL = 1;    ///< |||||
constexpr std::int32_t HS_FDIAGONAL = 2;   ///< \\\\\ (down from left to right)
constexpr std::int32_t HS_BDIAGONAL = 3;   ///< ///// (up from left to right)
constexpr std::int32_t HS_CROSS = 4;       ///< +++++
constexpr std::int32_t HS_DIAGCROSS = 5;   ///< xxxxx

/// A device-independent pattern bitmap, laid out as a DIB: rows of `bit_count` bits per
/// pixel, each row padded to a multiple of 4 bytes, bottom row first when `height` > 0 (top
/// row first when `height` < 0). Pixels of 1, 4 and 8 bits index `colors`; 24-bit pixels are
/// blue, green, red bytes; 32-bit pixels blue, green, red, unused.
struct DIBPattern {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bit_count = 24;
  std::vector<COLORREF> colors;
  std::vector<std::uint8_t> bits;

  /// Bytes in one row: bit_count × width rounded up to 32 bits.
  std::size_t Stride() const {
    return ((static_cast<std::size_t>(bit_count) * static_cast<std::uint32_t>(width) + 31) / 32) *
           4;
  }
  /// True for 1 to 4096 pixels in each direction, a bit count of 1, 4, 8, 24 or 32 and at
  /// least Stride() × |height| bytes. (Indexed pixels beyond a short colour table read as
  /// black.)
  TESSMOR_PLATFORM_EXPORT bool IsValid() const;
  /// The colour of pixel (x, y), y counted from the top row; 0 outside or when invalid.
  TESSMOR_PLATFORM_EXPORT COLORREF PixelAt(std::int32_t x, std::int32_t y) const;
};

/// A brush: BS_SOLID or BS_NULL in `color`; BS_HATCHED with the HS_ hatch `hatch` drawn in
/// `color` (the gaps take the background colour in OPAQUE mode); BS_PATTERN, BS_DIBPATTERN or
/// BS_DIBPATTERNPT tiled from `pattern` in device pixels. Hatches and patterns are aligned to
/// device pixel (0, 0), whatever the mapping.
struct Brush {
  std::uint32_t style = BS_SOLID;
  COLORREF color = 0xFFFFFF;
  std::int32_t hatch = 0;
  std::shared_ptr<const DIBPattern> pattern;

  friend bool operator==(const Brush& a, const Brush& b) {
    return a.style == b.style && a.color == b.color && a.hatch == b.hatch && a.pattern == b.pattern;
  }
};

/// The brushes of the desktop's CreateSolidBrush, GetStockObject(HOLLOW_BRUSH),
/// CreateHatchBrush and CreateDIBPatternBrushPt.
inline Brush SolidBrush(COLORREF color) { return Brush{BS_SOLID, color, 0, nullptr}; }
inline Brush HollowBrush() { return Brush{BS_NULL, 0, 0, nullptr}; }
inline Brush HatchBrush(std::int32_t hatch, COLORREF color) {
  return Brush{BS_HATCHED, color, hatch, nullptr};
}
inline Brush PatternBrush(std::shared_ptr<const DIBPattern> pattern) {
  return Brush{BS_DIBPATTERNPT, 0, 0, std::move(pattern)};
}

// ---- Fonts ---------------------------------------------------------------------------------

constexpr std::int32_t FW_DONTCARE = 0;
constexpr std::int32_t FW_THIN = 100;
constexpr std::int32_t FW_LIGHT = 300;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::int32_t FW_HEAVY = 900;

constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr std::uint8_t OUT_DEFAULT_PRECIS = 0;
constexpr std::uint8_t OUT_TT_PRECIS = 4;
constexpr std::uint8_t OUT_TT_ONLY_PRECIS = 7;
constexpr std::uint8_t CLIP_DEFAULT_PRECIS = 0;
constexpr std::uint8_t CLIP_LH_ANGLES = 16;
constexpr std::uint8_t DEFAULT_QUALITY = 0;
constexpr std::uint8_t PROOF_QUALITY = 2;
constexpr std::uint8_t DEFAULT_PITCH = 0;
constexpr std::uint8_t FIXED_PITCH = 1;
constexpr std::uint8_t VARIABLE_PITCH = 2;
constexpr std::uint8_t FF_DONTCARE = 0x00;
constexpr std::uint8_t FF_ROMAN = 0x10;
constexpr std::uint8_t FF_SWISS = 0x20;
constexpr std::uint8_t FF_MODERN = 0x30;

constexpr int LF_FACESIZE = 32;

#pragma pack(push, 1)
/// The desktop font description, 60 bytes as stored in chart files.
///
/// lfHeight is in logical units: negative = character (em) height, positive = cell height
/// (ascent + descent), 0 = a default size. lfWidth is the average character width in logical
/// units, 0 for the font's own proportions. lfEscapement is the angle of the baseline in
/// tenths of a degree, counter-clockwise as seen on the page. lfWeight 0-1000 (400 normal,
/// 700 bold). lfFaceName is NUL-terminated (at most 31 characters).
struct LOGFONT {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = FW_NORMAL;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = ANSI_CHARSET;
  std::uint8_t lfOutPrecision = OUT_DEFAULT_PRECIS;
  std::uint8_t lfClipPrecision = CLIP_DEFAULT_PRECIS;
  std::uint8_t lfQuality = DEFAULT_QUALITY;
  std::uint8_t lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  char lfFaceName[LF_FACESIZE] = {};

  friend bool operator==(const LOGFONT& a, const LOGFONT& b) {
    return std::memcmp(&a, &b, sizeof(LOGFONT)) == 0;
  }
};
#pragma pack(pop)
static_assert(sizeof(LOGFONT) == 60);

/// Copies `name` into `font.lfFaceName`, cut to 31 characters and NUL-terminated.
inline void SetFaceName(LOGFONT& font, const char* name) {
  std::memset(font.lfFaceName, 0, sizeof(font.lfFaceName));
  if (name) std::memcpy(font.lfFaceName, name, strnlen(name, LF_FACESIZE - 1));
}

/// Metrics of the selected font, in logical units (heights converted with the y scale,
/// widths with the x scale, as the desktop reports them).
struct TEXTMETRIC {
  std::int32_t tmHeight = 0;           ///< cell height: ascent + descent
  std::int32_t tmAscent = 0;           ///< baseline to cell top
  std::int32_t tmDescent = 0;          ///< baseline to cell bottom
  std::int32_t tmInternalLeading = 0;  ///< cell height minus character (em) height
  std::int32_t tmExternalLeading = 0;  ///< extra space the font asks for between lines
  std::int32_t tmAveCharWidth = 0;     ///< average width of the lower-case letters
  std::int32_t tmMaxCharWidth = 0;     ///< widest character
  std::int32_t tmWeight = 0;           ///< as lfWeight
  std::uint8_t tmItalic = 0;
  std::uint8_t tmUnderlined = 0;
  std::uint8_t tmStruckOut = 0;
};

// ---- Text alignment ------------------------------------------------------------------------

constexpr std::uint32_t TA_NOUPDATECP = 0;
constexpr std::uint32_t TA_UPDATECP = 1;
constexpr std::uint32_t TA_LEFT = 0;
constexpr std::uint32_t TA_RIGHT = 2;
constexpr std::uint32_t TA_CENTER = 6;
constexpr std::uint32_t TA_TOP = 0;
constexpr std::uint32_t TA_BOTTOM = 8;
constexpr std::uint32_t TA_BASELINE = 24;
constexpr std::uint32_t TA_RTLREADING = 256;
constexpr std::uint32_t TA_HORZ_MASK = 6;   ///< TA_LEFT | TA_RIGHT | TA_CENTER
constexpr std::uint32_t TA_VERT_MASK = 24;  ///< TA_TOP | TA_BOTTOM | TA_BASELINE
constexpr std::uint32_t TA_MASK = TA_BASELINE | TA_CENTER | TA_UPDATECP | TA_RTLREADING;

// ---- Background, fill and drawing modes ----------------------------------------------------

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int ALTERNATE = 1;  ///< even-odd fill
constexpr int WINDING = 2;    ///< non-zero winding fill

/// Mixing of the pen and brush with the pixels already drawn (SetROP2). Only raster devices
/// (images and windows) can mix; vector devices draw every mode as R2_COPYPEN, except that
/// R2_BLACK and R2_WHITE draw black and white and R2_NOP draws nothing. Area fills (FillRect,
/// FillRgn, FrameRgn), InvertRgn and text never mix.
constexpr int R2_BLACK = 1;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_COPYPEN = 13;
constexpr int R2_WHITE = 16;

// ---- Device capabilities (GetDeviceCaps) -----------------------------------------------------

constexpr int HORZSIZE = 4;     ///< width of the surface, mm (0 when unbounded)
constexpr int VERTSIZE = 6;     ///< height of the surface, mm (0 when unbounded)
constexpr int HORZRES = 8;      ///< width of the surface, device pixels (0 when unbounded)
constexpr int VERTRES = 10;     ///< height of the surface, device pixels (0 when unbounded)
constexpr int LOGPIXELSX = 88;  ///< device pixels per inch in x
constexpr int LOGPIXELSY = 90;  ///< device pixels per inch in y

// ---- Regions -------------------------------------------------------------------------------

/// Region kinds, as returned by region operations and GetClipBox.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

/// Region combination modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

}  // namespace tessmor
