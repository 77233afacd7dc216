#include "chart/styles/GroupMan.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/io/Archive.h"

using tessmor::RECT;

namespace {

/// Copies at most 19 characters of `name` into `rec.name`, stopping at a line end (so that
/// the stored form, one line per name, stays readable).
void SetName(GROUPREC& rec, std::string_view name) {
  const std::size_t end = std::min(name.find_first_of("\r\n"), name.size());
  const std::size_t n = std::min<std::size_t>(end, CGroupMan::kMaxName);
  std::memset(rec.name, 0, sizeof(rec.name));
  std::memcpy(rec.name, name.data(), n);
  // A NUL inside the name ends it, as it would for the desktop's C strings.
}

bool IsEmptyRect(const RECT& r) { return r.left == r.right || r.top == r.bottom; }

/// The rectangle around `a` and `b`, with `b`'s direction of y (top above bottom in the
/// y-up mapping modes, below in the y-down ones).
RECT Unite(const RECT& a, const RECT& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  RECT r;
  r.left = std::min({a.left, a.right, b.left, b.right});
  r.right = std::max({a.left, a.right, b.left, b.right});
  const std::int32_t lo = std::min({a.top, a.bottom, b.top, b.bottom});
  const std::int32_t hi = std::max({a.top, a.bottom, b.top, b.bottom});
  if (b.top > b.bottom) {
    r.top = hi, r.bottom = lo;
  } else {
    r.top = lo, r.bottom = hi;
  }
  return r;
}

}  // namespace

int CGroupMan::NewGroup(std::uint16_t id, std::string_view name, std::uint16_t kinds) {
  if (id == 0 || m_groups.count(id)) return 0;
  if (const GROUPREC* current = Lookup(m_nCurrent); current && current->count == 0) {
    DeleteGroup(m_nCurrent);
  }
  auto rec = std::make_unique<GROUPREC>();
  rec->id = id;
  SetName(*rec, name);
  if (kinds != 0) {
    rec->kinds = kinds;
    rec->count = 1;
  }
  m_groups[id] = std::move(rec);
  m_nCurrent = id;
  return 1;
}

int CGroupMan::UpdateGroup(std::uint16_t id, std::uint16_t kinds, const RECT& rect,
                           std::int32_t count, const char* name) {
  GROUPREC* rec = Lookup(id);
  if (!rec) return 0;
  if (kinds == 0) {
    rec->kinds = 0;
    rec->count = 0;
    rec->bounds = RECT{};
  } else if (count < 0) {
    rec->kinds |= kinds;
    if (rec->count < INT32_MAX) ++rec->count;
    rec->bounds = Unite(rec->bounds, rect);
  } else {
    rec->kinds = kinds;
    rec->count = count;
    rec->bounds = rect;
    if (name) SetName(*rec, name);
  }
  return 1;
}

int CGroupMan::DeleteGroup(std::uint16_t id) {
  auto it = m_groups.find(id);
  if (it == m_groups.end()) return 0;
  m_groups.erase(it);
  if (id != m_nCurrent) return 1;
  // The next lower identifier, else the first group, else none.
  auto lower = m_groups.lower_bound(id);
  if (lower != m_groups.begin()) {
    m_nCurrent = std::prev(lower)->first;
  } else {
    m_nCurrent = m_groups.empty() ? 0 : m_groups.begin()->first;
  }
  return 1;
}

void CGroupMan::DeleteAll() {
  m_groups.clear();
  m_nCurrent = 0;
}

GROUPREC* CGroupMan::Lookup(std::uint16_t id) const {
  auto it = m_groups.find(id);
  return it == m_groups.end() ? nullptr : it->second.get();
}

GROUPREC* CGroupMan::GetFirstGroup(std::uint16_t* id) const {
  if (m_groups.empty()) return nullptr;
  if (id) *id = m_groups.begin()->first;
  return m_groups.begin()->second.get();
}

std::uint16_t CGroupMan::SetCurrentGroup(std::uint16_t id) {
  const std::uint16_t previous = m_nCurrent;
  m_nCurrent = id;
  return previous;
}

void CGroupMan::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    ar.WriteU32(static_cast<std::uint32_t>(m_groups.size()));
    for (const auto& [id, rec] : m_groups) {
      ar.WriteU16(rec->kinds);
      ar.WriteU16(rec->id);
      ar.WriteI32(rec->count);
      ar.WriteText(std::string_view(rec->name, strnlen(rec->name, sizeof(rec->name))));
      ar.WriteText("\r\n");
    }
    return;
  }
  // Read into a fresh map, so that a short file leaves the groups untouched. The count is
  // not trusted for any allocation: each group needs at least 8 bytes and a line, and a
  // count beyond the data ends in ArchiveException.
  std::map<std::uint16_t, std::unique_ptr<GROUPREC>> groups;
  std::uint16_t last = 0;
  const std::uint32_t n = ar.ReadU32();
  for (std::uint32_t i = 0; i < n; ++i) {
    auto rec = std::make_unique<GROUPREC>();
    rec->kinds = ar.ReadU16();
    rec->id = ar.ReadU16();
    rec->count = ar.ReadI32();
    std::string line;
    if (!ar.ReadLine(line)) throw tessmor::ArchiveException();
    SetName(*rec, line);
    if (rec->id == 0) continue;  // 0 names no group
    last = rec->id;
    groups[rec->id] = std::move(rec);
  }
  m_groups = std::move(groups);
  m_nCurrent = m_groups.count(last) ? last : 0;
}
