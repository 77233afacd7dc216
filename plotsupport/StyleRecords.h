#pragma once

// Pen, brush, marker and symbol records of the plot support library, and the checks through
// which every record enters a style object or leaves a dialog. Widths are in millimetres of
// paper, symbol sizes in tenths of a point, marker angles in tenths of a degree, colours
// 0x00BBGGRR.

#include <cstdint>
#include <vector>

#include "plotsupport/Geometry.h"
#include "plotsupport/Vexadl1Export.h"

/// Pen styles: the desktop's own (0-6) and the framework's dash patterns (16-21).
enum : std::int32_t {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenNull = 5,
  kPenInsideFrame = 6,
  kPenFirstPattern = 16,
  kPenLastPattern = 21,
};

/// Background modes of pens and brushes.
enum : std::int32_t {
  kBkTransparent = 1,
  kBkOpaque = 2,
};

/// Brush kinds; kBrushUseDefault marks a brush to be replaced by the default one.
enum : std::int16_t {
  kBrushUseDefault = -1,
  kBrushSolid = 200,
  kBrushHollow = 201,
  kBrushPattern = 202,
  kBrushHatched = 203,
  kBrushNone = 999,
};

/// Hatch patterns are 0-5 (the desktop's); this one means none.
inline constexpr std::int32_t kNoHatch = 999;

#pragma pack(push, 1)
/// A pen (28 bytes, stored raw in chart files).
struct VEXAPEN {
  /// 0-6 or 16-21.
  std::int32_t style;
  /// Line width in mm, 0 to 50.
  float width;
  /// Line colour, at most 0xFFFFFF.
  std::uint32_t colour;
  /// Background colour for opaque drawing, at most 0xFFFFFF.
  std::uint32_t background;
  /// kBkTransparent or kBkOpaque.
  std::int32_t bkMode;
  /// Nonzero: round line ends.
  std::int32_t roundEnds;
  /// Nonzero: the line is drawn as a spline through its points.
  std::int32_t spline;
};

/// A brush (24 bytes, stored raw in chart files).
struct VEXABRUSH {
  /// One of the brush kinds.
  std::int16_t kind;
  /// Not read.
  std::uint8_t unused[2];
  /// Foreground colour.
  std::uint32_t colour;
  /// Background colour.
  std::uint32_t background;
  /// kBkTransparent or kBkOpaque.
  std::int32_t bkMode;
  /// Hatch pattern 0-5, or kNoHatch.
  std::int32_t hatch;
  /// Index of a pattern bitmap in the document's bitmap store, -1 for none.
  std::int32_t bitmap;
};

/// A marker: symbol, size, orientation, outline and fill (64 bytes).
struct VEXAMARKER {
  /// Symbol shape 0-15 (see GetSymbolVertices); 0 draws nothing.
  std::uint8_t symbol;
  /// Not read.
  std::uint8_t unused[3];
  /// Size in tenths of a point, 1 to 1000.
  std::uint32_t size;
  /// Orientation of the base line in tenths of a degree, -360 to 360.
  std::int32_t angle;
  VEXAPEN pen;
  VEXABRUSH brush;
};

/// The first three fields of a VEXAMARKER (12 bytes).
struct VEXASYMBOL {
  std::uint8_t symbol;
  std::uint8_t unused[3];
  std::uint32_t size;
  std::int32_t angle;
};
#pragma pack(pop)
static_assert(sizeof(VEXAPEN) == 28, "VEXAPEN is a 28-byte record");
static_assert(sizeof(VEXABRUSH) == 24, "VEXABRUSH is a 24-byte record");
static_assert(sizeof(VEXAMARKER) == 64, "VEXAMARKER is a 64-byte record");
static_assert(sizeof(VEXASYMBOL) == 12, "VEXASYMBOL is a 12-byte record");

/// What CopyBrushStyle returns for a kind it does not know.
inline constexpr int kBrushKindUnknown = 2;

/// Copies `*src` into `*dst`, replacing every field out of range by its default: style
/// outside 0-6 and 16-21 by 0, width outside [0, 50] mm (or NaN) by 0.2, colour above
/// 0xFFFFFF by 0, background above 0xFFFFFF by 0xFFFFFF, background mode other than 1 or 2 by
/// 1; the rounded-ends and spline fields are copied as they are. A null `src` gives the
/// default pen. Returns 1 when nothing had to be replaced (or `src` is null), 0 otherwise.
/// `src` and `dst` may be the same record; a null `dst` only answers the question.
VEXADL1_EXPORT int CheckPenStyle(const VEXAPEN* src, VEXAPEN* dst);

/// Copies the 24 bytes of `*src` into `*dst` unchanged and returns 1 for a pattern brush, 0
/// for a solid, hollow, hatched or no brush, and kBrushKindUnknown for any other kind. A null
/// `src`, or one of kind -1, gives the default brush instead (kind 200, colour 0x808080,
/// background 0xFFFFFF, opaque, hatch 0, no bitmap; the two bytes after the kind are not
/// written) and returns 0. With a null `dst` nothing is written.
VEXADL1_EXPORT int CopyBrushStyle(const VEXABRUSH* src, VEXABRUSH* dst);

/// Copies `*src` into `*dst`, replacing an angle outside -360..360 by 0, a size of 0 or above
/// 1000 by 80 and a symbol above 15 by 5; the brush goes through CopyBrushStyle and the pen
/// through CheckPenStyle. A null `src` gives the default marker (symbol 5, size 80, angle 0,
/// default pen and brush). Returns 1 when the marker fields and the pen were valid (or `src`
/// is null), 0 otherwise. The bytes after the symbol are not written. `src` and `dst` may be
/// the same record; a null `dst` only answers the question.
VEXADL1_EXPORT int CheckMarkerStyle(const VEXAMARKER* src, VEXAMARKER* dst);

/// Millimetres to points (72 points = 25.4 mm).
VEXADL1_EXPORT float mmToPts(float mm);
/// Points to millimetres.
VEXADL1_EXPORT float PtsTomm(float points);

/// The outline vertices of a symbol of `symbol->size` tenths of a point, in hundredths of a
/// point relative to its centre, y up (size 80 gives a symbol 8 points wide: vertices at
/// +-400). `*count` receives the number of vertices (3 to 8). Symbol 0 has no vertices and
/// leaves `*count` as it was; a symbol above 15 has none and sets `*count` to 0, as does a
/// null `symbol`. `count` may be null.
///
/// Shapes: 1-4 triangles with the apex up, left, right and down; 5, 7 and 14 a square; 6 a
/// diamond; 8 a five-pointed star polygon; 9 two triangles; 10 a plus and 11 a cross (two
/// strokes each); 12 a plus and a cross (four strokes); 13 and 15 a square with a plus.
VEXADL1_EXPORT std::vector<tessmor::POINT> GetSymbolVertices(const VEXASYMBOL* symbol, int* count);

/// GetSymbolVertices for the symbol and size of a marker.
VEXADL1_EXPORT std::vector<tessmor::POINT> GetSymbolVertices(const VEXAMARKER* marker, int* count);

/// The library's marker class; it holds nothing.
class VEXADL1_EXPORT CVexadl1 {
 public:
  CVexadl1();
};
/// The library's exported integer (0).
VEXADL1_EXPORT extern int nVexadl1;
/// Returns 42.
VEXADL1_EXPORT int fnVexadl1();
