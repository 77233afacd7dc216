#pragma once

// Polyline items of a chart: a list of paper points drawn with a line style's pen.

#include <cstdint>
#include <vector>

#include "chart/items/ItemRegion.h"
#include "chart/items/Stroke.h"
#include "chart/paper/CoordArray.h"

namespace tessmor {
class DC;
}

class CMapper;

/// A polyline on the paper, owned by its line style.
///
/// Vertex 0 is an absolute paper point (mm); every later vertex is stored as its offset from
/// vertex 0. The hit region is in the logical units of the style's mapper; without a style or
/// mapper the item neither draws nor has a region.
class CVEXALine : public CStroke {
 public:
  /// No vertices, no style, category 0 (for reading).
  CVEXALine() = default;
  /// Belongs to `style` (not owned), starts at paper point `first`, with `category`.
  CVEXALine(CLineStyle* style, PaperPoint first, std::uint8_t category);

  /// Appends the paper point `p` (stored as its offset from the first vertex; the first
  /// point when there is none yet).
  void AddPoint(PaperPoint p);
  /// Moves every vertex by (dx, dy) mm and rebuilds the region.
  void Offset(float dx, float dy);
  /// Deletes every vertex and empties the region.
  void RemoveAllPoints();
  /// Number of vertices.
  int GetPointCount() const { return m_coords.GetSize(); }
  /// Vertex `i` as an absolute paper point; `i` must be within 0 .. count − 1.
  PaperPoint GetPoint(int i) const;
  const CCoordArray& GetCoords() const { return m_coords; }

  /// The vertices in the logical units of the style's mapper, measured from the paper's top
  /// edge; empty without vertices, style or mapper.
  std::vector<tessmor::POINT> DevicePoints() const;

  /// Draws the polyline with the pen the line style has selected: a spline (a smooth curve
  /// through every vertex, dashed as the pen) when the pen's spline field is set and there are
  /// at least 4 vertices, dashed when the pen style is neither solid nor null, else plain.
  /// Returns false when there is nothing to draw.
  virtual bool Draw(tessmor::DC& dc) const;
  /// Renews the hit region for the vertices, style and mapper as they are now: the polyline
  /// widened by half a millimetre's units at zoom 1 (integer part of half the units per mm)
  /// plus half the logical pen width. The bounds are known at once; the region itself is
  /// built when first asked for (GetRegion, or a hit test within the bounds).
  void ComputeRegion();
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

  /// Writes or reads the category and group (CStroke), then the vertices; after reading the
  /// vertices are appended to those held and the region is rebuilt. A short read throws
  /// tessmor::ArchiveException.
  void Serialize(tessmor::Archive& ar) override;

 protected:
  const CMapper* Mapper() const;
  /// Builds the regions ComputeRegion prepared, when they are not built yet: the stroke's
  /// region, then BuildRegion.
  void EnsureRegion() const;
  /// True when the region is prepared and (x, y) lies within the box that holds the item's
  /// regions; no region is built.
  bool MayHit(std::int32_t x, std::int32_t y) const;
  /// Rectangles the item's own regions add to the stroke's (of `stroke`), for the budget of
  /// a chart being read; `points` are the vertices in logical units.
  virtual std::int64_t OwnRegionRectangles(const CItemRegion::Extent& stroke,
                                           const tessmor::POINT* points, int count) const {
    return 0;
  }

  CCoordArray m_coords;
  // Built on first use from the points kept below (const members build it).
  mutable CItemRegion m_region;

 private:
  // What the region is built from, kept until it is built.
  mutable std::vector<tessmor::POINT> m_regionPoints;
  int m_nRegionHalfWidth = 0;
  mutable bool m_bRegionPending = false;
  tessmor::RECT m_bounds{};
  // The bounds united with the vertices' box: holds every region of the item.
  tessmor::RECT m_hitBox{};
};
