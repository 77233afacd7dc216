#include "chart/styles/CharStyle.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <variant>

#include "chart/items/VexaItem.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/FontDlg.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "platform/ui/DialogRunner.h"
#include "util/NumberFormat.h"
#include "util/SettingsText.h"

namespace {

constexpr double kPointsPerMm = 2.83465;
// Font heights are held within this many logical units.
constexpr double kMaxFontHeight = 1 << 24;

constexpr char kFirstFormat[] = "%u,%ld,%ld,%f";
constexpr char kSecondFormat[] = "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d, %s";

std::uint32_t U32(const ScannedValue& v) { return std::get<std::uint32_t>(v); }
std::int32_t I32(const ScannedValue& v) { return std::get<std::int32_t>(v); }

std::uint8_t Low(std::int32_t pair) { return static_cast<std::uint8_t>(pair & 0xFF); }
std::uint8_t High(std::int32_t pair) { return static_cast<std::uint8_t>((pair >> 8) & 0xFF); }

float Scale(const CMapper* mapper) {
  return mapper ? mapper->GetScale() : kUnitsPerMmWithoutMapper;
}

}  // namespace

CCharStyle::CCharStyle() : m_style(DefaultTextStyle()) {}

CCharStyle::CCharStyle(const TEXTSTYLE* style, CMapper* mapper) : m_pMapper(mapper) {
  if (style) {
    CheckTextStyle(*style, &m_style);
  } else {
    m_style = Defaults();
  }
}

CCharStyle::CCharStyle(const tessmor::LOGFONT& font, tessmor::COLORREF colour,
                       std::uint32_t justification, CMapper* mapper)
    : m_pMapper(mapper) {
  m_style = Defaults();
  SetLogFont(font);
  SetColour(colour);
  SetJustification(justification);
}

CCharStyle::~CCharStyle() = default;

TEXTSTYLE CCharStyle::Defaults() const {
  TEXTSTYLE s = DefaultTextStyle();
  s.font.lfHeight = FontHeightFor(s.height, m_pMapper);
  return s;
}

void CCharStyle::SetTextStyle(const TEXTSTYLE& style) { CheckTextStyle(style, &m_style); }

void CCharStyle::SetLogFont(const tessmor::LOGFONT& font) {
  m_style.font = font;
  m_style.font.lfFaceName[tessmor::LF_FACESIZE - 1] = '\0';
}

bool CCharStyle::SetHeight(float mm) {
  if (!IsValidTextHeight(mm)) return false;
  m_style.height = mm;
  m_style.font.lfHeight = FontHeightFor(mm, m_pMapper);
  m_style.font.lfWidth = 0;
  return true;
}

bool CCharStyle::SetJustification(std::uint32_t code) {
  if (!IsJustificationCode(code)) return false;
  m_style.justification = code;
  return true;
}

void CCharStyle::Reset() { m_style = Defaults(); }

std::int32_t CCharStyle::FontHeightFor(float heightMm, const CMapper* mapper) {
  const float units = mapper ? mapper->GetUnitsPerMm() : kUnitsPerMmWithoutMapper;
  const float zoom = mapper ? mapper->GetZoom() : 1.0f;
  // Formed in single precision, as the mapper's factors are; then rounded in double.
  const float product = heightMm * units * zoom;
  double h = std::trunc(static_cast<double>(product) + 0.5);
  if (!(h >= 1.0)) h = 1.0;
  return -static_cast<std::int32_t>(std::min(h, kMaxFontHeight));
}

const tessmor::LOGFONT& CCharStyle::RecomputeFont() {
  const std::int32_t height = FontHeightFor(m_style.height, m_pMapper);
  if (height != m_style.font.lfHeight) {
    m_style.font.lfHeight = height;
    m_style.font.lfWidth = 0;
  }
  return m_style.font;
}

int CCharStyle::ChooseFont(int pixelsPerInch, const std::string& prompt) {
  const double height = m_style.height;
  const int ppi = pixelsPerInch > 0 ? pixelsPerInch : 96;
  tessmor::LOGFONT screen = m_style.font;
  screen.lfHeight = -nintd(ppi * height * kPointsPerMm / 72.0);
  CFontDlg dlg(screen, nintd(height * kPointsPerMm * 10.0), m_style.colour, ppi);
  dlg.m_strTitle = prompt;
  if (!tessmor::GetDialogRunner().DoModal(dlg, CFontDlg::IDD)) return 0;

  const float k = Scale(m_pMapper);
  const double points = dlg.m_nPointSize * 0.1;
  int logical = 0;
  if (m_pMapper) {
    logical = m_pMapper->PointsToLogical(points);
  } else {
    logical = static_cast<int>(std::trunc(k * points * 0.35277724 + 0.5));
  }
  SetLogFont(dlg.m_lf);
  if (logical >= 1) {
    m_style.height = static_cast<float>(logical) / k;
  } else {
    // Too small for one logical unit at this zoom: keep the size itself.
    m_style.height = static_cast<float>(points / kPointsPerMm);
    logical = 1;
  }
  const float stored_height = m_style.height;  // by value: the record is packed
  m_style.height = std::clamp(stored_height, kMinTextHeight, kMaxTextHeight);
  m_style.font.lfHeight = -logical;
  m_style.font.lfWidth = 0;
  m_style.colour = dlg.m_color & 0xFFFFFF;
  return 1;
}

