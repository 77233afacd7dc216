#include "profile/FloatArray.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/io/Archive.h"
#include "util/NumberFormat.h"
#include "util/Tokenise.h"

namespace {

// The "C" locale, so that numbers read the same whatever locale the application runs in.
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

double TextToDouble(const char* text) {
  const locale_t c_locale = CLocale();
  return c_locale ? strtod_l(text, nullptr, c_locale) : std::strtod(text, nullptr);
}

float TextToFloat(const char* text) {
  const locale_t c_locale = CLocale();
  return c_locale ? strtof_l(text, nullptr, c_locale) : std::strtof(text, nullptr);
}

// Reads an optionally signed decimal integer at the start of `text`, saturating at the
// int range; 0 when there is no digit.
int ReadExponent(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 32);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool IsSpace(char c) { return c == ' '; }

void Trim(std::string& s) {
  std::size_t first = 0;
  while (first < s.size() && IsSpace(s[first])) ++first;
  std::size_t last = s.size();
  while (last > first && IsSpace(s[last - 1])) --last;
  s = s.substr(first, last - first);
}

// Removes trailing zeros after a decimal point, keeping the digit that follows the point
// (2.500 -> 2.5, 3.000 -> 3.0).
void RemoveTrailingZeros(std::string& mantissa) {
  const std::size_t point = mantissa.find('.');
  if (point == std::string::npos || mantissa.find(' ') != std::string::npos) return;
  std::size_t end = mantissa.size();
  while (end > point + 2 && mantissa[end - 1] == '0') --end;
  mantissa.resize(end);
}

// Rewrites one token into "notation exponent space mantissa": "f0 1.5", "e3 2500.0".
std::string RewriteToken(std::string token) {
  const bool exponent_form = token.find_first_of("egd") != std::string::npos;
  if (!exponent_form) {
    RemoveTrailingZeros(token);
    return "f0 " + token;
  }
  if (token.find_first_of("123456789") == std::string::npos) return "f0 0.0";

  const char notation = token.find('e') != std::string::npos ? 'e' : 'g';
  // 'g' and the Fortran 'd' introduce an exponent just as 'e' does.
  std::replace(token.begin(), token.end(), 'g', 'e');
  std::replace(token.begin(), token.end(), 'd', 'e');
  const int exponent = ReadExponent(std::string_view(token).substr(token.find('e') + 1));

  const double value = TextToDouble(token.c_str());
  std::string mantissa = FormatFixed(value, 10);
  if (std::isfinite(value) && !mantissa.empty() && mantissa.back() != '0') mantissa.pop_back();
  Trim(mantissa);
  RemoveTrailingZeros(mantissa);

  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%c%d ", notation, exponent);
  return prefix + mantissa;
}

// Splits a line at spaces, tabs, commas and semicolons and rewrites every token.
std::vector<std::string> Tokenise(std::string_view line) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == ',' || c == ';') {
      if (!token.empty()) tokens.push_back(RewriteToken(std::move(token)));
      token.clear();
    } else {
      token.push_back(c);
    }
  }
  if (!token.empty()) tokens.push_back(RewriteToken(std::move(token)));
  return tokens;
}

bool HasLetter(const char* text) {
  for (; *text; ++text) {
    if (*text >= 'a' && *text <= 'z') return true;
    if (*text >= 'A' && *text <= 'Z') return true;
  }
  return false;
}

unsigned char Saturate(int n) { return static_cast<unsigned char>(std::min(n, 255)); }

// Counts the digits before the point (a sign counting as one) and after it, skipping
// leading spaces, tabs and commas and stopping at the first other character.
void CountDigits(std::string_view text, int& int_digits, int& decimals) {
  int_digits = 0;
  decimals = 0;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++int_digits;
    ++i;
  }
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++int_digits;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++decimals;
  }
}

// The key under which two values are equal to 6 significant digits (as AreSamef decides;
// in addition every NaN has the same key, so that a NaN finds its own index).
std::string SixDigitKey(float v) {
  if (std::isnan(v)) return "nan";
  if (v == 0.0f) return "0";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5e", static_cast<double>(v));
  return buf;
}

}  // namespace

// --- size and access ---

void CFloatArray::SetSize(int size, int grow_by) {
  if (size < 0) throw std::out_of_range("CFloatArray::SetSize: negative size");
  if (grow_by >= 0) m_nGrowBy = grow_by;
  if (size == 0) {
    std::vector<float>().swap(m_data);
    m_nSize = 0;
  } else if (size <= m_nSize) {
    m_nSize = size;
  } else {
    GrowTo(size);
  }
}

