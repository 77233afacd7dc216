#include "chart/items/Stroke.h"

#include "platform/io/Archive.h"

void CStroke::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    ar.WriteU16(m_nCategory);
    ar.WriteU16(m_nGroup);
    return;
  }
  const std::uint16_t category = ar.ReadU16();
  const std::uint16_t group = ar.ReadU16();
  m_nCategory = static_cast<std::uint8_t>(category & 0xFFu);
  m_nGroup = group;
}
