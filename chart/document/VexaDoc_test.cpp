#include "chart/document/VexaDoc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "platform/gdi/Dib.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "platform/ui/Clipboard.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/RecordingDC.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::Archive;
using tessmor::POINT;
using tessmor::RECT;
using tessmor::testing::FakePrompts;

// A view whose client pixels are the chart's logical units, y downwards.
class GridView : public IChartView {
 public:
  explicit GridView(const CMapper& mapper) : mapper_(mapper) {}
  PaperPoint ClientToPaper(POINT c) const override {
    const float k = mapper_.GetScale();
    return {static_cast<float>(c.x) / k, mapper_.GetPaperHeight() - static_cast<float>(c.y) / k};
  }
  POINT ClientToLogical(POINT c) const override { return {c.x, -c.y}; }
  RECT LogicalToClient(const RECT& r) const override {
    return {r.left, -r.top, r.right, -r.bottom};
  }
  void InvalidateClient(const RECT& r) override { invalidated.push_back(r); }
  // The client point of paper point `p`.
  POINT At(PaperPoint p) const {
    const POINT l = mapper_.PaperToDevice(p);
    return {l.x, -l.y};
  }

  std::vector<RECT> invalidated;

 private:
  const CMapper& mapper_;
};

class ChartDocTest : public ::testing::Test {
 protected:
  ChartDocTest() : previous_(tessmor::SetSettings(&settings_)) {}
  ~ChartDocTest() override { tessmor::SetSettings(previous_); }

  static std::vector<std::uint8_t> Save(CVexaDoc& doc) {
    Archive ar = Archive::ForStore();
    doc.SerializeChart(ar);
    return ar.StoredBytes();
  }
  static void Load(CVexaDoc& doc, const std::vector<std::uint8_t>& bytes) {
    Archive ar = Archive::FromBytes(bytes);
    doc.SerializeChart(ar);
  }

  // One item of every kind, in groups 1 (lines and fills) and 2 (the text).
  static void Populate(CVexaDoc& doc) {
    doc.NewGroup("Outline");
    auto line = std::make_unique<CVEXALine>(nullptr, PaperPoint{20, 100}, 6);
    line->AddPoint({120, 100});
    line->SetGroup(1);
    doc.AddToCurrentGroup(kItemLine, {});
    doc.m_lineManager.AddLine(std::move(line));
    const VEXAPEN red{kPenDash, 0.5f, 0x0000FF, 0xFFFFFF, 1, 0, 0};
    doc.m_lineManager.SetPen(&red);
    auto arc =
        std::make_unique<CVEXAArc>(nullptr, ARCREC{-10, -5, 10, 5, 60, 60, 0, 9000, 0}, 0, 6);
    arc->SetGroup(1);
    doc.m_lineManager.AddArc(std::move(arc));

    doc.m_fillManager.SetBrush(0x00FF00, 0);
    auto poly = std::make_unique<CVEXAPolyFill>(nullptr, PaperPoint{30, 30}, 6);
    poly->AddPoint({60, 30});
    poly->AddPoint({45, 50});
    poly->SetGroup(1);
    doc.m_fillManager.AddPolyFill(std::move(poly));
    auto pie =
        std::make_unique<CVEXAArcFill>(nullptr, ARCREC{-8, -8, 8, 8, 150, 40, 0, 18000, 0}, 1, 6);
    pie->SetGroup(1);
    doc.m_fillManager.AddArcFill(std::move(pie));
    auto symbol = std::make_unique<CVEXASymbol>(nullptr, PaperPoint{100, 150},
                                                VEXASYMBOL{7, {0, 0, 0}, 120, 450});
    symbol->SetGroup(1);
    doc.m_fillManager.AddSymbol(std::move(symbol));

    doc.NewGroup(nullptr);
    doc.AddToCurrentGroup(kItemText, {});
    auto text =
        std::make_unique<CVEXAString>(nullptr, PaperPoint{40, 200}, "Bouguer anomaly\r\nmGal", 6);
    text->SetGroup(2);
    doc.m_charManager.AddString(std::move(text));
    doc.m_strTitle = "Line 7";
  }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
};