void CFloatArray::GrowTo(long long size) {
  if (size > INT_MAX) throw std::length_error("CFloatArray: size beyond the int range");
  if (size <= m_nSize) return;
  const long long capacity = static_cast<long long>(m_data.size());
  if (size > capacity) {
    long long wanted = std::max(size, capacity + m_nGrowBy);
    if (wanted > INT_MAX) wanted = size;
    m_data.resize(static_cast<std::size_t>(wanted), 0.0f);
  }
  // Values beyond the old size may be left from a shrink: new values are always zero.
  std::fill(m_data.begin() + m_nSize, m_data.begin() + size, 0.0f);
  m_nSize = static_cast<int>(size);
}

void CFloatArray::FreeExtra() {
  m_data.resize(static_cast<std::size_t>(m_nSize));
  m_data.shrink_to_fit();
}

float CFloatArray::GetAt(int index) const {
  if (index < 0 || index >= m_nSize) throw std::out_of_range("CFloatArray::GetAt: bad index");
  return m_data[static_cast<std::size_t>(index)];
}

void CFloatArray::SetAt(int index, float value) {
  if (index < 0 || index >= m_nSize) throw std::out_of_range("CFloatArray::SetAt: bad index");
  m_data[static_cast<std::size_t>(index)] = value;
}

void CFloatArray::SetAtGrow(int index, float value) {
  if (index < 0) throw std::out_of_range("CFloatArray::SetAtGrow: negative index");
  if (index >= m_nSize) GrowTo(static_cast<long long>(index) + 1);
  m_data[static_cast<std::size_t>(index)] = value;
}

int CFloatArray::Add(float value) {
  const int index = m_nSize;
  SetAtGrow(index, value);
  return index;
}

int CFloatArray::OpenGap(int index, int count) {
  if (index < 0 || count < 0) throw std::out_of_range("CFloatArray::InsertAt: bad index");
  const int old_size = m_nSize;
  GrowTo(static_cast<long long>(old_size) + count);
  if (index >= old_size) return old_size;
  auto first = m_data.begin() + index;
  std::move_backward(first, m_data.begin() + old_size, m_data.begin() + old_size + count);
  std::fill(first, first + count, 0.0f);
  return index;
}

void CFloatArray::InsertAt(int index, float value, int count) {
  const int at = OpenGap(index, count);
  std::fill(m_data.begin() + at, m_data.begin() + at + count, value);
}

void CFloatArray::InsertAt(int index, const CFloatArray& other) {
  if (index < 0) throw std::out_of_range("CFloatArray::InsertAt: bad index");
  if (other.m_nSize == 0) return;
  // A copy first: `other` may be this array.
  const std::vector<float> values(other.m_data.begin(), other.m_data.begin() + other.m_nSize);
  const int at = OpenGap(index, static_cast<int>(values.size()));
  std::copy(values.begin(), values.end(), m_data.begin() + at);
}

void CFloatArray::RemoveAt(int index, int count) {
  if (index < 0 || count < 0 || static_cast<long long>(index) + count > m_nSize) {
    throw std::out_of_range("CFloatArray::RemoveAt: bad index or count");
  }
  std::move(m_data.begin() + index + count, m_data.begin() + m_nSize, m_data.begin() + index);
  m_nSize -= count;
}

void CFloatArray::RemoveAll() {
  std::vector<float>().swap(m_data);
  m_nSize = 0;
  m_formats.clear();
  m_nMaxDecimals = 0;
  m_nMaxIntDigits = 0;
}

void CFloatArray::Reverse() { std::reverse(m_data.begin(), m_data.begin() + m_nSize); }

const FloatColumnFormat* CFloatArray::GetColumnFormat(int column) const {
  if (column < 0 || column >= static_cast<int>(m_formats.size())) return nullptr;
  return &m_formats[static_cast<std::size_t>(column)];
}

// --- text ---

