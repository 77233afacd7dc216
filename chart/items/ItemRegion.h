#pragma once

// The hit region of a chart item, in logical units: a bounding rectangle plus, when the shape
// is not a plain rectangle, the exact area as a list of rectangles. Thick lines become bands
// whose ends reach the half width beyond their end points.

#include <cstdint>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

namespace tessmor {
class DC;
}

/// A chart item's hit region, logical units.
///
/// Every rectangle it keeps, and its bounds, are normalised (left ≤ right, top ≤ bottom in
/// numbers, whichever way y points) and half open: a rectangle holds the unit squares from
/// left to right − 1 and top to bottom − 1. Coordinates are held within ±2^27.
class CItemRegion {
 public:
  /// Drawing modes of Draw.
  enum DrawMode {
    kFillYellow = -1,   ///< fill with solid yellow
    kFillHatched = -2,  ///< fill with a grey diagonal hatch
    kInvert = -4,       ///< invert the colours
    kFrameSolid = 0,    ///< outline the bounds, solid one-pixel grey
    kFrameDashed = 1,   ///< outline the bounds, dashed
    kFrameDotted = 2,   ///< outline the bounds, dotted
  };

  /// The two sides of a thick line's outline, each with one point per vertex.
  struct BandOutline {
    std::vector<tessmor::POINT> side1;  ///< to the right of the direction of travel
    std::vector<tessmor::POINT> side2;  ///< to the left
  };

  /// What building a region would take at most, known from its outline without building it.
  struct Extent {
    /// Holds every unit square the region would cover; all zero when it would be empty.
    tessmor::RECT bounds{};
    /// The region would keep at most this many rectangles.
    std::int64_t rectangles = 0;
    /// Its rows would hold at most this many runs of squares, all rows counted.
    std::int64_t rowRuns = 0;
  };

  /// While one lives, the regions built on this thread may keep at most `rectangles`
  /// rectangles in all (each region counted whole every time it is rebuilt, and each one
  /// reserved for building later counted as Reserve was told); the region that would pass
  /// the limit throws tessmor::ArchiveException. Reading a chart runs under one, so that a
  /// file cannot make its items' regions exhaust the memory. They nest: the inner one counts
  /// while it lives.
  class BuildBudget {
   public:
    explicit BuildBudget(std::int64_t rectangles);
    ~BuildBudget();
    BuildBudget(const BuildBudget&) = delete;
    BuildBudget& operator=(const BuildBudget&) = delete;
    /// Rectangles still allowed.
    std::int64_t Left() const { return m_left; }

   private:
    friend class CItemRegion;
    std::int64_t m_left;
    BuildBudget* m_pOuter;
  };

  /// An empty region (Init).
  CItemRegion() = default;

  /// Empties the region and sets the last result to NULLREGION.
  void Init();
  /// Empties the region; the last result stays.
  void Clear();

  /// Adds a rectangle (normalised first): the first one also becomes the bounds; later ones
  /// are appended and the bounds are recomputed on the next GetBounds.
  void AddRectangle(const tessmor::RECT& rect);
  /// The bounding rectangle; all zero for a region that never had a rectangle.
  tessmor::RECT GetBounds() const;
  /// The exact area: the rectangle for one, the union of all for several.
  tessmor::Region GetRegion() const;
  /// The rectangles of `region` replace the list, its box becomes the bounds.
  void TakeRegion(const tessmor::Region& region);

  /// Adds the polygon through `count` points (non-zero winding fill) to the region, after
  /// dropping repeated points twice over. A null array or a count below 1 adds nothing.
  void BuildFromPolygon(const tessmor::POINT* points, int count);
  /// Adds the polyline through `count` points widened by `halfWidth` logical units on every
  /// side (held within 1 .. 2^26): a square around a lone point, a rectangle around a
  /// horizontal or vertical segment, a band with square ends otherwise; a polyline whose
  /// last point is its first gives the ring between the band's two sides. A null array or a
  /// count below 1 adds nothing.
  void BuildFromPolyline(const tessmor::POINT* points, int count, int halfWidth);

  /// What BuildFromPolygon(points, count) would add to an empty region.
  static Extent PolygonExtent(const tessmor::POINT* points, int count);
  /// What BuildFromPolyline(points, count, halfWidth) would add to an empty region.
  static Extent PolylineExtent(const tessmor::POINT* points, int count, int halfWidth);
  /// What the union of two regions of extents `a` and `b` would be.
  static Extent UnionExtent(const Extent& a, const Extent& b);
  /// Counts `rectangles` of a region to be built later against this thread's budget, if one
  /// lives; past it, throws tessmor::ArchiveException.
  static void Reserve(std::int64_t rectangles);

  /// True when (x, y) lies in the region moved by (dx, dy): within the moved bounds and, for
  /// a region of two or more rectangles, within one of them.
  bool HitTest(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy) const;

  /// Draws the region in `mode` (DrawMode); any other mode draws nothing, and so does an
  /// empty region. The DC's pen and brush are restored afterwards.
  void Draw(tessmor::DC& dc, int mode) const;

  /// Number of rectangles.
  int GetCount() const { return static_cast<int>(m_rects.size()); }
  const std::vector<tessmor::RECT>& GetRects() const { return m_rects; }
  bool IsEmpty() const { return m_rects.empty(); }
  /// Kind of the region of the last combination: RGN_ERROR, NULLREGION, SIMPLEREGION or
  /// COMPLEXREGION.
  int GetLastResult() const { return m_nLastResult; }

  /// The points without consecutive repeats (the last of each run kept); when three remain
  /// and the first equals the third, the first two.
  static std::vector<tessmor::POINT> RemoveRepeatedPoints(const tessmor::POINT* points, int count);
  /// The outline of the band `halfWidth` units either side of the polyline through `count`
  /// points, which must have no consecutive repeats (RemoveRepeatedPoints) and at least two
  /// points. Each vertex is offset diagonally by halfWidth × √2: the band starts and, when
  /// open, ends halfWidth beyond its end points, and the joins follow the turn at each inner
  /// vertex. With `closed` the last side points repeat the first ones.
  static BandOutline BuildBandOutline(const tessmor::POINT* points, int count, int halfWidth,
                                      bool closed);

 private:
  void Unite(const tessmor::Region& region);
  /// Counts `rectangles` against the thread's budget, if any; past it, empties the region
  /// and throws tessmor::ArchiveException.
  void Charge(std::size_t rectangles);

  // The bounds are recomputed from the rectangles when asked for after an append (stale).
  mutable tessmor::RECT m_bounds{};
  std::vector<tessmor::RECT> m_rects;
  int m_nLastResult = tessmor::NULLREGION;
  mutable bool m_bStale = false;
};
