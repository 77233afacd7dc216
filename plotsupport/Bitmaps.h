#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Dib.h"
#include "plotsupport/Vexadl1Export.h"

namespace tessmor {
class DC;
class EnhMetafile;
}  // namespace tessmor

/// A resource module: the id of a table of bitmap resources, standing in for the instance
/// handle of a desktop module. 0 is no module.
using HRESMODULE = std::uint32_t;
/// A loaded bitmap resource: the table's own bitmap, valid for the life of the process; null
/// for none. Nothing needs releasing.
using HDIBRES = const tessmor::Dib*;

/// One bitmap of a resource table.
struct BitmapResource {
  unsigned number;
  tessmor::Dib bitmap;
};

/// Number of the fill pattern of the model prisms in the library's own resource module.
inline constexpr unsigned kPrismFillBitmap = 181;
/// Message of DisplayError(kErrorLoadingBitmap).
inline constexpr int kErrorLoadingBitmap = 3000;

/// Makes a new resource module of `bitmaps` and returns its handle. A number given twice
/// keeps its first bitmap.
VEXADL1_EXPORT HRESMODULE RegisterResourceModule(std::vector<BitmapResource> bitmaps);
/// The library's own resource module (it holds bitmap 181, the prism fill); the library's
/// resource module until SetDefaultResourceHandle changes it.
VEXADL1_EXPORT HRESMODULE GetLibraryResourceModule();

/// Finds bitmap `resource` in the library's current resource module; null when the module
/// has no such bitmap.
VEXADL1_EXPORT HDIBRES AllocateDIB(unsigned int resource);
/// Makes `module` the library's resource module and returns the previous one, so that a
/// client can load its own bitmaps through AllocateDIB and restore the library's afterwards.
VEXADL1_EXPORT HRESMODULE SetDefaultResourceHandle(HRESMODULE module);

/// For code 3000 shows the message " Out of memory, or incorrect Resource ID\n When Loading a
/// Bitmap"; other codes do nothing.
VEXADL1_EXPORT void DisplayError(int code);

/// A 24-bit copy of `bitmap` resampled to `width` × `height` pixels by area weighting, each
/// axis on its own; null for a null bitmap, a size of 0 or above kDibMaxSide, or a size that
/// enlarges one dimension while shrinking the other. Colour channels are accumulated in
/// single precision and truncated to bytes.
VEXADL1_EXPORT std::unique_ptr<tessmor::Dib> ScaleBitmap(const tessmor::Dib* bitmap,
                                                         std::uint16_t width, std::uint16_t height);

/// Writes the enhanced metafile `emf` to `path` as a placeable Windows metafile: its records
/// are played into a WMF writer through the anisotropic mapping that puts the metafile's frame
/// onto the same picture, at the pixels per inch of `dc` (96 without one). Returns 1 on
/// success, 0 when `emf` is not a valid metafile, nothing could be converted or the file
/// cannot be written.
VEXADL1_EXPORT int ConvertEMFtoWMF(tessmor::DC* dc, const tessmor::EnhMetafile* emf,
                                   const char* path);

/// Switches `dc` to the advanced graphics mode and MM_HIMETRIC, then sets its world transform
/// by `mode`: 0 the identity; 17 a scale by `value` in both directions; 18 a move by `value`
/// along x; 19 a turn by `value` degrees (matrix cos, sin, −sin, cos); 20 the matrix (value,
/// value, 0, value); 21 a reflection of y (value, 0, 0, −value). Other modes do nothing.
/// Returns 1 when the transform was set, 0 otherwise (also for a device context without world
/// transforms, which still gets the mapping mode).
VEXADL1_EXPORT int TransformWorld(int mode, tessmor::DC* dc, float value);
