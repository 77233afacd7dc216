#pragma once

// The paper of a chart and the conversion between paper millimetres and the logical units of
// the device context. Paper coordinates are single-precision millimetres with the origin at
// the bottom-left corner of the sheet and y upwards; logical coordinates are integers of the
// metric mapping modes (0.01 mm or 0.1 mm, times the zoom), with the top edge of the paper at
// y = 0 and the sheet below it.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
}

/// A point on the paper, mm.
struct PaperPoint {
  float x = 0.0f;
  float y = 0.0f;
  friend bool operator==(const PaperPoint&, const PaperPoint&) = default;
};

/// The three numbers of the stored paper setting: the paper code and the paper width and
/// height in hundredths of a millimetre.
struct PaperSetting {
  int code = 0;
  int width100 = 0;
  int height100 = 0;
  friend bool operator==(const PaperSetting&, const PaperSetting&) = default;
};

/// Paper size, mapping mode and zoom of a chart; converts paper millimetres to logical units
/// and back.
///
/// Every conversion uses the scale k = units per mm × zoom (logical units per paper mm). A
/// conversion to an integer adds 0.5 and truncates towards zero, in double precision; a
/// result beyond the 32-bit range is held at its limit and NaN gives 0.
///
/// The mapper keeps these invariants, whatever it is given or reads: the mapping mode is
/// MM_HIMETRIC with 100 units per mm or MM_LOMETRIC with 10; the zoom is above 0 and k finite;
/// the paper width and height are finite and above 0. So k is never 0 and LogicalToPaper
/// never divides by 0.
class CMapper {
 public:
  /// The paper code used when none is stored: A4 landscape, 295 × 210 mm.
  static constexpr int kDefaultPaper = 9;
  /// A logical coordinate of the paper must stay below this at any zoom (16-bit devices).
  static constexpr float kCoordinateLimit = 32760.0f;
  /// The paper codes a user can choose; any other code gives A4 landscape.
  static constexpr int kPaperCodes[] = {5, 6, 9, 10, 20, 24};

  /// Zoom 1 at 0.01 mm units, and the paper loaded from the settings store (LoadSavePaper).
  CMapper();

  // --- conversions ---

  /// (r(x·k), r(y·k)): the paper point in logical units measured from the paper's bottom.
  tessmor::POINT PaperToLogical(PaperPoint p) const;
  /// (r(x·k), r(y·k) − r(H·k)), H the paper height: the paper point in logical units measured
  /// from the paper's top edge, as items are drawn.
  tessmor::POINT PaperToDevice(PaperPoint p) const;
  /// (x / k, y / k) in single precision: logical units to paper mm.
  PaperPoint LogicalToPaper(tessmor::POINT p) const;
  /// The sheet in logical units: left 0, top 0, right r(W·k), bottom −r(H·k).
  tessmor::RECT GetPaperRect() const;
  /// A length in points (1/72 inch) in logical units: r(k · points · 0.35277724).
  int PointsToLogical(double points) const;
  /// Each component c of a size in points (`hundredths` false) or in hundredths of a point
  /// (`hundredths` true) in logical units: r(c / d · k), d = 2.83465 or 283.465 per mm.
  tessmor::SIZE PointSizeToLogical(tessmor::SIZE size, bool hundredths) const;

  // --- paper and zoom ---

  /// Sets the paper code and the paper size the code's low byte names: 5 A4 portrait
  /// (210 × 295 mm), 6 A3 portrait (295 × 420), 10 A3 landscape (420 × 295), 20 A5 portrait
  /// (148 × 210), 24 A5 landscape (210 × 148), anything else A4 landscape (295 × 210). The
  /// whole code is kept. The resolution is not changed: call SetZoom for that.
  void SetPaper(int code);
  /// Sets the zoom factor `f`, choosing the resolution that keeps the paper's logical
  /// coordinates below kCoordinateLimit: at 0.01 mm, f·W·100 or f·H·100 at or above the limit
  /// switches to 0.1 mm; at 0.1 mm, f·W·100 and f·H·100 both below it switch back to 0.01 mm
  /// (products in single precision). A negative `f` resets to zoom 1 at 0.01 mm, and so do 0,
  /// NaN, infinities and a zoom so large that k would not be finite.
  void SetZoom(float f);

  /// Saves the paper to (`save` true) or loads it from (false) the settings store, section
  /// "Mapper", value "Paper", as FormatPaperSetting writes it. A loaded value that
  /// ParsePaperSetting refuses, or that is absent, gives SetPaper(kDefaultPaper); an accepted
  /// one sets the code as it is and the size to its hundredths times 0.01 mm. Returns 1.
  int LoadSavePaper(bool save);
  /// Asks `choose` for a paper code, offering the current one. When it gives one (the user
  /// pressed OK), sets that paper and, when `save` is true, saves it to the settings store.
  /// Returns 1 when a paper was chosen, else 0 with nothing changed.
  int PaperDialog(bool save, const std::function<std::optional<int>(int current)>& choose);

  /// Writes or reads the 20-byte stored form: mapping mode (u16), units per mm, zoom (IEEE
  /// singles), the low byte of the paper code (u16; reading replaces only the low byte of
  /// the code), paper width and height (IEEE singles).
  ///
  /// A short read throws tessmor::ArchiveException and leaves the mapper as it was. A read
  /// that would break the invariants is repaired: a mode and resolution that do not belong
  /// together are chosen afresh for the stored zoom (SetZoom); a zoom SetZoom would refuse
  /// resets to zoom 1 at 0.01 mm; a width or height that is not finite or not
  /// above 0 takes the size of the paper code.
  void Serialize(tessmor::Archive& ar);

  /// The settings text of `s`: "%d, %d,%d" with code, width and height.
  static std::string FormatPaperSetting(const PaperSetting& s);
  /// Scans three integers from `text` as "%d, %d,%d" does (blanks before each number and
  /// after the first comma are skipped; the commas must follow the numbers directly; text
  /// after the third number is ignored; a NUL ends the text). Refuses an empty text, one that
  /// does not scan, a number beyond the int range, and a width or height not above 0, which
  /// no paper has.
  static std::optional<PaperSetting> ParsePaperSetting(std::string_view text);

  // --- state ---

  /// Logical units per paper mm at zoom 1: 100 or 10.
  float GetUnitsPerMm() const { return m_fUnitsPerMm; }
  float GetZoom() const { return m_fZoom; }
  /// k = units per mm × zoom, in single precision: logical units per paper mm.
  float GetScale() const { return m_fUnitsPerMm * m_fZoom; }
  /// MM_HIMETRIC with 100 units per mm, MM_LOMETRIC with 10.
  int GetMapMode() const { return m_nMapMode; }
  /// The paper code as set; only its low byte names the paper.
  int GetPaper() const { return m_nPaper; }
  float GetPaperWidth() const { return m_fPaperWidth; }
  float GetPaperHeight() const { return m_fPaperHeight; }

 private:
  void ResetResolution();

  float m_fUnitsPerMm = 100.0f;
  float m_fZoom = 1.0f;
  int m_nMapMode = tessmor::MM_HIMETRIC;
  int m_nPaper = kDefaultPaper;
  float m_fPaperWidth = 295.0f;
  float m_fPaperHeight = 210.0f;
};
