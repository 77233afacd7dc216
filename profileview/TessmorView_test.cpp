#include "profileview/TessmorView.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::DialogModel;
using tessmor::testing::FakePrompts;
using tessmor::testing::ScriptedDialogs;

/// A document with `n` equally spaced points (metres from `first`), attached to a view, saved
/// under `dir`/line.gpr so that the result tables land there.
struct Fixture {
  CTessmorDoc doc;
  CTessmorView view;
  std::string dir = tessmor::testing::MakeTempDir();

  explicit Fixture(int n, int first = 0, int dx = 500) {
    for (int i = 0; i < n; ++i) {
      const double x = i - n / 2.0;
      doc.AddPoint({first + i * dx, 10.0 / (1.0 + x * x / 25.0)});
    }
    doc.AddView(&view);
    doc.SetPathName(dir + "/line.gpr");
  }
  std::string Table(const char* kind) {
    return tessmor::testing::Slurp(dir + "/line_" + kind + ".txt");
  }
  bool Has(const char* kind) {
    return std::filesystem::exists(dir + "/line_" + std::string(kind) + ".txt");
  }
};

TEST(TessmorView, StartsWithItsDefaults) {
  CTessmorView view;
  EXPECT_EQ(view.m_fContHeight, 2.0f);
  EXPECT_EQ(view.m_fDensity, -150.0f);
  EXPECT_EQ(view.m_fBoundaryDepth, 8.0f);
  EXPECT_EQ(view.m_nModelType, -1);
  EXPECT_EQ(view.m_nDerivSource, 100);
  EXPECT_EQ(view.m_bShowDeriv + view.m_bShowUpward + view.m_bShowModel, 0);
}

TEST(TessmorView, AnalysisCommandsNeedSixPoints) {
  Fixture five(5);
  for (int id : {CTessmorView::ID_UPWARD_CONTINUE, CTessmorView::ID_SECOND_DERIV,
                 CTessmorView::ID_2D_MODEL, CTessmorView::ID_INTERPOLATE}) {
    EXPECT_FALSE(five.view.IsCommandEnabled(id)) << id;
    EXPECT_FALSE(five.view.OnCommand(id)) << id;
  }
  EXPECT_TRUE(five.view.IsCommandEnabled(CTessmorView::ID_BACKGROUND));
  Fixture six(6);
  EXPECT_TRUE(six.view.IsCommandEnabled(CTessmorView::ID_2D_MODEL));
  EXPECT_FALSE(six.view.IsCommandEnabled(CTessmorView::ID_INTERPOLATE));
  EXPECT_TRUE(six.view.IsCommandChecked(CTessmorView::ID_EQUALLY_SPACED));
  EXPECT_FALSE(six.view.IsCommandEnabled(CTessmorView::ID_DISPLAY_INTERPOLATED));
}

TEST(TessmorView, UpwardContinueWritesItsTable) {
  FakePrompts prompts;
  ScriptedDialogs dialogs;
  Fixture f(40, 1000);
  dialogs.Ok([](DialogModel& d) { d.SetText(CUpwardContDlg::IDC_HEIGHT, "1.5"); });
  ASSERT_TRUE(f.view.OnCommand(CTessmorView::ID_UPWARD_CONTINUE));
  EXPECT_EQ(f.view.m_fContHeight, 1.5f);
  EXPECT_EQ(f.view.m_bShowUpward, 1);
  ASSERT_EQ(f.view.m_upward.size(), 40u);
  const std::string table = f.Table("UpwardCont");
  EXPECT_EQ(table.rfind("Upward continuations, line\r\nDist\tUC\r\n1000 \t ", 0), 0u) << table;
  EXPECT_NE(table.find("\r\n20500 \t "), std::string::npos);
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 42);
  EXPECT_FALSE(f.Has("Derivative"));
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(TessmorView, DerivativeFromTheContinuedSeriesSkipsTheEnds) {
  FakePrompts prompts;
  ScriptedDialogs dialogs;
  Fixture f(10);
  // Source 101 while the continuation is off: the height dialog comes first.
  dialogs.Ok([](DialogModel& d) { d.SetRadio(CDerivSourceDlg::IDC_SOURCE, 1); });
  dialogs.Ok();
  ASSERT_TRUE(f.view.OnCommand(CTessmorView::ID_SECOND_DERIV));
  EXPECT_EQ(f.view.m_nDerivSource, 101);
  EXPECT_EQ(f.view.m_bShowUpward, 1);
  const std::string table = f.Table("Derivative");
  EXPECT_EQ(table.rfind("2nd Derivative, line\r\nDist\tDeriv\r\n500 \t ", 0), 0u) << table;
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 2 + 8);  // samples 1 … 8
  EXPECT_NE(table.find("\r\n4000 \t "), std::string::npos);
  EXPECT_EQ(table.find("\r\n4500 \t "), std::string::npos);
}

