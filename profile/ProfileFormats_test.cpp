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
#include <random>
#include <sstream>

#include "platform/docview/Application.h"
#include "platform/io/Archive.h"
#include "platform/ui/FileDialogs.h"
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

TEST_F(ProfileFiles, GravAsciiTitleKeepsAnAwkwardNameApartFromTheBackground) {
  FakePrompts prompts;
  CTessmorDoc doc;
  doc.AddPoint({0, 10.0});
  doc.AddPoint({2500, 11.0});
  doc.AddPoint({5000, 12.5});
  doc.SetBackground(2, {0, 10.0}, {5000, 12.5});
  // Parentheses and a line break in the name, as a project file may hold them.
  doc.m_strTraverseName = "  Line (north)\r\nB ( ";
  tessmor::Archive out = tessmor::Archive::ForStore();
  doc.WriteGravAscii(out);
  const std::string saved(out.StoredBytes().begin(), out.StoredBytes().end());
  CTessmorDoc* back = Open(Write("awkward.txt", saved));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->m_strTraverseName, "Line [north] B [");
  EXPECT_EQ(back->m_nBackgroundType, 2);
  EXPECT_DOUBLE_EQ(back->m_dBackgroundSlope, doc.m_dBackgroundSlope);
  ASSERT_EQ(back->m_points.size(), 3u);
  tessmor::Archive again = tessmor::Archive::ForStore();
  back->WriteGravAscii(again);
  EXPECT_EQ(again.StoredBytes(), out.StoredBytes());
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(ProfileFiles, GravAsciiBackgroundEndOfNoiseIsSavedAsTheZeroItReadsBackAs) {
  FakePrompts prompts;
  // The level and slope through (5555 m, 0 mGal) and (1 m, 0.4 mGal) give back a hair above
  // zero at 5555 m; the saved title says 0.000, as the file did, and saves the same again.
  CTessmorDoc* doc = Open(Write("noise.txt",
                                "T     (5555   0.000 , 1    0.400 )\r\n"
                                "    1          0        0.0          0.0      0.750\r\n"));
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(doc->m_nBackgroundType, 2);
  tessmor::Archive out = tessmor::Archive::ForStore();
  doc->WriteGravAscii(out);
  const std::string saved(out.StoredBytes().begin(), out.StoredBytes().end());
  EXPECT_EQ(saved.substr(0, saved.find('\r')), "T     (5555   0.000 , 1    0.400 )");
  CTessmorDoc* again = Open(Write("noise_again.txt", saved));
  ASSERT_NE(again, nullptr);
  tessmor::Archive second = tessmor::Archive::ForStore();
  again->WriteGravAscii(second);
  EXPECT_EQ(second.StoredBytes(), out.StoredBytes());
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

TEST_F(ProfileFiles, TwoDqnSpacingOfWholeMetresSurvivesSavingAndReopening) {
  FakePrompts prompts;
  // 160.2 km is 160.199997 in single precision, and 160.2 × 1000.0 in double precision is a
  // hair below 160200: both are read as 160200 m, not truncated to 160199 m.
  int file = 0;
  for (const char* header : {"3 , 160.199997\r\n", "3 , 160.200000\r\n"}) {
    const std::string name = "far" + std::to_string(++file);
    CTessmorDoc* doc =
        Open(Write(name + ".g", std::string(header) + " 1.5 \r\n 2.5 \r\n 3.5 \r\n"));
    ASSERT_NE(doc, nullptr) << header;
    EXPECT_EQ(doc->m_nSpacing, 160200) << header;
    ASSERT_EQ(doc->m_points.size(), 3u);
    EXPECT_EQ(doc->m_points[2]->distance, 320400) << header;
    tessmor::Archive out = tessmor::Archive::ForStore();
    doc->Write2DQN(out);
    const std::string saved(out.StoredBytes().begin(), out.StoredBytes().end());
    EXPECT_EQ(saved.substr(0, saved.find('\r')), "3 , 160.199997");
    // Saved again after reopening, the file is the same.
    CTessmorDoc* again = Open(Write(name + "_again.g", saved));
    ASSERT_NE(again, nullptr);
    tessmor::Archive second = tessmor::Archive::ForStore();
    again->Write2DQN(second);
    EXPECT_EQ(second.StoredBytes(), out.StoredBytes());
  }
  // A spacing that is not within rounding of a whole metre is still truncated.
  CTessmorDoc* doc = Open(Write("odd.g", "2 , 0.0015\r\n 1 \r\n 2 \r\n"));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->m_nSpacing, 1);
  EXPECT_TRUE(prompts.texts().empty());
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

/// A profile as a user can make one: points, name, background and interpolation method.
struct ProjectVariant {
  std::string name;
  std::vector<ProfilePoint> points;
  int background = kBackgroundNone;
  int method = 4;
};

/// The project file the writer makes of `v`.
std::vector<std::uint8_t> WrittenProject(const ProjectVariant& v) {
  CTessmorDoc doc;
  doc.m_strTraverseName = v.name;
  for (const ProfilePoint& p : v.points) doc.AddPoint(p);
  doc.m_bEquallySpaced = doc.FindUnequalSpacing() == 0 ? 1 : 0;
  if (v.background != kBackgroundNone) {
    doc.SetBackground(v.background, {-500, 2.5}, {7000, -1.25});
  }
  doc.m_nInterpMethod = v.method;
  tessmor::Archive ar = tessmor::Archive::ForStore();
  doc.WriteProject(ar);
  return ar.StoredBytes();
}

TEST_F(ProfileFiles, EveryProjectFileTheWriterMakesReadsBackEqual) {
  const std::vector<ProfilePoint> equal = {{0, 1.0}, {500, -2.5}, {1000, 0.0}, {1500, 12.346}};
  const std::vector<ProfilePoint> unequal = {{-2500, -9999.999}, {0, 0.125}, {1250, 10000.0}};
  std::vector<ProfilePoint> many;
  for (int i = 0; i < 300; ++i) many.push_back({i * 250, (i - 150) / 1000.0});
  std::vector<ProjectVariant> variants = {
      {"Line A", equal},
      {"Line A", unequal, kBackgroundConstant, 1},
      {"Line A", unequal, kBackgroundLinear, 2},
      {"Line A", many, kBackgroundLinear, 3},
      {"", {}},
      {"One point", {{42, -0.5}}},
      {"North\r\nsecond line\n", equal},
      {"Line\tB", equal},  // a tab pasted into the name
      {"S\xC3\xBC"
       "d \xE9\xFF",
       equal},                            // bytes above 127, UTF-8 or not
      {std::string(254, 'a'), equal},     // the longest one-byte length
      {std::string(255, 'b'), equal},     // a 16-bit length
      {std::string(0xFFFD, 'c'), equal},  // the longest 16-bit length
      {std::string(0xFFFE, 'd'), equal},  // a 32-bit length
  };
  int n = 0;
  for (const ProjectVariant& v : variants) {
    FakePrompts prompts;
    const std::vector<std::uint8_t> bytes = WrittenProject(v);
    const std::string path =
        Write("v" + std::to_string(n++) + ".gpr", std::string(bytes.begin(), bytes.end()));
    CTessmorDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr) << path;
    EXPECT_EQ(doc->m_strTraverseName, v.name) << path;
    ASSERT_EQ(doc->m_points.size(), v.points.size()) << path;
    for (std::size_t i = 0; i < v.points.size(); ++i) {
      EXPECT_EQ(doc->m_points[i]->distance, v.points[i].distance) << path << " point " << i;
      // The file keeps 3 decimals; every anomaly here has no more.
      EXPECT_EQ(doc->m_points[i]->anomaly, v.points[i].anomaly) << path << " point " << i;
    }
    EXPECT_EQ(doc->m_nBackgroundType, v.background) << path;
    EXPECT_EQ(doc->m_nInterpMethod, v.method) << path;
    EXPECT_TRUE(prompts.texts().empty()) << path;
    // Read back equal: what the reader made, written again, is the same file.
    EXPECT_EQ(WrittenProject(v), bytes) << path;
    tessmor::Archive again = tessmor::Archive::ForStore();
    doc->WriteProject(again);
    EXPECT_EQ(again.StoredBytes(), bytes) << path;
  }
  EXPECT_EQ(app_.documents().size(), variants.size());
}

