#pragma once

// Pictures of a page in the common file formats: PNG images, SVG drawings and PDF documents,
// drawn through a device context.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/DC.h"

namespace tessmor {

/// Draws a page on a device context whose device pixels run from the page's top-left corner,
/// `pixels_per_inch` to the inch in both directions. The caller sets the mapping mode.
using PageDrawing = std::function<void(DC& dc)>;

/// The device resolution of SVG and PDF pages, pixels per inch: 10 pixels to the millimetre,
/// so that a page of whole millimetres is a whole number of pixels and a one-pixel line is
/// 0.1 mm wide.
inline constexpr int kVectorPixelsPerInch = 254;

/// The number of pixels `mm` millimetres make at `pixels_per_inch`, rounded to the nearest
/// (at least 1).
TESSMOR_PLATFORM_EXPORT int PixelsOfMm(double mm, int pixels_per_inch);

/// A PNG file image of a `width_mm` × `height_mm` page at `pixels_per_inch`: a white image of
/// PixelsOfMm(width_mm) × PixelsOfMm(height_mm) pixels with smooth edges for lines, fills and
/// text, the resolution stored in the file. Empty when the image cannot be made (a side
/// beyond kDibMaxSide pixels, or no memory).
TESSMOR_PLATFORM_EXPORT std::vector<std::uint8_t> DrawPngPage(double width_mm, double height_mm,
                                                              int pixels_per_inch,
                                                              const PageDrawing& draw);

/// An SVG document of a `width_mm` × `height_mm` page (its width and height given in mm),
/// drawn at kVectorPixelsPerInch as vectors, texts as <text> elements; `title` is the
/// document's <title>. Empty when the drawing cannot begin.
TESSMOR_PLATFORM_EXPORT std::vector<std::uint8_t> DrawSvgPage(double width_mm, double height_mm,
                                                              const std::string& title,
                                                              const PageDrawing& draw);

/// A one-page PDF document whose page is `width_mm` × `height_mm` without margins, drawn at
/// kVectorPixelsPerInch as vectors with the fonts embedded; `title` is the document's title.
/// Empty when the drawing cannot begin.
TESSMOR_PLATFORM_EXPORT std::vector<std::uint8_t> DrawPdfPage(double width_mm, double height_mm,
                                                              const std::string& title,
                                                              const PageDrawing& draw);

}  // namespace tessmor
