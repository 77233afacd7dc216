// libFuzzer harness for the chart paper: arbitrary bytes as the stored "Paper" setting (checked
// against the C library's own scan where that is defined), then a save and reload; then the
// same bytes as the mapper's stored form and as a stored coordinate array, and their first
// four as a zoom factor.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "chart/paper/CoordArray.h"
#include "chart/paper/Mapper.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool PositiveFinite(float v) { return std::isfinite(v) && v > 0.0f; }

// The mapper's invariants: a known resolution, a zoom above 0 with a finite scale, a paper of
// finite positive size, and conversions without NaN.
void CheckMapper(const CMapper& m) {
  Check((m.GetMapMode() == tessmor::MM_HIMETRIC && m.GetUnitsPerMm() == 100.0f) ||
        (m.GetMapMode() == tessmor::MM_LOMETRIC && m.GetUnitsPerMm() == 10.0f));
  Check(PositiveFinite(m.GetZoom()) && PositiveFinite(m.GetScale()));
  Check(PositiveFinite(m.GetPaperWidth()) && PositiveFinite(m.GetPaperHeight()));
  const tessmor::RECT r = m.GetPaperRect();
  Check(r.left == 0 && r.top == 0 && r.right >= 0 && r.bottom <= 0);
  for (const tessmor::POINT p : {tessmor::POINT{0, 0}, tessmor::POINT{INT32_MAX, INT32_MIN},
                                 tessmor::POINT{r.right, r.bottom}}) {
    const PaperPoint q = m.LogicalToPaper(p);
    Check(!std::isnan(q.x) && !std::isnan(q.y));
    m.PaperToDevice(q);
  }
  m.PointsToLogical(1e6);
  m.PointSizeToLogical({INT32_MAX, INT32_MIN}, false);
}

// True when no run of digits in `text` (up to its first NUL) is longer than 9, so that every
// number the C library's scan could meet fits an int and its result is defined.
bool ScanIsDefined(const std::string& text) {
  int run = 0;
  for (char c : text) {
    if (c == '\0') break;
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    if (run > 9) return false;
  }
  return true;
}

void FuzzSetting(const std::string& text) {
  const std::optional<PaperSetting> parsed = CMapper::ParsePaperSetting(text);
  if (ScanIsDefined(text)) {
    int code = 0, w = 0, h = 0;
    const bool scanned = std::sscanf(text.c_str(), "%d, %d,%d", &code, &w, &h) == 3;
    Check(parsed.has_value() == (scanned && w > 0 && h > 0));
    if (parsed) Check(*parsed == (PaperSetting{code, w, h}));
  }
  if (parsed) {
    Check(parsed->width100 > 0 && parsed->height100 > 0);
    Check(CMapper::ParsePaperSetting(CMapper::FormatPaperSetting(*parsed)) == parsed);
  }

  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  settings.WriteString("Mapper", "Paper", text);
  CMapper m;
  CheckMapper(m);
  if (parsed) {
    Check(m.GetPaper() == parsed->code);
    Check(m.GetPaperWidth() == static_cast<float>(parsed->width100 * 0.01));
    Check(m.GetPaperHeight() == static_cast<float>(parsed->height100 * 0.01));
  } else {
    Check(m.GetPaper() == CMapper::kDefaultPaper && m.GetPaperWidth() == 295.0f &&
          m.GetPaperHeight() == 210.0f);
  }

  // Saved and loaded again, a size may lose up to 0.01 mm to the integer part of its
  // hundredths, plus the rounding of single precision.
  m.LoadSavePaper(true);
  CMapper again;
  CheckMapper(again);
  Check(again.GetPaper() == m.GetPaper());
  const auto close = [](float a, float b) {
    return std::fabs(a - b) <= 0.0101f + 1e-6f * std::fabs(a);
  };
  Check(close(again.GetPaperWidth(), m.GetPaperWidth()));
  Check(close(again.GetPaperHeight(), m.GetPaperHeight()));
  tessmor::SetSettings(previous);
}

void FuzzStoredMapper(const std::uint8_t* data, std::size_t size) {
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  CMapper m;
  m.SetPaper(0x1234);
  tessmor::Archive in = tessmor::Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  try {
    m.Serialize(in);
    Check(size >= 20 && in.position() == 20);
    Check((m.GetPaper() & ~0xFF) == 0x1200);
  } catch (const tessmor::ArchiveException&) {
    Check(size < 20);
    Check(m.GetPaper() == 0x1234 && m.GetZoom() == 1.0f && m.GetPaperWidth() == 295.0f);
  }
  CheckMapper(m);

  // What was read, once repaired, stores and reads back unchanged.
  tessmor::Archive out = tessmor::Archive::ForStore();
  m.Serialize(out);
  Check(out.StoredBytes().size() == 20);
  CMapper back;
  tessmor::Archive in2 = tessmor::Archive::FromBytes(out.StoredBytes());
  back.Serialize(in2);
  Check(back.GetMapMode() == m.GetMapMode() && back.GetUnitsPerMm() == m.GetUnitsPerMm() &&
        back.GetZoom() == m.GetZoom() && back.GetPaperWidth() == m.GetPaperWidth() &&
        back.GetPaperHeight() == m.GetPaperHeight() &&
        (back.GetPaper() & 0xFF) == (m.GetPaper() & 0xFF));

  if (size >= 4) {
    float f;
    std::memcpy(&f, data, 4);
    m.SetZoom(f);
    CheckMapper(m);
    // At 0.01 mm the whole paper stays below the coordinate limit (allowing for the
    // rounding of the products, which may be formed in another order).
    if (m.GetMapMode() == tessmor::MM_HIMETRIC && m.GetZoom() == f) {
      const double limit = CMapper::kCoordinateLimit * (1.0 + 1e-6);
      Check(static_cast<double>(f) * m.GetPaperWidth() * 100.0 < limit);
      Check(static_cast<double>(f) * m.GetPaperHeight() * 100.0 < limit);
    }
  }
  tessmor::SetSettings(previous);
}

void FuzzStoredCoords(const std::uint8_t* data, std::size_t size) {
  CCoordArray a;
  a.Add({1.0f, 2.0f});
  tessmor::Archive in = tessmor::Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  try {
    a.Serialize(in);
    const std::size_t count = size >= 2 ? (data[0] | (data[1] << 8)) : 0;
    Check(size >= 2 + 8 * count && a.GetSize() == 1 + static_cast<int>(count));
  } catch (const tessmor::ArchiveException&) {
    Check(a.GetSize() == 1 && a.GetAt(0) == (PaperPoint{1.0f, 2.0f}));
  }
  tessmor::Archive out = tessmor::Archive::ForStore();
  a.Serialize(out);
  CCoordArray back;
  tessmor::Archive in2 = tessmor::Archive::FromBytes(out.StoredBytes());
  back.Serialize(in2);
  Check(back.GetSize() == a.GetSize() &&
        std::memcmp(back.GetData(), a.GetData(), sizeof(PaperPoint) * a.GetSize()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzSetting(std::string(reinterpret_cast<const char*>(data), size));
  FuzzStoredMapper(data, size);
  FuzzStoredCoords(data, size);
  return 0;
}
