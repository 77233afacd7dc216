#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Application.h"
#include "platform/Archive.h"
#include "platform/FileDialogs.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/ReturnsWithin.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::testing::FakePrompts;

const char kBadFormat[] = "Unknown, or Incorrect File Format Supplied\n";
const char kNoData[] = "This File Contains No Data to Interpret\n";
const char kFailedOpen[] = "Failed to open document.";
const char kCannotAccess[] = "The file could not be accessed";
const char kNotLocated[] = "The file could not be located";

class ProfileFiles : public ::testing::Test {
 protected:
  ProfileFiles() {
    AddProfileTemplates(app_);
    dir_ = tessmor::testing::MakeTempDir();
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  CTessmorDoc* Open(const std::string& path) {
    return static_cast<CTessmorDoc*>(app_.OpenDocumentFile(path));
  }

  tessmor::Application app_;
  std::string dir_;
};

TEST_F(ProfileFiles, GravmagUnitLineChoosesKilometresOrMetres) {
  FakePrompts prompts;
  const std::string rows = "1.25 0 3.4\r\n2.25 0 3.6\r\n";
  CTessmorDoc* km = Open(Write("km.dat", "2\r\nK\r\nmg\r\n 2 0 0 0\r\n" + rows));
  ASSERT_NE(km, nullptr);
  EXPECT_EQ(km->m_points[0]->distance, 1250);
  EXPECT_EQ(km->m_points[0]->anomaly, static_cast<double>(3.4f));
  // The traverse name of a GRAVMAG file is the file's name.
  EXPECT_EQ(km->m_strTraverseName, "km.dat");
  int i = 0;
  for (const char* unit : {"M", "m", "KM", "km"}) {
    CTessmorDoc* m = Open(Write("m" + std::to_string(i++) + ".dat",
                                std::string("2\r\n") + unit + "\r\nMg\r\n 2 0 0 0\r\n" + rows));
    ASSERT_NE(m, nullptr) << unit;
    EXPECT_EQ(m->m_points[0]->distance, 1) << unit;
  }
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(ProfileFiles, GravmagRefusesAForeignAnomalyUnit) {
  FakePrompts prompts;
  EXPECT_EQ(Open(Write("bad.dat", "2\r\nM\r\nmGal\r\n 2 0 0 0\r\n0 0 1\r\n500 0 2\r\n")), nullptr);
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{kBadFormat});
  EXPECT_TRUE(app_.documents().empty());
}

TEST_F(ProfileFiles, TextFilesWithoutDataAreRefused) {
  FakePrompts prompts;
  EXPECT_EQ(Open(Write("empty.dat", "")), nullptr);
  EXPECT_EQ(Open(Write("headers.dat", "2\r\nM\r\nMG\r\n 0 0 0 0\r\n")), nullptr);
  EXPECT_EQ(Open(Write("title.txt", "Just a title\r\n")), nullptr);
  EXPECT_EQ(Open(Write("short.dat", "2\r\nM\r\n")), nullptr);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{kNoData, kNoData, kNoData, kBadFormat}));
}

TEST_F(ProfileFiles, GravAsciiTitleCarriesNameAndBackground) {
  FakePrompts prompts;
  const std::string rows =
      "    1          0        0.0          0.0      2.198\r\n"
      "    2        334        0.0          0.0      2.268\r\n"
      "    3        559        0.0          0.0      2.362\r\n";
  CTessmorDoc* doc = Open(Write("a.txt", "Line A     ( 0   10.000 , 5000   12.500 )\r\n" + rows));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->m_strTraverseName, "Line A");
  EXPECT_EQ(doc->m_nBackgroundType, kBackgroundLinear);
  EXPECT_NEAR(doc->m_dBackgroundSlope, 0.0005, 1e-12);
  EXPECT_NEAR(doc->m_dBackgroundLevel, 10.0, 1e-12);
  EXPECT_EQ(doc->m_nBackgroundRight, 5000);
  EXPECT_EQ(doc->m_points[1]->distance, 334);
  EXPECT_EQ(doc->m_points[2]->anomaly, 2.362);

  CTessmorDoc* plain = Open(Write("b.txt", "Line A\r\n" + rows));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->m_strTraverseName, "Line A");
  EXPECT_EQ(plain->m_nBackgroundType, kBackgroundNone);

  CTessmorDoc* level = Open(Write("c.txt", "   ( 4.5 )\r\n" + rows));
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->m_strTraverseName, "c.txt");
  EXPECT_EQ(level->m_nBackgroundType, kBackgroundConstant);
  EXPECT_DOUBLE_EQ(level->m_dBackgroundLevel, 4.5);

  CTessmorDoc* untitled = Open(Write("d.txt", "\r\n" + rows));
  ASSERT_NE(untitled, nullptr);
  EXPECT_EQ(untitled->m_strTraverseName, "d.txt");
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(ProfileFiles, GravAsciiRefusesTwoOrThreeBackgroundNumbers) {
  FakePrompts prompts;
  const std::string rows = "    1    0   0.0   0.0   2.1\r\n    2  500   0.0   0.0   2.2\r\n";
  EXPECT_EQ(Open(Write("two.txt", "Step B     ( 2.50 , 3.50 )\r\n" + rows)), nullptr);
  EXPECT_EQ(Open(Write("three.txt", "Step B     ( 1 2 3 )\r\n" + rows)), nullptr);
  EXPECT_EQ(Open(Write("four.txt", "Line     ( 1 2 3 )\r\n    1    0   0.0   0.0\r\n")), nullptr);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{kBadFormat, kBadFormat, kBadFormat}));
}

