#pragma once

// Dashed polylines and Bézier curves drawn with the chart's own dash patterns.

#include <cstdint>

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class DC;
}

/// Draws lines and curves on a device context with a dash pattern of its own, so that wide
/// dashed lines look the same on every device: each dash is stroked with a solid geometric
/// pen (see MakeGeometricPen), the gaps are skipped with moves.
///
/// A pattern is up to 8 lengths in logical units; entries 0, 2, … are dashes, entries 1,
/// 3, … gaps. No entries means solid. Dash lengths are counted in steps along the major axis
/// of each segment (a diagonal dash is up to √2 longer than a horizontal one), and the phase
/// carries on across the vertices of a polyline until the next MoveTo.
///
/// In path mode (the default) everything drawn between two moves is collected into a path of
/// the device context and stroked at the next MoveTo, at the end of a Polyline, or by
/// EndPath.
class CDashLine {
 public:
  /// Largest number of pattern entries.
  static constexpr int kMaxEntries = 8;
  /// Most pieces one dashed Bézier curve is cut into.
  static constexpr int kMaxBezierPieces = 301;

  /// A renderer drawing on `dc` (not owned; may be null, then nothing is drawn) with the
  /// first `count` entries of `entries` (see SetPattern). Path mode is on.
  explicit CDashLine(tessmor::DC* dc, const int* entries = nullptr, int count = 0);
  virtual ~CDashLine() = default;
  CDashLine(const CDashLine&) = delete;
  CDashLine& operator=(const CDashLine&) = delete;

  /// Sets the pattern of pen style `penStyle` for a line `unit` logical units wide (its pen
  /// width; below 1 it counts as 1), with or without rounded ends, and returns the number of
  /// entries. Without rounded ends: dash 3 × unit, dot unit, gap unit; with rounded ends:
  /// dash 2 × unit, dot 1 (the round caps make it a dot), gap 2 × unit. Styles 17 to 21 have
  /// twice the gap. Styles 1/17 dash, 2/18 dot, 3/19 dash-dot, 4/20 dash-dot-dot, 16/21
  /// dash-dot-dot-dot; any other style is solid (0 entries).
  int SetPattern(bool roundedEnds, int unit, int penStyle);
  /// Sets the pattern to the first `count` entries of `entries` (at most 8; none when
  /// `entries` is null or `count` < 1). Entries below 1 logical unit count as 1.
  void SetPattern(const int* entries, int count);
  /// Number of entries of the pattern (0 = solid) and entry `i` (0 outside the pattern).
  int GetEntryCount() const { return m_nDashes; }
  int GetEntry(int i) const { return i >= 0 && i < m_nDashes ? m_dashes[i] : 0; }

  /// Path mode on: draw into a path and stroke it; off: draw directly.
  void SetPathMode(bool on) { m_bPathMode = on ? 1 : 0; }
  bool GetPathMode() const { return m_bPathMode != 0; }
  tessmor::DC* GetDC() const { return m_pDC; }
  void SetDC(tessmor::DC* dc) { m_pDC = dc; }

  /// Strokes what has been drawn since the last move (when a path is open), restarts the
  /// pattern at its first entry with its full length, and moves to (x, y).
  void MoveTo(std::int32_t x, std::int32_t y);
  /// A line from the current point to (x, y): dashed when there is a pattern, else plain.
  void LineTo(std::int32_t x, std::int32_t y);
  /// Lines through `count` points (from the first; when `closed`, from the last through all
  /// of them, which closes the figure), collected into one path in path mode and stroked.
  /// Nothing for a null array or `count` < 1.
  void Polyline(const tessmor::POINT* points, int count, bool closed);
  /// A cubic Bézier curve from the current point with controls `points[0]`, `points[1]` and
  /// end `points[2]`, dashed like a line when there is a pattern (the dash lengths measured
  /// along the curve).
  void BezierTo(const tessmor::POINT* points);
  /// Ends the open path and strokes it, or strokes and fills it when `fill`.
  void EndPath(bool fill);

  tessmor::POINT GetCurrentPoint() const { return {m_x, m_y}; }
  /// Index of the pattern entry in use and the length left of it, logical units.
  int GetDashIndex() const { return m_nDashIndex; }
  int GetRemaining() const { return m_nRemaining; }

  /// The solid geometric pen dashes are stroked with: `width` logical units wide in `color`;
  /// round ends and joins with `roundedEnds`, else flat ends and mitred joins; a null pen
  /// (nothing drawn) for pen style 5, else solid.
  static tessmor::Pen MakeGeometricPen(tessmor::COLORREF color, std::int32_t width,
                                       bool roundedEnds, int penStyle);

 protected:
  /// In path mode: opens a path when none is open and marks it as holding something to
  /// stroke. Outside path mode the device context's own path (if any) is left to its owner.
  void OpenPathIfNeeded();
  bool InGap() const { return (m_nDashIndex & 1) != 0; }
  /// Moves on to the next pattern entry with its full length.
  void NextEntry();
  // Ends the current dash or gap at (x, y): the next entry begins there, drawn to when a dash
  // ended, moved to when a gap ended.
  void EndEntryAt(std::int64_t x, std::int64_t y);

  tessmor::DC* m_pDC = nullptr;
  int m_nDashIndex = 0;
  int m_nDashes = 0;
  int m_nRemaining = 0;
  int m_dashes[kMaxEntries] = {};
  std::int32_t m_x = 0;
  std::int32_t m_y = 0;
  int m_bPathMode = 1;
  int m_bPathOpen = 0;
};
