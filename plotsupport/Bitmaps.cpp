#include "plotsupport/Bitmaps.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

#include "platform/gdi/DC.h"
#include "platform/gdi/EnhMetafile.h"
#include "platform/gdi/MetafileDC.h"
#include "platform/gdi/WmfDC.h"
#include "platform/io/Archive.h"
#include "platform/ui/Prompts.h"

// The bitmaps of the library's own module (BitmapResources.cpp).
std::vector<BitmapResource> LibraryBitmapResources();

namespace {

using BitmapTable = std::map<unsigned, std::unique_ptr<const tessmor::Dib>>;

// Every resource module made so far; a module's bitmaps never move once registered, so
// handles to them stay valid for the life of the process.
struct Registry {
  Registry() { library = current = Add(LibraryBitmapResources()); }

  HRESMODULE Add(std::vector<BitmapResource> bitmaps) {
    BitmapTable table;
    for (BitmapResource& b : bitmaps) {
      if (!table.count(b.number)) {
        table[b.number] = std::make_unique<const tessmor::Dib>(std::move(b.bitmap));
      }
    }
    modules.push_back(std::move(table));
    return static_cast<HRESMODULE>(modules.size());  // handles count from 1
  }

  std::mutex mutex;
  std::vector<BitmapTable> modules;
  HRESMODULE library = 0;
  HRESMODULE current = 0;
};

Registry& GetRegistry() {
  static Registry registry;
  return registry;
}

// One axis of a resampling: source pixel `from` gives `weight` of itself to target `to`.
struct Share {
  int from;
  int to;
  float weight;
};

// Shares of `source` pixels in `target` pixels: the overlap of source pixel i, stretched
// to [i·s, (i+1)·s) with s = target / source, with each target pixel [j, j+1). Every target
// pixel's weights sum to 1. Overlaps below 0.0001 are left out.
std::vector<Share> AxisShares(int source, int target) {
  std::vector<Share> shares;
  const double s = static_cast<double>(target) / source;
  for (int i = 0; i < source; ++i) {
    const double lo = i * s, hi = (i + 1) * s;
    for (int j = static_cast<int>(std::floor(lo)); j < target && j < hi; ++j) {
      const double w = std::min<double>(hi, j + 1) - std::max<double>(lo, j);
      if (w >= 0.0001) shares.push_back({i, j, static_cast<float>(w)});
    }
  }
  return shares;
}

}  // namespace

HRESMODULE RegisterResourceModule(std::vector<BitmapResource> bitmaps) {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  return r.Add(std::move(bitmaps));
}

HRESMODULE GetLibraryResourceModule() { return GetRegistry().library; }

HDIBRES AllocateDIB(unsigned int resource) {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  if (r.current == 0 || r.current > r.modules.size()) return nullptr;
  const auto& table = r.modules[r.current - 1];
  auto it = table.find(resource);
  return it == table.end() ? nullptr : it->second.get();
}

HRESMODULE SetDefaultResourceHandle(HRESMODULE module) {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  return std::exchange(r.current, module);
}

void DisplayError(int code) {
  if (code != kErrorLoadingBitmap) return;
  tessmor::GetPrompts().MessageBox(
      " Out of memory, or incorrect Resource ID\n When Loading a Bitmap", tessmor::kPromptOk);
}

