#pragma once

// The line style of a chart: one pen, held once for every line and arc item drawn with it.
// Widths are paper mm; the document's mapper turns them into logical units.

#include <cstdint>
#include <vector>

#include "platform/GdiTypes.h"
#include "plotsupport/StyleRecords.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

class CMapper;
// The drawing items a line style holds.
class CVEXALine;
class CVEXAArc;

/// What selecting a style into a device context replaced, for the matching Deselect.
struct StyleSelection {
  tessmor::Pen pen;
  tessmor::Brush brush;
  int bkMode = tessmor::OPAQUE;
  tessmor::COLORREF bkColor = 0xFFFFFF;
};

/// A pen and the line and arc items drawn with it.
///
/// The pen always passes CheckPenStyle: style 0-6 or 16-21, width 0 to 50 mm, colours at
/// most 0xFFFFFF, background mode 1 or 2.
class CLineStyle {
 public:
  /// A solid black pen 0.2 mm wide on an opaque white background, no mapper.
  CLineStyle();
  /// The pen through CheckPenStyle (its defaults when `pen` is null) and the document's
  /// mapper (not owned; may be null).
  CLineStyle(const VEXAPEN* pen, CMapper* mapper);
  virtual ~CLineStyle();
  CLineStyle(const CLineStyle&) = delete;
  CLineStyle& operator=(const CLineStyle&) = delete;

  CMapper* GetMapper() const { return m_pMapper; }
  void SetMapper(CMapper* mapper) { m_pMapper = mapper; }

  const VEXAPEN& GetPen() const { return m_pen; }
  /// Takes `pen` through CheckPenStyle (its defaults when null); returns what the check
  /// returned: 1 when the pen was valid, 0 when fields were repaired.
  int SetPen(const VEXAPEN* pen);
  /// Sets the pen style when it is 0-6 or 16-21 and returns 1; otherwise returns 0 and keeps
  /// the old style.
  int SetPenStyle(std::int32_t style);
  /// Sets the width in mm: a negative width (or NaN) becomes 0.2, one above 50 becomes 50.
  void SetWidth(float mm);
  void SetRoundEnds(std::int32_t round) { m_pen.roundEnds = round; }
  void SetSpline(std::int32_t spline) { m_pen.spline = spline; }
  /// True when all seven pen fields equal those of `pen`.
  bool ComparePen(const VEXAPEN& pen) const;

  /// The pen width in logical units, the same in x and y: trunc(units per mm × zoom × width +
  /// 0.5), at least 1 (100 units per mm without a mapper).
  tessmor::SIZE GetLogicalPenWidth() const;
  /// The pen lines are drawn with: a geometric pen of the logical width and the pen colour,
  /// round ends and joins when the pen has rounded ends, else flat ends and mitred joins;
  /// invisible for pen style 5 (null) and solid for every other style (the dashes of styles
  /// 1-4 and 16-21 are drawn one by one with it).
  tessmor::Pen CreatePen() const;

  /// Selects CreatePen() and the pen's background mode and colour into `dc`; returns what
  /// they replaced.
  StyleSelection Select(tessmor::DC& dc) const;
  /// Puts back what a Select of this or any other style replaced: pen, brush, background mode
  /// and colour.
  static void Deselect(tessmor::DC& dc, const StyleSelection& previous);

  /// Numbers of line items and arc items.
  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  int GetArcCount() const { return static_cast<int>(m_arcs.size()); }
  /// True when the style holds no items.
  virtual bool IsEmpty() const;

  /// Writes or reads the stored form: the pen (28 bytes), then a 16-bit count and the line
  /// items, then a 16-bit count and the arc items. A pen read goes through CheckPenStyle.
  /// Throws tessmor::ArchiveException when the data ends early, or holds items.
  virtual void Serialize(tessmor::Archive& ar);

 protected:
  /// The stored pen, field by field.
  static void StorePen(tessmor::Archive& ar, const VEXAPEN& pen);
  static VEXAPEN LoadPen(tessmor::Archive& ar);
  /// The item counts of the stored form, which must be 0 until items can be read.
  static void RequireNoItems(std::uint32_t count);

  VEXAPEN m_pen;
  // The style's items: line items (polygon fills in a fill style) and arc items (arc fills).
  // They belong to the style. The item classes are not part of the program yet, so these
  // lists stay empty.
  std::vector<CVEXALine*> m_lines;
  std::vector<CVEXAArc*> m_arcs;
  CMapper* m_pMapper = nullptr;
};