FontSelection CCharStyle::Select(tessmor::DC& dc) {
  RecomputeFont();
  FontSelection previous;
  previous.font = dc.SelectFont(m_style.font);
  previous.textColor = dc.SetTextColor(m_style.colour);
  previous.textAlign = dc.SetTextAlign(TextAlignOfJustification(m_style.justification));
  return previous;
}

void CCharStyle::Deselect(tessmor::DC& dc, const FontSelection& previous) {
  dc.SelectFont(previous.font);
}

void CCharStyle::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const tessmor::LOGFONT& f = m_style.font;
    ar.WriteI32(f.lfHeight);
    ar.WriteI32(f.lfWidth);
    ar.WriteI32(f.lfEscapement);
    ar.WriteI32(f.lfOrientation);
    ar.WriteI32(f.lfWeight);
    ar.WriteU8(f.lfItalic);
    ar.WriteU8(f.lfUnderline);
    ar.WriteU8(f.lfStrikeOut);
    ar.WriteU8(f.lfCharSet);
    ar.WriteU8(f.lfOutPrecision);
    ar.WriteU8(f.lfClipPrecision);
    ar.WriteU8(f.lfQuality);
    ar.WriteU8(f.lfPitchAndFamily);
    ar.WriteBytes(f.lfFaceName, sizeof f.lfFaceName);
    ar.WriteU32(m_style.justification);
    ar.WriteU32(m_style.colour);
    ar.WriteU32(m_style.background);
    ar.WriteFloat(m_style.height);
    const std::size_t count = std::min<std::size_t>(m_strings.size(), 0xFFFF);
    ar.WriteU16(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) m_strings[i]->Serialize(ar);
    return;
  }
  TEXTSTYLE s;
  tessmor::LOGFONT& f = s.font;
  f.lfHeight = ar.ReadI32();
  f.lfWidth = ar.ReadI32();
  f.lfEscapement = ar.ReadI32();
  f.lfOrientation = ar.ReadI32();
  f.lfWeight = ar.ReadI32();
  f.lfItalic = ar.ReadU8();
  f.lfUnderline = ar.ReadU8();
  f.lfStrikeOut = ar.ReadU8();
  f.lfCharSet = ar.ReadU8();
  f.lfOutPrecision = ar.ReadU8();
  f.lfClipPrecision = ar.ReadU8();
  f.lfQuality = ar.ReadU8();
  f.lfPitchAndFamily = ar.ReadU8();
  ar.ReadBytes(f.lfFaceName, sizeof f.lfFaceName);
  s.justification = ar.ReadU32();
  s.colour = ar.ReadU32();
  s.background = ar.ReadU32();
  s.height = ar.ReadFloat();
  const std::uint16_t count = ar.ReadU16();
  // Category, group, anchor and text length at least.
  vexa_item::RequireRoom(ar, count, 16);
  std::vector<std::unique_ptr<CVEXAString>> strings;
  for (int i = 0; i < count; ++i) {
    auto item = std::make_unique<CVEXAString>();
    item->Serialize(ar);
    if (item->GetLineCount() > 0) strings.push_back(std::move(item));
  }
  CheckTextStyle(s, &m_style);
  for (auto& item : strings) {
    item->SetStyle(this);
    m_strings.push_back(std::move(item));
  }
}

void CCharStyle::AddString(std::unique_ptr<CVEXAString> item) {
  if (!item) return;
  item->SetStyle(this);
  m_strings.push_back(std::move(item));
}

std::unique_ptr<CVEXAString> CCharStyle::RemoveString(const CVEXAString* item) {
  for (auto it = m_strings.begin(); it != m_strings.end(); ++it) {
    if (it->get() == item) {
      std::unique_ptr<CVEXAString> taken = std::move(*it);
      m_strings.erase(it);
      return taken;
    }
  }
  return nullptr;
}

int CCharStyle::DeleteItems(int tag) {
  const auto before = m_strings.size();
  std::erase_if(m_strings, [tag](const std::unique_ptr<CVEXAString>& item) {
    return tag == -1 || item->GetGroup() == tag;
  });
  return static_cast<int>(before - m_strings.size());
}

void CCharStyle::LayoutItems(tessmor::DC& dc) {
  for (auto& item : m_strings) item->Layout(dc);
}

