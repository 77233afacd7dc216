#pragma once

// The growable list of paper points that polyline and polygon items own.

#include <cstddef>
#include <vector>

#include "chart/paper/Mapper.h"

namespace tessmor {
class Archive;
}

/// An owned, ordered list of paper points (mm, single precision).
///
/// Indices outside 0 .. size - 1 throw std::out_of_range and change nothing.
class CCoordArray {
 public:
  /// Largest number of points the stored form can hold (its count is 16 bits).
  static constexpr int kMaxStoredPoints = 0xFFFF;

  CCoordArray() = default;

  /// Number of points.
  int GetSize() const { return static_cast<int>(m_points.size()); }
  bool IsEmpty() const { return m_points.empty(); }
  /// The point at `index`.
  const PaperPoint& GetAt(int index) const;
  /// The point at `index`, to change in place.
  PaperPoint& ElementAt(int index);
  /// The points, GetSize() of them; invalidated by any change of size.
  const PaperPoint* GetData() const { return m_points.data(); }

  /// Appends a copy of `p`; returns its index.
  int Add(PaperPoint p);
  /// Without `append`: replaces the first point, or appends `p` when there is none. With
  /// `append`: appends `p`.
  void SetFirst(PaperPoint p, bool append);
  /// Deletes every point.
  void RemoveAll();
  /// Releases the room kept for points not yet added.
  void FreeExtra();

  /// Writes a 16-bit count and that many points (x, y as IEEE singles), or reads them and
  /// appends them to the points already held. Only the first kMaxStoredPoints points are
  /// written when there are more, so the stored form stays readable. A read that runs out of
  /// data throws tessmor::ArchiveException and leaves the array as it was.
  void Serialize(tessmor::Archive& ar);

  /// Free for the owner's use; never stored and never read by the array.
  int m_nUser = 0;

 private:
  std::vector<PaperPoint> m_points;
};
