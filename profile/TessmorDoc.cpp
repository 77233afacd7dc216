#include "profile/TessmorDoc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "analysis/Interpolation.h"
#include "analysis/SecondDerivative.h"
#include "analysis/UpwardContinuation.h"
#include "platform/docview/DocTemplate.h"
#include "platform/io/Archive.h"
#include "platform/ui/Prompts.h"
#include "profile/ProfileFormats.h"
#include "util/NumberFormat.h"
#include "util/TextData.h"

namespace {

// The document's samples as the analyses read them: GetPoint with the background removed.
class DocumentSeries : public ResidualSeries {
 public:
  explicit DocumentSeries(const CTessmorDoc& doc) : doc_(doc) {}
  int SampleCount() const override { return doc_.GetPointCount(10); }
  ProfilePoint Sample(int index) const override { return doc_.GetPoint(index, true); }
  int SampleSpacing() const override {
    return doc_.m_bEquallySpaced ? doc_.GetEqualSpacing() : doc_.m_nSpacing;
  }
  double BackgroundAt(double distance) const override { return doc_.BackgroundAt(distance); }

 private:
  const CTessmorDoc& doc_;
};

const char kLargeAnomalyQuestion[] =
    "One or more Gravity Anomaly Values \n >than 10000mGal !\n \n Is This correct ?";
const char kZeroAnomalyQuestion[] =
    "Greater than two anomaly values\n Are zero in this File\n \n Is This Correct ?";
const char kOrderMessage[] =
    "One or More Spacings between Adjacent \nAnomaly Points are Zero or decreasing!\n \n Please "
    "Arrange in Increasing Order";

}  // namespace

CTessmorDoc::CTessmorDoc() = default;

CTessmorDoc::~CTessmorDoc() = default;

void CTessmorDoc::AddPoint(const ProfilePoint& p) {
  m_points.push_back(std::make_unique<ProfilePoint>(p));
}

double CTessmorDoc::BackgroundAt(double distance) const { return Background().At(distance); }

ProfileBackground CTessmorDoc::Background() const {
  return {m_nBackgroundType, m_dBackgroundSlope, m_dBackgroundLevel, m_nBackgroundLeft,
          m_nBackgroundRight};
}

void CTessmorDoc::SetBackgroundFields(const ProfileBackground& b) {
  m_nBackgroundType = b.type;
  m_dBackgroundSlope = b.slope;
  m_dBackgroundLevel = b.level;
  m_nBackgroundLeft = b.left;
  m_nBackgroundRight = b.right;
}

ProfilePoint CTessmorDoc::GetPoint(int index, bool remove_background) const {
  ProfilePoint p;
  if (m_bEquallySpaced) {
    if (index < 0 || index >= static_cast<int>(m_points.size())) return p;
    p = *m_points[index];
  } else {
    if (m_points.empty() || index < 0 || index >= m_interpolated.GetSize()) return p;
    p.distance = static_cast<std::int32_t>(static_cast<long long>(m_nSpacing) * index +
                                           m_points[0]->distance);
    p.anomaly = m_interpolated.GetAt(index);
  }
  if (remove_background && m_nBackgroundType != kBackgroundNone) {
    p.anomaly -= p.distance * m_dBackgroundSlope + m_dBackgroundLevel;
  }
  return p;
}

int CTessmorDoc::GetPointCount(int which) const {
  const int measured = static_cast<int>(m_points.size());
  if (m_bEquallySpaced || which == 1) return measured;
  if (measured == 0 || m_nSpacing <= 0) return 0;
  const float range =
      static_cast<float>(m_points.back()->distance) - static_cast<float>(m_points[0]->distance);
  const int n = nintf(range / static_cast<float>(m_nSpacing));
  return n < 0 ? 0 : n;
}

