#pragma once

// Elliptic arcs (and spline curves) as cubic Bézier segments, drawn dashed.

#include <cstdint>
#include <vector>

#include "chart/items/DashLine.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

/// Approximates an elliptic arc by cubic Bézier segments of at most 90 degrees each, draws
/// it (filled, outlined, dashed with the inherited pattern) and gives the regions that items
/// fill and hit-test with. All coordinates are logical units of the device context.
class CDashArc : public CDashLine {
 public:
  explicit CDashArc(tessmor::DC* dc, const int* entries = nullptr, int count = 0);

  /// Builds the arc of the ellipse around `centre` with radii `rx` (along its own x axis)
  /// and `ry`, turned by `rotation` degrees, from `start` to `end` degrees. Angles are
  /// measured counter-clockwise from the x axis as logical x and y run (counter-clockwise on
  /// the page in the y-up mapping modes); start and end are the directions of the rays from
  /// the centre through the arc's ends, before the rotation. The arc runs from start towards
  /// increasing angles; start 0 with end 360, or start equal to end, is the full ellipse and
  /// sets the closed flag. Returns the number of control points, 1 + 3 × segments, or 0
  /// (nothing built) when an argument is not finite.
  int BuildArc(tessmor::POINT centre, double rotation, double start, double end, double rx,
               double ry);
  /// As BuildArc, with the radii of the ellipse inscribed in `box` (half its width and
  /// height).
  int BuildArcInBox(const tessmor::RECT& box, tessmor::POINT centre, double rotation, double start,
                    double end);
  /// Builds a smooth open curve through `count` ≥ 2 points (a cubic segment between each two
  /// neighbours, tangents from the neighbours on either side). Returns the number of control
  /// points, or 0 for fewer than two points.
  int BuildSpline(const tessmor::POINT* points, int count);

  /// The control points: a start point, then two controls and an end per segment.
  const std::vector<tessmor::POINT>& GetPoints() const { return m_points; }
  int GetPointCount() const { return static_cast<int>(m_points.size()); }
  tessmor::POINT GetCentre() const { return m_centre; }
  /// The box of the control points (left ≤ right, top ≤ bottom).
  tessmor::RECT GetBounds() const { return m_bounds; }
  bool IsClosed() const { return m_bClosed != 0; }
  /// A pie outline runs from the arc's end to the centre and back to its start.
  void SetPie(bool pie) { m_bPie = pie ? 1 : 0; }
  bool IsPie() const { return m_bPie != 0; }

  /// The area a filled arc covers: for a full ellipse the polygon of all control points but
  /// the last (winding fill); for an open arc the polygon of all control points combined by
  /// exclusive or with the triangle first point, centre, last point (which gives the sector).
  tessmor::Region FillRegion() const;
  /// The area a click selects: the closed curve widened by a pen `penWidth` logical units
  /// wide (at least 1), united with the area the closed curve encloses and, for an open arc,
  /// with the triangle first point, centre, last point.
  tessmor::Region OutlineRegion(int penWidth) const;

  /// Draws the arc: when `fill`, first fills its area (the ellipse, or the sector through the
  /// centre) with the selected brush and no outline; then draws the outline with the pattern
  /// and strokes it.
  void DrawArc(bool fill);
  /// Draws the built curve (an arc or a spline) dashed, without going through the centre.
  void DrawCurve();

 protected:
  /// True when the outline of an open arc goes back through the centre.
  virtual bool OutlineThroughCentre() const { return m_bPie != 0; }
  void DrawOutline(bool throughCentre);
  void UpdateBounds();

  std::vector<tessmor::POINT> m_points;
  tessmor::POINT m_centre;
  tessmor::RECT m_bounds;
  int m_bClosed = 0;
  int m_bPie = 0;
};