int CFloatArray::ConvertText(const char* text) {
  if (!text || !*text) return 0;
  const std::size_t length = std::strlen(text);
  std::vector<char> line(text, text + length + 1);
  for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (RemoveExcessSpaces(line.data()) < 0) return 0;

  if (std::strpbrk(line.data(), "abcfhijklmnopqrstuvwxyz")) {
    // Keep only the numeric fields; any letter left over is not part of a number.
    std::vector<char> words(length + 1, '\0');
    if (ExtractStrings(line.data(), words.data(), 2) < 0) return 0;
    if (HasLetter(line.data()) || HasLetter(words.data())) return 0;
  }
  if (line[0] == '\0') return 0;

  std::string trimmed(line.data());
  Trim(trimmed);
  const std::vector<std::string> tokens = Tokenise(trimmed);
  if (tokens.empty()) return 0;

  std::vector<float> values;
  values.reserve(tokens.size());
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    if (i >= m_formats.size()) m_formats.emplace_back();
    FloatColumnFormat& format = m_formats[i];

    const std::size_t space = token.find(' ');
    format.cNotation = token[0];
    const int exponent = ReadExponent(std::string_view(token).substr(1, space - 1));
    format.nMinExp = std::min(format.nMinExp, exponent);
    format.nMaxExp = std::max(format.nMaxExp, exponent);

    const std::string mantissa = token.substr(space + 1);
    int int_digits = 0;
    int decimals = 0;
    CountDigits(mantissa, int_digits, decimals);
    format.nDecimals = std::max(format.nDecimals, Saturate(decimals));
    format.nIntDigits = std::max(format.nIntDigits, Saturate(int_digits));
    values.push_back(TextToFloat(mantissa.c_str()));
  }

  const int at = OpenGap(m_nSize, static_cast<int>(values.size()));
  std::copy(values.begin(), values.end(), m_data.begin() + at);
  for (const FloatColumnFormat& format : m_formats) {
    m_nMaxDecimals = std::max(m_nMaxDecimals, format.nDecimals);
    m_nMaxIntDigits = std::max(m_nMaxIntDigits, format.nIntDigits);
  }
  return static_cast<int>(values.size());
}

// --- sorting ---

int CFloatArray::Sort(unsigned flag) {
  if (m_nSize < 2) return 0;
  std::vector<float> sorted(m_data.begin(), m_data.begin() + m_nSize);
  SortFloatArray(sorted.data(), m_nSize, static_cast<unsigned char>(flag & 0xFFu));
  RemoveAll();
  const int at = OpenGap(0, static_cast<int>(sorted.size()));
  std::copy(sorted.begin(), sorted.end(), m_data.begin() + at);
  return 1;
}

int CFloatArray::SortIndex(std::vector<std::uint16_t>& out, unsigned flag) {
  if (m_nSize < 2) return 0;
  if (m_nSize > 0xFFFF) {
    throw std::length_error("CFloatArray::SortIndex: more values than 16-bit indices hold");
  }
  std::vector<float> sorted(m_data.begin(), m_data.begin() + m_nSize);
  SortFloatArray(sorted.data(), m_nSize, static_cast<unsigned char>(flag & 0xFFu));

  // The first index of every distinct value, so that each lookup is one search.
  std::unordered_map<std::string, std::uint16_t> first_index;
  for (int i = 0; i < m_nSize; ++i) {
    first_index.emplace(SixDigitKey(m_data[static_cast<std::size_t>(i)]),
                        static_cast<std::uint16_t>(i));
  }
  out.clear();
  out.reserve(sorted.size());
  int moved = 0;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const auto found = first_index.find(SixDigitKey(sorted[i]));
    const std::uint16_t index = found == first_index.end() ? 0xFFFF : found->second;
    out.push_back(index);
    if (index != i) moved = 1;
  }
  return moved;
}

// --- archive ---

void CFloatArray::StoreValues(tessmor::Archive& ar, std::uint32_t count) const {
  for (std::uint32_t i = 0; i < count; ++i) ar.WriteFloat(m_data[i]);
}

void CFloatArray::LoadValues(tessmor::Archive& ar, std::uint32_t count) {
  // Read everything before touching the array, and reserve no more than the data can hold.
  std::vector<float> values;
  const std::size_t left = ar.size() > ar.position() ? ar.size() - ar.position() : 0;
  values.reserve(std::min<std::size_t>(count, left / 4));
  for (std::uint32_t i = 0; i < count; ++i) values.push_back(ar.ReadFloat());
  if (count > static_cast<std::uint32_t>(INT_MAX)) {
    throw std::length_error("CFloatArray: stored count beyond the int range");
  }
  SetSize(static_cast<int>(count));
  std::copy(values.begin(), values.end(), m_data.begin());
}

void CFloatArray::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const std::uint16_t count = static_cast<std::uint16_t>(m_nSize & 0xFFFF);
    ar.WriteU16(count);
    StoreValues(ar, count);
    return;
  }
  try {
    LoadValues(ar, ar.ReadU16());
  } catch (...) {
    RemoveAll();
    throw;
  }
}

void CFloatArray::SerializeRaw(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const std::uint32_t count = static_cast<std::uint32_t>(m_nSize);
    ar.WriteU32(count);
    StoreValues(ar, count);
    return;
  }
  try {
    LoadValues(ar, ar.ReadU32());
  } catch (...) {
    RemoveAll();
    throw;
  }
}