TEST_F(ChartDocTest, EmptyChartIsTheHeaderCountsAndMapper) {
  CVexaDoc doc;
  const std::vector<std::uint8_t> bytes = Save(doc);
  ASSERT_EQ(bytes.size(), 101u);
  const std::string text(bytes.begin(), bytes.begin() + 61);
  EXPECT_EQ(text, std::string(CVexaDoc::kMagicLine) + "No Title\r\n");
  for (int i = 61; i < 81; ++i) EXPECT_EQ(bytes[i], 0) << "count byte " << i;
  Archive mapper = Archive::ForStore();
  doc.m_mapper.Serialize(mapper);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 81, bytes.end()), mapper.StoredBytes());
}

TEST_F(ChartDocTest, TextOnlyChartHasNoLineOrFillSection) {
  CVexaDoc doc;
  doc.m_charManager.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 10}, "A", 6));
  const std::vector<std::uint8_t> bytes = Save(doc);
  Archive in = Archive::FromBytes(bytes);
  std::string line;
  in.ReadLine(line);
  in.ReadLine(line);
  EXPECT_EQ(in.ReadU32(), 0u);  // groups
  EXPECT_EQ(in.ReadU32(), 0u);  // line styles
  EXPECT_EQ(in.ReadU32(), 0u);  // fill styles
  EXPECT_EQ(in.ReadU32(), 1u);  // character styles
  EXPECT_EQ(in.ReadU32(), 0u);  // bitmaps
  in.Seek(in.position() + 20);
  // Straight into the character section, and nothing after it.
  EXPECT_EQ(in.ReadU16(), CStyleStore::kKindChar);
  CCManager chars;
  CMapper mapper;
  chars.Attach(&mapper, true);
  in.Seek(in.position() - 2);
  chars.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
}

TEST_F(ChartDocTest, SavedChartReadsBackWithEveryItemStyleAndGroup) {
  CVexaDoc doc;
  Populate(doc);
  doc.m_complexGroups.AddPolygon(1, std::vector<POINT>{{0, 0}, {100, 0}, {0, -100}}.data(), 3);
  const std::vector<std::uint8_t> bytes = Save(doc);

  CVexaDoc back;
  Load(back, bytes);
  EXPECT_EQ(back.m_strTitle, "Line 7");
  ASSERT_EQ(back.m_lineManager.GetSize(), 2);
  const CLineStyle* plain = back.m_lineManager.GetStyle(1);
  ASSERT_EQ(plain->GetLineCount(), 1);
  EXPECT_EQ(plain->GetLine(0)->GetPoint(1), (PaperPoint{120, 100}));
  EXPECT_EQ(plain->GetLine(0)->GetGroup(), 1);
  const CLineStyle* red = back.m_lineManager.GetStyle(2);
  const std::uint32_t colour = red->GetPen().colour;  // packed records: read by value
  EXPECT_EQ(colour, 0x0000FFu);
  ASSERT_EQ(red->GetArcCount(), 1);
  EXPECT_EQ(red->GetArc(0)->GetArc().end, 9000);

  ASSERT_EQ(back.m_fillManager.GetSize(), 1);
  const CFillStyle* fill = back.m_fillManager.GetFillStyle(1);
  // Each filled item once, although the file holds two copies of each.
  EXPECT_EQ(fill->GetLineCount(), 1);
  EXPECT_EQ(fill->GetArcCount(), 1);
  ASSERT_EQ(fill->GetSymbolCount(), 1);
  const std::int32_t angle = fill->GetSymbol(0)->GetSymbol().angle;
  EXPECT_EQ(angle, 450);
  EXPECT_EQ(fill->GetLine(0)->GetPoint(2), (PaperPoint{45, 50}));

  ASSERT_EQ(back.m_charManager.GetSize(), 1);
  ASSERT_EQ(back.m_charManager.GetStyle(1)->GetStringCount(), 1);
  EXPECT_EQ(back.m_charManager.GetStyle(1)->GetString(0)->GetLines(),
            (std::vector<std::string>{"Bouguer anomaly", "mGal"}));

  ASSERT_EQ(back.m_groups.GetCount(), 2);
  EXPECT_STREQ(back.m_groups.Lookup(1)->name, "Outline");
  EXPECT_STREQ(back.m_groups.Lookup(2)->name, "Object2");
  EXPECT_TRUE(back.m_complexGroups.IsEmpty());  // never stored

  EXPECT_EQ(Save(back), bytes);
}

