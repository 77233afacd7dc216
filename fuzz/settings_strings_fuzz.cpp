// libFuzzer harness for the settings texts of pens, brushes, markers and window placements:
// arbitrary bytes are read as each entry (directly and through the settings store), and
// whatever is read must go through the checks, be written again and read back to the same
// values. The same bytes, taken as raw pen, brush and marker records (as a chart file holds
// them), go through the checks and the symbol outlines.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/io/Settings.h"
#include "plotsupport/Geometry.h"
#include "plotsupport/StyleRecords.h"
#include "plotsupport/StyleSettings.h"
#include "util/SettingsText.h"
#include "util/WindowPlacement.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameBytes(const void* a, const void* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

// A checked pen is valid, survives a second check unchanged, and reads back from its text
// with every field but the width (written with 6 decimals) the same.
void CheckPenRoundTrip(const VEXAPEN& raw) {
  VEXAPEN pen;
  CheckPenStyle(&raw, &pen);
  VEXAPEN again;
  Check(CheckPenStyle(&pen, &again) == 1);
  Check(SameBytes(&pen, &again, sizeof pen));
  VEXAPEN back{};
  Check(ParsePenSettings(FormatPenSettings(pen), &back) == 1);
  Check(back.style == pen.style && back.colour == pen.colour && back.background == pen.background &&
        back.bkMode == pen.bkMode && back.roundEnds == pen.roundEnds && back.spline == pen.spline);
  Check(std::fabs(back.width - pen.width) <= 5e-7f + 1e-6f * pen.width);
}

void CheckMarker(const VEXAMARKER& raw) {
  VEXAMARKER m;
  CheckMarkerStyle(&raw, &m);
  Check(CheckMarkerStyle(&m, nullptr) == 1);
  VEXAMARKER back = m;
  Check(ParseSymbolSettings(FormatSymbolSettings(m), &back) == 1);
  Check(back.symbol == m.symbol && back.size == m.size && back.angle == m.angle);
  VEXABRUSH brush;
  std::memset(&brush, 0, sizeof brush);
  Check(ParseBrushSettings(FormatBrushSettings(m.brush), &brush) == 1);
  Check(brush.kind == m.brush.kind && brush.colour == m.brush.colour &&
        brush.background == m.brush.background && brush.bkMode == m.brush.bkMode &&
        brush.hatch == m.brush.hatch && brush.bitmap == m.brush.bitmap);
  int n = -1;
  const auto vertices = GetSymbolVertices(&m, &n);
  Check(static_cast<int>(vertices.size()) == (m.symbol == 0 ? 0 : n));
  // Every vertex lies within the half size of 50 template units.
  const double half = 50.0 * static_cast<float>(m.size * 0.1) + 1.0;
  for (const tessmor::POINT& p : vertices) Check(std::fabs(p.x) <= half && std::fabs(p.y) <= half);
}

void FuzzTexts(std::string_view text) {
  VEXAPEN pen{};
  if (ParsePenSettings(text, &pen)) CheckPenRoundTrip(pen);
  VEXAMARKER marker{};
  CheckMarkerStyle(nullptr, &marker);
  ParseBrushSettings(text, &marker.brush);
  ParseSymbolSettings(text, &marker);
  CheckMarker(marker);
  ScanSettingsText(text, "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d, %s");

  // Through the settings store, as the default pen and marker editors and the frames read
  // them.
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  const std::string value(text);
  settings.WriteString("Settings", "VexaWinPos", value);
  settings.WriteString("S", "k{PenStyle}", value);
  settings.WriteString("S", "k{Marker: SymbolStyle}", value);
  settings.WriteString("S", "kMarker:{PenStyle}", value);
  settings.WriteString("S", "kMarker:{BrushStyle}", value);

  WINDOWPLACEMENT wp;
  wp.length = 0;
  wp.rcNormalPosition = {1, 2, 3, 4};
  const WINDOWPLACEMENT before = wp;
  if (ReadWindowPlacement(&wp, "VexaWinPos")) {
    Check(wp.length == 44);
    Check(WriteWindowPlacement(&wp, "Again") == 1);
    WINDOWPLACEMENT back{};
    Check(ReadWindowPlacement(&back, "Again") == 1);
    Check(SameBytes(&wp, &back, sizeof wp));
  } else {
    Check(SameBytes(&wp, &before, sizeof wp));
  }
  VEXAPEN stored{};
  if (ReadPenSettings("S", "k", &stored)) Check(CheckPenStyle(&stored, nullptr) == 1);
  VEXAMARKER stored_marker{};
  CheckMarkerStyle(nullptr, &stored_marker);
  if (ReadMarkerSettings("S", "k", &stored_marker)) {
    Check(CheckMarkerStyle(&stored_marker, nullptr) == 1);
  }
  tessmor::SetSettings(previous);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzTexts(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size >= sizeof(VEXAMARKER)) {
    VEXAMARKER raw;
    std::memcpy(&raw, data, sizeof raw);
    CheckPenRoundTrip(raw.pen);
    CheckMarker(raw);
  }
  if (size >= sizeof(float) * 2) {
    float v[2];
    std::memcpy(v, data, sizeof v);
    DECINC r{v[0], v[1]};
    SetSensibleDI(&r);
    Check(std::isnan(r.dec) || (r.dec >= 0.0f && r.dec <= 360.0f));
    Check(std::isnan(r.inc) || (r.inc >= -90.0f && r.inc <= 90.0f));
    // Between two bearings the turn is at most half a turn either way.
    if (v[0] >= 0.0f && v[0] <= 360.0f && v[1] >= 0.0f && v[1] <= 360.0f) {
      Check(std::fabs(FindAngleBetween(v[0], v[1])) <= 180.0f);
    }
    const float other = ChangeAngleConvention(v[0]);
    Check(std::isnan(other) || (other >= 0.0f && other <= 360.0f));
  }
  return 0;
}
