#pragma once

// Marker symbol items of a chart: a shape of the plot support library drawn with a fill
// style's pen and brush.

#include <cstdint>

#include "chart/items/ItemRegion.h"
#include "chart/paper/Mapper.h"
#include "plotsupport/StyleRecords.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

class CFillStyle;

/// A marker symbol, owned by its fill style.
///
/// With a style (and its mapper) the position is a paper point in mm; without one it is a
/// logical point in 0.01 mm units. The size is in tenths of a point, the angle in tenths of a
/// degree counter-clockwise.
class CVEXASymbol {
 public:
  /// Type 5 (a square), size 100, angle 0, no style, at (0, 0).
  CVEXASymbol();
  /// Belongs to `style` (not owned), `symbol` centred at paper point `pos`.
  CVEXASymbol(CFillStyle* style, PaperPoint pos, const VEXASYMBOL& symbol);

  /// Attaches the style and marks the position as a paper point.
  void SetStyle(CFillStyle* style);
  CFillStyle* GetStyle() const { return m_pStyle; }
  bool HasStyle() const { return m_bHasStyle != 0; }
  void SetGroup(std::uint16_t group) { m_nGroup = group; }
  std::uint16_t GetGroup() const { return m_nGroup; }
  PaperPoint GetPos() const { return m_pos; }
  void SetPos(PaperPoint pos) { m_pos = pos; }
  const VEXASYMBOL& GetSymbol() const { return m_symbol; }
  /// Copies `symbol`; returns whether the size changed.
  bool SetSymbol(const VEXASYMBOL& symbol);

  /// Draws the symbol with the pen and brush selected into `dc`, its outline dashed as the
  /// style's pen. Type 0 and types above 15 draw nothing (false).
  bool Draw(tessmor::DC& dc) const;
  /// The region becomes the square around the centre that holds the symbol at its angle.
  void ComputeRegion();
  bool HitTest(std::int32_t x, std::int32_t y) const { return m_region.HitTest(x, y, 0, 0); }
  const CItemRegion& GetRegion() const { return m_region; }
  tessmor::RECT GetBounds() const { return m_region.GetBounds(); }

  /// Writes or reads: group (u16), has-style flag (u32), position (two floats), the 12-byte
  /// symbol record. After reading the region is computed. A short read throws
  /// tessmor::ArchiveException and leaves the symbol as it was.
  void Serialize(tessmor::Archive& ar);

 private:
  const CMapper* Mapper() const;
  tessmor::POINT Centre() const;

  CItemRegion m_region;
  int m_nSpare = 0;
  CFillStyle* m_pStyle = nullptr;
  PaperPoint m_pos;
  std::uint16_t m_nGroup = 0;
  VEXASYMBOL m_symbol;
  int m_bHasStyle = 0;
};