TEST_F(ChartDocTest, TitleLineEndsBecomeSpacesSoTheFileReadsBack) {
  CVexaDoc doc;
  doc.m_strTitle = "North\r\nsection\n";
  doc.m_charManager.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 10}, "A", 6));
  CVexaDoc back;
  Load(back, Save(doc));
  EXPECT_EQ(back.m_strTitle, "North  section ");
  EXPECT_EQ(back.m_charManager.GetSize(), 1);
}

TEST_F(ChartDocTest, DrawsFillsThenStrokesThenTextsThenTheSelectionOnScreenOnly) {
  CVexaDoc doc;
  Populate(doc);
  tessmor::testing::RecordingDC dc(96, RECT{0, 0, 2000, 2000});
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  auto first = [](const std::vector<std::string>& all, const std::string& name) {
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i].rfind(name, 0) == 0) return static_cast<int>(i);
    return -1;
  };
  doc.DrawChart(dc);
  std::vector<std::string> drawn = dc.Lines();
  const int fill = first(drawn, "Polygon"), stroke = first(drawn, "Polyline"),
            text = first(drawn, "TextOut");
  ASSERT_GE(fill, 0);
  ASSERT_GE(stroke, 0);
  ASSERT_GE(text, 0);
  EXPECT_LT(fill, stroke);
  EXPECT_LT(stroke, text);
  EXPECT_EQ(dc.Count("InvertRgn"), 0);

  CVEXAString* t = doc.m_charManager.GetStyle(1)
                       ? doc.m_charManager.GetStyle(1)->GetString(0)
                       : doc.m_charManager.GetCurrentStyle()->GetString(0);
  doc.m_selection.Add(kItemText, t, t->GetBounds());
  for (int mode : {CVexaDoc::kDrawScreen, CVexaDoc::kDrawScreenBuffered, CVexaDoc::kDrawBitmap,
                   CVexaDoc::kDrawMetafile}) {
    dc.Clear();
    doc.SetDrawMode(mode);
    doc.DrawChart(dc);
    const bool screen = mode == CVexaDoc::kDrawScreen || mode == CVexaDoc::kDrawScreenBuffered;
    EXPECT_EQ(dc.Count("InvertRgn"), screen ? 1 : 0) << "mode " << mode;
    EXPECT_EQ(dc.GetBkMode(), tessmor::OPAQUE) << "put back";
  }
}

