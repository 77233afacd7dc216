#pragma once

// Elliptic arc items of a chart, drawn with a line style's pen.

#include <cstdint>
#include <memory>

#include "chart/ItemRegion.h"
#include "chart/Mapper.h"
#include "chart/Stroke.h"

namespace tessmor {
class DC;
}

class CDashArc;

/// The geometry of an arc item (36 bytes stored): the ellipse's box relative to its centre in
/// paper mm, the centre on the paper in mm, and the angles in hundredths of a degree.
struct ARCREC {
  float left = 0.0f;
  float bottom = 0.0f;
  float right = 0.0f;
  float top = 0.0f;
  float cx = 0.0f;
  float cy = 0.0f;
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t rotation = 0;
};

/// An elliptic arc on the paper, owned by its line style.
///
/// Start 0 with end 36000, or start equal to end, is the full ellipse. The device geometry is
/// kept by a dashed-arc renderer and rebuilt by Recompute; without a style or mapper there is
/// none, and the item neither draws nor has a region.
class CVEXAArc : public CStroke {
 public:
  /// An empty arc, no style (for reading).
  CVEXAArc();
  /// Belongs to `style` (not owned), with `arc`, `arcStyle` and `category`; the device
  /// geometry is computed.
  CVEXAArc(CLineStyle* style, const ARCREC& arc, std::int32_t arcStyle, std::uint8_t category);
  ~CVEXAArc() override;

  const ARCREC& GetArc() const { return m_arc; }
  /// Takes `arc` and recomputes the device geometry.
  void SetArc(const ARCREC& arc);
  /// Arc style 0 draws the open arc alone; any other value draws it as a pie (through the
  /// centre).
  std::int32_t GetArcStyle() const { return m_nArcStyle; }
  /// True when the built geometry is the full ellipse.
  bool IsFullEllipse() const;

  /// Rebuilds the device geometry and the hit region from the arc and the style's mapper and
  /// pen; `fill` builds a filled item's regions as well.
  void Recompute(bool fill);
  /// Draws the arc with a pen of the style's colour, width, dashes and ends, and the style's
  /// background; the sector or ellipse is filled first with the selected brush when `fill`.
  /// The DC's pen and background are restored. Returns false when there is nothing to draw.
  bool Draw(tessmor::DC& dc, bool fill) const;
  virtual bool Draw(tessmor::DC& dc) const { return Draw(dc, false); }
  /// True when logical point (x, y) hits the item.
  virtual bool HitTest(std::int32_t x, std::int32_t y) const;
  const CItemRegion& GetRegion() const { return m_region; }
  tessmor::RECT GetBounds() const { return m_region.GetBounds(); }

  /// Writes or reads the category and group (CStroke), the arc style (int32) and the 36-byte
  /// arc; after reading the device geometry is recomputed. A short read throws
  /// tessmor::ArchiveException and leaves the arc as it was.
  void Serialize(tessmor::Archive& ar) override;

 protected:
  /// Where the outline of a filled arc runs: for an open arc the sector outline through the
  /// centre.
  virtual bool IsFilledItem() const { return false; }

  std::unique_ptr<CDashArc> m_pDashArc;
  ARCREC m_arc;
  std::int32_t m_nArcStyle = 0;
  CItemRegion m_region;
  // The arc's curve flattened to logical points (the sector closed through the centre for a
  // filled open arc), which the regions are built from.
  std::vector<tessmor::POINT> m_outline;
};