TEST(TessmorView, CancelledHeightDialogChangesOnlyTheSource) {
  ScriptedDialogs dialogs;
  Fixture f(10);
  dialogs.Ok([](DialogModel& d) { d.SetRadio(CDerivSourceDlg::IDC_SOURCE, 1); });
  dialogs.Cancel();
  f.view.OnCommand(CTessmorView::ID_SECOND_DERIV);
  EXPECT_EQ(f.view.m_nDerivSource, 101);
  EXPECT_EQ(f.view.m_bShowDeriv, 0);
  EXPECT_FALSE(f.Has("Derivative"));
  EXPECT_FALSE(f.Has("UpwardCont"));
}

TEST(TessmorView, DerivativeNeedsEightSamples) {
  FakePrompts prompts;
  ScriptedDialogs dialogs;
  Fixture f(7);
  dialogs.Ok();
  f.view.OnCommand(CTessmorView::ID_SECOND_DERIV);
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>{"Not enough data points to calculate\n Second derivative "
                                     "using this method\n Enter more data !"});
  EXPECT_EQ(f.view.m_bShowDeriv, 0);
  EXPECT_FALSE(f.Has("Derivative"));
}

TEST(TessmorView, ModelReplacesTheOtherDisplays) {
  FakePrompts prompts;
  ScriptedDialogs dialogs;
  Fixture f(20, 1000);
  f.view.m_bShowUpward = 1;
  f.view.m_bShowDeriv = 1;
  dialogs.Ok([](DialogModel& d) {
    d.SetText(CInversionDlg::IDC_DENSITY, "300");
    d.SetText(CInversionDlg::IDC_DEPTH, "5");
    d.SetRadio(CInversionDlg::IDC_MODEL, CInversionDlg::kGraniteRadio);
  });
  ASSERT_TRUE(f.view.OnCommand(CTessmorView::ID_2D_MODEL));
  EXPECT_EQ(f.view.m_nModelType, 1);
  EXPECT_EQ(f.view.m_bShowModel, 1);
  EXPECT_EQ(f.view.m_bShowUpward + f.view.m_bShowDeriv, 0);
  const std::string table = f.Table("BlockModel");
  EXPECT_EQ(table.rfind("BlockModel, line\r\nDist\tCalc\tResid\tDepth\r\n1000 \t ", 0), 0u);
  EXPECT_NE(table.find("\r\n10500 \t "), std::string::npos);  // 20 samples from 1000 m at 500 m
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 22);
  EXPECT_FALSE(f.Has("UpwardCont"));

  // Only Anomaly switches everything off; a rebuild then writes nothing new.
  std::filesystem::remove(f.dir + "/line_BlockModel.txt");
  f.view.OnCommand(CTessmorView::ID_ONLY_ANOMALY);
  EXPECT_EQ(f.view.m_bShowModel, 0);
  EXPECT_FALSE(f.Has("BlockModel"));
}

TEST(TessmorView, ExportProposesAPictureNamedAfterTheProfileAndSparesTheProfile) {
  FakePrompts prompts;
  tessmor::testing::FakeFileDialogs files;
  Fixture f(20, 1000);
  const std::string profile = f.dir + "/basin.txt";
  std::ofstream(profile, std::ios::binary) << "   1000   4.06\r\n";
  f.doc.SetPathName(profile);
  f.view.OnInitialUpdate();
  f.view.OnUpdate(nullptr, CTessmorView::kHintRebuild, nullptr);
  files.Script({true, profile, 0});  // the user picks the profile itself and says Yes
  EXPECT_FALSE(f.view.OnExport());
  ASSERT_EQ(files.requests().size(), 1u);
  EXPECT_EQ(files.requests()[0].file_name, "basin.emf");
  EXPECT_EQ(files.requests()[0].initial_dir, f.dir);
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>{"A picture cannot be written over the document's own file."});
  EXPECT_TRUE(tessmor::testing::Slurp(profile) == "   1000   4.06\r\n") << "the profile is intact";
}

