#pragma once

// Helpers shared by the chart's drawing items.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "chart/paper/Mapper.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/io/Archive.h"

namespace vexa_item {

/// The hit tolerance of a stroke, logical units: the integer part of half the mapper's units
/// per mm (the zoom not applied: 50 at 0.01 mm, 5 at 0.1 mm) plus half the logical pen width.
inline int HitHalfWidth(const CMapper& mapper, int penWidth) {
  return static_cast<int>(mapper.GetUnitsPerMm() * 0.5f) + std::max(penWidth, 0) / 2;
}

/// `box` widened to hold every one of `points` (logical units).
inline tessmor::RECT Enclose(tessmor::RECT box, const std::vector<tessmor::POINT>& points) {
  for (const tessmor::POINT& p : points) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

/// Throws tessmor::ArchiveException unless `count` items of at least `minBytes` bytes each
/// can still follow in `ar`.
inline void RequireRoom(const tessmor::Archive& ar, std::uint64_t count, std::uint64_t minBytes) {
  const std::uint64_t left = ar.size() > ar.position() ? ar.size() - ar.position() : 0;
  if (count * minBytes > left) throw tessmor::ArchiveException();
}

/// Nearest integer of `v`, held within ±2^27 (the item regions' range); NaN gives 0.
inline std::int32_t Round(double v) {
  if (!(v == v)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::floor(v + 0.5), -134217728.0, 134217728.0));
}

}  // namespace vexa_item
