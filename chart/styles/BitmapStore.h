#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiTypes.h"
#include "plotsupport/Bitmaps.h"

namespace tessmor {
class Archive;
}

/// One bitmap of a CBitmapStore: a bitmap of the program's resources, known by its number,
/// or a bitmap read from a file, whose pixels travel in the chart file.
struct BitmapStoreEntry {
  /// The loaded bitmap resource (resource entries); not owned.
  HDIBRES hResource = nullptr;
  /// The pattern brush bits, made from the resource or the file bitmap on first use.
  std::shared_ptr<const tessmor::DIBPattern> pattern;
  /// 1 = resource entry, 0 = file entry.
  std::int32_t bFromResource = 0;
  /// The bitmap resource number, or CBitmapStore::kFileEntryNumber for a file entry.
  std::uint32_t nResourceNumber = 0;
  /// The bitmap of a file entry.
  std::unique_ptr<tessmor::Dib> pBitmap;
};

/// The chart document's indexed store of pattern bitmaps; fill styles refer to a bitmap by its
/// index here. Entries keep their index until the store is emptied.
///
/// Each entry has an owned flag: the store frees only the entries it owns. Entries the store
/// makes itself (AddResourceBitmap, AddBitmapFile, reading) are always freed by it.
class CBitmapStore {
 public:
  /// Resource number stored for a bitmap that came from a file.
  static constexpr std::uint32_t kFileEntryNumber = 99992;

  CBitmapStore() = default;
  CBitmapStore(const CBitmapStore&) = delete;
  CBitmapStore& operator=(const CBitmapStore&) = delete;
  ~CBitmapStore() { RemoveAll(); }

  /// The resource module holding the program's own bitmaps, where AddResourceBitmap looks
  /// (the library's own module unless the program sets another).
  static HRESMODULE GetProgramModule();
  static void SetProgramModule(HRESMODULE module);

  /// Adds bitmap `resource` of the program's resources and returns its index; when an entry
  /// with that resource number exists, returns its index and adds nothing. −1 when the
  /// resources have no such bitmap. `owned` is recorded as the entry's flag.
  int AddResourceBitmap(std::uint32_t resource, bool owned = true);
  /// Adds the device-independent bitmap read from the file at `path` and returns its index;
  /// −1 when the file cannot be read as a bitmap.
  int AddBitmapFile(const std::string& path);
  /// Adds `entry`, which the store frees; returns its index.
  int Add(std::unique_ptr<BitmapStoreEntry> entry);
  /// Adds `entry`, which the caller keeps alive until the store is emptied; returns its index.
  int AddUnowned(BitmapStoreEntry* entry);

  int GetSize() const { return static_cast<int>(m_entries.size()); }
  /// The entry at `index`, or null outside 0 .. GetSize() − 1.
  const BitmapStoreEntry* GetEntry(int index) const;
  /// The owned flag of the entry at `index` (0 outside the store).
  std::uint16_t GetOwnedFlag(int index) const;

  /// A pattern brush of the bitmap at `index`; a null brush (BS_NULL) outside the store.
  tessmor::Brush CreatePatternBrush(int index);

  /// Whether two entries stand for the same bitmap: the same object; two resource entries with
  /// equal resource numbers; two file entries whose bitmaps agree in width, height, bit count
  /// and image size. A resource entry never equals a file entry.
  static bool Compare(const BitmapStoreEntry& a, const BitmapStoreEntry& b);
  /// Index of the first entry equal to `entry`, or −1.
  int Find(const BitmapStoreEntry& entry) const;

  /// Frees the owned entries and empties the store.
  void RemoveAll();

  /// Writes or reads the store in its chart-file form. Reading empties the store first; a
  /// resource entry the resources no longer have, and a file image that fails its checks,
  /// keep their index as entries without bits (their pattern brush is the null brush), and a
  /// resource number read twice gives two entries, so that every entry keeps its index. Throws
  /// ArchiveException when the data ends early or cannot be followed.
  void Serialize(tessmor::Archive& ar);

 private:
  int Append(BitmapStoreEntry* entry, std::uint16_t owned);
  /// A resource entry for `resource`, its bits loaded from the program's module (null when
  /// the module has no such bitmap).
  static std::unique_ptr<BitmapStoreEntry> MakeResourceEntry(std::uint32_t resource);
  void ReadEntries(tessmor::Archive& ar);

  std::vector<BitmapStoreEntry*> m_entries;               // every entry, by index
  std::vector<std::uint16_t> m_owned;                     // its owned flag
  std::vector<std::unique_ptr<BitmapStoreEntry>> m_held;  // the entries this store frees
};
