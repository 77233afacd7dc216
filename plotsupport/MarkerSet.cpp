#include "plotsupport/MarkerSet.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The live blocks of GetVexaDLLMemory with their sizes, so that a block is freed only once
// and only when it is the library's.
struct BlockRegistry {
  std::mutex mutex;
  std::unordered_map<const void*, std::size_t> sizes;
};

BlockRegistry& Registry() {
  static BlockRegistry registry;
  return registry;
}

// True when `block` is a live block of at least `size` bytes.
bool IsLiveBlock(const void* block, std::size_t size) {
  if (!block) return false;
  BlockRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.sizes.find(block);
  return it != r.sizes.end() && it->second >= size;
}

constexpr std::uint32_t kColourCycle[14] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080,
                                            0x800000, 0x008000, 0x000080, 0xFF0080, 0x0080FF,
                                            0x8000FF, 0x404000, 0x400040, 0x004040};

// A block holding `text` and its terminator; null when memory ran out.
char* NewName(const std::string& text) {
  auto* name = static_cast<char*>(GetVexaDLLMemory(static_cast<unsigned>(text.size() + 1)));
  if (name) std::memcpy(name, text.c_str(), text.size() + 1);
  return name;
}

std::string Formatted(const char* format, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, n);
  return buf;
}

void SetEntry(MARKERSET& set, int i, std::uint8_t symbol, std::uint32_t size,
              std::uint32_t colour) {
  VEXAMARKER& m = set.markers[i];
  m.symbol = symbol;
  m.size = size;
  m.pen.colour = colour;
  m.brush.colour = colour;
  set.pens[i].colour = colour;
}

void SetPenStyle(MARKERSET& set, int i, std::int32_t style) {
  set.markers[i].pen.style = style;
  set.pens[i].style = style;
}

// Fills the mean-direction pair and the lower/upper pairs of modes 101 and 102.
void FillDirectionSets(MARKERSET& set, unsigned mode, std::vector<std::string>& names) {
  const bool nrm = mode == kMarkerSetNrm;
  const int n = set.count;
  for (int i = 0; i < n; ++i) {
    const int pair = i / 2;
    const bool upper = i % 2 == 1;
    const std::uint32_t colour = kColourCycle[pair % 14];
    if (pair == 0) {
      SetEntry(set, i, nrm ? 5 : 9, 120, colour);
      names[i] = nrm ? (upper ? "NRM %%(upper)" : "NRM %%(lower)")
                     : (upper ? "Mean %%(upper)" : "Mean %%(lower)");
    } else {
      const auto symbol = static_cast<std::uint8_t>(nrm ? 7 : (pair - 1) % 9 + 1);
      SetEntry(set, i, symbol, 80, colour);
      const char* format = !upper ? "Set %d %%%% (lower) "
                           : nrm  ? "Set %d %%%%(upper) "
                                  : "Set %d %%%% (upper) ";
      names[i] = Formatted(format, pair);
      SetPenStyle(set, i, upper ? kPenSolid : kPenDash);
    }
    if (upper) set.markers[i].brush.kind = kBrushHollow;
  }
}

}  // namespace

void* GetVexaDLLMemory(unsigned size) {
  const std::size_t bytes = std::max<std::size_t>(size, 1);
  void* block = std::calloc(bytes, 1);
  if (!block) return nullptr;
  BlockRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  try {
    r.sizes.emplace(block, bytes);
  } catch (...) {
    std::free(block);
    return nullptr;
  }
  return block;
}

void DeleteVexaDLLMemory(void* block, unsigned /*size*/) {
  if (!block) return;
  BlockRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.sizes.erase(block) != 0) std::free(block);
}

int SetDefaultMarkerSet(MARKERSET* set, int count, unsigned mode) {
  if (!set) return 0;
  const int n = std::max(count, 0);
  set->count = 0;
  set->names = nullptr;
  set->markers = nullptr;
  set->pens = nullptr;
  set->flags[0] = set->flags[1] = set->flags[2] = 1;
  // Each array must fit one block, whose size is a 32-bit count of bytes.
  if (n == 0 || static_cast<std::uint64_t>(n) * sizeof(VEXAMARKER) > UINT_MAX) return 0;

  set->names = static_cast<char**>(GetVexaDLLMemory(static_cast<unsigned>(n * sizeof(char*))));
  set->markers =
      static_cast<VEXAMARKER*>(GetVexaDLLMemory(static_cast<unsigned>(n * sizeof(VEXAMARKER))));
  set->pens = static_cast<VEXAPEN*>(GetVexaDLLMemory(static_cast<unsigned>(n * sizeof(VEXAPEN))));
  set->count = n;
  if (!set->names || !set->markers || !set->pens) {
    CleanDllMarkerSet(set, 0);
    return 0;
  }
  for (int i = 0; i < n; ++i) {
    CheckMarkerStyle(nullptr, &set->markers[i]);
    CheckPenStyle(nullptr, &set->pens[i]);
  }

  std::vector<std::string> names;
  try {
    names.resize(static_cast<std::size_t>(n));
  } catch (...) {
    CleanDllMarkerSet(set, 0);
    return 0;
  }
  if (mode == kMarkerSetLabels) {
    for (int i = 0; i < n; ++i) {
      SetEntry(*set, i, static_cast<std::uint8_t>(i % 15 + 1), 80, kColourCycle[i % 14]);
      names[i] = Formatted("Label %d", i + 1);
    }
  } else if (mode == kMarkerSetNrm || mode == kMarkerSetMean) {
    FillDirectionSets(*set, mode, names);
  }
  for (int i = 0; i < n; ++i) {
    set->names[i] = NewName(names[i]);
    if (!set->names[i]) {
      CleanDllMarkerSet(set, 0);
      return 0;
    }
  }
  return n;
}

int ResetMarkerName(MARKERSET* set, int index, const char* name, unsigned keep_given, int width) {
  if (!set || !name || index < 0 || index >= set->count) return 0;
  if (!IsLiveBlock(set->names, static_cast<std::size_t>(set->count) * sizeof(char*))) return 0;
  char* renamed = nullptr;
  try {
    std::string text = name;
    const char* old = set->names[index];
    if (!keep_given && old) {
      const char* tail = std::strstr(old, "%%");
      if (tail) text += tail;
    }
    if (width > 0) text.resize(static_cast<std::size_t>(width), ' ');
    renamed = NewName(text);
  } catch (...) {
    return 0;
  }
  if (!renamed) return 0;
  DeleteVexaDLLMemory(set->names[index], 0);
  set->names[index] = renamed;
  return 1;
}

void CleanDllMarkerSet(MARKERSET* set, int part) {
  if (!set) return;
  const std::size_t n = set->count > 0 ? static_cast<std::size_t>(set->count) : 0;
  if ((part == 0 || part == 1) && IsLiveBlock(set->names, n * sizeof(char*))) {
    for (std::size_t i = 0; i < n; ++i) DeleteVexaDLLMemory(set->names[i], 0);
    DeleteVexaDLLMemory(set->names, 0);
    set->names = nullptr;
  }
  if ((part == 0 || part == 2) && IsLiveBlock(set->markers, n * sizeof(VEXAMARKER))) {
    DeleteVexaDLLMemory(set->markers, 0);
    set->markers = nullptr;
  }
  if ((part == 0 || part == 3) && IsLiveBlock(set->pens, n * sizeof(VEXAPEN))) {
    DeleteVexaDLLMemory(set->pens, 0);
    set->pens = nullptr;
  }
  if (part == 0) set->count = 0;
}