TEST_F(ProfileFiles, LongTitleLinesAreReadWhole) {
  FakePrompts prompts;
  const std::string rows = "    1    0   0.0   0.0   2.1\r\n    2  500   0.0   0.0   2.2\r\n";
  // A background stretch far beyond any fixed buffer.
  const std::string stretch = "( 0   10.000 , 5000   12.500" + std::string(100000, ' ') + ")";
  CTessmorDoc* wide = Open(Write("long.txt", "Name " + stretch + "\r\n" + rows));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->m_strTraverseName, "Name");
  EXPECT_NEAR(wide->m_dBackgroundSlope, 0.0005, 1e-12);
  const std::string name(100000, 'x');
  CTessmorDoc* doc = Open(Write("name.txt", name + " ( 3 )\r\n" + rows));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->m_strTraverseName, name);
}

TEST_F(ProfileFiles, TwoDqnRebuildsDistancesFromTheSpacing) {
  FakePrompts prompts;
  CTessmorDoc* doc = Open(Write("q.g", "12 , 0.500000\r\n 1.5 \r\n 2.5 \r\n -3.25 \r\n"));
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(doc->m_points.size(), 3u);
  EXPECT_EQ(doc->m_points[0]->distance, 0);
  EXPECT_EQ(doc->m_points[1]->distance, 500);
  EXPECT_EQ(doc->m_points[2]->distance, 1000);
  EXPECT_EQ(doc->m_points[2]->anomaly, -3.25);
  EXPECT_EQ(doc->m_nSpacing, 500);
  EXPECT_EQ(doc->m_bEquallySpaced, 1);
  EXPECT_EQ(doc->m_strTraverseName, "q.g");
  EXPECT_EQ(Open(Write("bad.g", "12\r\n 1.5 \r\n")), nullptr);
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{kBadFormat});
}

TEST_F(ProfileFiles, CommaSeparatedLastLineIsReadWithOrWithoutALineEnd) {
  // Each text type, its last data line ended by CR LF, by a line feed alone, or not at all.
  struct Case {
    const char* ext;
    std::string body;
    double last_anomaly;
  };
  const std::vector<Case> cases = {
      {".dat", "2\r\nM\r\nMG\r\n2,0,0,0\r\n0,0.0,1.500\r\n500,0.0,-2.250", -2.25},
      {".txt", "Line C\r\n1,0,0.0,0.0,1.500\r\n2,500,0.0,0.0,-2.250", -2.25},
      {".g", "2 , 0.500000\r\n1.500,\r\n-2.250,", -2.25},
  };
  int n = 0;
  for (const Case& c : cases) {
    for (const char* end : {"", "\n", "\r\n"}) {
      FakePrompts prompts;
      const std::string name = "last" + std::to_string(n++) + c.ext;
      CTessmorDoc* doc = Open(Write(name, c.body + end));
      ASSERT_NE(doc, nullptr) << name;
      ASSERT_EQ(doc->m_points.size(), 2u) << name;
      EXPECT_EQ(doc->m_points[1]->distance, 500) << name;
      EXPECT_EQ(doc->m_points[1]->anomaly, c.last_anomaly) << name;
      EXPECT_TRUE(prompts.texts().empty()) << name;
    }
  }
}