TEST_F(ChartDocTest, ClicksSelectTheTopmostItemByKind) {
  CVexaDoc doc;
  // A text over a line, a lone line, a symbol.
  auto line = std::make_unique<CVEXALine>(nullptr, PaperPoint{20, 100}, 6);
  line->AddPoint({120, 100});
  doc.m_lineManager.AddLine(std::move(line));
  auto lone = std::make_unique<CVEXALine>(nullptr, PaperPoint{20, 50}, 6);
  lone->AddPoint({120, 50});
  doc.m_lineManager.AddLine(std::move(lone));
  doc.m_charManager.AddString(
      std::make_unique<CVEXAString>(nullptr, PaperPoint{60, 100}, "Peak", 6));
  doc.m_fillManager.AddSymbol(std::make_unique<CVEXASymbol>(nullptr, PaperPoint{150, 150},
                                                            VEXASYMBOL{5, {0, 0, 0}, 100, 0}));
  tessmor::testing::RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  doc.m_charManager.RealizeFonts(&dc);
  const CVEXAString* text = doc.m_charManager.GetCurrentStyle()->GetString(0);
  ASSERT_TRUE(text->IsLaidOut());

  GridView view(doc.m_mapper);
  const RECT t = text->GetBounds();
  const POINT onBoth = {(t.left + t.right) / 2, -doc.m_mapper.PaperToDevice({60, 100}).y};
  ASSERT_TRUE(doc.m_lineManager.HitTestStroke(onBoth.x, -onBoth.y)) << "the line is under it";
  EXPECT_EQ(doc.HitTestSelect(1, onBoth, view), 1);
  EXPECT_EQ(doc.m_selection.GetKinds(), kItemText);
  EXPECT_EQ(doc.m_selection.GetEntry(0).item, text);
  EXPECT_EQ(doc.m_selection.m_bRectangle, 1);

  EXPECT_EQ(doc.HitTestSelect(1, view.At({70, 50}), view), 1);
  EXPECT_EQ(doc.m_selection.GetKinds(), kItemLine);
  EXPECT_EQ(doc.m_selection.GetCount(), 1);
  EXPECT_EQ(doc.HitTestSelect(1, view.At({150, 150}), view), 1);
  EXPECT_EQ(doc.m_selection.GetKinds(), kItemSymbol);

  // Nothing there: the selection goes and its rectangle is redrawn.
  view.invalidated.clear();
  EXPECT_EQ(doc.HitTestSelect(1, view.At({180, 20}), view), 0);
  EXPECT_TRUE(doc.m_selection.IsEmpty());
  EXPECT_EQ(view.invalidated.size(), 1u);
  // Without the left button nothing is tested.
  EXPECT_EQ(doc.HitTestSelect(0, view.At({70, 50}), view), 0);
}

TEST_F(ChartDocTest, ControlClickSelectsACompositeGroupOnce) {
  CVexaDoc doc;
  GridView view(doc.m_mapper);
  const std::vector<POINT> square = {{1000, -1000}, {3000, -1000}, {3000, -3000}, {1000, -3000}};
  doc.m_complexGroups.AddPolygon(4, square.data(), 4, 70);
  EXPECT_EQ(doc.HitTestSelect(1 | 8, {2000, 2000}, view), 1);
  ASSERT_EQ(doc.m_selection.GetCount(), 1);
  EXPECT_EQ(doc.m_selection.GetEntry(0).kind, 70);
  // Already selected: nothing changes.
  view.invalidated.clear();
  EXPECT_EQ(doc.HitTestSelect(1 | 8, {1500, 2500}, view), 1);
  EXPECT_EQ(doc.m_selection.GetCount(), 1);
  EXPECT_TRUE(view.invalidated.empty());
  // Outside every group.
  EXPECT_EQ(doc.HitTestSelect(1 | 8, {5000, 5000}, view), 0);
  EXPECT_TRUE(doc.m_selection.IsEmpty());
}

TEST_F(ChartDocTest, DragMovesTextsAloneOrLinesAloneButNotAMix) {
  CVexaDoc doc;
  auto line = std::make_unique<CVEXALine>(nullptr, PaperPoint{20, 100}, 6);
  line->AddPoint({120, 100});
  doc.m_lineManager.AddLine(std::move(line));
  doc.m_charManager.AddString(
      std::make_unique<CVEXAString>(nullptr, PaperPoint{60, 150}, "Peak", 6));
  CVEXALine* l = doc.m_lineManager.GetCurrentStyle()->GetLine(0);
  CVEXAString* t = doc.m_charManager.GetCurrentStyle()->GetString(0);
  GridView view(doc.m_mapper);
  const RECT from{0, 0, 100, 100}, to{500, 1000, 600, 1100};  // 5 mm right, 10 mm down

  doc.m_selection.Add(kItemText, t, {});
  doc.m_selection.Add(kItemLine, l, l->GetBounds());
  doc.m_selection.m_rect = from;
  EXPECT_FALSE(doc.MoveSelection(to, view));
  EXPECT_EQ(t->GetAnchor(), (PaperPoint{60, 150}));
  EXPECT_EQ(l->GetPoint(0), (PaperPoint{20, 100}));

  doc.m_selection.Clear();
  doc.m_selection.Add(kItemLine, l, l->GetBounds());
  doc.m_selection.m_rect = from;
  EXPECT_TRUE(doc.MoveSelection(to, view));
  EXPECT_EQ(l->GetPoint(0), (PaperPoint{25, 90}));
  EXPECT_EQ(l->GetPoint(1), (PaperPoint{125, 90}));
  EXPECT_EQ(doc.m_selection.m_rect.left, 500);
  EXPECT_EQ(doc.m_bChartModified, 1);

  doc.m_selection.Clear();
  doc.m_selection.Add(kItemText, t, {});
  doc.m_selection.m_rect = from;
  EXPECT_TRUE(doc.MoveSelection(to, view));
  EXPECT_EQ(t->GetAnchor(), (PaperPoint{65, 140}));
}

