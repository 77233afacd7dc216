#pragma once

// Marker sets (named lists of markers with their pens) and the library's memory blocks,
// which the library and its clients can free for each other.

#include <cstdint>

#include "plotsupport/StyleRecords.h"
#include "plotsupport/Vexadl1Export.h"

/// A named list of markers and pens. Its arrays and names are blocks of GetVexaDLLMemory,
/// made by SetDefaultMarkerSet and freed by CleanDllMarkerSet.
struct MARKERSET {
  std::int32_t count;
  /// `count` NUL-terminated names, each a block of its own.
  char** names;
  /// `count` markers.
  VEXAMARKER* markers;
  /// `count` pens.
  VEXAPEN* pens;
  std::int32_t flags[3];
};

/// Modes of SetDefaultMarkerSet.
enum : unsigned {
  kMarkerSetNrm = 101,
  kMarkerSetMean = 102,
  kMarkerSetLabels = 103,
};

/// A zero-filled block of `size` bytes from the library's allocator (a 0-byte request gets a
/// block of its own too); null when memory ran out.
VEXADL1_EXPORT void* GetVexaDLLMemory(unsigned size);

/// Frees a block of GetVexaDLLMemory; `size` is not used. A null pointer, or one that is not
/// a live block of the library, is left alone.
VEXADL1_EXPORT void DeleteVexaDLLMemory(void* block, unsigned size);

/// Makes `count` entries in `*set` (the arrays it held before are not freed; clean a used set
/// first): every marker and pen takes its default, then the mode fills them. Colours cycle
/// through 14 values (black, red, green, blue, grey, dark blue, dark green, dark red, ...);
/// an entry's colour goes to its marker's pen and brush and to its pen.
///
/// - 103: entry i is "Label i+1", symbol 1 to 15 in turn, size 80, the next colour.
/// - 101 and 102: entries 0 and 1 are the mean-direction pair ("NRM %%(lower)" and
///   "NRM %%(upper)", symbol 5, for 101; "Mean %%(lower)" and "Mean %%(upper)", symbol 9, for
///   102) of size 120; then come lower/upper pairs named "Set n %% (lower) " and
///   "Set n %%(upper) " (101) or "Set n %% (upper) " (102) for set n = 1, 2, ..., of size 80,
///   symbol 7 (101) or 1 to 9 in turn (102). Each pair takes the next colour; an upper entry
///   is hollow with pen style 0, a lower one has pen style 1 (the mean pair keeps style 0).
/// - any other mode: the defaults, with empty names.
///
/// The three flags become 1. Returns the number of entries made: `count`, 0 for a negative
/// count or a null set, and 0 (with an empty set) when memory ran out.
VEXADL1_EXPORT int SetDefaultMarkerSet(MARKERSET* set, int count, unsigned mode);

/// Renames entry `index` to `name`. Unless `keep_given` is set, the part of the old name
/// from its first "%%" onward is appended. A positive `width` then pads the name with spaces
/// or cuts it to that many characters. Returns 1; 0 (nothing changed) for a null set or name,
/// an index outside the set, or when memory ran out.
VEXADL1_EXPORT int ResetMarkerName(MARKERSET* set, int index, const char* name, unsigned keep_given,
                                   int width);

/// Frees parts of a set: `part` 0 everything (the count becomes 0), 1 the names, 2 the
/// markers, 3 the pens. A freed array becomes null. An array is freed only when it is a live
/// block of the library large enough for `count` entries; otherwise it is left alone.
VEXADL1_EXPORT void CleanDllMarkerSet(MARKERSET* set, int part);
