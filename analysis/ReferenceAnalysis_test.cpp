// The reference profiles, analysed through the document as the view does it, against the
// result tables of an independent computation (testdata/reference-cases, its manifest giving
// the settings and a tolerance per column).
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/docview/Application.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/InterpolationDlg.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

struct ExpectedFile {
  std::string name;
  std::vector<double> atol;
};

struct Case {
  std::string id, dir, input;
  std::map<std::string, std::string> args;
  std::vector<ExpectedFile> files;
};

std::string Dir() { return tessmor::testing::SourceDir() + "/testdata/reference-cases"; }

/// The cases that must succeed, with their options ("--interp" → "linear", …).
std::vector<Case> LoadCases() {
  QFile f(QString::fromStdString(Dir() + "/manifest.json"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  std::vector<Case> cases;
  for (const auto& v : QJsonDocument::fromJson(f.readAll()).object()["cases"].toArray()) {
    const QJsonObject o = v.toObject();
    if (o["expect"].toString() != "ok") continue;
    Case c;
    c.id = o["id"].toString().toStdString();
    c.dir = Dir() + "/" + c.id;
    c.input = Dir() + "/" + o["input"].toString().toStdString();
    const QJsonArray args = o["args"].toArray();
    for (int i = 0; i + 1 < args.size(); i += 2) {
      c.args[args[i].toString().toStdString()] = args[i + 1].toString().toStdString();
    }
    for (const auto& fv : o["files"].toArray()) {
      ExpectedFile e;
      e.name = fv.toObject()["name"].toString().toStdString();
      for (const auto& a : fv.toObject()["atol"].toArray()) e.atol.push_back(a.toDouble());
      c.files.push_back(e);
    }
    cases.push_back(c);
  }
  return cases;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::stringstream ss(s);
  std::string part;
  while (std::getline(ss, part, sep)) parts.push_back(part);
  return parts;
}

/// One row of a result table: the distance (metres) and the values.
struct Row {
  long distance = 0;
  std::vector<double> values;
};

/// The rows of an expected result table (the two header lines skipped).
std::vector<Row> ReadTable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Row> rows;
  std::string line;
  for (int header = 0; header < 2 && std::getline(in, line); ++header) {
  }
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    Row r;
    if (!(ls >> r.distance)) continue;
    double v;
    while (ls >> v) r.values.push_back(v);
    rows.push_back(r);
  }
  return rows;
}

/// Applies "--interp METHOD[:KM]" as the interpolation dialog would.
void ApplyInterp(CTessmorDoc& doc, const std::string& arg) {
  if (doc.m_bEquallySpaced) return;  // equally spaced points need no interpolation
  CInterpolationDlg dlg;
  const std::vector<std::string> p = Split(arg, ':');
  dlg.SetMethod(p[0] == "spline" ? 1 : p[0] == "rational" ? 2 : p[0] == "polynomial" ? 3 : 4);
  dlg.SetSpacing(doc.m_nSpacing);
  dlg.OnInitDialog();
  if (p.size() > 1) dlg.SetText(CInterpolationDlg::IDC_SPACING, p[1]);
  ASSERT_TRUE(dlg.OnOK());
  doc.SetInterpolation(dlg.GetMethod(), dlg.GetSpacing());
}

/// Applies "--background none | constant:MGAL | linear:KM:MGAL:KM:MGAL" as the background
/// dialog would.
void ApplyBackground(CTessmorDoc& doc, const std::string& arg) {
  const std::vector<std::string> p = Split(arg, ':');
  CBackgroundDlg dlg;
  ProfilePoint p1, p2;
  if (p[0] == "constant") {
    dlg.m_nMethod = 0;
    dlg.m_fConstant = std::stof(p[1]);
  } else if (p[0] == "linear") {
    dlg.m_nMethod = 1;
    dlg.m_fLeftDistance = std::stof(p[1]);
    dlg.m_dLeftAnomaly = std::stod(p[2]);
    dlg.m_fRightDistance = std::stof(p[3]);
    dlg.m_dRightAnomaly = std::stod(p[4]);
  } else {
    dlg.m_nMethod = -1;
  }
  const int type = dlg.GetType();
  if (type == kBackgroundConstant) p1.anomaly = dlg.m_fConstant;
  if (type == kBackgroundLinear) dlg.GetLinearPoints(p1, p2);
  doc.SetBackground(type, p1, p2);
}

