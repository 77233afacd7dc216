// CSV profiles and CSV result tables in batch runs.
#include "batch/CsvTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "platform/docview/Application.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "profileview/TessmorView.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

namespace fs = std::filesystem;
using tessmor::testing::Slurp;

class CsvBatch : public ::testing::Test {
 protected:
  CsvBatch() {
    prompts.set_default_yes(true);
    AddProfileTemplates(app);
  }
  int Run(std::vector<std::string> args) {
    BatchOptions options;
    std::string error;
    if (!ParseBatchOptions(args, options, error)) return 2;
    return RunBatch(options, err);
  }
  CTessmorDoc* Open(const std::string& path) {
    return static_cast<CTessmorDoc*>(app.OpenDocumentFile(path));
  }
  // The same stations, name and background in both documents.
  static void ExpectSameProfile(const CTessmorDoc& a, const CTessmorDoc& b) {
    ASSERT_EQ(a.m_points.size(), b.m_points.size());
    for (std::size_t i = 0; i < a.m_points.size(); ++i) {
      EXPECT_EQ(a.m_points[i]->distance, b.m_points[i]->distance) << i;
      EXPECT_EQ(a.m_points[i]->anomaly, b.m_points[i]->anomaly) << i;
    }
    EXPECT_EQ(a.m_strTraverseName, b.m_strTraverseName);
    EXPECT_EQ(a.m_nBackgroundType, b.m_nBackgroundType);
    EXPECT_NEAR(a.m_dBackgroundLevel, b.m_dBackgroundLevel, 1e-9);
    EXPECT_NEAR(a.m_dBackgroundSlope, b.m_dBackgroundSlope, 1e-12);
  }

  tessmor::testing::FakePrompts prompts;
  tessmor::Application app;
  std::ostringstream err;
  const std::string dir = tessmor::testing::MakeTempDir();
};

TEST(CsvTables, KeepEveryNumberOfTheTable) {
  std::string csv;
  ASSERT_TRUE(ResultTableAsCsv(CTessmorView::kResultBlockModel,
                               "BlockModel, basin\r\nDist\tCalc\tResid\tDepth\r\n"
                               "0 \t -1.5\t 0.25\t 1.2345e-05\r\n500 \t -2\t 0\t 8\r\n",
                               csv));
  EXPECT_EQ(csv,
            "distance_m,calculated_mgal,residual_mgal,depth_km\r\n0,-1.5,0.25,1.2345e-05\r\n"
            "500,-2,0,8\r\n");
  EXPECT_FALSE(ResultTableAsCsv(CTessmorView::kResultUpward, "t\r\nc\r\n250 \t 3.5\t 1\r\n", csv));
}

// The example saved as CSV reads back as the same profile and gives the same result tables;
// --tables csv adds the CSV tables and leaves the documented ones as they are.
TEST_F(CsvBatch, ExampleSavedAsCsvGivesTheSameProfileAndTables) {
  fs::create_directories(dir + "/txt");
  fs::create_directories(dir + "/csv");
  fs::copy_file(fs::path(tessmor::testing::SourceDir()) / "examples/basin.txt",
                dir + "/txt/basin.txt");
  const std::vector<std::string> analyses = {
      "--upward", "2", "--derivative", "anomaly", "--model", "basin:-150:8", "--tables", "csv"};
  std::vector<std::string> first = analyses;
  first.insert(first.end(), {"--save", dir + "/csv/basin.csv", dir + "/txt/basin.txt"});
  ASSERT_EQ(Run(first), 0) << err.str();
  std::vector<std::string> second = analyses;
  second.push_back(dir + "/csv/basin.csv");
  ASSERT_EQ(Run(second), 0) << err.str();

  CTessmorDoc* txt = Open(dir + "/txt/basin.txt");
  CTessmorDoc* csv = Open(dir + "/csv/basin.csv");
  ASSERT_NE(txt, nullptr);
  ASSERT_NE(csv, nullptr);
  ExpectSameProfile(*txt, *csv);
  for (const char* kind : {"UpwardCont", "Derivative", "BlockModel"}) {
    SCOPED_TRACE(kind);
    const std::string table = Slurp(dir + "/txt/basin_" + kind + ".txt");
    ASSERT_GT(table.size(), 100u);
    EXPECT_EQ(Slurp(dir + "/csv/basin_" + kind + ".txt"), table);
    const std::string csv_table = Slurp(dir + "/txt/basin_" + kind + ".csv");
    EXPECT_EQ(csv_table.rfind("distance_m,", 0), 0u);
    // One CSV line per table row: the table has two heading lines, the CSV one.
    EXPECT_EQ(std::count(csv_table.begin(), csv_table.end(), '\n') + 1,
              std::count(table.begin(), table.end(), '\n'));
    EXPECT_EQ(Slurp(dir + "/csv/basin_" + kind + ".csv"), csv_table);
  }
}

// A profile as LibreOffice Calc exports it, with commas or with semicolons, is read, analysed
// and saved back as CSV, which reads as the same profile.
TEST_F(CsvBatch, SpreadsheetExportIsReadAnalysedAndSavedBack) {
  const fs::path data = fs::path(tessmor::testing::SourceDir()) / "testdata/csv";
  fs::copy_file(data / "spreadsheet_comma.csv", dir + "/line.csv");
  ASSERT_EQ(Run({"--upward", "2", "--model", "basin:-300:0", "--tables", "csv", "--save",
                 dir + "/saved.csv", dir + "/line.csv"}),
            0)
      << err.str();
  EXPECT_EQ(Slurp(dir + "/line_BlockModel.csv").rfind("distance_m,calculated_mgal,", 0), 0u);
  EXPECT_GT(Slurp(dir + "/line_UpwardCont.txt").size(), 100u);

  CTessmorDoc* read = Open(dir + "/line.csv");
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->m_points.size(), 21u);
  EXPECT_EQ(read->m_points[1]->distance, 400);
  EXPECT_EQ(read->m_points[1]->anomaly, 3.99);
  EXPECT_EQ(read->m_points[20]->distance, 10000);
  EXPECT_EQ(read->m_strTraverseName, "Spreadsheet line");
  EXPECT_EQ(read->m_nBackgroundType, kBackgroundLinear);
  EXPECT_DOUBLE_EQ(read->BackgroundAt(10000), 4.5);
  EXPECT_EQ(read->m_bEquallySpaced, 0);

  CTessmorDoc* semicolon = Open((data / "spreadsheet_semicolon.csv").string());
  ASSERT_NE(semicolon, nullptr);
  ExpectSameProfile(*read, *semicolon);
  CTessmorDoc* saved = Open(dir + "/saved.csv");
  ASSERT_NE(saved, nullptr);
  ExpectSameProfile(*read, *saved);
}

}  // namespace