void CTessmorDoc::GetDistanceRange(int& min, int& max, int which) const {
  min = max = 0;
  if (which == 10 && m_nInterpStatus == 0) {
    const int n = GetPointCount(10);
    if (n <= 0) return;
    min = max = GetPoint(0, true).distance;
    for (int i = 1; i < n; ++i) {
      const int d = GetPoint(i, true).distance;
      if (d < min) min = d;
      if (d > max) max = d;
    }
    return;
  }
  // Never more entries than there are measured points.
  int n = GetPointCount(which);
  if (n > static_cast<int>(m_points.size())) n = static_cast<int>(m_points.size());
  if (n <= 0) return;
  min = max = m_points[0]->distance;
  for (int i = 1; i < n; ++i) {
    const int d = m_points[i]->distance;
    if (d < min) min = d;
    if (d > max) max = d;
  }
}

int CTessmorDoc::FindUnequalSpacing() const {
  const std::size_t n = m_points.size();
  if (n < 3) return 0;
  const long long first =
      std::llabs(static_cast<long long>(m_points[1]->distance) - m_points[0]->distance);
  for (std::size_t i = 2; i < n; ++i) {
    const long long step =
        std::llabs(static_cast<long long>(m_points[i]->distance) - m_points[i - 1]->distance);
    if (step != first) return static_cast<int>(i + 1);
  }
  return 0;
}

int CTessmorDoc::GetEqualSpacing() const {
  if (!m_bEquallySpaced) return -1;
  if (m_points.size() < 2) return 0;
  const long long step =
      std::llabs(static_cast<long long>(m_points[1]->distance) - m_points[0]->distance);
  return step > INT32_MAX ? INT32_MAX : static_cast<int>(step);
}

int CTessmorDoc::DefaultSpacing() const {
  const long long n = static_cast<long long>(m_points.size());
  if (n == 0) return 0;
  int min = 0, max = 0;
  GetDistanceRange(min, max, 1);
  return static_cast<int>((static_cast<long long>(max) - min) / n);
}

void CTessmorDoc::SetBackground(int type, const ProfilePoint& p1, const ProfilePoint& p2) {
  ProfileBackground b = Background();
  b.Set(type, p1, p2);
  SetBackgroundFields(b);
  if (!m_bEquallySpaced) m_nInterpStatus = InterpolateProfile();
}

int CTessmorDoc::GetBackground(ProfilePoint& p1, ProfilePoint& p2) const {
  return Background().Get(p1, p2);
}

void CTessmorDoc::SetInterpolation(int method, int spacing) {
  m_nInterpMethod = method;
  m_nSpacing = spacing;
  if (!m_bEquallySpaced) m_nInterpStatus = InterpolateProfile();
}

int CTessmorDoc::ValidateProfile() { return ValidatePoints(m_points); }

int CTessmorDoc::ValidatePoints(const PointArray& points) {
  bool large = false;
  int zeros = 0;
  bool disordered = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double a = points[i]->anomaly;
    if (IsZerol(a)) ++zeros;
    if (std::fabs(a) > 10000.0) large = true;
    if (i > 0 && static_cast<long long>(points[i]->distance) - points[i - 1]->distance <= 0) {
      disordered = true;
    }
  }
  tessmor::Prompts& prompts = tessmor::GetPrompts();
  const unsigned question = tessmor::kPromptYesNoCancel | tessmor::kPromptIconQuestion;
  if (large && prompts.MessageBox(kLargeAnomalyQuestion, question) != tessmor::kAnswerYes) {
    return -2;
  }
  if (zeros > 2 && prompts.MessageBox(kZeroAnomalyQuestion, question) != tessmor::kAnswerYes) {
    return -2;
  }
  if (disordered) {
    prompts.MessageBox(kOrderMessage, tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return -2;
  }
  return 0;
}

int CTessmorDoc::TypeFromTemplate() const {
  const tessmor::DocTemplate* t = GetDocTemplate();
  if (!t) return kFileTypeNone;
  return FileTypeFromExtension(t->GetDocString(tessmor::DocTemplate::kFilterExt));
}

