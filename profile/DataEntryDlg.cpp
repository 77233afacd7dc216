#include "profile/DataEntryDlg.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/ui/Clipboard.h"
#include "platform/ui/Prompts.h"
#include "util/NumberFormat.h"

namespace {

const char kClipTag[] = "DATAENTRY:";
constexpr std::size_t kClipTagLength = 10;
/// The clipboard block is 128 bytes with its terminator.
constexpr std::size_t kMaxClipChars = 127;
constexpr int kMaxReadings = 1000;

const char kCannotOpenClipboard[] = "Cannot open the Clipboard";
const char kInvalidInsertion[] = " This is an invalid Insertion Point\n Beyond the end of the data";

enum { kOpCut = 1, kOpCopy = 2, kOpPaste = 3, kOpUndo = 4 };

/// Rounding noise of a km × 1000 product, relative to its size: for values read as double
/// and for values that passed through single precision (a spacing).
constexpr double kDoubleNoise = 1e-12;
constexpr double kFloatNoise = 4 * FLT_EPSILON;

/// A product within `noise` (relative) of a whole number is that number: 2.007 km × 1000.0
/// is 2007.0000000000002 and 0.7f km × 1000.0 is 699.99998808, both meant as whole metres.
double Snap(double metres, double noise) {
  const double nearest = std::nearbyint(metres);
  return std::fabs(metres - nearest) <= noise * std::max(1.0, std::fabs(metres)) ? nearest : metres;
}

/// `metres` as whole metres, rounded up or truncated toward zero, held within 32 bits.
std::int32_t WholeMetres(double metres, bool round_up) {
  if (std::isnan(metres)) return 0;
  const double whole = round_up ? std::ceil(metres) : std::trunc(metres);
  if (whole <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (whole >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<std::int32_t>(whole);
}

bool IsEmptyPoint(const ProfilePoint& p) { return p.distance == 0 && IsZerol(p.anomaly); }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

void Beep() { tessmor::GetPrompts().Beep(); }

}  // namespace

CDataEntryDlg::CDataEntryDlg() {
  for (int row = 1; row <= kRows; ++row) read_only_.insert(RowNumberId(row));
  read_only_.insert(IDC_PAGE_TEXT);
  ProfilePoint p;
  m_nUndoIndex = ReadClipboard(p, false) == 1 ? -1 : 0;
}

std::int32_t CDataEntryDlg::SpacingMetres(float km) {
  return WholeMetres(Snap(static_cast<double>(km) * 1000.0, kFloatNoise), false);
}

// --- data in and out ---

void CDataEntryDlg::SetData(const PointArray& points, const std::string& name, int equally_spaced,
                            float spacing_km) {
  m_points.clear();
  for (const auto& p : points) m_points.push_back(std::make_unique<ProfilePoint>(*p));
  m_strTraverseName = name;
  m_bEquallySpaced = equally_spaced;
  m_fSpacing = spacing_km < 0.01f ? 1.0f : spacing_km;
  RemoveEmptyPoints();
}

int CDataEntryDlg::GetData(PointArray& points, std::string& name, float& spacing_km) const {
  name = m_strTraverseName;
  if (m_points.empty()) return 0;
  points.clear();
  for (const auto& p : m_points) points.push_back(std::make_unique<ProfilePoint>(*p));
  spacing_km = m_fSpacing;
  return 1;
}

// --- pages ---

void CDataEntryDlg::ComputePages() { m_nPages = PointCount() / 9 + 1; }

void CDataEntryDlg::RemoveEmptyPoints() {
  for (int i = PointCount() - 1; i >= 1; --i) {
    if (IsEmptyPoint(*m_points[i])) m_points.erase(m_points.begin() + i);
  }
  ComputePages();
}

void CDataEntryDlg::ShowPage(int page, bool respace) {
  const int n = PointCount();
  m_nReadings = n;
  if (respace && m_bEquallySpaced && n > 0) {
    const double first = m_points[0]->distance;
    for (int i = 1; i < n; ++i) {
      // The step is formed in single precision, as the spacing is held.
      const double metres = Snap(static_cast<float>(i) * m_fSpacing * 1000.0, kFloatNoise) + first;
      m_points[i]->distance = WholeMetres(metres, false);
    }
  }
  ComputePages();
  m_nPage = std::clamp(page, 1, m_nPages);
  for (int row = 1; row <= kRows; ++row) {
    const int i = PointNumber(row) - 1;
    if (i < n) {
      m_dDistance[row - 1] = m_points[i]->distance * 0.001;
      m_fAnomaly[row - 1] = static_cast<float>(m_points[i]->anomaly);
    } else {
      m_dDistance[row - 1] = 0.0;
      m_fAnomaly[row - 1] = 0.0f;
    }
    m_nRowNumber[row - 1] = i + 1;
  }
  m_strPageText = " Page Number: " + std::to_string(m_nPage) + "  of  " + std::to_string(m_nPages);
}

bool CDataEntryDlg::SavePage() {
  if (!UpdateData(true)) return false;
  for (int row = 1; row <= kRows; ++row) {
    const std::size_t i = static_cast<std::size_t>(PointNumber(row) - 1);
    while (m_points.size() <= i) m_points.push_back(std::make_unique<ProfilePoint>());
    m_points[i]->distance = WholeMetres(Snap(m_dDistance[row - 1] * 1000.0, kDoubleNoise), true);
    m_points[i]->anomaly = m_fAnomaly[row - 1];
  }
  RemoveEmptyPoints();
  return true;
}

void CDataEntryDlg::SetReadOnly(int id, bool read_only) {
  if (read_only) {
    read_only_.insert(id);
  } else {
    read_only_.erase(id);
  }
}

void CDataEntryDlg::LockDistances() {
  for (int row = 1; row <= kRows; ++row) {
    const bool editable = !m_bEquallySpaced || (CurrentPage() == 1 && row == 1);
    Enable(DistanceId(row), editable);
    SetReadOnly(DistanceId(row), !editable);
  }
  Enable(IDC_SPACING, m_bEquallySpaced != 0);
  SetReadOnly(IDC_SPACING, !m_bEquallySpaced);
}

void CDataEntryDlg::Refresh() {
  UpdateData(false);
  LockDistances();
  FocusControl(AnomalyId(m_nCurRow >= 1 && m_nCurRow <= kRows ? m_nCurRow : 1));
}

void CDataEntryDlg::FocusControl(int id) {
  SetFocus(id);
  OnSetFocus(id);
}

void CDataEntryDlg::OnInitDialog() {
  ComputePages();
  ShowPage(1, false);
  UpdateData(false);
  LockDistances();
  FocusControl(IDC_TRAVERSE_NAME);
}

bool CDataEntryDlg::DoDataExchange(bool save) {
  if (!ExchangeText(IDC_TRAVERSE_NAME, m_strTraverseName, save)) return false;
  for (int row = 1; row <= kRows; ++row) {
    if (!ExchangeDouble(DistanceId(row), m_dDistance[row - 1], save)) return false;
  }
  for (int row = 1; row <= kRows; ++row) {
    if (!ExchangeFloat(AnomalyId(row), m_fAnomaly[row - 1], save)) return false;
  }
  if (!save) {
    // Shown only; never read back.
    for (int row = 1; row <= kRows; ++row)
      ExchangeInt(RowNumberId(row), m_nRowNumber[row - 1], save);
    ExchangeText(IDC_PAGE_TEXT, m_strPageText, save);
  }
  if (!ExchangeFloat(IDC_SPACING, m_fSpacing, save)) return false;
  if (check_ranges_ && !CheckRange(IDC_SPACING, m_fSpacing, 0.01f, 500.0f, save)) return false;
  if (!ExchangeInt(IDC_READINGS, m_nReadings, save)) return false;
  if (check_ranges_ &&
      !CheckRange(IDC_READINGS, static_cast<float>(m_nReadings), 5.0f, 1000.0f, save)) {
    return false;
  }
  return true;
}

// --- buttons ---

void CDataEntryDlg::OnNextPage() {
  m_nCurRow = 0;
  if (!SavePage()) return;
  if (CurrentPage() >= m_nPages) {
    Beep();
    return;
  }
  ShowPage(CurrentPage() + 1, false);
  Refresh();
  if (IsEnabled(DistanceId(1))) FocusControl(DistanceId(1));
}

void CDataEntryDlg::OnPrevPage() {
  m_nCurRow = 0;
  if (CurrentPage() <= 1) {
    Beep();
    return;
  }
  if (!SavePage()) return;
  ShowPage(CurrentPage() - 1, false);
  Refresh();
  if (IsEnabled(DistanceId(1))) FocusControl(DistanceId(1));
}

bool CDataEntryDlg::OnOK() {
  if (!SavePage()) return false;
  check_ranges_ = true;
  const bool ok = UpdateData(true);
  check_ranges_ = false;
  return ok && (!confirm_ || confirm_(m_points));
}

// --- focus and change notifications ---

void CDataEntryDlg::OnChange(int id) {
  if (id == IDC_SPACING) {
    m_nCurRow = 0;
    m_bSpacingChanged = 1;
  } else if (id == IDC_READINGS) {
    m_bReadingsChanged = 1;
  } else if (id == IDC_DISTANCE1 && m_bEquallySpaced) {
    m_bFirstDistanceChanged = 1;
  }
}

void CDataEntryDlg::OnSetFocus(int id) {
  if (id == IDC_TRAVERSE_NAME) {
    m_nCurRow = 0;
    return;
  }
  for (int row = 1; row <= kRows; ++row) {
    if (id == DistanceId(row) || id == AnomalyId(row)) m_nCurRow = row;
  }
}

void CDataEntryDlg::OnKillFocus(int id) {
  if (id == IDC_SPACING && m_bSpacingChanged) {
    m_bSpacingChanged = 0;
    if (!ApplySpacingChange()) m_bSpacingChanged = 1;
  } else if (id == IDC_DISTANCE1 && m_bFirstDistanceChanged && m_bEquallySpaced) {
    m_bFirstDistanceChanged = 0;
    if (!ApplySpacingChange()) m_bFirstDistanceChanged = 1;
  } else if (id == IDC_READINGS && m_bReadingsChanged) {
    m_bReadingsChanged = 0;
    ApplyReadingsChange();
  }
}

bool CDataEntryDlg::ApplySpacingChange() {
  if (!SavePage()) return false;
  ShowPage(CurrentPage(), true);
  Refresh();
  return true;
}

void CDataEntryDlg::ApplyReadingsChange() {
  if (!SavePage()) {
    m_bReadingsChanged = 1;
    return;
  }
  const int n = PointCount();
  const long long d = static_cast<long long>(n) - m_nReadings;
  if (d > 0) {
    const std::string question = "This will delete " + std::to_string(d) +
                                 " points off the end of your data\n Is this what you want ??";
    if (Message(question, tessmor::kPromptYesNo | tessmor::kPromptIconQuestion) !=
        tessmor::kAnswerYes) {
      m_bReadingsChanged = 1;
      FocusControl(IDC_READINGS);
      return;
    }
    const int first = static_cast<int>(std::max<long long>(0, n - d));
    for (int i = first; i < n; ++i) *m_points[i] = ProfilePoint();
    RemoveEmptyPoints();
  } else if (d < 0) {
    // No more points than the dialog can confirm.
    if (m_nReadings > kMaxReadings && !CheckRange(IDC_READINGS, static_cast<float>(m_nReadings),
                                                  5.0f, static_cast<float>(kMaxReadings), true)) {
      m_bReadingsChanged = 1;
      return;
    }
    double step_km = m_fSpacing;
    if (!m_bEquallySpaced && n >= 2) {
      step_km =
          (static_cast<double>(m_points[n - 1]->distance) - m_points[n - 2]->distance) * 0.001;
      m_fSpacing = static_cast<float>(step_km);
    } else if (!m_bEquallySpaced && n == 1) {
      step_km = 1.0;
      m_fSpacing = 1.0f;
    }
    // With no point to continue from, the new points start at 0 m.
    const double last = n > 0 ? m_points[n - 1]->distance : 0.0;
    const long long first_k = n > 0 ? 1 : 0;
    for (long long k = first_k; k < first_k - d; ++k) {
      auto p = std::make_unique<ProfilePoint>();
      p->distance = WholeMetres(Snap(k * step_km * 1000.0, kFloatNoise) + last, false);
      m_points.push_back(std::move(p));
    }
    ComputePages();
  }
  ShowPage(CurrentPage(), true);
  Refresh();
}

// --- clipboard ---

std::string CDataEntryDlg::ClipText(const ProfilePoint& p) {
  const std::string anomaly = FormatFixed(p.anomaly, 5);
  std::string text = "DATAENTRY: " + std::to_string(p.distance);
  if (anomaly.empty() || (anomaly[0] != ' ' && anomaly[0] != '-')) text += ' ';
  return text + anomaly;
}

bool CDataEntryDlg::ParseClipText(const std::string& text, ProfilePoint& p) {
  std::string s = text.substr(0, std::min(text.size(), kMaxClipChars));
  s = s.substr(0, s.find('\0'));
  if (s.size() < kClipTagLength || s.compare(0, kClipTagLength, kClipTag) != 0) return false;
  // The layout "%s %ld %f": a tag, a distance in metres, an anomaly in single precision.
  const char* c = s.c_str();
  while (IsSpace(*c)) ++c;
  while (*c && !IsSpace(*c)) ++c;
  char* end = nullptr;
  errno = 0;
  const long distance = std::strtol(c, &end, 10);
  if (end == c || errno == ERANGE || distance < INT32_MIN || distance > INT32_MAX) return false;
  c = end;
  errno = 0;
  const float anomaly = std::strtof(c, &end);
  if (end == c || errno == ERANGE || !std::isfinite(anomaly)) return false;
  p.distance = static_cast<std::int32_t>(distance);
  p.anomaly = anomaly;
  return true;
}

bool CDataEntryDlg::PutOnClipboard(const ProfilePoint& p) {
  const std::string text = ClipText(p);
  if (text.size() > kMaxClipChars) {
    Beep();
    return false;
  }
  tessmor::Clipboard& clipboard = tessmor::GetClipboard();
  if (!clipboard.Open()) {
    Message(kCannotOpenClipboard, tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return false;
  }
  clipboard.Empty();
  const bool placed = clipboard.SetText(text);
  clipboard.Close();
  if (placed) m_hClip = text;
  return placed;
}

int CDataEntryDlg::ReadClipboard(ProfilePoint& p, bool report) {
  tessmor::Clipboard& clipboard = tessmor::GetClipboard();
  if (!clipboard.Open()) {
    if (report) Message(kCannotOpenClipboard, tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return -1;
  }
  const std::optional<std::string> text = clipboard.GetText();
  clipboard.Close();
  if (!text) return 0;
  m_hClip = *text;
  if (!ParseClipText(*text, p) || IsEmptyPoint(p)) return 0;
  return 1;
}

void CDataEntryDlg::InsertPoint(int number, const ProfilePoint& p) {
  m_points.insert(m_points.begin() + (number - 1), std::make_unique<ProfilePoint>(p));
  ComputePages();
}

void CDataEntryDlg::OnCut() {
  if (m_nCurRow < 1 || m_nCurRow > kRows) {
    Beep();
    return;
  }
  const int k = PointNumber(m_nCurRow);
  if (Message("OK to delete data point number " + std::to_string(k),
              tessmor::kPromptOkCancel | tessmor::kPromptIconQuestion) != tessmor::kAnswerOk) {
    return;
  }
  if (!SavePage()) return;
  if (k > PointCount()) {
    Beep();  // the row holds no point
    return;
  }
  if (!PutOnClipboard(*m_points[k - 1])) return;
  m_nUndoIndex = -k;
  m_points.erase(m_points.begin() + (k - 1));
  ComputePages();
  ShowPage(CurrentPage(), true);
  Refresh();
  m_nLastOp = kOpCut;
}

void CDataEntryDlg::OnCopy() {
  if (m_nCurRow < 1 || m_nCurRow > kRows) {
    Beep();
    return;
  }
  if (!SavePage()) return;
  const int k = PointNumber(m_nCurRow);
  if (k > PointCount()) {
    Beep();  // the row holds no point
    return;
  }
  if (!PutOnClipboard(*m_points[k - 1])) return;
  m_nUndoIndex = -k;
  FlashWindow(2);
  ShowPage(CurrentPage(), true);
  Refresh();
  m_nLastOp = kOpCopy;
}

void CDataEntryDlg::OnPaste() {
  if (m_nCurRow < 1 || m_nCurRow > kRows || m_nUndoIndex == 0) {
    Beep();
    return;
  }
  if (!SavePage()) return;
  const int k = PointNumber(m_nCurRow);
  if (k > PointCount() + 1) {
    Message(kInvalidInsertion, tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return;
  }
  ProfilePoint p;
  if (ReadClipboard(p, true) != 1) return;
  InsertPoint(k, p);
  ShowPage(CurrentPage(), true);
  Refresh();
  m_nUndoIndex = k;
  m_nLastOp = kOpPaste;
}

void CDataEntryDlg::OnUndo() {
  if ((m_nLastOp != kOpCut && m_nLastOp != kOpPaste) || m_nUndoIndex == 0) {
    Beep();
    return;
  }
  if (!SavePage()) return;
  const int k = std::abs(m_nUndoIndex);
  if (m_nLastOp == kOpPaste) {
    if (k > PointCount()) {
      Beep();  // the pasted point is gone already
      return;
    }
    *m_points[k - 1] = ProfilePoint();
    RemoveEmptyPoints();
    m_nUndoIndex = -k;
  } else {
    ProfilePoint p;
    if (ReadClipboard(p, true) != 1) return;
    const int at = std::min(k, PointCount() + 1);
    InsertPoint(at, p);
    m_nUndoIndex = at;
  }
  ShowPage(CurrentPage(), true);
  Refresh();
  m_nLastOp = kOpUndo;
}
