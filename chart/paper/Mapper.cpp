#include "chart/paper/Mapper.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/io/Archive.h"
#include "platform/io/Settings.h"

namespace {

constexpr const char* kSection = "Mapper";
constexpr const char* kEntry = "Paper";

// Millimetres per point and points per millimetre, as the chart files were written with.
constexpr double kMmPerPoint = 0.35277724;
constexpr double kPointsPerMm = 2.83465;
constexpr double kHundredthPointsPerMm = 283.465;

// A double held within the int range; NaN gives 0.
int ClampToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// r(x): add 0.5 and truncate towards zero, in double precision.
int Round(double v) { return ClampToInt(std::trunc(v + 0.5)); }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipSpace(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
}

// One "%d": blanks, an optional sign, at least one decimal digit. False when there is no
// number or it lies beyond the int range.
bool ScanInt(std::string_view text, std::size_t& pos, int& out) {
  SkipSpace(text, pos);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t first = pos;
  long long value = 0;
  bool overflow = false;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (!overflow) {
      value = value * 10 + (text[pos] - '0');
      if (value > static_cast<long long>(INT_MAX) + 1) overflow = true;
    }
    ++pos;
  }
  if (pos == first || overflow) return false;
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return false;
  out = static_cast<int>(value);
  return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// The paper size (mm) the low byte of `code` names.
void PaperSize(int code, float& width, float& height) {
  switch (code & 0xFF) {
    case 5:
      width = 210.0f, height = 295.0f;
      break;
    case 6:
      width = 295.0f, height = 420.0f;
      break;
    case 10:
      width = 420.0f, height = 295.0f;
      break;
    case 20:
      width = 148.0f, height = 210.0f;
      break;
    case 24:
      width = 210.0f, height = 148.0f;
      break;
    default:
      width = 295.0f, height = 210.0f;
      break;
  }
}

bool IsPositiveFinite(float v) { return std::isfinite(v) && v > 0.0f; }

// A zoom the paper can be shown at: finite and above 0, and finite even at 100 units per mm.
bool IsValidZoom(float f) { return IsPositiveFinite(f) && std::isfinite(f * 100.0f); }

}  // namespace

CMapper::CMapper() { LoadSavePaper(false); }

tessmor::POINT CMapper::PaperToLogical(PaperPoint p) const {
  const double k = GetScale();
  return {Round(p.x * k), Round(p.y * k)};
}

tessmor::POINT CMapper::PaperToDevice(PaperPoint p) const {
  const double k = GetScale();
  const long long y = static_cast<long long>(Round(p.y * k)) - Round(m_fPaperHeight * k);
  return {Round(p.x * k), ClampToInt(static_cast<double>(y))};
}

PaperPoint CMapper::LogicalToPaper(tessmor::POINT p) const {
  const float k = GetScale();
  return {static_cast<float>(p.x) / k, static_cast<float>(p.y) / k};
}

tessmor::RECT CMapper::GetPaperRect() const {
  const double k = GetScale();
  return {0, 0, Round(m_fPaperWidth * k), -Round(m_fPaperHeight * k)};
}

int CMapper::PointsToLogical(double points) const {
  return Round(static_cast<double>(GetScale()) * points * kMmPerPoint);
}

tessmor::SIZE CMapper::PointSizeToLogical(tessmor::SIZE size, bool hundredths) const {
  const double d = hundredths ? kHundredthPointsPerMm : kPointsPerMm;
  const double k = GetScale();
  return {Round(size.cx / d * k), Round(size.cy / d * k)};
}

void CMapper::SetPaper(int code) {
  m_nPaper = code;
  PaperSize(code, m_fPaperWidth, m_fPaperHeight);
}

void CMapper::ResetResolution() {
  m_fUnitsPerMm = 100.0f;
  m_nMapMode = tessmor::MM_HIMETRIC;
  m_fZoom = 1.0f;
}