TEST_F(ChartDocTest, GroupsAreNamedUpdatedAndDeletedWithTheirItems) {
  CVexaDoc doc;
  EXPECT_EQ(doc.NewGroup(nullptr), 1);
  EXPECT_STREQ(doc.m_groups.Lookup(1)->name, "Object1");
  doc.m_groups.DeleteAll();
  Populate(doc);
  ASSERT_EQ(doc.UpdateGroup(1), 1);
  const GROUPREC* g = doc.m_groups.Lookup(1);
  EXPECT_EQ(g->count, 5);
  EXPECT_EQ(g->kinds, kItemLine | kItemArc | kItemPolyFill | kItemArcFill | kItemSymbol);

  doc.m_groups.SetCurrentGroup(1);
  EXPECT_EQ(doc.DeleteCurrentGroup(), 2);
  EXPECT_EQ(doc.m_groups.Lookup(1), nullptr);
  EXPECT_TRUE(doc.m_lineManager.AllStyles().empty());
  EXPECT_TRUE(doc.m_fillManager.AllStyles().empty());
  EXPECT_EQ(doc.m_charManager.AllStyles().size(), 1u);  // the text is in group 2
  EXPECT_EQ(doc.IsChartEmpty(), 0);

  // A group whose items are gone is dropped by UpdateGroup.
  doc.DeleteGroupItems(2, kMaskChars);
  EXPECT_EQ(doc.IsChartEmpty(), 1);
  doc.UpdateGroup(2);
  EXPECT_TRUE(doc.m_groups.IsEmpty());
}

TEST_F(ChartDocTest, BadChartFilesFailCleanlyAndLeaveTheChartEmpty) {
  FakePrompts prompts;
  const std::filesystem::path dir = tessmor::testing::MakeTempDir();
  CVexaDoc good;
  Populate(good);
  const std::vector<std::uint8_t> bytes = Save(good);

  auto write = [&dir](const std::vector<std::uint8_t>& data) {
    const std::string path = (dir / "chart.vxa").string();
    Archive ar = Archive::ForStore(path);
    ar.WriteBytes(data.data(), data.size());
    ar.Commit();
    return path;
  };
  // Every truncation, a count far beyond the data, and garbage after the magic line.
  std::vector<std::vector<std::uint8_t>> bad;
  for (std::size_t n = 60; n < bytes.size(); n += 7)
    bad.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  std::vector<std::uint8_t> huge = bytes;
  const std::size_t groupSection = 51 + 8 + 20 + 20;  // after "Line 7\r\n", counts, mapper
  ASSERT_EQ(huge[groupSection], 2);
  huge[groupSection + 2] = 0xFF;  // the groups section's own count
  huge[groupSection + 3] = 0xFF;
  bad.push_back(huge);
  std::vector<std::uint8_t> garbage(bytes.begin(), bytes.begin() + 61);
  for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  bad.push_back(garbage);

  for (const auto& data : bad) {
    CVexaDoc doc;
    Populate(doc);
    prompts.Clear();
    EXPECT_FALSE(doc.OnOpenDocument(write(data)))
        << data.size() << " of " << bytes.size() << " bytes";
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{"Failed to open document."});
    EXPECT_EQ(doc.IsChartEmpty(), 1);
    EXPECT_TRUE(doc.m_groups.IsEmpty());
    EXPECT_EQ(doc.m_bChartMode, 0);
  }

  // The whole file opens, with or without the carriage return in the magic line.
  CVexaDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(write(bytes)));
  EXPECT_EQ(doc.m_fillManager.GetSize(), 1);
  EXPECT_EQ(doc.m_bChartMode, 0);
  EXPECT_EQ(doc.m_strChartPath, (dir / "chart.vxa").string());
  std::vector<std::uint8_t> bare = bytes;
  bare.erase(bare.begin() + 49);  // the "\r" of the first line
  ASSERT_EQ(bare[49], '\n');
  CVexaDoc doc2;
  EXPECT_TRUE(doc2.OnOpenDocument(write(bare)));
  EXPECT_EQ(doc2.m_lineManager.GetSize(), 2);
}