std::unique_ptr<tessmor::Dib> ScaleBitmap(const tessmor::Dib* bitmap, std::uint16_t width,
                                          std::uint16_t height) {
  if (!bitmap || width == 0 || height == 0) return nullptr;
  if (width > tessmor::kDibMaxSide || height > tessmor::kDibMaxSide) return nullptr;
  const int sw = bitmap->Width(), sh = bitmap->Height();
  if (sw < 1 || sh < 1) return nullptr;
  const bool wider = width > sw, narrower = width < sw;
  const bool taller = height > sh, shorter = height < sh;
  if ((wider && shorter) || (narrower && taller)) return nullptr;
  try {
    // Horizontal pass: every source row resampled to `width` columns.
    const std::vector<Share> xs = AxisShares(sw, width);
    std::vector<float> rows(static_cast<std::size_t>(width) * sh * 3, 0.0f);
    for (int y = 0; y < sh; ++y) {
      float* out = &rows[static_cast<std::size_t>(y) * width * 3];
      for (const Share& s : xs) {
        const std::uint32_t rgb = bitmap->PixelRgb(s.from, y);
        out[s.to * 3] += s.weight * static_cast<float>((rgb >> 16) & 0xFF);
        out[s.to * 3 + 1] += s.weight * static_cast<float>((rgb >> 8) & 0xFF);
        out[s.to * 3 + 2] += s.weight * static_cast<float>(rgb & 0xFF);
      }
    }
    // Vertical pass into the target.
    const std::vector<Share> ys = AxisShares(sh, height);
    std::vector<float> acc(static_cast<std::size_t>(width) * height * 3, 0.0f);
    for (const Share& s : ys) {
      const float* in = &rows[static_cast<std::size_t>(s.from) * width * 3];
      float* out = &acc[static_cast<std::size_t>(s.to) * width * 3];
      for (int i = 0; i < width * 3; ++i) out[i] += s.weight * in[i];
    }
    auto result = std::make_unique<tessmor::Dib>(tessmor::Dib::Make24(width, height));
    auto byte = [](float v) -> std::uint32_t {
      return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 255.0f));  // truncates
    };
    for (int y = 0; y < height; ++y) {
      const float* p = &acc[static_cast<std::size_t>(y) * width * 3];
      for (int x = 0; x < width; ++x) {
        result->SetPixelRgb(x, y,
                            byte(p[x * 3]) << 16 | byte(p[x * 3 + 1]) << 8 | byte(p[x * 3 + 2]));
      }
    }
    return result;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int ConvertEMFtoWMF(tessmor::DC* dc, const tessmor::EnhMetafile* emf, const char* path) {
  if (!emf || !emf->IsValid() || !path) return 0;
  try {
    const tessmor::EmfHeaderInfo& h = emf->header();
    if (h.device.cx <= 0 || h.device.cy <= 0 || h.millimetres.cx <= 0 || h.millimetres.cy <= 0) {
      return 0;
    }
    const int ppi = dc ? dc->GetPixelsPerInchX() : 96;
    // Metafile units per 0.01 mm, from the reference device.
    const double ux = static_cast<double>(h.device.cx) / (h.millimetres.cx * 100.0);
    const double uy = static_cast<double>(h.device.cy) / (h.millimetres.cy * 100.0);
    // The picture: the frame (0.01 mm, inclusive), or the bounds when it has none.
    const bool framed = h.frame.right > h.frame.left && h.frame.bottom > h.frame.top;
    const double left = framed ? h.frame.left * ux : h.bounds.left;
    const double top = framed ? h.frame.top * uy : h.bounds.top;
    const double right = framed ? (h.frame.right + 1) * ux : h.bounds.right + 1.0;
    const double bottom = framed ? (h.frame.bottom + 1) * uy : h.bounds.bottom + 1.0;
    if (!(right > left && bottom > top)) return 0;
    // Metafile units to device pixels of the reference.
    const double px = ppi / (ux * 2540.0), py = ppi / (uy * 2540.0);
    auto round = [](double v) { return static_cast<std::int32_t>(std::floor(v + 0.5)); };
    const tessmor::RECT frame{round(left * px), round(top * py), round(right * px),
                              round(bottom * py)};
    if (frame.right <= frame.left || frame.bottom <= frame.top) return 0;

    tessmor::WmfDC wmf(ppi, frame);
    if (!wmf.IsValid()) return 0;
    wmf.SetMapMode(tessmor::MM_ANISOTROPIC);
    wmf.SetWindowOrg(round(left), round(top));
    wmf.SetWindowExt(std::max(1, round(right - left)), std::max(1, round(bottom - top)));
    wmf.SetViewportOrg(frame.left, frame.top);
    wmf.SetViewportExt(frame.right - frame.left, frame.bottom - frame.top);
    emf->Play(wmf);
    const std::vector<std::uint8_t> bytes = wmf.Close();
    if (bytes.empty()) return 0;
    tessmor::WriteFileReplacing(path, bytes);
    return 1;
  } catch (...) {
    return 0;
  }
}

int TransformWorld(int mode, tessmor::DC* dc, float value) {
  if (!dc) return 0;
  dc->SetMapMode(tessmor::MM_HIMETRIC);
  auto* world = dynamic_cast<tessmor::WorldTransformDC*>(dc);
  if (world) world->SetGraphicsMode(tessmor::GM_ADVANCED);
  tessmor::XFORM x;
  switch (mode) {
    case 0:
      return world && world->ModifyWorldTransform(x, tessmor::MWT_IDENTITY) ? 1 : 0;
    case 17:
      x = {value, 0.0f, 0.0f, value, 0.0f, 0.0f};
      break;
    case 18:
      x = {1.0f, 0.0f, 0.0f, 1.0f, value, 0.0f};
      break;
    case 19: {
      const double r = value * 3.14159265358979323846 / 180.0;
      const auto c = static_cast<float>(std::cos(r)), s = static_cast<float>(std::sin(r));
      x = {c, s, -s, c, 0.0f, 0.0f};
      break;
    }
    case 20:
      x = {value, value, 0.0f, value, 0.0f, 0.0f};
      break;
    case 21:
      x = {value, 0.0f, 0.0f, -value, 0.0f, 0.0f};
      break;
    default:
      return 0;
  }
  return world && world->SetWorldTransform(x) ? 1 : 0;
}
