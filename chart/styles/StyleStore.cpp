#include "chart/styles/StyleStore.h"

#include <algorithm>

#include "platform/io/Archive.h"

CStyleStore::~CStyleStore() = default;

tessmor::RECT CStyleStore::Unite(const tessmor::RECT& a, const tessmor::RECT& b) {
  const tessmor::RECT none{};
  auto normal = [](const tessmor::RECT& r) {
    return tessmor::RECT{std::min(r.left, r.right), std::min(r.top, r.bottom),
                         std::max(r.left, r.right), std::max(r.top, r.bottom)};
  };
  if (a == none) return b == none ? none : normal(b);
  if (b == none) return normal(a);
  const tessmor::RECT p = normal(a);
  const tessmor::RECT q = normal(b);
  return {std::min(p.left, q.left), std::min(p.top, q.top), std::max(p.right, q.right),
          std::max(p.bottom, q.bottom)};
}

std::uint64_t CStyleStore::BytesLeft(const tessmor::Archive& ar) {
  return ar.size() > ar.position() ? ar.size() - ar.position() : 0;
}
