#pragma once

// What the EMF and WMF writers share of libUEMF: colours and the parts of a brush record.
// Internal to the platform library.

#include <uemf.h>

#include <cstdint>
#include <memory>

#include "platform/gdi/GdiTypes.h"

namespace tessmor::uemf_brush {

/// A colour as a metafile record holds it.
U_COLORREF ToColorRef(COLORREF c);

/// True for a pattern brush (BS_PATTERN, BS_DIBPATTERN, BS_DIBPATTERNPT) whose pattern can
/// be written.
bool HasPattern(const Brush& brush);

/// The header and colour table of a brush's pattern, as the pattern-brush records take
/// them; `bytes` is the size of the pattern's bits.
struct PatternInfo {
  struct Free {
    void operator()(U_BITMAPINFO* p) const;
  };
  std::unique_ptr<U_BITMAPINFO, Free> info;  ///< null when libUEMF could not make it
  std::uint32_t bytes = 0;
  const char* bits = nullptr;
};
/// The pattern of `p` (which must be valid).
PatternInfo MakePatternInfo(const DIBPattern& p);

/// The LOGBRUSH style of a brush without a pattern: U_BS_SOLID, U_BS_HATCHED or U_BS_NULL.
std::uint32_t LogBrushStyle(const Brush& brush);
/// The hatch of a brush, brought into HS_HORIZONTAL … HS_DIAGCROSS.
std::int32_t LogBrushHatch(const Brush& brush);

}  // namespace tessmor::uemf_brush
