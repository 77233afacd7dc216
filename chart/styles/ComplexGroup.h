#pragma once

// Hit regions of composite groups, selected as a whole by pointing.

#include <cstdint>
#include <map>
#include <memory>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

/// What the selection holds for a composite group: its identifier and the kind value it is
/// selected as (64 or above).
struct COMPLEXGROUP {
  std::uint16_t id = 0;
  std::uint16_t type = 64;
};

/// The hit region of a composite group: the area as rectangles, and their bounding
/// rectangle (logical units).
struct ComplexGroupRegion {
  tessmor::RECT bounds;
  tessmor::Region area;
};

/// Composite groups by identifier, each with its hit region. Never stored in the chart file:
/// its stored form is empty. Groups are enumerated in increasing order of identifier.
class CComplexGroup {
 public:
  /// Smallest kind value of a composite group.
  static constexpr std::uint16_t kMinType = 64;

  CComplexGroup() = default;
  CComplexGroup(const CComplexGroup&) = delete;
  CComplexGroup& operator=(const CComplexGroup&) = delete;

  /// Adds the polygon through `count` points (logical units, winding fill) to the hit region
  /// of group `id`, creating the group with kind value `type` (raised to at least 64) when
  /// it is new. Returns the group's region, or null (nothing changed) for `id` 0, a null
  /// array or fewer than three points.
  const ComplexGroupRegion* AddPolygon(std::uint16_t id, const tessmor::POINT* points, int count,
                                       std::uint16_t type = kMinType);
  /// The region or the record of group `id`, or null.
  const ComplexGroupRegion* GetRegion(std::uint16_t id) const;
  const COMPLEXGROUP* GetRecord(std::uint16_t id) const;
  /// Deletes group `id` with its region; 1 when anything was deleted, else 0.
  int DeleteGroup(std::uint16_t id);
  void DeleteAll();
  int GetCount() const { return static_cast<int>(m_records.size()); }
  bool IsEmpty() const { return m_records.empty() && m_regions.empty(); }

  /// The first group (lowest identifier) whose region holds the logical point, or 0.
  std::uint16_t HitTest(tessmor::POINT logical) const;
  /// As HitTest, for a point in device pixels of `dc` (converted to its logical units).
  std::uint16_t HitTest(const tessmor::DC& dc, tessmor::POINT device) const;

  /// Nothing is written or read.
  void Serialize(tessmor::Archive&) {}

 private:
  std::map<std::uint16_t, std::unique_ptr<COMPLEXGROUP>> m_records;
  std::map<std::uint16_t, std::unique_ptr<ComplexGroupRegion>> m_regions;
};
