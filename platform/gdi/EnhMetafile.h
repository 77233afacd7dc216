#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {

class DC;

/// The header fields of an enhanced metafile that its users need.
struct EmfHeaderInfo {
  RECT bounds;       ///< what is drawn, device units, right and bottom inclusive
  RECT frame;        ///< the picture, 0.01 mm, right and bottom inclusive
  SIZE device;       ///< reference device size, device units
  SIZE millimetres;  ///< reference device size, mm
  std::uint32_t records = 0;
  std::uint16_t handles = 0;
  std::u16string description;
};

/// A closed enhanced metafile: the bytes of an EMF file, as EmfDC makes them or as read from a
/// file. Reading its records checks every record length against the data.
class TESSMOR_PLATFORM_EXPORT EnhMetafile {
 public:
  EnhMetafile() = default;
  explicit EnhMetafile(std::vector<std::uint8_t> bytes);

  /// The metafile from the file at `path`; nothing when it cannot be read or is no EMF.
  static std::optional<EnhMetafile> Load(const std::string& path);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  /// True when the bytes start with a well-formed EMF header record.
  bool IsValid() const { return header_.has_value(); }
  /// The header (only for a valid metafile).
  const EmfHeaderInfo& header() const { return *header_; }

  /// Writes the bytes to `path` (replacing a file there whole); false when that fails or the
  /// metafile is not valid.
  bool Save(const std::string& path) const;

  /// Draws the metafile's records on `dc`, one EMF device unit to one logical unit of `dc`
  /// (the caller sets the mapping). Plays the records this program writes: mapping-free
  /// lines, curves, polygons, rectangles, ellipses, paths, text, region fills, clipping and
  /// the pens, brushes and fonts they use; other records are skipped. Stops at the end-of-file
  /// record or at the first record whose length does not fit the data. False for an invalid
  /// metafile.
  bool Play(DC& dc) const;

  /// Number of records, and the type of each in order (for tests and diagnostics); a record
  /// that does not fit the data ends the list.
  std::vector<std::uint32_t> RecordTypes() const;

 private:
  std::vector<std::uint8_t> bytes_;
  std::optional<EmfHeaderInfo> header_;
};

}  // namespace tessmor