class ReferenceAnalysis : public ::testing::Test {
 protected:
  ReferenceAnalysis() {
    AddProfileTemplates(app_);
    prompts_.set_default_yes(true);
  }

  /// Compares the computed rows with the expected table `name` of case `c`.
  void Compare(const Case& c, const std::string& suffix, const std::vector<Row>& got) {
    const std::string stem = c.input.substr(c.input.find_last_of('/') + 1);
    const std::string name = stem.substr(0, stem.find_last_of('.')) + "_" + suffix + ".txt";
    SCOPED_TRACE(name);
    const ExpectedFile* file = nullptr;
    for (const ExpectedFile& e : c.files) {
      if (e.name == name) file = &e;
    }
    ASSERT_NE(file, nullptr);
    const std::vector<Row> want = ReadTable(c.dir + "/expected/" + name);
    ASSERT_EQ(got.size(), want.size());
    ASSERT_FALSE(want.empty());
    double worst = 0.0;  // the largest difference as a fraction of its tolerance
    for (std::size_t r = 0; r < want.size(); ++r) {
      ASSERT_EQ(got[r].distance, want[r].distance) << "row " << r;
      ASSERT_EQ(got[r].values.size(), want[r].values.size());
      for (std::size_t k = 0; k < want[r].values.size(); ++k) {
        const double w = want[r].values[k];
        const double tolerance = file->atol[k] + 1e-5 * std::abs(w);
        EXPECT_NEAR(got[r].values[k], w, tolerance) << "row " << r << " column " << k;
        worst = std::max(worst, std::abs(got[r].values[k] - w) / tolerance);
      }
    }
    RecordProperty(c.id + "_" + suffix, std::to_string(worst));
  }

  tessmor::testing::FakePrompts prompts_;
  tessmor::Application app_;
};

TEST_F(ReferenceAnalysis, EveryAcceptedCaseIsThere) { EXPECT_EQ(LoadCases().size(), 8u); }

TEST_F(ReferenceAnalysis, ResultsMatchTheIndependentTables) {
  for (const Case& c : LoadCases()) {
    SCOPED_TRACE(c.id);
    auto* doc = static_cast<CTessmorDoc*>(app_.OpenDocumentFile(c.input));
    ASSERT_NE(doc, nullptr);
    ApplyInterp(*doc, c.args.at("--interp"));
    ApplyBackground(*doc, c.args.at("--background"));
    ASSERT_EQ(doc->m_nInterpStatus, 0);

    const int n = doc->GetPointCount(10);
    const long dx = doc->m_bEquallySpaced ? doc->GetEqualSpacing() : doc->m_nSpacing;
    int x0 = 0, x1 = 0;
    doc->GetDistanceRange(x0, x1, 10);

    PointArray up;
    doc->ComputeUpwardContinuation(up, std::stof(c.args.at("--upward")));
    ASSERT_EQ(up.size(), static_cast<std::size_t>(n));
    std::vector<Row> rows;
    for (const auto& p : up) rows.push_back({p->distance, {p->anomaly}});
    Compare(c, "UpwardCont", rows);

    rows.clear();
    if (c.args.at("--derivative") == "upward") {
      std::vector<float> d(up.size());
      doc->SecondDifference(d.data(), d.size(), up);
      for (int k = 1; k <= n - 2; ++k) rows.push_back({x0 + k * dx, {d[k]}});
    } else {
      const std::vector<float> d = doc->ComputeSecondDerivative();
      ASSERT_EQ(d.size(), static_cast<std::size_t>(n));
      for (int k = 0; k < n; ++k) rows.push_back({x0 + k * dx, {d[k]}});
    }
    Compare(c, "Derivative", rows);

    const std::vector<std::string> model = Split(c.args.at("--model"), ':');
    BlockResultArray results;
    doc->ComputeBlockModel(results, std::stof(model[1]), std::stof(model[2]),
                           model[0] == "granite" ? 1 : -1);
    ASSERT_EQ(results.size(), static_cast<std::size_t>(n));
    rows.clear();
    for (int i = 0; i < n; ++i) {
      rows.push_back(
          {x0 + i * dx, {results[i]->calculated, results[i]->residual, results[i]->depth}});
    }
    Compare(c, "BlockModel", rows);
    app_.CloseDocument(doc);
  }
}

}  // namespace
