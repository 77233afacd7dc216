#include "tools/vexa-dump/VexaDump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "chart/document/VexaDoc.h"
#include "platform/gdi/Dib.h"
#include "platform/io/Archive.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::testing::MakeTempDir;
using tessmor::testing::Slurp;

// A chart with one item of each kind, a group and a pattern bitmap, saved by our writer.
std::string SaveSampleChart(const std::string& path) {
  CVexaDoc doc;
  doc.SetChartTitle("Line 7 survey");
  doc.m_groups.NewGroup(3, "Anomaly", kItemLine | kItemText);

  const VEXAPEN pen{kPenDash, 0.35f, 0x0000FF, 0xFFFFFF, kBkOpaque, 1, 0};
  doc.m_lineManager.SetPen(&pen);
  auto line = std::make_unique<CVEXALine>(nullptr, PaperPoint{10.0f, 20.0f}, 6);
  line->AddPoint({12.5f, 40.0f});
  line->AddPoint({30.0f, 20.25f});
  line->SetGroup(3);
  doc.m_lineManager.AddLine(std::move(line));
  const ARCREC arc{-8.0f, -4.0f, 8.0f, 4.0f, 100.0f, 50.0f, 1500, 9000, 0};
  doc.m_lineManager.AddArc(std::make_unique<CVEXAArc>(nullptr, arc, 0, 6));

  auto bitmap = std::make_unique<BitmapStoreEntry>();
  bitmap->pBitmap = std::make_unique<tessmor::Dib>(tessmor::Dib::Make24(3, 2));
  bitmap->nResourceNumber = CBitmapStore::kFileEntryNumber;
  doc.m_fillManager.SetPatternBrush(doc.m_bitmaps.Add(std::move(bitmap)));
  auto fill = std::make_unique<CVEXAPolyFill>(nullptr, PaperPoint{50.0f, 50.0f}, 6);
  fill->AddPoint({70.0f, 50.0f});
  fill->AddPoint({60.0f, 65.5f});
  doc.m_fillManager.AddPolyFill(std::move(fill));
  const VEXASYMBOL symbol{6, {0, 0, 0}, 80, 450};
  doc.m_fillManager.AddSymbol(
      std::make_unique<CVEXASymbol>(nullptr, PaperPoint{60.0f, 70.0f}, symbol));

  doc.m_charManager.SetSize(3.5f);
  auto text =
      std::make_unique<CVEXAString>(nullptr, PaperPoint{20.0f, 180.0f}, "Bouguer\r\nanomaly", 6);
  text->SetGroup(3);
  doc.m_charManager.AddString(std::move(text));

  tessmor::Archive ar = tessmor::Archive::ForStore(path);
  doc.SerializeChart(ar);
  ar.Commit();
  return path;
}

int RunDump(const std::vector<std::string>& args, std::string* out, std::string* err) {
  std::ostringstream o, e;
  const int code = vexa_dump::Run(args, o, e);
  *out = o.str();
  *err = e.str();
  return code;
}

TEST(VexaDump, ListsEveryItemOfASavedChart) {
  const std::string path = SaveSampleChart(MakeTempDir() + "/sample.vxd");
  std::string out, err;
  ASSERT_EQ(RunDump({path}, &out, &err), vexa_dump::kExitOk) << err;

  EXPECT_NE(out.find("title: Line 7 survey\n"), std::string::npos) << out;
  EXPECT_NE(out.find("group 3 \"Anomaly\": kinds 0x0003 (line, text)"), std::string::npos);
  EXPECT_NE(out.find("pen style 1, width 0.35 mm, colour 0x0000FF"), std::string::npos);
  EXPECT_NE(out.find("group 3, 3 vertices: (10, 20) (12.5, 40) (30, 20.25)"), std::string::npos);
  EXPECT_NE(out.find("centre (100, 50) mm, box left -8 bottom -4 right 8 top 4 mm, start 15 "
                     "end 90 rotation 0 degrees"),
            std::string::npos);
  EXPECT_NE(out.find("brush kind 202 (pattern)"), std::string::npos);
  EXPECT_NE(out.find("3 vertices: (50, 50) (70, 50) (60, 65.5)"), std::string::npos);
  EXPECT_NE(out.find("at (60, 70) mm, type 6, size 8 pt, angle 45 degrees"), std::string::npos);
  EXPECT_NE(out.find("height 3.5 mm"), std::string::npos);
  EXPECT_NE(out.find("anchor (20, 180) mm, 2 lines\n        | Bouguer\n        | anomaly\n"),
            std::string::npos);
  EXPECT_NE(out.find("bitmap 0: file image 3 x 2 pixels, 24 bits per pixel"), std::string::npos);
}

TEST(VexaDump, ResaveWritesTheSameBytes) {
  const std::string dir = MakeTempDir();
  const std::string in = SaveSampleChart(dir + "/in.vxd");
  std::string out, err;
  ASSERT_EQ(RunDump({"--resave", in, dir + "/out.vxd"}, &out, &err), vexa_dump::kExitOk) << err;
  const std::string original = Slurp(in);
  EXPECT_GT(original.size(), 101u);
  EXPECT_EQ(Slurp(dir + "/out.vxd"), original);
}

TEST(VexaDump, RefusesWhatIsNotAChart) {
  const std::string dir = MakeTempDir();
  std::ofstream(dir + "/garbage.vxd", std::ios::binary) << "GIF89a\x01\x02 not a chart";
  std::string out, err;
  EXPECT_EQ(RunDump({dir + "/garbage.vxd"}, &out, &err), vexa_dump::kExitUnreadable);
  EXPECT_NE(err.find("Failed to open document."), std::string::npos);
  EXPECT_NE(err.find("not a chart file"), std::string::npos);
  EXPECT_TRUE(out.empty());

  // The right first line, but the body cut short inside the line styles.
  const std::string whole = Slurp(SaveSampleChart(dir + "/whole.vxd"));
  std::ofstream(dir + "/cut.vxd", std::ios::binary) << whole.substr(0, 140);
  EXPECT_EQ(RunDump({dir + "/cut.vxd"}, &out, &err), vexa_dump::kExitUnreadable);
  EXPECT_NE(err.find("Failed to open document."), std::string::npos);

  EXPECT_EQ(RunDump({dir + "/missing.vxd"}, &out, &err), vexa_dump::kExitUnreadable);
  EXPECT_EQ(RunDump({}, &out, &err), vexa_dump::kExitUsage);
  EXPECT_EQ(RunDump({"--resave", dir + "/whole.vxd"}, &out, &err), vexa_dump::kExitUsage);
}

}  // namespace