// ---- analysis: the computations are analysis/'s, on the document's samples ----

int CTessmorDoc::InterpolateProfile() {
  std::vector<float> samples;
  if (ResamplePoints(m_points, GetPointCount(10), m_nSpacing, m_nInterpMethod, samples) != 0) {
    return 1;
  }
  m_interpolated.RemoveAll();
  for (float v : samples) m_interpolated.Add(v);
  return 0;
}

void CTessmorDoc::ComputeUpwardContinuation(PointArray& result, float height_km,
                                            Arithmetic arithmetic) {
  if (ContinueUpward(DocumentSeries(*this), result, height_km, arithmetic)) m_bUpwardContinued = 1;
}

void CTessmorDoc::ComputeEdgeControlledContinuation(PointArray& result, float height_km) {
  if (ContinueUpwardWithEdgeControl(DocumentSeries(*this), result, height_km)) {
    m_bUpwardContinued = 1;
  }
}

std::vector<float> CTessmorDoc::ComputeSecondDerivative() {
  return SecondDerivative(DocumentSeries(*this));
}

void CTessmorDoc::SecondDifference(float* out, std::size_t out_size,
                                   const PointArray& series) const {
  ::SecondDifference(out, out_size, series);
}

void CTessmorDoc::ComputeBlockModel(BlockResultArray& results, float density, float depth_km,
                                    int model_type, Arithmetic arithmetic,
                                    BlockDiagnostics* diagnostics) {
  InvertBlockModel(DocumentSeries(*this), results, density, depth_km, model_type, arithmetic,
                   diagnostics);
}

// ---- files: the layouts are profile_formats', the document adopts what they read ----

std::string CTessmorDoc::FormatPoint(const ProfilePoint& p) {
  return profile_formats::FormatPoint(p);
}

std::unique_ptr<ProfilePoint> CTessmorDoc::ParsePoint(const std::string& text) {
  return profile_formats::ParsePoint(text);
}

ProfileContents CTessmorDoc::Contents() const {
  ProfileContents c;
  c.name = m_strTraverseName;
  c.points.reserve(m_points.size());
  for (const auto& p : m_points) c.points.push_back(*p);
  c.background = Background();
  c.interp_method = m_nInterpMethod;
  c.equally_spaced = m_bEquallySpaced;
  c.spacing = m_nSpacing;
  return c;
}

void CTessmorDoc::Adopt(ProfileContents&& c) {
  m_strTraverseName = std::move(c.name);
  m_points.clear();
  for (const ProfilePoint& p : c.points) AddPoint(p);
  SetBackgroundFields(c.background);
  m_nInterpMethod = c.interp_method;
  m_bEquallySpaced = c.equally_spaced;
  m_nSpacing = c.spacing;
}

int CTessmorDoc::FinishTextRead(bool decide_spacing) {
  if (m_points.empty()) {
    // Headers without a single data line: nothing to interpret.
    DisplayDocError(101, tessmor::kPromptOk);
    return 1;
  }
  if (decide_spacing) m_bEquallySpaced = FindUnequalSpacing() == 0 ? 1 : 0;
  return ValidateProfile();
}

int CTessmorDoc::ReadProject(tessmor::Archive& ar) {
  ProfileContents c = Contents();
  profile_formats::ReadProject(ar, c);
  Adopt(std::move(c));
  m_bEquallySpaced = FindUnequalSpacing() == 0 ? 1 : 0;
  m_nSpacing = m_bEquallySpaced ? GetEqualSpacing() : 0;
  return 0;
}

int CTessmorDoc::ReadGravmag(tessmor::Archive& ar) {
  ProfileContents c = Contents();
  if (profile_formats::ReadGravmag(ar, c) != 0) return 1;
  Adopt(std::move(c));
  return FinishTextRead(true);
}