TEST_F(ProfileFiles, TextFilesOfEmptyLinesAreRefused) {
  for (const char* ext : {".dat", ".txt", ".g"}) {
    FakePrompts prompts;
    EXPECT_EQ(Open(Write(std::string("blank") + ext, "\r\n  \r\n\r\n")), nullptr) << ext;
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{kNoData}) << ext;
  }
  EXPECT_TRUE(app_.documents().empty());
  EXPECT_TRUE(app_.recent_files().empty());
}

TEST_F(ProfileFiles, SpecialFilesAreRefusedAtOnceWithTheFileError) {
  const std::string fifo = dir_ + "/pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = dir_ + "/zero.gpr";
  std::filesystem::create_symlink("/dev/zero", zero);
  // Should an open wait for a writer of the FIFO, one comes after the time limit.
  auto writer = [&fifo] {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  };
  for (const std::string& path : {fifo, zero}) {
    FakePrompts prompts;
    CTessmorDoc* doc = tessmor::testing::ReturnsWithin<CTessmorDoc*>(
        5, [&] { return Open(path); }, writer);
    EXPECT_EQ(doc, nullptr) << path;
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{kCannotAccess}) << path;
  }
  FakePrompts prompts;
  EXPECT_EQ(Open(dir_ + "/absent.dat"), nullptr);
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{kNotLocated});
  EXPECT_TRUE(app_.documents().empty());
  EXPECT_TRUE(app_.recent_files().empty());
}

TEST_F(ProfileFiles, ProjectFilesOfBothLayoutsAreRead) {
  FakePrompts prompts;
  tessmor::Archive old = tessmor::Archive::ForStore(dir_ + "/old.gpr");
  old.WriteString("Old line");
  old.WriteString("  3");
  old.WriteString("0    1.000");
  old.WriteString("1000   -2.500");
  old.WriteString("2500    0.125");
  old.Commit();
  CTessmorDoc* doc = Open(dir_ + "/old.gpr");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->m_strTraverseName, "Old line");
  ASSERT_EQ(doc->m_points.size(), 3u);
  EXPECT_EQ(doc->m_points[1]->anomaly, -2.5);
  EXPECT_EQ(doc->m_nBackgroundType, kBackgroundNone);
  EXPECT_EQ(doc->m_bEquallySpaced, 0);
  EXPECT_EQ(doc->m_nSpacing, 833);  // (2500 - 0) / 3
}

TEST_F(ProfileFiles, DamagedProjectFilesFailToOpen) {
  FakePrompts prompts;
  tessmor::Archive bad = tessmor::Archive::ForStore(dir_ + "/bad.gpr");
  bad.WriteString("TESSMOR 2.1");
  bad.WriteString("Name");
  bad.WriteString("2");
  bad.WriteU16(4);
  bad.WriteU16(32);
  bad.WriteU16(1);
  bad.WriteDouble(0);
  bad.WriteDouble(0);
  bad.WriteI32(0);
  bad.WriteI32(0);
  bad.WriteString("0   1.000");
  bad.WriteString("not a point");
  bad.Commit();
  EXPECT_EQ(Open(dir_ + "/bad.gpr"), nullptr);
  // Cut short inside the settings.
  const std::string whole = tessmor::testing::Slurp(dir_ + "/bad.gpr");
  Write("cut.gpr", whole.substr(0, 25));
  EXPECT_EQ(Open(dir_ + "/cut.gpr"), nullptr);
  // A count far beyond the data.
  tessmor::Archive big = tessmor::Archive::ForStore(dir_ + "/big.gpr");
  big.WriteString("Name");
  big.WriteString("2000000000");
  big.WriteString("0   1.000");
  big.Commit();
  EXPECT_EQ(Open(dir_ + "/big.gpr"), nullptr);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{kFailedOpen, kFailedOpen, kFailedOpen}));
}

TEST(ProfilePointText, FormatsAndParsesLikeTheProjectFile) {
  EXPECT_EQ(CTessmorDoc::FormatPoint({1000, 12.3456}), "1000    12.346");
  EXPECT_EQ(CTessmorDoc::FormatPoint({-250, -2.5}), "-250   -2.500");
  EXPECT_EQ(CTessmorDoc::FormatPoint({0, 0.0}), "0   0.000");
  auto p = CTessmorDoc::ParsePoint("  1000    12.346");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->distance, 1000);
  EXPECT_EQ(p->anomaly, 12.346);
  EXPECT_EQ(CTessmorDoc::ParsePoint("1000"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint("x 1.0"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint("99999999999 1.0"), nullptr);
}

}  // namespace
