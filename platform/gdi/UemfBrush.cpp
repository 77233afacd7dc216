#include "platform/gdi/UemfBrush.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tessmor::uemf_brush {

U_COLORREF ToColorRef(COLORREF c) {
  return colorref3_set(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool HasPattern(const Brush& brush) {
  const bool pattern =
      (brush.style == BS_PATTERN || brush.style == BS_DIBPATTERN || brush.style == BS_DIBPATTERNPT);
  return pattern && brush.pattern && brush.pattern->IsValid();
}

void PatternInfo::Free::operator()(U_BITMAPINFO* p) const { std::free(p); }

PatternInfo MakePatternInfo(const DIBPattern& p) {
  PatternInfo out;
  out.bytes = static_cast<std::uint32_t>(p.Stride() * static_cast<std::size_t>(std::abs(p.height)));
  out.bits = reinterpret_cast<const char*>(p.bits.data());
  std::vector<U_RGBQUAD> colours;
  for (COLORREF c : p.colors) {
    colours.push_back(rgbquad_set(GetRValue(c), GetGValue(c), GetBValue(c), 0));
  }
  const U_BITMAPINFOHEADER bmih =
      bitmapinfoheader_set(p.width, p.height, 1, p.bit_count, U_BI_RGB, out.bytes, 3780, 3780,
                           static_cast<U_NUM_RGBQUAD>(colours.size()), 0);
  out.info.reset(bitmapinfo_set(bmih, colours.empty() ? nullptr : colours.data()));
  return out;
}

std::uint32_t LogBrushStyle(const Brush& brush) {
  if (brush.style == BS_SOLID) return U_BS_SOLID;
  if (brush.style == BS_HATCHED) return U_BS_HATCHED;
  return U_BS_NULL;
}

std::int32_t LogBrushHatch(const Brush& brush) {
  return std::clamp(brush.hatch, HS_HORIZONTAL, HS_DIAGCROSS);
}

}  // namespace tessmor::uemf_brush