TEST(ResultTables, RowsFollowTheSampleSpacing) {
  Fixture f(10);
  std::vector<float> values(10);
  for (int i = 0; i < 10; ++i) values[i] = i * 0.5f;
  values[3] = 0.000012345f;
  EXPECT_EQ(f.view.WriteResults(CTessmorView::kResultDerivative, 0, &values, nullptr), 1);
  const std::string table = f.Table("Derivative");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 12);
  EXPECT_NE(table.find("\r\n1500 \t 1.2345e-05\r\n"), std::string::npos);
  EXPECT_NE(table.find("\r\n4500 \t 4.5\r\n"), std::string::npos);
  EXPECT_EQ(table.substr(table.size() - 2), "\r\n");
  EXPECT_EQ(f.view.WriteResults(55, 0, &values, nullptr), 0);
}

TEST(ResultTables, RewrittenTableKeepsItsPermissionsAndItsLink) {
  Fixture f(10);
  std::vector<float> values(10, 2.0f);
  // The table is a link into another folder, to a file only its owner may write.
  const std::string elsewhere = tessmor::testing::MakeTempDir() + "/kept.txt";
  std::ofstream(elsewhere, std::ios::binary) << "old table";
  ASSERT_EQ(::chmod(elsewhere.c_str(), 0600), 0);
  std::filesystem::create_symlink(elsewhere, f.dir + "/line_Derivative.txt");
  EXPECT_EQ(f.view.WriteResults(CTessmorView::kResultDerivative, 0, &values, nullptr), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(f.dir + "/line_Derivative.txt"));
  EXPECT_EQ(tessmor::testing::Slurp(elsewhere).substr(0, 16), "2nd Derivative, ");
  struct stat st;
  ASSERT_EQ(::stat(elsewhere.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  int files = 0;
  for (auto& e :
       std::filesystem::directory_iterator(std::filesystem::path(elsewhere).parent_path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1) << "a temporary file was left beside the table";
}

TEST(ResultTables, TableThatCannotBeReplacedStaysAsItWasAndTheStatusBarSaysWhy) {
  tessmor::testing::FakePrompts prompts;
  Fixture f(10);
  std::vector<float> values(10, 2.0f);
  // A folder in the table's place: the write fails, and what was there stays.
  std::filesystem::create_directory(f.dir + "/line_Derivative.txt");
  std::ofstream(f.dir + "/line_Derivative.txt/inside", std::ios::binary) << "kept";
  EXPECT_EQ(f.view.WriteResults(CTessmorView::kResultDerivative, 0, &values, nullptr), 0);
  EXPECT_EQ(tessmor::testing::Slurp(f.dir + "/line_Derivative.txt/inside"), "kept");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(f.dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1) << "a temporary file was left";
  EXPECT_EQ(prompts.status_messages(),
            std::vector<std::string>{
                "line_Derivative.txt was not written: The file could not be accessed"});
}

TEST(ResultTables, TooFewValuesLeaveAnEmptyFile) {
  Fixture f(4);
  std::vector<float> values(4, 1.0f);
  EXPECT_EQ(f.view.WriteResults(CTessmorView::kResultDerivative, 0, &values, nullptr), 0);
  EXPECT_TRUE(f.Has("Derivative"));
  EXPECT_EQ(f.Table("Derivative"), "");
  f.view.m_upward.push_back(std::make_unique<ProfilePoint>());
  EXPECT_EQ(f.view.WriteResults(CTessmorView::kResultUpward, 0, nullptr, nullptr), 0);
  EXPECT_EQ(f.Table("UpwardCont"), "");
}

TEST(ResultTables, UnsavedDocumentWritesInTheCurrentFolder) {
  CTessmorDoc doc;
  CTessmorView view;
  doc.AddView(&view);
  EXPECT_EQ(view.ResultPath(CTessmorView::kResultBlockModel), "_BlockModel.txt");
  doc.SetPathName("/data/line4.gpr");
  EXPECT_EQ(view.ResultPath(CTessmorView::kResultBlockModel), "/data/line4_BlockModel.txt");
  // A folder that does not exist: nothing is written, the status bar tells.
  doc.SetPathName("/no/such/folder/line4.gpr");
  BlockResultArray none;
  EXPECT_EQ(view.WriteResults(CTessmorView::kResultBlockModel, 0, nullptr, &none), 0);
}

}  // namespace