void CCharStyle::DrawItems(tessmor::DC& dc, bool all) {
  tessmor::RECT clip;
  dc.GetClipBox(clip);
  const auto lo = [](std::int32_t a, std::int32_t b) { return std::min(a, b); };
  const auto hi = [](std::int32_t a, std::int32_t b) { return std::max(a, b); };
  const FontSelection previous = Select(dc);
  for (auto& item : m_strings) {
    // Layout puts back the font, colour and alignment it finds.
    if (!item->IsLaidOut()) item->Layout(dc);
    const tessmor::RECT b = item->GetBounds();
    const bool meets = lo(b.left, b.right) <= hi(clip.left, clip.right) &&
                       hi(b.left, b.right) >= lo(clip.left, clip.right) &&
                       lo(b.top, b.bottom) <= hi(clip.top, clip.bottom) &&
                       hi(b.top, b.bottom) >= lo(clip.top, clip.bottom);
    if (all || meets) item->Draw(dc);
  }
  Deselect(dc, previous);
  dc.SetTextAlign(previous.textAlign);
}

std::pair<std::string, std::string> CCharStyle::FormatSettings(const TEXTSTYLE& style) {
  const tessmor::LOGFONT& f = style.font;
  std::string first = std::to_string(style.justification) + "," +
                      std::to_string(static_cast<std::int32_t>(style.colour)) + "," +
                      std::to_string(static_cast<std::int32_t>(style.background)) + "," +
                      FormatSettingsReal(style.height);
  std::string face(f.lfFaceName, strnlen(f.lfFaceName, sizeof f.lfFaceName));
  std::replace(face.begin(), face.end(), ' ', '#');
  std::string second = std::to_string(f.lfHeight) + "," + std::to_string(f.lfWidth) + "," +
                       std::to_string(f.lfEscapement) + "," + std::to_string(f.lfOrientation) +
                       "," + std::to_string(f.lfWeight) + "," +
                       std::to_string(f.lfItalic + 256 * f.lfUnderline) + "," +
                       std::to_string(f.lfStrikeOut + 256 * f.lfCharSet) + "," +
                       std::to_string(f.lfOutPrecision + 256 * f.lfClipPrecision) + "," +
                       std::to_string(f.lfQuality + 256 * f.lfPitchAndFamily) + ", " + face;
  return {std::move(first), std::move(second)};
}

int CCharStyle::ParseSettings(std::string_view first, std::string_view second, TEXTSTYLE* style) {
  if (!style) return 0;
  const std::vector<ScannedValue> a = ScanSettingsText(first, kFirstFormat);
  const std::vector<ScannedValue> b = ScanSettingsText(second, kSecondFormat);
  if (a.size() != 4 || b.size() != 10) return 0;
  std::string face = std::get<std::string>(b[9]);
  // A face name ends at a NUL; one that ends before it begins names no font.
  face.resize(strnlen(face.c_str(), face.size()));
  if (face.empty()) return 0;
  std::replace(face.begin(), face.end(), '#', ' ');

  TEXTSTYLE s = *style;
  tessmor::LOGFONT& f = s.font;
  f.lfHeight = I32(b[0]);
  f.lfWidth = I32(b[1]);
  f.lfEscapement = I32(b[2]);
  f.lfOrientation = I32(b[3]);
  f.lfWeight = I32(b[4]);
  f.lfItalic = Low(I32(b[5]));
  f.lfUnderline = High(I32(b[5]));
  f.lfStrikeOut = Low(I32(b[6]));
  f.lfCharSet = High(I32(b[6]));
  f.lfOutPrecision = Low(I32(b[7]));
  f.lfClipPrecision = High(I32(b[7]));
  f.lfQuality = Low(I32(b[8]));
  f.lfPitchAndFamily = High(I32(b[8]));
  tessmor::SetFaceName(f, face.c_str());

  s.justification = U32(a[0]);
  s.colour = static_cast<tessmor::COLORREF>(I32(a[1]));
  s.background = static_cast<tessmor::COLORREF>(I32(a[2]));
  s.height = std::get<float>(a[3]);
  CheckTextStyle(s, style);
  return 1;
}

int CCharStyle::WriteSettings(const std::string& section, const std::string& key) const {
  const auto [first, second] = FormatSettings(m_style);
  tessmor::Settings& settings = tessmor::GetSettings();
  const bool a = settings.WriteString(section, key + kSettingsSuffix, first);
  const bool b = settings.WriteString(section, key + kSettingsSuffix2, second);
  return a && b ? 1 : 0;
}

int CCharStyle::ReadSettings(const std::string& section, const std::string& key) {
  Reset();
  tessmor::Settings& settings = tessmor::GetSettings();
  const std::string first = settings.GetString(section, key + kSettingsSuffix, "");
  const std::string second = settings.GetString(section, key + kSettingsSuffix2, "");
  if (first.empty() || second.empty()) return 0;
  return ParseSettings(first, second, &m_style);
}
