#include "profile/CsvProfile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/docview/Application.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

std::vector<std::int32_t> Distances(const CsvProfile& p) {
  std::vector<std::int32_t> d;
  for (const ProfilePoint& q : p.points) d.push_back(q.distance);
  return d;
}

TEST(CsvProfile, ReadsEachSeparatorUnitAndLineEnd) {
  struct Case {
    const char* text;
    std::vector<std::int32_t> distances;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF# made by hand\r\nDistance_KM;Anomaly_mGal\r\n0;3.717\r\n0.499;3.755\r\n"
       "2.4;-1\r\n",
       {0, 499, 2400}},
      {"anomaly_mgal\tdistance_m\r3.717\t0.9\r3.755\t499.6\r\r-1\t+2400\r", {0, 499, 2400}},
      {"\"distance_m\",\"anomaly_mgal\"\n,\n\"0\",\"3.717\"\n  499 , 3.755 \n2400,-1e0\n;\n",
       {0, 499, 2400}},
  };
  for (const Case& c : cases) {
    CsvProfile p;
    std::string error;
    ASSERT_TRUE(p.Parse(c.text, error)) << c.text << ": " << error;
    EXPECT_EQ(Distances(p), c.distances) << c.text;
    ASSERT_EQ(p.points.size(), 3u);
    EXPECT_EQ(p.points[1].anomaly, 3.755) << c.text;
    EXPECT_EQ(p.points[2].anomaly, -1.0) << c.text;
    EXPECT_EQ(p.background, kBackgroundNone);
  }
}

TEST(CsvProfile, RefusesMalformedFilesNamingTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"# x\ndist,anomaly_mgal\n0,1\n", "Line 2: unknown column \"dist\""},
      {"distance_km,anomaly_mgal,height_m\n", "Line 1: the header names 3 columns"},
      {"distance_km,anomaly_mgal\n0,1\n1,2,3\n", "Line 3: 3 values where the header names 2"},
      {"distance_km;anomaly_mgal\n0;1\n\n1;3,7\n", "Line 4: \"3,7\" is not a number (decimals"},
      {"distance_km,anomaly_mgal\n0,1\n1,nan\n", "Line 3: \"nan\" is not a number"},
      {"distance_km,anomaly_mgal\n0,1\n2,1\n# c\n\n1.5,2\n",
       "Line 6: the distance 1.5 km is not beyond the one before (2 km)"},
      {"distance_m,anomaly_mgal\n0,1\n0.5,2\n", "Line 3: the distance 0.5 m is not beyond"},
      {"distance_km,anomaly_mgal\n1e9,1\n", "Line 2: the distance 1e9 km is out of range"},
      {"# background: linear 1 2 3\n", "Line 1: the background reads"},
      {"# background: linear 1 2 1 3\n", "Line 1: the two background points"},
  };
  for (const auto& [text, message] : cases) {
    CsvProfile p;
    std::string error;
    EXPECT_FALSE(p.Parse(text, error)) << text;
    EXPECT_EQ(error.rfind(message, 0), 0u) << text << " gave " << error;
  }
}

TEST(CsvProfile, WritesWhatItReadsBack) {
  CsvProfile p;
  p.name = "Line\r\nA\t";
  p.background = kBackgroundLinear;
  p.from = {-1500, 3.7000000001};
  p.to = {3252, 3.9};
  p.points = {{-1500, 0.1 + 0.2}, {0, -0.0}, {3252, 1e-7}, {2147483647, 12345.678}};
  const std::string text = p.Format();
  EXPECT_EQ(text,
            "# traverse: Line  A\r\n# background: linear -1.5 3.7 3.252 3.9\r\n"
            "distance_km,anomaly_mgal\r\n-1.5,0.30000000000000004\r\n0,-0\r\n3.252,1e-07\r\n"
            "2147483.647,12345.678\r\n");
  CsvProfile back;
  std::string error;
  ASSERT_TRUE(back.Parse(text, error)) << error;
  EXPECT_EQ(back.name, "Line  A");
  EXPECT_EQ(Distances(back), Distances(p));
  for (std::size_t i = 0; i < p.points.size(); ++i) {
    EXPECT_EQ(back.points[i].anomaly, p.points[i].anomaly) << i;
  }
  EXPECT_EQ(back.Format(), text);
}

// The desktop program's view of a CSV file: a refused one shows its message and opens no
// window; a good one opens under its own template and saves back through it.
TEST(CsvProfile, DocumentOpensRefusesAndSaves) {
  tessmor::testing::FakePrompts prompts;
  tessmor::Application app;
  AddProfileTemplates(app);
  const std::string dir = tessmor::testing::MakeTempDir();
  std::ofstream(dir + "/bad.csv") << "distance_km,anomaly_mgal\n0,1\n1,x\n";
  EXPECT_EQ(app.OpenDocumentFile(dir + "/bad.csv"), nullptr);
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{"Line 3: \"x\" is not a number"});

  std::ofstream(dir + "/good.csv") << "# background: constant 1\ndistance_km,anomaly_mgal\n"
                                      "0,1.5\n0.5,2\n1,2.5\n2,3.5\n2.5,4\n";
  auto* doc = static_cast<CTessmorDoc*>(app.OpenDocumentFile(dir + "/good.csv"));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->TypeFromTemplate(), kFileTypeCsv);
  EXPECT_EQ(doc->m_strTraverseName, "good.csv");
  EXPECT_EQ(doc->m_bEquallySpaced, 0);
  EXPECT_EQ(doc->m_nSpacing, 500);  // 2500 m / 5 points
  EXPECT_EQ(doc->m_nInterpStatus, 0);
  EXPECT_EQ(doc->m_nBackgroundType, kBackgroundConstant);
  EXPECT_EQ(doc->m_dBackgroundLevel, 1.0);
  ASSERT_TRUE(doc->DoSaveProfile(dir + "/again.csv", false));
  EXPECT_EQ(tessmor::testing::Slurp(dir + "/again.csv"),
            "# traverse: good.csv\r\n# background: constant 1\r\ndistance_km,anomaly_mgal\r\n"
            "0,1.5\r\n0.5,2\r\n1,2.5\r\n2,3.5\r\n2.5,4\r\n");
}

}  // namespace
