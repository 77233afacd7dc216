// libFuzzer harness for the bitmap-image reader: arbitrary bytes as a bitmap file image, then
// as the stored form of a bitmap store.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "chart/styles/BitmapStore.h"
#include "platform/gdi/Dib.h"
#include "platform/io/Archive.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckImage(const tessmor::Dib& dib) {
  Check(dib.header.biSize == 40);
  Check(dib.Width() >= 1 && dib.Width() <= tessmor::kDibMaxSide);
  Check(dib.Height() >= 1 && dib.Height() <= tessmor::kDibMaxSide);
  Check(dib.bits.size() <= dib.ImageBytes());
  Check(dib.colors.size() <= 256);
  // Every pixel access is checked against the data, however short it is.
  const int w = dib.Width(), h = dib.Height();
  for (int y : {0, h / 2, h - 1, h}) {
    for (int x : {0, w / 2, w - 1, w}) (void)dib.PixelRgb(x, y);
  }
  // Written out and read back, the image is the same.
  const std::vector<std::uint8_t> image = tessmor::DibFileImage(dib);
  std::optional<tessmor::Dib> back = tessmor::DibFromFileImage(image.data(), image.size());
  Check(back.has_value());
  Check(back->bits == dib.bits && back->colors == dib.colors);
  Check(back->Width() == dib.Width() && back->header.biHeight == dib.header.biHeight);
  // A pattern brush of it is one a brush can tile (small images only: the conversion of a
  // large one is slow and checked by the unit tests).
  if (static_cast<std::int64_t>(w) * h <= (1 << 16)) Check(tessmor::MakeDibPattern(dib)->IsValid());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  {
    tessmor::Archive ar = tessmor::Archive::FromBytes(bytes);
    try {
      std::optional<tessmor::Dib> dib = tessmor::ReadDibFileImage(ar);
      Check(ar.position() <= ar.size());
      if (dib) CheckImage(*dib);
    } catch (const tessmor::ArchiveException&) {
    }
  }
  {
    tessmor::Archive ar = tessmor::Archive::FromBytes(bytes);
    CBitmapStore store;
    bool complete = true;
    try {
      store.Serialize(ar);
    } catch (const tessmor::ArchiveException&) {
      complete = false;
    }
    for (int i = 0; i < store.GetSize(); ++i) {
      const BitmapStoreEntry* e = store.GetEntry(i);
      Check(e != nullptr);
      // A damaged image keeps its place as a file entry without a bitmap.
      if (!e->bFromResource && e->pBitmap) CheckImage(*e->pBitmap);
    }
    if (complete) {
      // What was read is stored again and reads back entry for entry.
      tessmor::Archive out = tessmor::Archive::ForStore();
      store.Serialize(out);
      tessmor::Archive in = tessmor::Archive::FromBytes(out.StoredBytes());
      CBitmapStore again;
      again.Serialize(in);
      Check(in.AtEnd());
      Check(again.GetSize() == store.GetSize());
      for (int i = 0; i < store.GetSize(); ++i) {
        const BitmapStoreEntry& e = *store.GetEntry(i);
        if (!e.bFromResource && !e.pBitmap) {
          // Written as a one-pixel placeholder.
          const BitmapStoreEntry& b = *again.GetEntry(i);
          Check(!b.bFromResource && b.pBitmap && b.pBitmap->Width() == 1);
          continue;
        }
        Check(CBitmapStore::Compare(e, *again.GetEntry(i)));
      }
    }
  }
  return 0;
}
