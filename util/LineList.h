#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "util/Qor1Export.h"

/// The line list of the utility library: an ordered, growable array of text lines.
///
/// Every line is a null-terminated character buffer allocated by `qor1` (NewLine, or the
/// readers BreakIntoLines and ReadTextDataFile). A line held by the list is owned by the list:
/// DeleteLineContents (or FreeLine after RemoveAt) releases it, and the destructor releases any
/// line still held, so nothing leaks when a caller forgets DeleteLineContents. The list never
/// holds a null entry. Not copyable; moving hands the lines over.
class QOR1_EXPORT LineList {
 public:
  LineList() = default;
  ~LineList();
  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;
  LineList(LineList&& other) noexcept;
  LineList& operator=(LineList&& other) noexcept;

  /// The number of lines held.
  int GetSize() const { return static_cast<int>(lines_.size()); }
  /// Line `i` (0 = first); null when `i` is out of range.
  char* GetAt(int i) const;
  /// Appends `line` and takes ownership of it; a null `line` is ignored.
  /// `line` must come from NewLine (or another qor1 function that allocates lines).
  void Add(char* line);
  /// Removes line `i` without freeing it (the caller now owns it); no effect out of range.
  void RemoveAt(int i);
  /// Empties the list without freeing the lines (the caller now owns them).
  void RemoveAll() { lines_.clear(); }

  /// A new line holding a copy of `text` up to its first null character, terminated.
  /// Throws std::bad_alloc when memory runs out.
  static char* NewLine(std::string_view text);
  /// Releases a line allocated by NewLine; null is ignored.
  static void FreeLine(char* line);

 private:
  void FreeAll();

  std::vector<char*> lines_;
};
