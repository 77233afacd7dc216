#pragma once

// What the three style managers of a chart have in common: a kind, the document's mapper, and
// the rules of their stored form.

#include <cstdint>

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
}

class CMapper;

/// A list of committed styles of one kind, owned by a chart document's manager.
///
/// The styles themselves live in the derived managers (line and fill styles in CLManager,
/// character styles in CCManager); this base keeps the kind, the document's mapper that every
/// style is given, and the geometry helpers the managers share.
class CStyleStore {
 public:
  /// Kinds of a store, as its stored form writes them.
  static constexpr std::uint32_t kKindUnknown = 0;
  static constexpr std::uint32_t kKindLine = 1;
  static constexpr std::uint32_t kKindFill = 2;
  static constexpr std::uint32_t kKindChar = 4;

  CStyleStore() = default;
  virtual ~CStyleStore();
  CStyleStore(const CStyleStore&) = delete;
  CStyleStore& operator=(const CStyleStore&) = delete;

  /// 1 line styles, 2 fill styles, 4 character styles, 0 while nothing has been committed.
  std::uint32_t GetKind() const { return m_nKind; }
  /// The document's mapper (not owned); null before the store is attached.
  CMapper* GetMapper() const { return m_pMapper; }
  /// True when the store has a document.
  bool IsAttached() const { return m_bAttached; }

  /// Flags (CLineStyle::kEditable) given to every style that receives an item from now on.
  void SetNewItemFlags(std::uint32_t flags) { m_nNewItemFlags = flags; }
  std::uint32_t GetNewItemFlags() const { return m_nNewItemFlags; }

  /// Number of committed styles.
  virtual int GetSize() const = 0;
  bool IsEmpty() const { return GetSize() == 0; }
  /// Deletes the items of group `tag` (every item for −1) in every style, then drops the
  /// committed styles left empty. Returns how many items were deleted.
  virtual int DeleteItems(int tag) = 0;
  /// Writes or reads the stored form: a 16-bit kind, then the styles of that kind. Reading
  /// appends the styles that hold items. Throws tessmor::ArchiveException, with the store
  /// unchanged, on data that ends early, a count beyond what the data can hold, or a kind
  /// that belongs to another manager.
  virtual void Serialize(tessmor::Archive& ar) = 0;

  /// The union of two rectangles, each taken in either orientation; an all-zero rectangle
  /// counts as none. The result has left ≤ right and top ≤ bottom.
  static tessmor::RECT Unite(const tessmor::RECT& a, const tessmor::RECT& b);

 protected:
  /// Bytes left to read in `ar`.
  static std::uint64_t BytesLeft(const tessmor::Archive& ar);
  void SetKind(std::uint32_t kind) { m_nKind = kind; }
  void SetMapperInternal(CMapper* mapper) {
    m_pMapper = mapper;
    m_bAttached = true;
  }

 private:
  std::uint32_t m_nKind = kKindUnknown;
  CMapper* m_pMapper = nullptr;
  bool m_bAttached = false;
  std::uint32_t m_nNewItemFlags = 0;
};
