#include "chart/paper/CoordArray.h"

#include <cstdint>
#include <stdexcept>

#include "platform/io/Archive.h"

const PaperPoint& CCoordArray::GetAt(int index) const {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CCoordArray index");
  return m_points[static_cast<std::size_t>(index)];
}

PaperPoint& CCoordArray::ElementAt(int index) {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CCoordArray index");
  return m_points[static_cast<std::size_t>(index)];
}

int CCoordArray::Add(PaperPoint p) {
  m_points.push_back(p);
  return GetSize() - 1;
}

void CCoordArray::SetFirst(PaperPoint p, bool append) {
  if (append || m_points.empty()) {
    m_points.push_back(p);
  } else {
    m_points.front() = p;
  }
}

void CCoordArray::RemoveAll() { m_points.clear(); }

void CCoordArray::FreeExtra() { m_points.shrink_to_fit(); }

void CCoordArray::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const int count = GetSize() < kMaxStoredPoints ? GetSize() : kMaxStoredPoints;
    ar.WriteU16(static_cast<std::uint16_t>(count));
    for (int i = 0; i < count; ++i) {
      ar.WriteFloat(m_points[static_cast<std::size_t>(i)].x);
      ar.WriteFloat(m_points[static_cast<std::size_t>(i)].y);
    }
    return;
  }
  const std::size_t before = m_points.size();
  try {
    const std::size_t count = ar.ReadU16();
    // Room for no more points than the data can hold, whatever the count claims.
    const std::size_t available = (ar.size() - ar.position()) / 8;
    m_points.reserve(before + (count < available ? count : available));
    for (std::size_t i = 0; i < count; ++i) {
      PaperPoint p;
      p.x = ar.ReadFloat();
      p.y = ar.ReadFloat();
      m_points.push_back(p);
    }
  } catch (...) {
    m_points.resize(before);
    throw;
  }
}
