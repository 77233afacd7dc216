#include "util/SettingsText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads an optionally signed run of decimal digits at `text[pos]`. On success `negative` and
// `magnitude` hold the number (the magnitude capped just above 2^32, which is enough to tell
// every 32-bit range check) and `pos` is past it.
bool ReadInteger(std::string_view text, std::size_t& pos, bool& negative,
                 std::uint64_t& magnitude) {
  std::size_t p = pos;
  negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !IsDigit(text[p])) return false;
  constexpr std::uint64_t kCap = (std::uint64_t{1} << 32) + 1;
  magnitude = 0;
  for (; p < text.size() && IsDigit(text[p]); ++p) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[p] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  pos = p;
  return true;
}

bool ReadUnsigned(std::string_view text, std::size_t& pos, std::uint32_t& value) {
  bool negative = false;
  std::uint64_t magnitude = 0;
  std::size_t p = pos;
  if (!ReadInteger(text, p, negative, magnitude)) return false;
  if (magnitude > std::numeric_limits<std::uint32_t>::max()) return false;
  // Unsigned arithmetic wraps: "-1" becomes 4294967295 as with a 32-bit strtoul.
  const auto m = static_cast<std::uint32_t>(magnitude);
  value = negative ? 0u - m : m;
  pos = p;
  return true;
}

bool ReadSigned(std::string_view text, std::size_t& pos, std::int32_t& value) {
  bool negative = false;
  std::uint64_t magnitude = 0;
  std::size_t p = pos;
  if (!ReadInteger(text, p, negative, magnitude)) return false;
  const std::int64_t v =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return false;
  value = static_cast<std::int32_t>(v);
  pos = p;
  return true;
}

bool ReadReal(std::string_view text, std::size_t& pos, float& value) {
  std::size_t p = pos;
  // from_chars takes a minus sign but not a plus sign; scanf takes either, once.
  if (p < text.size() && text[p] == '+') {
    ++p;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) return false;
  }
  float v = 0.0f;
  const char* first = text.data() + p;
  const auto [end, ec] = std::from_chars(first, text.data() + text.size(), v);
  if (ec != std::errc()) return false;
  value = v;
  pos = static_cast<std::size_t>(end - text.data());
  return true;
}

}  // namespace

std::vector<ScannedValue> ScanSettingsText(std::string_view text, std::string_view format) {
  std::vector<ScannedValue> values;
  std::size_t pos = 0;
  for (std::size_t f = 0; f < format.size(); ++f) {
    const char c = format[f];
    if (IsSpace(c)) {
      while (pos < text.size() && IsSpace(text[pos])) ++pos;
      continue;
    }
    if (c != '%') {
      if (pos >= text.size() || text[pos] != c) return values;
      ++pos;
      continue;
    }
    if (++f >= format.size()) return values;
    if (format[f] == '%') {
      while (pos < text.size() && IsSpace(text[pos])) ++pos;
      if (pos >= text.size() || text[pos] != '%') return values;
      ++pos;
      continue;
    }
    if (format[f] == 'l' && ++f >= format.size()) return values;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    switch (format[f]) {
      case 'u': {
        std::uint32_t v = 0;
        if (!ReadUnsigned(text, pos, v)) return values;
        values.emplace_back(v);
        break;
      }
      case 'd': {
        std::int32_t v = 0;
        if (!ReadSigned(text, pos, v)) return values;
        values.emplace_back(v);
        break;
      }
      case 'f': {
        float v = 0.0f;
        if (!ReadReal(text, pos, v)) return values;
        values.emplace_back(v);
        break;
      }
      case 's': {
        const std::size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos])) ++pos;
        if (pos == start) return values;
        values.emplace_back(std::string(text.substr(start, pos - start)));
        break;
      }
      default:
        return values;
    }
  }
  return values;
}

std::string FormatSettingsReal(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // The longest fixed text of a double: 309 integer digits, a sign, a point and 6 decimals.
  char buf[330];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
  if (ec != std::errc()) return {};
  return std::string(buf, end);
}
