#include "chart/styles/ComplexGroup.h"

#include <algorithm>

#include "platform/gdi/DC.h"

using tessmor::POINT;
using tessmor::Region;

const ComplexGroupRegion* CComplexGroup::AddPolygon(std::uint16_t id, const POINT* points,
                                                    int count, std::uint16_t type) {
  if (id == 0 || !points || count < 3) return nullptr;
  auto& record = m_records[id];
  if (!record) record = std::make_unique<COMPLEXGROUP>(COMPLEXGROUP{id, std::max(type, kMinType)});
  auto& region = m_regions[id];
  if (!region) region = std::make_unique<ComplexGroupRegion>();
  region->area = Region::FromPolygon(points, count, tessmor::WINDING).United(region->area);
  region->bounds = region->area.GetBox();
  return region.get();
}

const ComplexGroupRegion* CComplexGroup::GetRegion(std::uint16_t id) const {
  auto it = m_regions.find(id);
  return it == m_regions.end() ? nullptr : it->second.get();
}

const COMPLEXGROUP* CComplexGroup::GetRecord(std::uint16_t id) const {
  auto it = m_records.find(id);
  return it == m_records.end() ? nullptr : it->second.get();
}

int CComplexGroup::DeleteGroup(std::uint16_t id) {
  const auto erased = m_records.erase(id) + m_regions.erase(id);
  return erased > 0 ? 1 : 0;
}

void CComplexGroup::DeleteAll() {
  m_records.clear();
  m_regions.clear();
}

std::uint16_t CComplexGroup::HitTest(POINT logical) const {
  for (const auto& [id, region] : m_regions) {
    if (region->area.Contains(logical.x, logical.y)) return id;
  }
  return 0;
}

std::uint16_t CComplexGroup::HitTest(const tessmor::DC& dc, POINT device) const {
  return HitTest(dc.DPtoLP(device));
}
