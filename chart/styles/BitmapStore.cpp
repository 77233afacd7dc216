#include "chart/styles/BitmapStore.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/io/Archive.h"
#include "platform/io/FileError.h"

namespace {

constexpr std::string_view kStoreMarker = "VEXABitmap Version 1.0";
constexpr std::string_view kImageEndMarker = "CDIBSectionLite End";

HRESMODULE& ProgramModule() {
  static HRESMODULE module = GetLibraryResourceModule();
  return module;
}

void WriteMarker(tessmor::Archive& ar, std::string_view text) {
  ar.WriteI32(static_cast<std::int32_t>(text.size()));
  ar.WriteText(text);
}

// Reads a marker written by WriteMarker: its length and that many characters, which are not
// compared with anything.
void SkipMarker(tessmor::Archive& ar) {
  const std::int32_t length = ar.ReadI32();
  if (length < 0 || static_cast<std::size_t>(length) > ar.size() - ar.position()) {
    throw tessmor::ArchiveException();
  }
  ar.Seek(ar.position() + static_cast<std::size_t>(length));
}

// After a file image failed its checks, moves past its end marker, found by searching from
// `from`; throws ArchiveException when there is none.
void SkipToImageEnd(tessmor::Archive& ar, std::size_t from) {
  std::vector<std::uint8_t> pattern = {static_cast<std::uint8_t>(kImageEndMarker.size()), 0, 0, 0};
  pattern.insert(pattern.end(), kImageEndMarker.begin(), kImageEndMarker.end());
  const std::vector<std::uint8_t>& data = ar.FileBytes();
  auto it = std::search(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(),
                        pattern.begin(), pattern.end());
  if (it == data.end()) throw tessmor::ArchiveException();
  ar.Seek(static_cast<std::size_t>(it - data.begin()) + pattern.size());
}

}  // namespace

HRESMODULE CBitmapStore::GetProgramModule() { return ProgramModule(); }

void CBitmapStore::SetProgramModule(HRESMODULE module) { ProgramModule() = module; }

int CBitmapStore::Append(BitmapStoreEntry* entry, std::uint16_t owned) {
  m_entries.push_back(entry);
  m_owned.push_back(owned);
  return GetSize() - 1;
}

int CBitmapStore::AddResourceBitmap(std::uint32_t resource, bool owned) {
  for (int i = 0; i < GetSize(); ++i) {
    if (m_entries[i]->bFromResource && m_entries[i]->nResourceNumber == resource) return i;
  }
  std::unique_ptr<BitmapStoreEntry> entry = MakeResourceEntry(resource);
  if (!entry->hResource) return -1;
  m_held.push_back(std::move(entry));
  return Append(m_held.back().get(), owned ? 1 : 0);
}

std::unique_ptr<BitmapStoreEntry> CBitmapStore::MakeResourceEntry(std::uint32_t resource) {
  // The library loads from its current module: point it at the program's for this one call.
  const HRESMODULE previous = SetDefaultResourceHandle(GetProgramModule());
  const HDIBRES bitmap = AllocateDIB(resource);
  SetDefaultResourceHandle(previous);
  auto entry = std::make_unique<BitmapStoreEntry>();
  entry->hResource = bitmap;
  entry->bFromResource = 1;
  entry->nResourceNumber = resource;
  return entry;
}

int CBitmapStore::AddBitmapFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = tessmor::ReadWholeFile(path);
  } catch (const tessmor::FileException&) {
    return -1;
  }
  std::optional<tessmor::Dib> dib = tessmor::DibFromFileImage(bytes.data(), bytes.size());
  if (!dib) return -1;
  auto entry = std::make_unique<BitmapStoreEntry>();
  entry->bFromResource = 0;
  entry->nResourceNumber = kFileEntryNumber;
  entry->pBitmap = std::make_unique<tessmor::Dib>(std::move(*dib));
  return Add(std::move(entry));
}

int CBitmapStore::Add(std::unique_ptr<BitmapStoreEntry> entry) {
  m_held.push_back(std::move(entry));
  return Append(m_held.back().get(), 1);
}

int CBitmapStore::AddUnowned(BitmapStoreEntry* entry) { return Append(entry, 0); }

const BitmapStoreEntry* CBitmapStore::GetEntry(int index) const {
  if (index < 0 || index >= GetSize()) return nullptr;
  return m_entries[index];
}

