// libFuzzer harness for the clipboard record exchange of the statistics library. The first
// byte chooses the record kind, the next four the byte limit (little-endian); the rest is the
// block placed on the clipboard under that kind's format. The records read are copied back
// (with their text); reading and copying that block again must give the same block.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dirstats/ClipboardRecords.h"
#include "platform/ui/Clipboard.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

tessmor::MemoryClipboard& Board() {
  static tessmor::MemoryClipboard board;
  static const bool installed = (tessmor::SetClipboard(&board), true);
  (void)installed;
  return board;
}

void Place(const char* format_name, const std::vector<std::uint8_t>& block) {
  tessmor::MemoryClipboard& board = Board();
  Check(board.Open());
  board.Empty();
  Check(board.SetData(tessmor::Clipboard::RegisterFormat(format_name), block));
  board.Close();
}

std::vector<std::uint8_t> Held(const char* format_name) {
  tessmor::MemoryClipboard& board = Board();
  Check(board.Open());
  auto held = board.GetData(tessmor::Clipboard::RegisterFormat(format_name));
  board.Close();
  return held.value_or(std::vector<std::uint8_t>{});
}

// Gets the records of `format_name` with Get, checks the count against the block and the
// limit, copies them back with Copy and checks that the clipboard then holds the same records.
template <typename T, typename GetFn, typename CopyFn>
void RoundTrip(const char* format_name, const std::vector<std::uint8_t>& block, unsigned limit,
               GetFn get, CopyFn copy) {
  Place(format_name, block);
  unsigned count = 12345;
  std::unique_ptr<T[]> records = get(&count, limit);
  std::size_t expected = block.size() / sizeof(T);
  if (limit >= sizeof(T) && limit / sizeof(T) < expected) expected = limit / sizeof(T);
  Check(count == expected);
  Check((records == nullptr) == (count == 0));
  if (!records) return;
  Check(copy(records.get(), count, 1, 1) == tessmor::Clipboard::RegisterFormat(format_name));
  const std::vector<std::uint8_t> first = Held(format_name);
  Check(first.size() == count * sizeof(T));
  // Copying may clear what a record keeps reserved, but does so in one go: the records read
  // back from the copy copy to the same block.
  unsigned again_count = 0;
  std::unique_ptr<T[]> again = get(&again_count, 0);
  Check(again_count == count && again != nullptr);
  Check(copy(again.get(), again_count, 1, 0) == tessmor::Clipboard::RegisterFormat(format_name));
  Check(Held(format_name) == first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const unsigned limit = data[1] | (data[2] << 8) | (data[3] << 16) | (unsigned{data[4]} << 24);
  const std::vector<std::uint8_t> block(data + 5, data + size);
  switch (data[0] % 11) {
    case 0:
      RoundTrip<LATLONG>(kLatLongFormat, block, limit, GetLATLONGFromClip, CopyLATLONGToClip);
      break;
    case 1:
      RoundTrip<PMVECTOR>(kPmVectorFormat, block, limit, GetPMVECTORFromClip, CopyPMVECTORtoClip);
      break;
    case 2:
      RoundTrip<FISHERMEAN>(kFisherMeanFormat, block, limit, GetFISHERMEANFromClipboard,
                            CopyToClipboard);
      break;
    case 3:
      RoundTrip<DECINC>(kDecIncFormat, block, limit, GetDECINCFromClip, CopyDECINCtoClip);
      break;
    case 4:
      RoundTrip<BEDDIP>(kBedDipFormat, block, limit, GetBEDDIPFromClip, CopyBEDDIPtoClip);
      break;
    case 5:
      RoundTrip<float>(kBearingFormat, block, limit, GetBEARINGFromClip, CopyBEARINGtoClip);
      break;
    case 6:
      RoundTrip<VGP>(kVgpFormat, block, limit, GetVGPFromClip, CopyVGPtoClip);
      break;
    case 7:
      RoundTrip<EIGENMEAN>(kEigenMeanFormat, block, limit, GetEigenMEANFromClipboard,
                           CopyEigenToClipboard);
      break;
    case 8:
      RoundTrip<VONMISESMEAN>(kVonMisesMeanFormat, block, limit, GetVONMISESMEANFromClipboard,
                              CopyVonMisesToClipboard);
      break;
    case 9:
      RoundTrip<COORDS>(kCoordsFormat, block, limit, GetCOORDSFromClip, CopyCOORDStoClip);
      break;
    default: {
      // Plain text: what is placed comes back up to its first zero character.
      const std::string text(block.begin(), block.end());
      std::unique_ptr<char[]> placed = GetTextFromClipboard(text.c_str(), 0);
      Check((placed == nullptr) == (text.c_str()[0] == '\0'));
      std::unique_ptr<char[]> held = GetTextFromClipboard(nullptr, 1);
      if (placed) Check(held && std::strcmp(held.get(), text.c_str()) == 0);
      break;
    }
  }
  return 0;
}