TEST_F(ChartDocTest, DamagedBitmapLeavesTheRestOfTheChartAndTheOtherPatternsInPlace) {
  CVexaDoc doc;
  auto entry = std::make_unique<BitmapStoreEntry>();
  entry->nResourceNumber = CBitmapStore::kFileEntryNumber;
  entry->pBitmap = std::make_unique<tessmor::Dib>(tessmor::Dib::Make24(2, 2));
  ASSERT_EQ(doc.m_bitmaps.Add(std::move(entry)), 0);
  ASSERT_EQ(doc.m_bitmaps.AddResourceBitmap(181), 1);
  for (int bitmap = 0; bitmap < 2; ++bitmap) {
    doc.m_fillManager.SetPatternBrush(bitmap);
    auto poly = std::make_unique<CVEXAPolyFill>(nullptr, PaperPoint{10.0f + 50 * bitmap, 10}, 6);
    poly->AddPoint({40.0f + 50 * bitmap, 10});
    poly->AddPoint({25.0f + 50 * bitmap, 30});
    doc.m_fillManager.AddPolyFill(std::move(poly));
  }
  std::vector<std::uint8_t> bytes = Save(doc);
  // The file image's information header claims another size.
  const std::string text(bytes.begin(), bytes.end());
  const std::size_t image = text.find("BM", 101);
  ASSERT_NE(image, std::string::npos);
  bytes[image + 14] = 12;

  CVexaDoc back;
  Load(back, bytes);
  ASSERT_EQ(back.m_fillManager.GetSize(), 2);
  const std::int32_t bitmap = back.m_fillManager.GetFillStyle(2)->GetBrush().bitmap;
  EXPECT_EQ(bitmap, 1);
  ASSERT_EQ(back.m_bitmaps.GetSize(), 2);
  EXPECT_EQ(back.m_bitmaps.GetEntry(0)->pBitmap, nullptr);
  EXPECT_EQ(back.m_bitmaps.GetEntry(1)->nResourceNumber, 181u);
}

TEST_F(ChartDocTest, ChartWhoseRegionsWouldExhaustMemoryIsRefused) {
  // One arc 5 m across written 25 times: its ring region alone holds over 700,000
  // rectangles.
  CVexaDoc doc;
  doc.m_strTitle = "T";
  doc.m_lineManager.AddArc(std::make_unique<CVEXAArc>(
      nullptr, ARCREC{-2500, -2500, 2500, 2500, 100, 100, 0, 36000, 0}, 0, 6));
  const std::vector<std::uint8_t> one = Save(doc);
  ASSERT_GT(doc.m_lineManager.GetStyle(1)->GetArc(0)->GetRegion().GetCount(), 700000);
  const std::size_t arcBytes = 2 + 2 + 4 + 36;
  ASSERT_EQ(one[one.size() - arcBytes - 2], 1);  // the style's arc count
  std::vector<std::uint8_t> many = one;
  many[one.size() - arcBytes - 2] = 25;
  for (int i = 1; i < 25; ++i) many.insert(many.end(), one.end() - arcBytes, one.end());

  CVexaDoc back;
  Archive ar = Archive::FromBytes(many);
  EXPECT_THROW(back.SerializeChart(ar), tessmor::ArchiveException);
  EXPECT_EQ(back.IsChartEmpty(), 1);
  // The single arc is well within the limit.
  Load(back, one);
  EXPECT_EQ(back.m_lineManager.GetSize(), 1);
}

