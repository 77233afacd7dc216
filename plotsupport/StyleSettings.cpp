#include "plotsupport/StyleSettings.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <variant>
#include <vector>

#include "platform/io/Settings.h"
#include "util/SettingsText.h"

namespace {

constexpr const char* kPenFormat = "%u,%f,%u,%u,%d,%u,%u";
constexpr const char* kBrushFormat = "%d,%u,%u,%d,%d,%d";
constexpr const char* kSymbolFormat = "%u, %u, %d";

std::uint32_t U(const ScannedValue& v) { return std::get<std::uint32_t>(v); }
std::int32_t D(const ScannedValue& v) { return std::get<std::int32_t>(v); }

// The signed field as printf's %u writes it.
std::string Unsigned(std::int32_t v) { return std::to_string(static_cast<std::uint32_t>(v)); }

std::string GetEntry(const std::string& section, const std::string& entry) {
  try {
    return tessmor::GetSettings().GetString(section, entry, {});
  } catch (...) {
    return {};
  }
}

bool PutEntry(const std::string& section, const std::string& entry, const std::string& value) {
  try {
    return tessmor::GetSettings().WriteString(section, entry, value);
  } catch (...) {
    return false;
  }
}

std::string MarkerPartEntry(const std::string& key, const char* suffix) {
  return key + kMarkerPartPrefix + suffix;
}

}  // namespace

std::string FormatPenSettings(const VEXAPEN& pen) {
  const VEXAPEN p = pen;
  return Unsigned(p.style) + ',' + FormatSettingsReal(p.width) + ',' + std::to_string(p.colour) +
         ',' + std::to_string(p.background) + ',' + std::to_string(p.bkMode) + ',' +
         Unsigned(p.roundEnds) + ',' + Unsigned(p.spline);
}

int ParsePenSettings(std::string_view text, VEXAPEN* pen) {
  if (!pen) return 0;
  const std::vector<ScannedValue> v = ScanSettingsText(text, kPenFormat);
  if (v.size() != 7) return 0;
  VEXAPEN p;
  p.style = static_cast<std::int32_t>(U(v[0]));
  p.width = std::get<float>(v[1]);
  p.colour = U(v[2]);
  p.background = U(v[3]);
  p.bkMode = D(v[4]);
  p.roundEnds = static_cast<std::int32_t>(U(v[5]));
  p.spline = static_cast<std::int32_t>(U(v[6]));
  *pen = p;
  return 1;
}

std::string FormatBrushSettings(const VEXABRUSH& brush) {
  const VEXABRUSH b = brush;
  return std::to_string(b.kind) + ',' + std::to_string(b.colour) + ',' +
         std::to_string(b.background) + ',' + std::to_string(b.bkMode) + ',' +
         std::to_string(b.hatch) + ',' + std::to_string(b.bitmap);
}

int ParseBrushSettings(std::string_view text, VEXABRUSH* brush) {
  if (!brush) return 0;
  const std::vector<ScannedValue> v = ScanSettingsText(text, kBrushFormat);
  if (v.size() != 6) return 0;
  const std::int32_t kind = D(v[0]);
  if (kind < std::numeric_limits<std::int16_t>::min() ||
      kind > std::numeric_limits<std::int16_t>::max())
    return 0;
  brush->kind = static_cast<std::int16_t>(kind);
  brush->colour = U(v[1]);
  brush->background = U(v[2]);
  brush->bkMode = D(v[3]);
  brush->hatch = D(v[4]);
  brush->bitmap = D(v[5]);
  return 1;
}

std::string FormatSymbolSettings(const VEXAMARKER& marker) {
  return std::to_string(marker.symbol) + ", " + std::to_string(marker.size) + ", " +
         std::to_string(marker.angle);
}

int ParseSymbolSettings(std::string_view text, VEXAMARKER* marker) {
  if (!marker) return 0;
  const std::vector<ScannedValue> v = ScanSettingsText(text, kSymbolFormat);
  if (v.size() != 3) return 0;
  marker->symbol = static_cast<std::uint8_t>(std::min<std::uint32_t>(U(v[0]), 255));
  marker->size = U(v[1]);
  marker->angle = D(v[2]);
  return 1;
}

int WritePenSettings(const std::string& section, const std::string& key, const VEXAPEN& pen) {
  return PutEntry(section, key + kPenEntrySuffix, FormatPenSettings(pen)) ? 1 : 0;
}

int ReadPenSettings(const std::string& section, const std::string& key, VEXAPEN* pen) {
  if (!pen) return 0;
  VEXAPEN p;
  if (!ParsePenSettings(GetEntry(section, key + kPenEntrySuffix), &p)) return 0;
  CheckPenStyle(&p, pen);
  return 1;
}

int WriteMarkerSettings(const std::string& section, const std::string& key,
                        const VEXAMARKER& marker) {
  const VEXAMARKER m = marker;
  const bool symbol = PutEntry(section, key + kSymbolEntrySuffix, FormatSymbolSettings(m));
  const bool pen =
      PutEntry(section, MarkerPartEntry(key, kPenEntrySuffix), FormatPenSettings(m.pen));
  const bool brush =
      PutEntry(section, MarkerPartEntry(key, kBrushEntrySuffix), FormatBrushSettings(m.brush));
  return symbol && pen && brush ? 1 : 0;
}

int ReadMarkerSettings(const std::string& section, const std::string& key, VEXAMARKER* marker) {
  if (!marker) return 0;
  VEXAMARKER m = *marker;
  if (!ParseSymbolSettings(GetEntry(section, key + kSymbolEntrySuffix), &m)) return 0;
  if (!ParsePenSettings(GetEntry(section, MarkerPartEntry(key, kPenEntrySuffix)), &m.pen)) return 0;
  ParseBrushSettings(GetEntry(section, MarkerPartEntry(key, kBrushEntrySuffix)), &m.brush);
  CheckMarkerStyle(&m, marker);
  return 1;
}