int CTessmorDoc::ReadGravAscii(tessmor::Archive& ar) {
  ProfileContents c = Contents();
  if (profile_formats::ReadGravAscii(ar, c) != 0) return 1;
  Adopt(std::move(c));
  return FinishTextRead(true);
}

int CTessmorDoc::Read2DQN(tessmor::Archive& ar) {
  ProfileContents c = Contents();
  if (profile_formats::Read2DQN(ar, c) != 0) return 1;
  Adopt(std::move(c));
  return FinishTextRead(false);
}

int CTessmorDoc::ReadCsv(tessmor::Archive& ar) {
  ProfileContents c = Contents();
  if (profile_formats::ReadCsv(ar, c) != 0) return 1;
  Adopt(std::move(c));
  return FinishTextRead(true);
}

int CTessmorDoc::WriteProject(tessmor::Archive& ar) {
  profile_formats::WriteProject(ar, Contents());
  return 0;
}

int CTessmorDoc::WriteGravmag(tessmor::Archive& ar) {
  profile_formats::WriteGravmag(ar, Contents());
  return 0;
}

int CTessmorDoc::WriteGravAscii(tessmor::Archive& ar) {
  profile_formats::WriteGravAscii(ar, Contents());
  return 0;
}

int CTessmorDoc::Write2DQN(tessmor::Archive& ar) {
  const int n = GetPointCount(10);
  const float spacing_km = m_bEquallySpaced ? static_cast<float>(GetEqualSpacing() * 0.001)
                                            : static_cast<float>(m_nSpacing * 0.001);
  std::vector<double> anomalies;
  anomalies.reserve(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) anomalies.push_back(GetPoint(i, true).anomaly);
  profile_formats::Write2DQN(ar, anomalies, spacing_km);
  return 0;
}

int CTessmorDoc::WriteCsv(tessmor::Archive& ar) {
  profile_formats::WriteCsv(ar, Contents());
  return 0;
}

void CTessmorDoc::Serialize(tessmor::Archive& ar) {
  if (m_bChartMode) {
    SerializeChart(ar);
    return;
  }
  const int type = (m_nSaveType != -1 && m_nSaveType != 0) ? m_nSaveType : TypeFromTemplate();
  if (ar.IsStoring()) {
    switch (type) {
      case kFileTypeProject:
        WriteProject(ar);
        break;
      case kFileTypeGravmag:
        WriteGravmag(ar);
        break;
      case kFileTypeGravAscii:
        WriteGravAscii(ar);
        break;
      case kFileType2DQN:
        Write2DQN(ar);
        break;
      case kFileTypeCsv:
        WriteCsv(ar);
        break;
      default:
        break;
    }
    return;
  }
  m_bLoadFailed = 0;
  int result = 0;
  switch (type) {
    case kFileTypeProject:
      result = ReadProject(ar);
      break;
    case kFileTypeGravmag:
      result = ReadGravmag(ar);
      break;
    case kFileTypeGravAscii:
      result = ReadGravAscii(ar);
      break;
    case kFileType2DQN:
      result = Read2DQN(ar);
      break;
    case kFileTypeCsv:
      result = ReadCsv(ar);
      break;
    default:
      return;
  }
  if (result != 0) {
    m_bLoadFailed = 1;
    return;
  }
  if (!m_bEquallySpaced) {
    m_nSpacing = DefaultSpacing();
    m_nInterpStatus = InterpolateProfile();
  }
}

bool CTessmorDoc::OnNewDocument() { return CVexaDoc::OnNewDocument(); }

bool CTessmorDoc::OnOpenDocument(const std::string& path) {
  if (!CVexaDoc::OnOpenDocument(path)) return false;
  if (m_strTraverseName == "No Title") m_strTraverseName = GetTitle();
  return !m_bLoadFailed;
}

void CTessmorDoc::DeleteContents() {
  while (!m_points.empty()) m_points.pop_back();
  m_interpolated.RemoveAll();
  CVexaDoc::DeleteContents();
}
