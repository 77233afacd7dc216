#pragma once

// Elliptic arc items of a chart, drawn with a line style's pen.

#include <cstdint>
#include <memory>

#include "chart/items/ItemRegion.h"
#include "chart/items/Stroke.h"
#include "chart/paper/Mapper.h"

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

  /// Rebuilds the device geometry and renews the hit region from the arc and the style's
  /// mapper and pen; `fill` renews a filled item's regions as well. The bounds are known at
  /// once; the regions themselves are built when first asked for (GetRegion, or a hit test
  /// within the bounds).
  void Recompute(bool fill);
  /// Draws the arc with a pen of the style's colour, width, dashes and ends, and the style's
  /// background; the sector or ellipse is filled first with the selected brush when `fill`.
  /// The DC's pen and background are restored. Returns false when there is nothing to draw.
  bool Draw(tessmor::DC& dc, bool fill) const;
  virtual bool Draw(tessmor::DC& dc) const { return Draw(dc, false); }
  /// True when logical point (x, y) hits the item.
  virtual bool HitTest(std::int32_t x, std::int32_t y) const;
  /// The hit region, built now if it was not yet.
  const CItemRegion& GetRegion() const {
    EnsureRegion();
    return m_region;
  }
  /// Bounds holding the hit region, logical units, found without building it: the box of the
  /// band's outline, which is the region's bounding box or, where a sharp corner of the
  /// outline reaches beyond the squares it covers, a little more.
  tessmor::RECT GetBounds() const { return m_bounds; }

  /// Writes or reads the category and group (CStroke), the arc style (int32) and the 36-byte
  /// arc; after reading the device geometry is recomputed. A short read throws
  /// tessmor::ArchiveException and leaves the arc as it was.
  void Serialize(tessmor::Archive& ar) override;

 protected:
  /// Where the outline of a filled arc runs: for an open arc the sector outline through the
  /// centre.
  virtual bool IsFilledItem() const { return false; }
  /// Builds the regions Recompute prepared, when they are not built yet: the stroke's region,
  /// then for a filled item BuildRegion.
  void EnsureRegion() const;
  /// True when the region is prepared and (x, y) lies within the box that holds the item's
  /// regions; no region is built.
  bool MayHit(std::int32_t x, std::int32_t y) const;
  /// Rectangles a filled item's own regions add to the stroke's (of `stroke`), for the budget
  /// of a chart being read; `points` is the outline in logical units.
  virtual std::int64_t OwnRegionRectangles(const CItemRegion::Extent& stroke,
                                           const tessmor::POINT* points, int count) const {
    return 0;
  }

  std::unique_ptr<CDashArc> m_pDashArc;
  ARCREC m_arc;
  std::int32_t m_nArcStyle = 0;
  // Built on first use from the outline (const members build it).
  mutable CItemRegion m_region;
  // The arc's curve flattened to logical points (the sector closed through the centre for a
  // filled open arc), which the regions are built from.
  std::vector<tessmor::POINT> m_outline;

 private:
  int m_nRegionHalfWidth = 0;
  bool m_bFillPending = false;
  mutable bool m_bRegionPending = false;
  tessmor::RECT m_bounds{};
  // The bounds united with the outline's box: holds every region of the item.
  tessmor::RECT m_hitBox{};
};
