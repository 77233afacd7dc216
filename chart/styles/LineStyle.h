#pragma once

// The line style of a chart: one pen, held once for every line and arc item drawn with it.
// Widths are paper mm; the document's mapper turns them into logical units.

#include <cstdint>
#include <memory>
#include <vector>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaLine.h"
#include "platform/gdi/GdiTypes.h"
#include "plotsupport/StyleRecords.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

class CMapper;

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

  /// Flag of a style whose items the user may restyle.
  static constexpr std::uint32_t kEditable = 4;
  /// The style's flags (kEditable); they are not part of the pen and are never stored.
  std::uint32_t GetFlags() const { return m_nFlags; }
  void AddFlags(std::uint32_t flags) { m_nFlags |= flags; }

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
  /// Line item `i` (0 .. GetLineCount() − 1) and arc item `i`, owned by the style.
  CVEXALine* GetLine(int i) const { return m_lines.at(static_cast<std::size_t>(i)).get(); }
  CVEXAArc* GetArc(int i) const { return m_arcs.at(static_cast<std::size_t>(i)).get(); }
  /// True when the style holds no items.
  virtual bool IsEmpty() const;

  /// Takes a line item that has at least one vertex, points it at this style and returns 1;
  /// returns 0 (and the item is deleted) otherwise.
  int AddLine(std::unique_ptr<CVEXALine> line);
  /// Takes an arc item and points it at this style.
  void AddArc(std::unique_ptr<CVEXAArc> arc);
  /// Hands back the line or arc item `item` without deleting it; null when the style does not
  /// hold it.
  std::unique_ptr<CVEXALine> RemoveLine(const CVEXALine* item);
  std::unique_ptr<CVEXAArc> RemoveArc(const CVEXAArc* item);
  /// Deletes the items whose group identifier is `tag`, or every item for tag −1; returns
  /// how many were deleted.
  virtual int DeleteItems(int tag);

  /// Selects the pen and draws the line items, then the arc items, and puts the DC back.
  /// Unless `all`, items whose computed region misses the DC's clip box are skipped.
  void DrawItems(tessmor::DC& dc, bool all) const;

  /// Writes or reads the stored form: the pen (28 bytes), then a 16-bit count and the line
  /// items, then a 16-bit count and the arc items (at most 65535 of each are written). A pen
  /// read goes through CheckPenStyle; the items read are appended, a line without vertices
  /// dropped. Throws tessmor::ArchiveException, with the style unchanged, when the data ends
  /// early or a count exceeds what the data can hold.
  virtual void Serialize(tessmor::Archive& ar);

 protected:
  /// The stored pen, field by field.
  static void StorePen(tessmor::Archive& ar, const VEXAPEN& pen);
  static VEXAPEN LoadPen(tessmor::Archive& ar);
  /// Fewest bytes a stored line item (category, group, vertex count) and arc item take.
  static constexpr std::uint64_t kStoredLineMinBytes = 6;
  static constexpr std::uint64_t kStoredArcMinBytes = 44;
  static constexpr std::uint64_t kStoredSymbolBytes = 26;
  /// Writes the pen and the two 16-bit-counted item lists of the line-style form.
  void StoreLineForm(tessmor::Archive& ar) const;
  /// Reads the two 16-bit-counted item lists of the line-style form as plain line and arc
  /// items bound to this style (lines without vertices dropped).
  void LoadLineItems(tessmor::Archive& ar, std::vector<std::unique_ptr<CVEXALine>>& lines,
                     std::vector<std::unique_ptr<CVEXAArc>>& arcs);
  /// True when `bounds` (logical units, either orientation) meets the clip box `clip`.
  static bool Meets(const tessmor::RECT& bounds, const tessmor::RECT& clip);

  VEXAPEN m_pen;
  // The style's items: line items (polygon fills in a fill style) and arc items (arc fills).
  std::vector<std::unique_ptr<CVEXALine>> m_lines;
  std::vector<std::unique_ptr<CVEXAArc>> m_arcs;
  CMapper* m_pMapper = nullptr;
  std::uint32_t m_nFlags = 0;
};
