// libFuzzer harness for the character style: arbitrary bytes as its two settings entries
// (split at the first line feed), read, written and read again; then the same bytes as the
// style's stored form; then their first four bytes as a character height and a zoom.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "chart/paper/Mapper.h"
#include "chart/styles/CharStyle.h"
#include "chart/styles/TextStyle.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A style as the style keeps it: nothing CheckTextStyle would repair, a terminated face.
void CheckStyle(const TEXTSTYLE& s) {
  TEXTSTYLE copy;
  Check(CheckTextStyle(s, &copy) == 1);
  Check(std::memchr(s.font.lfFaceName, '\0', sizeof s.font.lfFaceName) != nullptr);
}

// Equal apart from the height, which the settings text keeps to 6 decimals.
bool SameButHeight(TEXTSTYLE a, TEXTSTYLE b) {
  a.height = b.height = 0.0f;
  return a == b;
}

void FuzzSettings(std::string_view text) {
  const std::size_t cut = text.find('\n');
  const std::string first(text.substr(0, cut));
  const std::string second(cut == std::string_view::npos ? std::string_view()
                                                         : text.substr(cut + 1));

  TEXTSTYLE parsed = DefaultTextStyle();
  const TEXTSTYLE before = parsed;
  const int ok = CCharStyle::ParseSettings(first, second, &parsed);
  if (!ok) {
    Check(parsed == before);
  } else {
    CheckStyle(parsed);
    // Written and read again, the style keeps every field, and its height to the 6 decimals
    // of the text; a second round changes nothing more.
    const auto [a, b] = CCharStyle::FormatSettings(parsed);
    TEXTSTYLE again = DefaultTextStyle();
    Check(CCharStyle::ParseSettings(a, b, &again) == 1);
    Check(SameButHeight(again, parsed));
    Check(std::fabs(again.height - parsed.height) <= 5e-7f + 1e-6f * parsed.height);
    TEXTSTYLE third = DefaultTextStyle();
    const auto [a2, b2] = CCharStyle::FormatSettings(again);
    Check(a2 == a && b2 == b);
    Check(CCharStyle::ParseSettings(a2, b2, &third) == 1 && third == again);
  }

  // The same through the settings store.
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  settings.WriteString("S", "K:CharStyle", first);
  settings.WriteString("S", "K:CharStyle2", second);
  CCharStyle style;
  const int read = style.ReadSettings("S", "K");
  Check(read == (ok && !first.empty() && !second.empty() ? 1 : 0));
  CheckStyle(style.GetTextStyle());
  if (!read) Check(style.GetTextStyle() == DefaultTextStyle());
  tessmor::SetSettings(previous);
}

void FuzzStored(const std::uint8_t* data, std::size_t size) {
  CCharStyle style;
  style.SetHeight(2.0f);
  const TEXTSTYLE before = style.GetTextStyle();
  tessmor::Archive in = tessmor::Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  try {
    style.Serialize(in);
    // The style (76 bytes) and the text count, then the texts read.
    Check(in.position() >= 78);
    if (data[76] == 0 && data[77] == 0) Check(in.position() == 78 && style.IsEmpty());
  } catch (const tessmor::ArchiveException&) {
    Check(style.GetTextStyle() == before);
  }
  CheckStyle(style.GetTextStyle());

  tessmor::Archive out = tessmor::Archive::ForStore();
  style.Serialize(out);
  if (style.IsEmpty()) Check(out.StoredBytes().size() == 78);
  CCharStyle back;
  tessmor::Archive in2 = tessmor::Archive::FromBytes(out.StoredBytes());
  back.Serialize(in2);
  Check(back.Compare(style.GetTextStyle()));
  Check(in2.AtEnd() && back.GetStringCount() == style.GetStringCount());
}

void FuzzHeights(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return;
  float f;
  std::memcpy(&f, data, 4);
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  CMapper mapper;
  mapper.SetZoom(f);
  CCharStyle style(nullptr, &mapper);
  const float old_height = style.GetTextStyle().height;
  Check(style.SetHeight(f) == IsValidTextHeight(f));
  Check(style.GetTextStyle().height == (IsValidTextHeight(f) ? f : old_height));
  Check(style.RecomputeFont().lfHeight <= -1);
  Check(CCharStyle::FontHeightFor(f, &mapper) <= -1);
  Check(CCharStyle::FontHeightFor(f, nullptr) <= -1);
  tessmor::SetSettings(previous);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzSettings(std::string_view(reinterpret_cast<const char*>(data), size));
  FuzzStored(data, size);
  FuzzHeights(data, size);
  return 0;
}
