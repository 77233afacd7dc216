#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

/// Thrown when an archive is read past the end of its data.
class TESSMOR_PLATFORM_EXPORT ArchiveException : public std::exception {
 public:
  const char* what() const noexcept override { return "archive read past the end of its data"; }
};

/// Writes `bytes` to `path` safely: they go to a uniquely named temporary file in the same
/// folder, which is flushed to the disk and then renamed over `path`, and the folder is synced;
/// an existing file is either kept whole or replaced whole. The new file keeps the old one's
/// permission bits (and its owner where the process may set it); a new file gets 0666 less the
/// creation mask. When `path` is a symbolic link, the file it points to is replaced and the
/// link stays. Throws FileException with the cause on failure (full disk, no permission, a
/// missing folder, a target that is not a regular file); the old file is then untouched and
/// no temporary file is left.
TESSMOR_PLATFORM_EXPORT void WriteFileReplacing(const std::string& path,
                                                const std::vector<std::uint8_t>& bytes);

/// The largest document file a loading archive reads: 256 MiB, far beyond any profile or chart.
inline constexpr std::size_t kMaxDocumentFileBytes = std::size_t{256} * 1024 * 1024;

/// Reads the whole of the regular file at `path` (a link is followed). Throws FileException
/// when it cannot be opened or read; before reading anything, with kFileErrorAccessDenied when
/// it is not a regular file (a directory, FIFO, device or socket) and with kFileErrorGeneric
/// when it holds more than `max_bytes`.
TESSMOR_PLATFORM_EXPORT std::vector<std::uint8_t> ReadWholeFile(const std::string& path,
                                                                std::size_t max_bytes = SIZE_MAX);

/// A little-endian binary reader or writer over a file or a byte buffer.
///
/// A loading archive holds the whole file in memory; a storing archive collects the bytes
/// in memory and writes them to its file only on Commit(), so that a failed save never
/// leaves a half-written file in place of a good one.
class TESSMOR_PLATFORM_EXPORT Archive {
 public:
  enum class Mode { kLoad, kStore };

  /// A loading archive over the bytes of the regular file at `path`, of at most
  /// kMaxDocumentFileBytes. Throws FileException (see ReadWholeFile).
  static Archive OpenForLoad(const std::string& path);
  /// A loading archive over `bytes`; `path` names the data for messages only.
  static Archive FromBytes(std::vector<std::uint8_t> bytes, std::string path = {});
  /// A storing archive whose bytes go to `path` on Commit() (no file when `path` is empty).
  static Archive ForStore(std::string path = {});

  Archive(Archive&&) = default;
  Archive& operator=(Archive&&) = default;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool IsLoading() const { return mode_ == Mode::kLoad; }
  bool IsStoring() const { return mode_ == Mode::kStore; }
  const std::string& path() const { return path_; }

  // --- loading; every read past the end throws ArchiveException and reads nothing ---
  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
  std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
  float ReadFloat();
  double ReadDouble();
  /// Reads exactly `n` bytes into `out`.
  void ReadBytes(void* out, std::size_t n);
  /// Reads up to `n` bytes; returns how many were read.
  std::size_t ReadSome(void* out, std::size_t n);
  /// Reads a length-prefixed string: one length byte below 255; else 0xFF and a 16-bit
  /// length below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit length; then the characters.
  std::string ReadString();
  /// Reads one raw text line, without its line feed or the carriage return before it.
  /// Returns false when no character is left.
  bool ReadLine(std::string& line);

  /// Every byte of the file (or buffer), from its start, whatever has been read so far.
  const std::vector<std::uint8_t>& FileBytes() const { return data_; }
  std::size_t position() const { return pos_; }
  std::size_t size() const { return data_.size(); }
  bool AtEnd() const { return pos_ >= data_.size(); }
  /// Moves the read position; a position past the end throws ArchiveException.
  void Seek(std::size_t pos);

  // --- storing ---
  void WriteU8(std::uint8_t v);
  void WriteU16(std::uint16_t v);
  void WriteU32(std::uint32_t v);
  void WriteI8(std::int8_t v) { WriteU8(static_cast<std::uint8_t>(v)); }
  void WriteI16(std::int16_t v) { WriteU16(static_cast<std::uint16_t>(v)); }
  void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
  void WriteFloat(float v);
  void WriteDouble(double v);
  void WriteBytes(const void* data, std::size_t n);
  /// Writes a string in the length-prefixed form ReadString reads.
  void WriteString(std::string_view s);
  /// Writes characters as they are, with no prefix and no terminator.
  void WriteText(std::string_view s) { WriteBytes(s.data(), s.size()); }

  /// The bytes stored so far.
  const std::vector<std::uint8_t>& StoredBytes() const { return data_; }
  /// Writes the stored bytes to the archive's file with WriteFileReplacing.
  void Commit() const;

 private:
  Archive(Mode mode, std::vector<std::uint8_t> data, std::string path);
  void Need(std::size_t n) const;

  Mode mode_;
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
  std::string path_;
};

}  // namespace tessmor
