// Single-precision vectors addressed from an arbitrary lower bound.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "numkit/numkit.h"

namespace {

// The storage of vector(nl, nh) covers the indices lo … hi with lo = min(nl, 0) and
// hi = max(nh, 0): index 0 always exists, and the pointer handed out (block − lo) always points
// into the block, never before it.
long LowestIndex(long nl) { return std::min(nl, 0L); }

}  // namespace

float* vector(long nl, long nh) {
  // nh < nl implies nl > LONG_MIN, so nl − 1 cannot overflow.
  if (nh < nl && nh != nl - 1) return nullptr;
  const long lo = LowestIndex(nl);
  const long hi = std::max(nh, 0L);
  long span = 0;
  if (__builtin_sub_overflow(hi, lo, &span) || span >= PTRDIFF_MAX / long{sizeof(float)}) {
    return nullptr;
  }
  auto* block = static_cast<float*>(std::calloc(static_cast<std::size_t>(span) + 1, sizeof(float)));
  if (block == nullptr) return nullptr;
  return block - lo;
}

void free_vector(float* v, long nl, long nh) {
  if (v == nullptr) return;
  std::free(v + LowestIndex(nl));
}
