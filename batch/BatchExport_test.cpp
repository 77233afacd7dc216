// The chart of a batch run written with --export, --paper and --layout.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "chart/document/VexaDoc.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"
#include "tools/vexa-dump/VexaDump.h"

namespace {

namespace fs = std::filesystem;

class BatchExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(tessmor::testing::SourceDir()) / "examples/basin.txt", profile);
  }
  // Runs the batch job with `args` and the example profile; the exit status as main gives it.
  int Run(std::vector<std::string> args) {
    args.push_back(profile);
    BatchOptions options;
    std::string error;
    if (!ParseBatchOptions(args, options, error)) return 2;
    std::ostringstream err;
    return RunBatch(options, err);
  }
  std::string In(const std::string& name) const { return dir + "/" + name; }

  tessmor::testing::FakePrompts prompts;
  const std::string dir = tessmor::testing::MakeTempDir();
  const std::string profile = dir + "/basin.txt";
};

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

TEST_F(BatchExportTest, WritesEveryExtensionWithItsOwnBytes) {
  std::vector<std::string> args = {"--upward", "2", "--derivative", "anomaly"};
  for (const char* ext : {"png", "svg", "pdf", "emf", "wmf", "bmp", "vxc"}) {
    args.push_back("--export");
    args.push_back(In(std::string("chart.") + ext));
  }
  ASSERT_EQ(Run(args), 0);
  const std::string png = tessmor::testing::Slurp(In("chart.png"));
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const std::string svg = tessmor::testing::Slurp(In("chart.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_EQ(tessmor::testing::Slurp(In("chart.pdf")).substr(0, 5), "%PDF-");
  const std::string emf = tessmor::testing::Slurp(In("chart.emf"));
  ASSERT_GT(emf.size(), 88u);
  EXPECT_EQ(U32At(emf, 0), 1u);            // EMR_HEADER
  EXPECT_EQ(U32At(emf, 40), 0x464D4520u);  // " EMF"
  const std::string wmf = tessmor::testing::Slurp(In("chart.wmf"));
  ASSERT_GT(wmf.size(), 22u);
  EXPECT_EQ(U32At(wmf, 0), 0x9AC6CDD7u);  // the placeable header's key
  EXPECT_EQ(tessmor::testing::Slurp(In("chart.bmp")).substr(0, 2), "BM");
  const std::string vxc = tessmor::testing::Slurp(In("chart.vxc"));
  EXPECT_TRUE(vexa_dump::HasChartMagic(std::vector<std::uint8_t>(vxc.begin(), vxc.end())));
  // The profile layout shows the derivative's axis.
  EXPECT_NE(svg.find(">2nd Derivative"), std::string::npos);
}

TEST_F(BatchExportTest, ChartFileReadsBackWithTheAxisLabelsOfTheView) {
  ASSERT_EQ(Run({"--model", "basin:-150:8", "--export", In("model.vxc")}), 0);
  std::ostringstream out, err;
  ASSERT_EQ(vexa_dump::Run({In("model.vxc")}, out, err), vexa_dump::kExitOk) << err.str();
  const std::string listing = out.str();
  for (const char* label :
       {"Distance In Km", "Gravity Anomaly (mGals)", "Depth (km)", "Density Contrast="}) {
    EXPECT_NE(listing.find(label), std::string::npos) << label;
  }
}

TEST_F(BatchExportTest, LayoutProfileAfterAModelShowsTheProfilePanelAlone) {
  ASSERT_EQ(Run({"--upward", "2", "--model", "basin:-150:8", "--export", In("model.svg"),
                 "--layout", "model"}),
            0);
  ASSERT_EQ(Run({"--upward", "2", "--model", "basin:-150:8", "--layout", "profile", "--export",
                 In("profile.svg")}),
            0);
  const std::string model = tessmor::testing::Slurp(In("model.svg"));
  const std::string profile_svg = tessmor::testing::Slurp(In("profile.svg"));
  EXPECT_NE(model.find("Depth (km)"), std::string::npos);
  EXPECT_EQ(profile_svg.find("Depth (km)"), std::string::npos);
  EXPECT_NE(profile_svg.find(">Upward Continuation</text>"), std::string::npos);
  // The model's table is written either way.
  EXPECT_TRUE(fs::exists(In("basin_BlockModel.txt")));
}

TEST_F(BatchExportTest, UnknownExtensionIsAUsageErrorAndWritesNothing) {
  EXPECT_EQ(Run({"--export", In("chart.png"), "--export", In("chart.jpg")}), 2);
  EXPECT_EQ(Run({"--export", In("chart")}), 2);
  EXPECT_EQ(Run({"--layout", "model", "--export", In("chart.png")}), 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "only the profile is there";
}

TEST_F(BatchExportTest, PaperCodeSetsThePicturesSize) {
  ASSERT_EQ(Run({"--export", In("a4.png")}), 0);
  ASSERT_EQ(Run({"--paper", "5", "--export", In("a4p.png")}), 0);
  ASSERT_EQ(Run({"--paper", "24", "--export", In("a5.png")}), 0);
  QImage a4, a4p, a5;
  ASSERT_TRUE(a4.load(QString::fromStdString(In("a4.png"))));
  ASSERT_TRUE(a4p.load(QString::fromStdString(In("a4p.png"))));
  ASSERT_TRUE(a5.load(QString::fromStdString(In("a5.png"))));
  // At 300 dpi: 295 × 210 mm is 3484 × 2480 pixels, 210 × 148 mm 2480 × 1748.
  EXPECT_EQ(a4.size(), QSize(3484, 2480));
  EXPECT_EQ(a4p.size(), QSize(2480, 3484));
  EXPECT_EQ(a5.size(), QSize(2480, 1748));
  std::string error;
  BatchOptions o;
  EXPECT_FALSE(ParseBatchOptions({"--paper", "7", "x.txt"}, o, error));
  EXPECT_EQ(error, "--paper takes 5, 6, 9, 10, 20 or 24");
}

}  // namespace
