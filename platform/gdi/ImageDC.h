#pragma once

// A device context on a raster image held in memory: the off-screen surface of views that
// have no window, and of bitmap output.

#include <memory>
#include <optional>

#include "platform/PlatformExport.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Dib.h"

namespace tessmor {

/// A DC that draws into a white image of `width` × `height` device pixels (each held within
/// 1 .. kDibMaxSide) at `pixels_per_inch` in both directions, as a memory bitmap on the
/// desktop: pixel (0, 0) is the top-left corner. Drawing and text follow QtDC on a raster
/// device. Null when the image cannot be made.
TESSMOR_PLATFORM_EXPORT std::unique_ptr<DC> CreateImageDC(int width, int height,
                                                          int pixels_per_inch = 96);

/// The pixels drawn so far on a DC made by CreateImageDC, as a bottom-up 24-bit bitmap whose
/// resolution is the DC's; nothing for any other DC.
TESSMOR_PLATFORM_EXPORT std::optional<Dib> ImageDCToDib(const DC& dc);

}  // namespace tessmor