void CMapper::SetZoom(float f) {
  if (!IsValidZoom(f)) {
    ResetResolution();
    return;
  }
  const float w = m_fPaperWidth;
  const float h = m_fPaperHeight;
  if (m_nMapMode == tessmor::MM_HIMETRIC) {
    if (!(f * w * m_fUnitsPerMm < kCoordinateLimit && f * h * m_fUnitsPerMm < kCoordinateLimit)) {
      m_fUnitsPerMm = 10.0f;
      m_nMapMode = tessmor::MM_LOMETRIC;
    }
  } else if (f * w * m_fUnitsPerMm * 10.0f < kCoordinateLimit &&
             f * h * m_fUnitsPerMm * 10.0f < kCoordinateLimit) {
    m_fUnitsPerMm = 100.0f;
    m_nMapMode = tessmor::MM_HIMETRIC;
  }
  m_fZoom = f;
}

std::string CMapper::FormatPaperSetting(const PaperSetting& s) {
  char text[48];
  std::snprintf(text, sizeof text, "%d, %d,%d", s.code, s.width100, s.height100);
  return text;
}

std::optional<PaperSetting> CMapper::ParsePaperSetting(std::string_view text) {
  // The stored value is a C string: a NUL ends it.
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return std::nullopt;
  PaperSetting s;
  std::size_t pos = 0;
  if (!ScanInt(text, pos, s.code) || !Expect(text, pos, ',') || !ScanInt(text, pos, s.width100) ||
      !Expect(text, pos, ',') || !ScanInt(text, pos, s.height100)) {
    return std::nullopt;
  }
  if (s.width100 <= 0 || s.height100 <= 0) return std::nullopt;
  return s;
}

int CMapper::LoadSavePaper(bool save) {
  tessmor::Settings& settings = tessmor::GetSettings();
  if (save) {
    // The integer parts of W·100 and H·100, the products in single precision (a width read
    // as n·0.01 then gives n back more often than in double precision).
    const PaperSetting s{m_nPaper, ClampToInt(std::trunc(m_fPaperWidth * 100.0f)),
                         ClampToInt(std::trunc(m_fPaperHeight * 100.0f))};
    settings.WriteString(kSection, kEntry, FormatPaperSetting(s));
    return 1;
  }
  const std::optional<PaperSetting> s =
      ParsePaperSetting(settings.GetString(kSection, kEntry, std::string()));
  if (!s) {
    SetPaper(kDefaultPaper);
    return 1;
  }
  m_nPaper = s->code;
  m_fPaperWidth = static_cast<float>(s->width100 * 0.01);
  m_fPaperHeight = static_cast<float>(s->height100 * 0.01);
  return 1;
}

int CMapper::PaperDialog(bool save, const std::function<std::optional<int>(int current)>& choose) {
  if (!choose) return 0;
  const std::optional<int> code = choose(m_nPaper);
  if (!code) return 0;
  SetPaper(*code);
  if (save) LoadSavePaper(true);
  return 1;
}

void CMapper::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    ar.WriteU16(static_cast<std::uint16_t>(m_nMapMode));
    ar.WriteFloat(m_fUnitsPerMm);
    ar.WriteFloat(m_fZoom);
    ar.WriteU16(static_cast<std::uint16_t>(m_nPaper & 0xFF));
    ar.WriteFloat(m_fPaperWidth);
    ar.WriteFloat(m_fPaperHeight);
    return;
  }
  // Everything is read before anything changes, so a short read leaves the mapper whole.
  const int mode = ar.ReadU16();
  const float units = ar.ReadFloat();
  const float zoom = ar.ReadFloat();
  const int paper_low = ar.ReadU16() & 0xFF;
  const float width = ar.ReadFloat();
  const float height = ar.ReadFloat();

  m_nPaper = (m_nPaper & ~0xFF) | paper_low;
  m_fPaperWidth = width;
  m_fPaperHeight = height;
  if (!IsPositiveFinite(width) || !IsPositiveFinite(height)) {
    PaperSize(m_nPaper, m_fPaperWidth, m_fPaperHeight);
  }
  const bool resolution_ok = (mode == tessmor::MM_HIMETRIC && units == 100.0f) ||
                             (mode == tessmor::MM_LOMETRIC && units == 10.0f);
  if (!IsValidZoom(zoom)) {
    ResetResolution();
  } else if (resolution_ok) {
    m_nMapMode = mode;
    m_fUnitsPerMm = units;
    m_fZoom = zoom;
  } else {
    ResetResolution();
    SetZoom(zoom);
  }
}