TEST_F(ChartDocTest, ChartReadFromAFileHitsItsItemsWhereTheyAreDrawn) {
  CVexaDoc doc;
  Populate(doc);
  CVexaDoc back;
  Load(back, Save(doc));
  const auto stroke = [&](PaperPoint p) {
    const POINT at = back.m_mapper.PaperToDevice(p);
    return back.m_lineManager.HitTestStroke(at.x, at.y);
  };
  const auto filled = [&](PaperPoint p) {
    const POINT at = back.m_mapper.PaperToDevice(p);
    return back.m_fillManager.HitTestFilled(at.x, at.y);
  };
  EXPECT_NE(dynamic_cast<CVEXALine*>(stroke({70, 100})), nullptr);
  // The quarter of the ellipse 10 × 5 mm round (60, 60) starts at (70, 60); inside it, off
  // the curve, nothing is hit.
  EXPECT_NE(dynamic_cast<CVEXAArc*>(stroke({70, 60.2f})), nullptr);
  EXPECT_EQ(stroke({63, 61}), nullptr);
  EXPECT_NE(dynamic_cast<CVEXAPolyFill*>(filled({45, 40})), nullptr);
  // The upper half of the disc 8 mm round (150, 40).
  EXPECT_NE(dynamic_cast<CVEXAArcFill*>(filled({150, 44})), nullptr);
  EXPECT_EQ(filled({150, 30}), nullptr);
  EXPECT_EQ(stroke({200, 150}), nullptr);
  EXPECT_EQ(filled({200, 150}), nullptr);
}

TEST_F(ChartDocTest, ProfileDocumentOpensAChartFileAsAChart) {
  FakePrompts prompts;
  const std::filesystem::path dir = tessmor::testing::MakeTempDir();
  CVexaDoc chart;
  Populate(chart);
  chart.m_bChartMode = 1;
  const std::string path = (dir / "profile.txt").string();
  ASSERT_TRUE(chart.OnSaveDocument(path));
  chart.m_bChartMode = 0;

  CTessmorDoc doc;
  EXPECT_TRUE(doc.OnOpenDocument(path));
  EXPECT_TRUE(prompts.texts().empty());
  EXPECT_EQ(doc.m_bChartMode, 0);
  EXPECT_EQ(doc.m_lineManager.GetSize(), 2);
  EXPECT_EQ(doc.m_charManager.GetSize(), 1);
  EXPECT_TRUE(doc.m_points.empty());

  // Saved again, it stays a chart rather than becoming an empty profile.
  const std::string before = tessmor::testing::Slurp(path);
  ASSERT_FALSE(before.empty());
  ASSERT_TRUE(doc.DoSaveProfile(path, true));
  EXPECT_EQ(tessmor::testing::Slurp(path), before);
  EXPECT_EQ(doc.m_bChartMode, 0);
}

TEST_F(ChartDocTest, CopyPutsTheChartBodyAndAPictureOnTheClipboard) {
  tessmor::MemoryClipboard clip;
  CVexaDoc empty;
  ASSERT_TRUE(clip.Open());
  clip.SetText("kept");
  clip.Close();
  EXPECT_FALSE(empty.OnEditCopy(&clip));
  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetText(), "kept");
  clip.Close();

  CVexaDoc doc;
  Populate(doc);
  EXPECT_TRUE(doc.OnEditCopy(&clip));
  EXPECT_EQ(doc.m_bChartMode, 0);
  ASSERT_TRUE(clip.Open());
  const auto body =
      clip.GetData(tessmor::Clipboard::RegisterFormat(CVexaDoc::kClipboardFormatName));
  ASSERT_TRUE(body.has_value());
  EXPECT_EQ(*body, Save(doc));
  const auto picture = clip.GetData(tessmor::kClipEnhMetafile);
  ASSERT_TRUE(picture.has_value());
  EXPECT_GT(picture->size(), 200u);
  EXPECT_FALSE(clip.GetText().has_value());
  clip.Close();
}

}  // namespace
