#pragma once

// The chart's named groups of items and the current group new items are filed under.

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
}

/// One group: the items whose tag is `id`, with their kinds, number and common rectangle.
struct GROUPREC {
  std::uint16_t id = 0;
  /// NUL-terminated, at most kMaxName characters.
  char name[20] = {};
  /// OR of the kind bits of the items (1 line, 2 text, 4 symbol, 8 polygon fill, 16 arc,
  /// 32 arc fill).
  std::uint16_t kinds = 0;
  std::int32_t count = 0;
  /// Union of the items' rectangles, logical units.
  tessmor::RECT bounds;
};
static_assert(sizeof(GROUPREC) == 44);

/// The groups of a chart, keyed by their 16-bit identifier, and the current group (0 =
/// none). The groups are enumerated in increasing order of identifier.
class CGroupMan {
 public:
  /// Longest name kept; longer names are cut.
  static constexpr int kMaxName = 19;

  CGroupMan() = default;
  CGroupMan(const CGroupMan&) = delete;
  CGroupMan& operator=(const CGroupMan&) = delete;

  /// Opens group `id` named `name` (cut to 19 characters, and at a line end) with the item
  /// kinds `kinds` (and a count of 1 when `kinds` is not 0) and makes it current. Returns 0
  /// and changes nothing when `id` is 0 or already exists. A current group without items is
  /// deleted first.
  int NewGroup(std::uint16_t id, std::string_view name, std::uint16_t kinds);
  /// Changes group `id`; returns 0 when there is none, else 1. `kinds` 0 empties it (no
  /// kinds, no items, empty bounds); a negative `count` files one more item of `kinds` with
  /// rectangle `rect`; otherwise kinds, count and bounds are replaced, and the name too when
  /// `name` is not null.
  int UpdateGroup(std::uint16_t id, std::uint16_t kinds, const tessmor::RECT& rect,
                  std::int32_t count, const char* name = nullptr);
  /// Deletes group `id`; returns 0 when there is none, else 1. When it was current, the
  /// current group becomes the next lower identifier that exists, else the first group, else
  /// none.
  int DeleteGroup(std::uint16_t id);
  /// Deletes every group; no group is current.
  void DeleteAll();

  /// The group `id`, or null.
  GROUPREC* Lookup(std::uint16_t id) const;
  /// The first group (lowest identifier) or null; its identifier goes to `*id` when given.
  GROUPREC* GetFirstGroup(std::uint16_t* id = nullptr) const;
  int GetCount() const { return static_cast<int>(m_groups.size()); }
  bool IsEmpty() const { return m_groups.empty(); }
  std::uint16_t GetCurrentGroup() const { return m_nCurrent; }
  /// Makes `id` current (0 = none); returns the previous current group.
  std::uint16_t SetCurrentGroup(std::uint16_t id);
  /// The groups in enumeration order.
  const std::map<std::uint16_t, std::unique_ptr<GROUPREC>>& Groups() const { return m_groups; }

  /// Writes an unsigned 32-bit number of groups and, for each group in enumeration order,
  /// its kinds and identifier (unsigned 16-bit), its count (signed 32-bit) and its name as a
  /// line ended by "\r\n". Reading replaces every group with the ones read, with empty bounds
  /// (at most 19 characters of each name are kept; a group 0 is skipped), and makes the last one
  /// read current. A short read throws tessmor::ArchiveException and leaves the groups as they
  /// were.
  void Serialize(tessmor::Archive& ar);

 private:
  std::map<std::uint16_t, std::unique_ptr<GROUPREC>> m_groups;
  std::uint16_t m_nCurrent = 0;
};