TEST_F(ProfileFiles, OlderLayoutProjectFilesStillOpen) {
  struct Old {
    std::string name;
    std::string count;
    std::vector<std::string> points;
  };
  const std::vector<Old> files = {
      {"Old line", "3", {"0    1.000", "1000   -2.500", "2500    0.125"}},
      {"Old line", "  +2  ", {"  0   1.000  ", "500   2.000\r\n"}},
      {"Two\r\nlines", "1", {"-250   -0.001"}},
      {std::string(300, 'o'), "0", {}},
  };
  int n = 0;
  for (const Old& f : files) {
    FakePrompts prompts;
    const std::string path = dir_ + "/old" + std::to_string(n++) + ".gpr";
    tessmor::Archive out = tessmor::Archive::ForStore(path);
    out.WriteString(f.name);
    out.WriteString(f.count);
    for (const std::string& p : f.points) out.WriteString(p);
    out.Commit();
    CTessmorDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr) << path;
    EXPECT_EQ(doc->m_strTraverseName, f.name) << path;
    EXPECT_EQ(doc->m_points.size(), f.points.size()) << path;
    EXPECT_TRUE(prompts.texts().empty()) << path;
  }
}

TEST_F(ProfileFiles, ProjectFilesInTestDataOpen) {
  FakePrompts prompts;
  int opened = 0;
  for (const auto& e :
       std::filesystem::recursive_directory_iterator(tessmor::testing::SourceDir() + "/testdata")) {
    if (e.path().extension() != ".gpr") continue;
    CTessmorDoc* doc = Open(e.path().string());
    EXPECT_NE(doc, nullptr) << e.path();
    if (doc) {
      EXPECT_FALSE(doc->m_points.empty()) << e.path();
    }
    ++opened;
  }
  EXPECT_GT(opened, 0);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(ProfileFiles, ProjectFilesThatDoNotReadCleanlyAreRefused) {
  // A well-formed file in either layout, to be spoilt one way at a time.
  auto project = [](bool header, const std::string& name, const std::string& count,
                    const std::vector<std::string>& points) {
    tessmor::Archive out = tessmor::Archive::ForStore();
    if (header) out.WriteString("TESSMOR 2.1");
    out.WriteString(name);
    out.WriteString(count);
    if (header) {
      out.WriteU16(4);
      out.WriteU16(kBackgroundNone);
      out.WriteU16(1);
      out.WriteDouble(0.0);
      out.WriteDouble(0.0);
      out.WriteI32(0);
      out.WriteI32(0);
    }
    for (const std::string& p : points) out.WriteString(p);
    const auto& b = out.StoredBytes();
    return std::string(b.begin(), b.end());
  };
  const std::vector<std::string> two = {"0   1.000", "500   2.000"};
  std::vector<std::string> bad;
  for (bool header : {true, false}) {
    bad.push_back(project(header, "Line", "2", two) + std::string(1, '\0'));  // a byte left over
    bad.push_back(project(header, "Line", "2", two) + project(header, "Line", "2", two));
    bad.push_back(project(header, "Line", "3", two));    // a count beyond the data
    bad.push_back(project(header, "Line", "1", two));    // a point left over
    bad.push_back(project(header, "Line", "two", two));  // not a count
    bad.push_back(project(header, "Line", "2x", two));
    bad.push_back(project(header, "Line", "", {}));
    bad.push_back(project(header, "Line", "-1", {}));
    bad.push_back(project(header, "Li\x01ne", "2", two));  // control characters
    bad.push_back(project(header, std::string("Li\0ne", 5), "2", two));
    bad.push_back(project(header, "Li\x7Fne", "2", two));
    bad.push_back(project(header, "Line", "2", {"0   1.000", "500   2.000 mGal"}));  // points
    bad.push_back(project(header, "Line", "2", {"0   1.000", "500"}));
  }
  // Random bytes, as a damaged or foreign file holds them.
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 random(seed);
    std::string bytes(3000, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    bad.push_back(bytes);
  }
  int n = 0;
  for (const std::string& bytes : bad) {
    FakePrompts prompts;
    const std::string name = "bad" + std::to_string(n++) + ".gpr";
    EXPECT_EQ(Open(Write(name, bytes)), nullptr) << name;
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{kFailedOpen}) << name;
  }
  EXPECT_TRUE(app_.documents().empty());
  EXPECT_TRUE(app_.recent_files().empty());
  // The same file unspoilt opens, in both layouts.
  FakePrompts prompts;
  EXPECT_NE(Open(Write("good.gpr", project(true, "Line", "2", two))), nullptr);
  EXPECT_NE(Open(Write("good-old.gpr", project(false, "Line", "2", two))), nullptr);
  EXPECT_EQ(app_.recent_files().size(), 2u);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(ProfilePointText, FormatsAndParsesLikeTheProjectFile) {
  EXPECT_EQ(CTessmorDoc::FormatPoint({1000, 12.3456}), "1000    12.346");
  EXPECT_EQ(CTessmorDoc::FormatPoint({-250, -2.5}), "-250   -2.500");
  EXPECT_EQ(CTessmorDoc::FormatPoint({0, 0.0}), "0   0.000");
  // Anomalies that show as zero are written as the zero they read back as, so a project saved
  // after reopening is the same file.
  EXPECT_EQ(CTessmorDoc::FormatPoint({18500, 0.0004}), "18500   0.000");
  EXPECT_EQ(CTessmorDoc::FormatPoint({18500, -0.0004}), "18500   0.000");
  EXPECT_EQ(CTessmorDoc::FormatPoint({18500, -0.0}), "18500   0.000");
  EXPECT_EQ(CTessmorDoc::FormatPoint({18500, 0.0005}), "18500    0.001");
  auto p = CTessmorDoc::ParsePoint("  1000    12.346");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->distance, 1000);
  EXPECT_EQ(p->anomaly, 12.346);
  EXPECT_EQ(CTessmorDoc::ParsePoint("1000"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint("x 1.0"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint("99999999999 1.0"), nullptr);
  // Trailing blanks are fine; anything else after the anomaly is not a point.
  EXPECT_NE(CTessmorDoc::ParsePoint("1000   12.346 \r\n"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint("1000   12.346 mGal"), nullptr);
  EXPECT_EQ(CTessmorDoc::ParsePoint(std::string("1000   12.346\0", 14)), nullptr);
}

}  // namespace
