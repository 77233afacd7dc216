// libFuzzer harness for CFloatArray: arbitrary bytes as lines of numeric text, then sorting,
// then an archive round trip, then the bytes themselves as a stored array.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/io/Archive.h"
#include "profile/FloatArray.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameBits(const CFloatArray& a, const CFloatArray& b, int count) {
  if (b.GetSize() != count || a.GetSize() < count) return false;
  return count == 0 || std::memcmp(a.GetData(), b.GetData(), sizeof(float) * count) == 0;
}

void CheckSorted(const CFloatArray& a, bool ascending) {
  const int n = a.GetSize();
  for (int i = 1; i < n; ++i) {
    const float prev = a.GetAt(i - 1);
    const float cur = a.GetAt(i);
    if (std::isnan(cur)) continue;
    Check(!std::isnan(prev));  // NaNs come last
    Check(ascending ? prev <= cur : prev >= cur);
  }
}

void RoundTrip(const CFloatArray& a, bool raw) {
  CFloatArray copy = a;
  tessmor::Archive out = tessmor::Archive::ForStore();
  raw ? copy.SerializeRaw(out) : copy.Serialize(out);
  tessmor::Archive in = tessmor::Archive::FromBytes(out.StoredBytes());
  CFloatArray back;
  raw ? back.SerializeRaw(in) : back.Serialize(in);
  Check(in.AtEnd());
  Check(SameBits(a, back, raw ? a.GetSize() : (a.GetSize() & 0xFFFF)));
}

void LoadBytes(const std::uint8_t* data, std::size_t size, bool raw) {
  tessmor::Archive in = tessmor::Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  CFloatArray a;
  a.Add(1.0f);
  try {
    raw ? a.SerializeRaw(in) : a.Serialize(in);
  } catch (const tessmor::ArchiveException&) {
    Check(a.GetSize() == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The whole input as one NUL-terminated text (an embedded NUL ends it early), then line by
  // line, all into one array so that column formats accumulate.
  const std::string text(reinterpret_cast<const char*>(data), size);
  CFloatArray a;
  const int before = a.GetSize();
  const int added = a.ConvertText(text.c_str());
  Check(added >= 0 && a.GetSize() == before + added);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const int n = a.GetSize();
    const int got = a.ConvertText(line.c_str());
    Check(got >= 0 && a.GetSize() == n + got);
    Check(a.GetColumnCount() >= got);
    start = end + 1;
  }

  if (a.GetSize() <= 0xFFFF) {
    std::vector<std::uint16_t> index;
    const int moved = a.SortIndex(index, size > 0 ? data[0] : 200);
    if (a.GetSize() >= 2) {
      Check(index.size() == static_cast<std::size_t>(a.GetSize()));
      for (std::uint16_t i : index) Check(i < a.GetSize());
      Check(moved == 0 || moved == 1);
    }
  }

  RoundTrip(a, false);
  RoundTrip(a, true);

  CFloatArray up = a;
  up.Sort(200);
  CheckSorted(up, true);
  CFloatArray down = a;
  down.Sort(0);
  CheckSorted(down, false);

  LoadBytes(data, size, false);
  LoadBytes(data, size, true);
  return 0;
}
