// Every reference profile is read as its manifest describes it, and survives a trip through
// each of the file types.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/docview/Application.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "profileview/InterpolationDlg.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

struct Case {
  std::string id, input, expect, interp;
  int samples = 0, equally_spaced = 0, spacing = 0;
};

std::vector<Case> LoadCases() {
  const std::string dir = tessmor::testing::SourceDir() + "/testdata/reference-cases";
  QFile f(QString::fromStdString(dir + "/manifest.json"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  std::vector<Case> cases;
  for (const auto& v : QJsonDocument::fromJson(f.readAll()).object()["cases"].toArray()) {
    const QJsonObject o = v.toObject();
    Case c;
    c.id = o["id"].toString().toStdString();
    c.input = dir + "/" + o["input"].toString().toStdString();
    c.expect = o["expect"].toString().toStdString();
    c.samples = o["samples"].toInt();
    c.equally_spaced = o["equally_spaced"].toInt();
    c.spacing = o["spacing_m"].toInt();
    const QJsonArray args = o["args"].toArray();
    for (int i = 0; i + 1 < args.size(); ++i) {
      if (args[i].toString() == "--interp") c.interp = args[i + 1].toString().toStdString();
    }
    cases.push_back(c);
  }
  return cases;
}

/// Applies "--interp METHOD[:KM]" as the interpolation dialog would.
void ApplyInterp(CTessmorDoc& doc, const std::string& arg) {
  CInterpolationDlg dlg;
  dlg.SetMethod(doc.m_nInterpMethod);
  dlg.SetSpacing(doc.m_nSpacing);
  const std::string method = arg.substr(0, arg.find(':'));
  const int code = method == "spline"       ? 1
                   : method == "rational"   ? 2
                   : method == "polynomial" ? 3
                                            : 4;
  dlg.SetMethod(code);
  dlg.OnInitDialog();
  if (arg.find(':') != std::string::npos) {
    dlg.SetText(CInterpolationDlg::IDC_SPACING, arg.substr(arg.find(':') + 1));
  }
  ASSERT_TRUE(dlg.OnOK());
  doc.SetInterpolation(dlg.GetMethod(), dlg.GetSpacing());
}

class ReferenceCases : public ::testing::Test {
 protected:
  ReferenceCases() {
    AddProfileTemplates(app_);
    prompts_.set_default_yes(true);
  }
  CTessmorDoc* Open(const std::string& path) {
    return static_cast<CTessmorDoc*>(app_.OpenDocumentFile(path));
  }
  tessmor::testing::FakePrompts prompts_;
  tessmor::Application app_;
};

TEST_F(ReferenceCases, ManifestIsThere) { EXPECT_EQ(LoadCases().size(), 10u); }

TEST_F(ReferenceCases, EachProfileReadsAsItsManifestSays) {
  for (const Case& c : LoadCases()) {
    SCOPED_TRACE(c.id);
    CTessmorDoc* doc = Open(c.input);
    if (c.expect != "ok") {
      EXPECT_EQ(doc, nullptr);
      continue;
    }
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->m_bEquallySpaced, c.equally_spaced);
    if (!doc->m_bEquallySpaced) ApplyInterp(*doc, c.interp);
    EXPECT_EQ(doc->m_nInterpStatus, 0);
    EXPECT_EQ(doc->GetPointCount(10), c.samples);
    EXPECT_EQ(doc->m_bEquallySpaced ? doc->GetEqualSpacing() : doc->m_nSpacing, c.spacing);
  }
}

TEST_F(ReferenceCases, EachProfileSurvivesEveryFileType) {
  const std::string dir = tessmor::testing::MakeTempDir();
  for (const Case& c : LoadCases()) {
    if (c.expect != "ok") continue;
    SCOPED_TRACE(c.id);
    CTessmorDoc* doc = Open(c.input);
    ASSERT_NE(doc, nullptr);
    for (int type :
         {kFileTypeProject, kFileTypeGravmag, kFileTypeGravAscii, kFileType2DQN, kFileTypeCsv}) {
      SCOPED_TRACE(type);
      const std::string path = dir + "/" + c.id + ProfileExtension(type);
      doc->m_nSaveType = type;
      ASSERT_TRUE(doc->DoSaveProfile(path, false));
      const std::string bytes = tessmor::testing::Slurp(path);
      CTessmorDoc* back = Open(path);
      ASSERT_NE(back, nullptr);
      const int n = doc->GetPointCount(10);
      ASSERT_EQ(back->GetPointCount(type == kFileType2DQN ? 10 : 1),
                type == kFileType2DQN ? n : doc->GetPointCount(1));
      for (int i = 0; i < back->GetPointCount(1); ++i) {
        if (type == kFileType2DQN) {
          // Distances restart at 0; the anomalies are the residual samples, 6 decimals.
          EXPECT_NEAR(back->m_points[i]->anomaly, doc->GetPoint(i, true).anomaly, 5e-7);
        } else {
          EXPECT_EQ(back->m_points[i]->distance, doc->m_points[i]->distance);
          const double want =
              type == kFileTypeGravmag
                  ? doc->m_points[i]->anomaly - doc->BackgroundAt(doc->m_points[i]->distance)
                  : doc->m_points[i]->anomaly;
          EXPECT_NEAR(back->m_points[i]->anomaly, want, 5e-4);
        }
      }
      if (type == kFileTypeProject || type == kFileTypeGravAscii || type == kFileTypeCsv) {
        EXPECT_EQ(back->m_strTraverseName, doc->m_strTraverseName);
        EXPECT_EQ(back->m_nBackgroundType, doc->m_nBackgroundType);
        EXPECT_NEAR(back->m_dBackgroundLevel, doc->m_dBackgroundLevel, 5e-3);
        EXPECT_NEAR(back->m_dBackgroundSlope, doc->m_dBackgroundSlope, 1e-6);
      }
      // What was read writes the same bytes again.
      back->m_nSaveType = type;
      const std::string again = dir + "/again" + ProfileExtension(type);
      ASSERT_TRUE(back->DoSaveProfile(again, false));
      EXPECT_EQ(tessmor::testing::Slurp(again), bytes);
      app_.CloseDocument(back);
    }
  }
}

}  // namespace