std::uint16_t CBitmapStore::GetOwnedFlag(int index) const {
  if (index < 0 || index >= GetSize()) return 0;
  return m_owned[index];
}

tessmor::Brush CBitmapStore::CreatePatternBrush(int index) {
  tessmor::Brush brush;
  brush.style = tessmor::BS_NULL;
  if (index < 0 || index >= GetSize()) return brush;
  BitmapStoreEntry& e = *m_entries[index];
  if (!e.pattern) {
    // The resource is locked, or the file bitmap converted, on first use.
    const tessmor::Dib* source = e.bFromResource ? e.hResource : e.pBitmap.get();
    if (!source) return brush;
    e.pattern = tessmor::MakeDibPattern(*source);
  }
  brush.style = tessmor::BS_DIBPATTERNPT;
  brush.pattern = e.pattern;
  return brush;
}

bool CBitmapStore::Compare(const BitmapStoreEntry& a, const BitmapStoreEntry& b) {
  if (&a == &b) return true;
  if ((a.bFromResource != 0) != (b.bFromResource != 0)) return false;
  if (a.bFromResource) return a.nResourceNumber == b.nResourceNumber;
  if (!a.pBitmap || !b.pBitmap) return false;
  const tessmor::DibInfoHeader& ha = a.pBitmap->header;
  const tessmor::DibInfoHeader& hb = b.pBitmap->header;
  return ha.biWidth == hb.biWidth && ha.biHeight == hb.biHeight && ha.biBitCount == hb.biBitCount &&
         ha.biSizeImage == hb.biSizeImage;
}

int CBitmapStore::Find(const BitmapStoreEntry& entry) const {
  for (int i = 0; i < GetSize(); ++i) {
    if (Compare(*m_entries[i], entry)) return i;
  }
  return -1;
}

void CBitmapStore::RemoveAll() {
  m_entries.clear();
  m_owned.clear();
  m_held.clear();
}

void CBitmapStore::Serialize(tessmor::Archive& ar) {
  if (ar.IsLoading()) {
    ReadEntries(ar);
    return;
  }
  ar.WriteI32(GetSize() - 1);
  WriteMarker(ar, kStoreMarker);
  for (const BitmapStoreEntry* e : m_entries) {
    if (e->bFromResource) {
      ar.WriteI32(1);
      ar.WriteU32(e->nResourceNumber);
      continue;
    }
    ar.WriteI32(0);
    ar.WriteU32(kFileEntryNumber);
    // An entry without a bitmap keeps its place with a white pixel.
    static const tessmor::Dib kPlaceholder = [] {
      tessmor::Dib d = tessmor::Dib::Make24(1, 1);
      d.SetPixelRgb(0, 0, 0xFFFFFF);
      return d;
    }();
    tessmor::WriteDibFileImage(ar, e->pBitmap ? *e->pBitmap : kPlaceholder);
    WriteMarker(ar, kImageEndMarker);
  }
}

void CBitmapStore::ReadEntries(tessmor::Archive& ar) {
  RemoveAll();
  const std::int32_t last = ar.ReadI32();  // number of entries − 1
  if (last < -1) throw tessmor::ArchiveException();
  SkipMarker(ar);
  // Every entry takes at least 8 bytes, so a count beyond the data stops at its end.
  for (std::int64_t i = 0; i <= last; ++i) {
    const std::int32_t from_resource = ar.ReadI32();
    const std::uint32_t number = ar.ReadU32();
    if (from_resource) {
      // Fill styles refer to bitmaps by index, so every entry read takes its place: one the
      // program's resources no longer have keeps its number without bits, and a number
      // already read is loaded again.
      Add(MakeResourceEntry(number));
      continue;
    }
    const std::size_t image_start = ar.position();
    std::optional<tessmor::Dib> dib = tessmor::ReadDibFileImage(ar);
    if (!dib) {
      SkipToImageEnd(ar, image_start);
      // A damaged image keeps its place as a file entry without a bitmap.
      auto damaged = std::make_unique<BitmapStoreEntry>();
      damaged->nResourceNumber = kFileEntryNumber;
      Add(std::move(damaged));
      continue;
    }
    SkipMarker(ar);
    auto entry = std::make_unique<BitmapStoreEntry>();
    entry->bFromResource = 0;
    entry->nResourceNumber = kFileEntryNumber;
    entry->pBitmap = std::make_unique<tessmor::Dib>(std::move(*dib));
    Add(std::move(entry));
  }
}
