#include "chart/view/VexaView.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QRegularExpression>
#include <QString>
#include <QSvgRenderer>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "chart/styles/LineStyle.h"
#include "chart/styles/PenEditDlg.h"
#include "platform/gdi/EnhMetafile.h"
#include "platform/io/Archive.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Prompts.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/RecordingDC.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;

// A view that counts what OnSelectItem is told.
class ReportingView : public CVexaView {
 public:
  struct Report {
    std::uint16_t kinds;
    std::string name;
    bool hasEntry;
  };
  int OnSelectItem(std::uint16_t kinds, const std::string& name, const ChartSelectionEntry* entry,
                   const RECT&, PaperPoint) override {
    reports.push_back({kinds, name, entry != nullptr});
    return 0;
  }
  std::vector<Report> reports;
};

class ChartViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.AddView(&view);
    view.OnInitialUpdate();
    view.NewChart();
  }

  // Every item of the kind, committed styles and the current one.
  std::vector<CVEXALine*> Lines() {
    std::vector<CVEXALine*> out;
    for (CLineStyle* s : doc.m_lineManager.AllStyles())
      for (int i = 0; i < s->GetLineCount(); ++i) out.push_back(s->GetLine(i));
    return out;
  }
  std::vector<CVEXALine*> Fills() {
    std::vector<CVEXALine*> out;
    for (CLineStyle* s : doc.m_fillManager.AllStyles())
      for (int i = 0; i < s->GetLineCount(); ++i) out.push_back(s->GetLine(i));
    return out;
  }
  std::vector<CVEXASymbol*> Symbols() {
    std::vector<CVEXASymbol*> out;
    for (CLineStyle* s : doc.m_fillManager.AllStyles()) {
      auto* f = static_cast<CFillStyle*>(s);
      for (int i = 0; i < f->GetSymbolCount(); ++i) out.push_back(f->GetSymbol(i));
    }
    return out;
  }
  std::vector<CVEXAString*> Texts() {
    std::vector<CVEXAString*> out;
    for (CCharStyle* s : doc.m_charManager.AllStyles())
      for (int i = 0; i < s->GetStringCount(); ++i) out.push_back(s->GetString(i));
    return out;
  }
  // The client pixel of a logical point.
  POINT ClientOf(POINT logical) {
    const RECT r = view.LogicalToClient({logical.x, logical.y, logical.x, logical.y});
    return {r.left, r.top};
  }
  std::uint16_t GroupKinds() {
    const GROUPREC* g = doc.m_groups.Lookup(doc.m_groups.GetCurrentGroup());
    return g ? g->kinds : 0;
  }

  tessmor::testing::FakePrompts prompts;
  CVexaDoc doc;
  ReportingView view;
};

// Paper points are single precision; a few millionths of a millimetre come from cos 90°.
constexpr float kPaperTol = 1e-4f;

void ExpectPoint(PaperPoint p, float x, float y) {
  EXPECT_NEAR(p.x, x, kPaperTol);
  EXPECT_NEAR(p.y, y, kPaperTol);
}

TEST_F(ChartViewTest, ClientPointsMapToPaperThroughTheMarginAndScroll) {
  // Default A4 landscape at 0.01 mm units and 96 dpi: client (0, 0) is the window origin
  // (-100, 100), i.e. 1 mm left of and 1 mm above the paper (210 mm high).
  const PaperPoint origin = view.ClientToPaper({0, 0});
  EXPECT_NEAR(origin.x, -1.0f, 1e-4f);
  EXPECT_NEAR(origin.y, 211.0f, 1e-4f);
  // One inch further right and down: 2540 logical units.
  const PaperPoint inch = view.ClientToPaper({96, 96});
  EXPECT_NEAR(inch.x, 24.4f, 1e-4f);
  EXPECT_NEAR(inch.y, 185.6f, 1e-4f);
  // Scrolled by 96 pixels, client (0, 0) shows what (96, 96) showed.
  view.ScrollToPosition({96, 96});
  const PaperPoint scrolled = view.ClientToPaper({0, 0});
  EXPECT_NEAR(scrolled.x, 24.4f, 1e-4f);
  EXPECT_NEAR(scrolled.y, 185.6f, 1e-4f);
}

TEST_F(ChartViewTest, WorldDrawingGoesThroughScaleOriginAndRotation) {
  view.SetScale(2.0f, 0.5f);
  view.ShiftOrigin(10, 20);  // origin at paper (10·2, 20·0.5) = (20, 10)
  view.RotateBy(90.0f);
  // (5, 4) scales to (10, 2); turned by 90° that is (−2, 10); plus the origin: (18, 20).
  view.MoveTo(5, 4);
  view.LineTo(5, 8);   // (10, 4) turned: (−4, 10) → (16, 20)
  view.LineBy(-1, 0);  // (−2, 0) turned: (0, −2) → (16, 18)
  view.EndLine();

  const std::vector<CVEXALine*> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0]->GetPointCount(), 3);
  ExpectPoint(lines[0]->GetPoint(0), 18, 20);
  ExpectPoint(lines[0]->GetPoint(1), 16, 20);
  ExpectPoint(lines[0]->GetPoint(2), 16, 18);
  // The pen's world position followed the line: (10 − 2, 4) unscaled is (4, 8).
  EXPECT_NEAR(view.GetTransform().PenWorld().x, 4.0, 1e-9);
  EXPECT_NEAR(view.GetTransform().PenWorld().y, 8.0, 1e-9);

  // Filed under the current group, counted in the extent, invalidated on screen.
  EXPECT_EQ(GroupKinds(), kItemLine);
  EXPECT_EQ(view.m_rcExtent, lines[0]->GetBounds());
  const RECT expected = view.LogicalToClient(lines[0]->GetBounds());
  ASSERT_FALSE(view.GetInvalidated().empty());
  EXPECT_EQ(view.GetInvalidated().back(), expected);
}

TEST_F(ChartViewTest, PolylinesRectanglesAndSymbols) {
  const float xs[] = {10, 20, 30}, ys[] = {5, 15, 5};
  view.DrawPolyline(xs, ys, 3);
  view.EndLine();
  std::vector<CVEXALine*> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0]->GetPointCount(), 4);  // the first vertex twice
  ExpectPoint(lines[0]->GetPoint(0), 10, 5);
  ExpectPoint(lines[0]->GetPoint(1), 10, 5);
  ExpectPoint(lines[0]->GetPoint(3), 30, 5);

  view.MoveTo(50, 60);
  view.FillRectangle(0, 0.005, 0, 1);  // narrower than 0.008: nothing
  EXPECT_TRUE(Fills().empty());
  view.FillRectangle(1, 3, 2, 5);
  const std::vector<CVEXALine*> fills = Fills();
  ASSERT_EQ(fills.size(), 1u);
  ASSERT_EQ(fills[0]->GetPointCount(), 5);
  ExpectPoint(fills[0]->GetPoint(1), 3, 2);
  ExpectPoint(fills[0]->GetPoint(2), 3, 5);
  ExpectPoint(fills[0]->GetPoint(4), 1, 2);
  EXPECT_NE(dynamic_cast<CVEXAPolyFill*>(fills[0]), nullptr);
  EXPECT_EQ(view.m_bFillMode, 0);
  EXPECT_DOUBLE_EQ(view.GetTransform().penX(), 50.0);  // the pen came back
  EXPECT_DOUBLE_EQ(view.GetTransform().penY(), 60.0);
  EXPECT_EQ(Lines().size(), 1u);

  view.RotateBy(30.0f);
  const float sx[] = {100, 120}, sy[] = {50, 50};
  view.DrawSymbols(sx, sy, 2, 5);
  const std::vector<CVEXASymbol*> symbols = Symbols();
  ASSERT_EQ(symbols.size(), 2u);
  // (120, 50) turned by 30°: (120·0.8660254 − 25, 60 + 50·0.8660254).
  EXPECT_NEAR(symbols[1]->GetPos().x, 78.92305f, 1e-3f);
  EXPECT_NEAR(symbols[1]->GetPos().y, 103.30127f, 1e-3f);
  const VEXASYMBOL record = symbols[1]->GetSymbol();
  const std::uint32_t size = record.size;
  const std::int32_t angle = record.angle;
  EXPECT_EQ(size, 113u);  // 4 mm = 11.34 points
  EXPECT_EQ(angle, 300);  // 30° in tenths
  EXPECT_EQ(GroupKinds(), kItemLine | kItemPolyFill | kItemSymbol);
}

TEST_F(ChartViewTest, TextsAreLaidOutAndMoveThePen) {
  view.SetTextSize(5.0f, 5.0f);
  view.MoveTo(10, 20);
  view.WriteText("Gravity");
  std::vector<CVEXAString*> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  ExpectPoint(texts[0]->GetAnchor(), 10, 20);
  ASSERT_TRUE(texts[0]->IsLaidOut());
  const tessmor::SIZE extent = texts[0]->GetExtent();
  EXPECT_GT(extent.cx, extent.cy);  // a seven-letter word is wider than it is high
  // The pen moved by the extent in mm (100 logical units per mm).
  EXPECT_NEAR(view.GetTransform().penX(), 10 + extent.cx / 100.0, 1e-9);
  EXPECT_NEAR(view.GetTransform().penY(), 20 + extent.cy / 100.0, 1e-9);
  EXPECT_EQ(GroupKinds(), kItemText);
  EXPECT_EQ(view.m_rcExtent, texts[0]->GetBounds());
  // Its logical rectangle is redrawn where it shows on the screen.
  ASSERT_FALSE(view.GetInvalidated().empty());
  EXPECT_EQ(view.GetInvalidated().back(), view.LogicalToClient(texts[0]->GetBounds()));

  view.WriteInteger(42, 5);
  view.WriteNumber(1.5f, 6, 2);
  view.WriteNumber(-1.5f, 2, 1);
  texts = Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1]->GetLines().at(0), "   42");
  EXPECT_EQ(texts[2]->GetLines().at(0), "  1.50");  // " 1.50" padded to six
  EXPECT_EQ(texts[3]->GetLines().at(0), "-1.5");    // longer than the width: as it is
}

TEST_F(ChartViewTest, TextStyleAngleAndColourReachTheCharacterManager) {
  view.SetTextFollowsRotation(1);
  view.RotateBy(350.0f);
  view.SetTextAngle(20.0f);  // 350 + 20 → 10
  EXPECT_FLOAT_EQ(view.m_fTextAngle, 10.0f);
  EXPECT_EQ(doc.m_charManager.GetTextStyle().font.lfEscapement, 100);
  view.RotateBy(5.0f);  // the angle follows: 355 + 20 → 15
  EXPECT_EQ(doc.m_charManager.GetTextStyle().font.lfEscapement, 150);

  view.SetTextJustification(7);  // not a code: ignored
  EXPECT_EQ(doc.m_charManager.GetTextStyle().justification, kJustifyLeftBaseline);
  TEXTSTYLE record = DefaultTextStyle();
  record.height = 3.0f;
  record.colour = tessmor::RGB(0, 0, 255);
  record.justification = kJustifyCentreTop;
  record.font.lfEscapement = 450;
  view.SetFactor(2.0f);
  view.SetScale(1.0f, 0.25f);
  view.SetTextStyle(record);
  const TEXTSTYLE& now = doc.m_charManager.GetTextStyle();
  EXPECT_FLOAT_EQ(now.height, 1.5f);  // 3 · factor 2 · scale y 0.25 (text follows the frame)
  EXPECT_EQ(now.colour, tessmor::RGB(0, 0, 255));
  EXPECT_EQ(now.justification, kJustifyCentreTop);
  EXPECT_EQ(now.font.lfEscapement, 450);
}

TEST_F(ChartViewTest, ZoomIsRefusedBeyondTheLimitsAndRescalesTheItems) {
  view.MoveTo(10, 10);
  view.LineTo(20, 10);
  view.EndLine();
  view.SetZoomPercent(100, true);
  ASSERT_EQ(view.m_nZoom, 100);

  view.SetZoomPercent(1101, true);
  EXPECT_EQ(prompts.beeps(), 1);
  EXPECT_EQ(view.m_nZoom, 100);
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 1.0f);

  view.ZoomBy(-100);  // 100 − 100 is below 1
  EXPECT_EQ(prompts.beeps(), 2);
  EXPECT_EQ(view.m_nZoom, 100);

  // 250 %: 295 mm · 2.5 · 100 is beyond 32760, so 0.1 mm units: 25 logical units per mm.
  view.ZoomBy(150);
  EXPECT_EQ(view.m_nZoom, 250);
  EXPECT_FLOAT_EQ(doc.m_mapper.GetScale(), 25.0f);
  // The line's rectangle, and the extent, follow: x from 10·25 = 250 to 20·25 = 500, widened
  // by the hit margin (5 units) and half the 0.2 mm pen (2 units).
  EXPECT_GE(view.m_rcExtent.left, 240);
  EXPECT_LT(view.m_rcExtent.left, 250);
  EXPECT_GT(view.m_rcExtent.right, 500);
  EXPECT_LE(view.m_rcExtent.right, 510);

  view.SetZoomPercent(0, true);
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 1.0f);
  EXPECT_EQ(doc.m_mapper.GetMapMode(), tessmor::MM_HIMETRIC);
  EXPECT_EQ(prompts.beeps(), 2);
}

TEST_F(ChartViewTest, ClicksReportTheSelectionAndDragsMoveLinesAlone) {
  view.MoveTo(50, 100);
  view.LineTo(150, 100);
  view.EndLine();
  view.MoveTo(60, 150);
  view.WriteText("label");

  view.OnLButtonDown(1, ClientOf({10000, 20000}));  // far above the paper
  ASSERT_EQ(view.reports.size(), 1u);
  EXPECT_EQ(view.reports[0].kinds, 0);
  EXPECT_FALSE(view.reports[0].hasEntry);
  EXPECT_EQ(view.m_bLastHit, 0);

  // The line's middle, paper (100, 100), is logical (10000, 100·100 − 21000).
  const POINT at = ClientOf({10000, -11000});
  const RECT before = view.LogicalToClient(Lines()[0]->GetBounds());
  view.ClearInvalidated();
  const RECT to{before.left + 10, before.top, before.right + 10, before.bottom};
  view.OnLButtonDown(1, at, to);
  ASSERT_EQ(view.reports.size(), 2u);
  EXPECT_EQ(view.reports[1].kinds, kItemLine);
  EXPECT_EQ(view.reports[1].name, "Object1");
  EXPECT_EQ(view.m_bLastHit, 1);
  // 10 pixels at 96 dpi are 2.6458 mm; each corner is rounded to 0.01 mm on the way.
  EXPECT_NEAR(Lines()[0]->GetPoint(0).x, 50 + 2.6458f, 0.011f);
  EXPECT_NEAR(Lines()[0]->GetPoint(0).y, 100.0f, 0.011f);
  EXPECT_EQ(doc.m_selection.m_rect, to);
  // The views were told to redraw the selection at its new place.
  EXPECT_EQ(view.GetInvalidated().back(), to);

  // A selection holding a text and a line does not move.
  CVEXAString* text = Texts()[0];
  CVEXALine* line = Lines()[0];
  const PaperPoint anchor = text->GetAnchor(), start = line->GetPoint(0);
  doc.m_selection.Clear();
  doc.m_selection.Add(kItemText, text, text->GetBounds());
  doc.m_selection.Add(kItemLine, line, line->GetBounds());
  doc.m_selection.m_rect = view.LogicalToClient(doc.m_selection.GetUnion().GetBounds());
  RECT moved = doc.m_selection.m_rect;
  moved.left += 20, moved.right += 20;
  EXPECT_FALSE(view.DragSelection(moved));
  EXPECT_EQ(text->GetAnchor(), anchor);
  EXPECT_EQ(line->GetPoint(0), start);
}

TEST_F(ChartViewTest, OnlyEditableStylesRestyleAndUndoTakesBackRestyleThenMove) {
  view.MoveTo(50, 100);
  view.LineTo(150, 100);
  view.EndLine();
  const POINT at = ClientOf({10000, -11000});  // the line's middle
  tessmor::testing::ScriptedDialogs dialogs;
  dialogs.Ok([](tessmor::DialogModel& m) { m.SetText(CPenEditDlg::IDC_COLOUR, "255"); });

  view.OnLButtonDown(1, at);
  EXPECT_FALSE(view.OnLButtonDblClk(1, at));
  EXPECT_TRUE(dialogs.shown().empty());  // not marked editable: no editor

  // Marking the chart's styles afterwards makes the first line editable too.
  view.AddFlagsToAllStyles(CLineStyle::kEditable);
  EXPECT_TRUE(Lines()[0]->GetLineStyle()->GetFlags() & CLineStyle::kEditable);

  view.SetStyleFlags(CLineStyle::kEditable);
  view.MoveTo(50, 120);
  view.LineTo(150, 120);
  view.EndLine();
  CVEXALine* line = Lines().back();
  view.OnLButtonDown(1, ClientOf({10000, -9000}));
  ASSERT_EQ(doc.m_selection.GetCount(), 1);
  const RECT from = doc.m_selection.m_rect;
  ASSERT_TRUE(view.DragSelection({from.left + 10, from.top, from.right + 10, from.bottom}));
  const PaperPoint movedTo = line->GetPoint(0);
  ASSERT_TRUE(view.EditSelectedStyle());
  EXPECT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(line->GetLineStyle()->GetPen().colour, 255u);
  EXPECT_TRUE(line->GetLineStyle()->GetFlags() & CLineStyle::kEditable);
  EXPECT_EQ(doc.m_bChartModified, 1);

  // One level: the restyle goes back, the move it replaced stays.
  ASSERT_TRUE(view.UndoLastEdit());
  EXPECT_EQ(line->GetLineStyle()->GetPen().colour, 0u);
  EXPECT_EQ(line->GetPoint(0), movedTo);
  EXPECT_FALSE(view.UndoLastEdit());
  EXPECT_EQ(Lines().size(), 2u);

  view.OnLButtonDown(1, ClientOf({10000 + 265, -9000}));
  const RECT here = doc.m_selection.m_rect;
  ASSERT_TRUE(view.DragSelection({here.left - 10, here.top, here.right - 10, here.bottom}));
  ASSERT_TRUE(view.UndoLastEdit());
  EXPECT_EQ(line->GetPoint(0), movedTo);
}

TEST_F(ChartViewTest, ScreenDrawingShowsThePaperUnlessMetafileModes) {
  // Near the paper's top edge, inside the client area.
  view.MoveTo(10, 200);
  view.LineTo(20, 200);
  view.EndLine();
  tessmor::testing::RecordingDC dc(96, RECT{0, 0, 800, 600});
  view.OnPaint(dc);
  const std::vector<std::string> pens = dc.Lines("SelectPen");
  ASSERT_FALSE(pens.empty());
  EXPECT_EQ(pens[0], "SelectPen style=0x0 width=50 color=0xc8c8c8");
  ASSERT_FALSE(dc.Lines("Rectangle").empty());
  EXPECT_EQ(dc.Lines("Rectangle")[0], "Rectangle 0,0,29500,-21000");
  EXPECT_GT(dc.Count("Polyline") + dc.Count("LineTo") + dc.Count("Polygon"), 0);

  // On pixels: the paper's top edge, logical y 0, lies 100 units (3.78 pixels at 96 dpi)
  // below the client's top; the outline is 50 units (1.9 pixels) wide.
  const std::optional<tessmor::Dib> pixels = view.PaintClient();
  ASSERT_TRUE(pixels.has_value());
  EXPECT_EQ(pixels->Width(), 800);
  EXPECT_EQ(pixels->Height(), 600);
  int greyRow = -1;
  for (int y = 0; y < 12 && greyRow < 0; ++y)
    if (pixels->PixelRgb(100, y) == 0xC8C8C8) greyRow = y;
  EXPECT_GE(greyRow, 2);
  EXPECT_LE(greyRow, 5);
  EXPECT_EQ(pixels->PixelRgb(100, 300), 0xFFFFFFu);  // inside the paper, nothing drawn

  dc.Clear();
  doc.SetDrawMode(CVexaDoc::kDrawMetafile);
  view.OnPaint(dc);
  EXPECT_EQ(dc.Count("Rectangle") + dc.Count("Polyline") + dc.Count("Polygon"), 0);
}

TEST_F(ChartViewTest, CopyPutsMetafileAndBitmapOnlyForAChart) {
  tessmor::MemoryClipboard board;
  ASSERT_TRUE(board.Open());
  board.SetText("kept");
  board.Close();
  EXPECT_FALSE(view.OnEditCopy(&board));
  ASSERT_TRUE(board.Open());
  EXPECT_EQ(board.GetText().value_or(""), "kept");
  board.Close();

  view.MoveTo(10, 10);
  view.LineTo(200, 150);
  EXPECT_TRUE(view.OnEditCopy(&board));
  ASSERT_TRUE(board.Open());
  EXPECT_FALSE(board.GetText().has_value());
  const auto emf = board.GetData(tessmor::kClipEnhMetafile);
  const auto dib = board.GetData(tessmor::kClipDib);
  board.Close();
  ASSERT_TRUE(emf.has_value());
  EXPECT_TRUE(tessmor::EnhMetafile(*emf).IsValid());
  ASSERT_TRUE(dib && dib->size() > 40);
  EXPECT_EQ((*dib)[0], 40);                       // the information header leads a packed bitmap
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 1.0f);  // the screen's zoom came back
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

TEST_F(ChartViewTest, ExportWritesEachFileTypeAndRemembersOnlyTheFolder) {
  tessmor::testing::FakeFileDialogs dialogs;
  const std::string dir = tessmor::testing::MakeTempDir();
  view.MoveTo(10, 10);
  view.LineTo(200, 150);
  view.EndLine();
  doc.SetTitle("survey");
  dialogs.Script({true, dir + "/chart.emf", 0});
  dialogs.Script({true, dir + "/chart.wmf", 1});
  dialogs.Script({true, dir + "/chart.bmp", 2});
  ASSERT_TRUE(view.ExportChart(""));
  ASSERT_TRUE(view.ExportChart(dir + "/chart.emf"));
  ASSERT_TRUE(view.ExportChart(""));
  EXPECT_FALSE(view.ExportChart(""));  // cancelled

  const tessmor::FileDialogRequest& first = dialogs.requests().at(0);
  EXPECT_EQ(first.title, "Export chart");
  ASSERT_EQ(first.filters.size(), 7u);  // six pictures, then the chart file
  EXPECT_EQ(first.filters[1].first, "Windows Metafile (*.wmf)");
  EXPECT_EQ(first.file_name, "survey.emf");
  EXPECT_EQ(dialogs.requests().at(1).file_name, "chart.emf");

  const std::string emf = tessmor::testing::Slurp(dir + "/chart.emf");
  ASSERT_GT(emf.size(), 88u);
  EXPECT_EQ(U32At(emf, 0), 1u);            // EMR_HEADER
  EXPECT_EQ(U32At(emf, 40), 0x464D4520u);  // " EMF"
  const std::string wmf = tessmor::testing::Slurp(dir + "/chart.wmf");
  ASSERT_GT(wmf.size(), 22u);
  EXPECT_EQ(U32At(wmf, 0), 0x9AC6CDD7u);  // the placeable header's key
  const std::string bmp = tessmor::testing::Slurp(dir + "/chart.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(U32At(bmp, 2), bmp.size());
  // Paper and client area at 100 %: x from −100 to 29500 logical units (29600 · 96 / 2540 =
  // 1118.7 pixels), y from 100 down to −21000 (21100 units, 797.5 pixels).
  const std::int32_t width = static_cast<std::int32_t>(U32At(bmp, 18));
  const std::int32_t height = static_cast<std::int32_t>(U32At(bmp, 22));
  EXPECT_NEAR(width, 1119, 1);
  EXPECT_NEAR(height, 798, 1);

  // The document keeps its own name: only the folder is remembered.
  EXPECT_EQ(doc.GetTitle(), "survey");
  EXPECT_EQ(doc.m_strChartPath, dir + "/");
}

// A chart with one line, its document stored as `dir`/basin.txt.
class ChartExportTest : public ChartViewTest {
 protected:
  void SetUp() override {
    ChartViewTest::SetUp();
    view.MoveTo(10, 10);
    view.LineTo(200, 150);
    view.EndLine();
    std::ofstream(own, std::ios::binary) << kProfile;
    doc.SetPathName(own);
  }
  static constexpr const char* kProfile = "   1000   4.06\r\n   1500   4.12\r\n";
  tessmor::testing::FakeFileDialogs dialogs;
  const std::string dir = tessmor::testing::MakeTempDir();
  const std::string own = dir + "/basin.txt";
};

TEST_F(ChartExportTest, ProposesTheDocumentsBaseNameAsAnEnhancedMetafile) {
  EXPECT_FALSE(view.ExportChart(own));  // cancelled
  EXPECT_FALSE(view.ExportChart(""));   // cancelled, from the chart folder and the title
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_EQ(dialogs.requests()[0].initial_dir, dir);
  EXPECT_EQ(dialogs.requests()[0].file_name, "basin.emf");
  EXPECT_EQ(dialogs.requests()[0].filters.at(0).second, ".emf");
  EXPECT_EQ(dialogs.requests()[1].file_name, "basin.emf");
  EXPECT_EQ(doc.GetTitle(), "basin.txt");
}

TEST_F(ChartExportTest, RefusesToWriteOverTheDocumentsOwnFile) {
  dialogs.Script({true, own, 0});
  dialogs.Script(
      {true, dir + "/../" + std::filesystem::path(dir).filename().string() + "/basin.txt", 2});
  EXPECT_FALSE(view.ExportChart(own));
  EXPECT_FALSE(view.ExportChart(own));  // the same file by another path
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{
                                 "A picture cannot be written over the document's own file.",
                                 "A picture cannot be written over the document's own file."}));
  EXPECT_TRUE(tessmor::testing::Slurp(own) == kProfile) << "the profile is intact";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
      << "no picture was written beside it";
}

TEST_F(ChartExportTest, NameWithoutExtensionTakesTheChosenFiltersExtensionAndKind) {
  dialogs.Script({true, dir + "/chart", 1});
  dialogs.Script({true, dir + "/plan", 2});
  dialogs.Script({true, dir + "/sheet.v2", 0});
  ASSERT_TRUE(view.ExportChart(own));
  ASSERT_TRUE(view.ExportChart(own));
  ASSERT_TRUE(view.ExportChart(own));
  EXPECT_FALSE(std::filesystem::exists(dir + "/chart"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/plan"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/sheet.v2"));
  const std::string wmf = tessmor::testing::Slurp(dir + "/chart.wmf");
  ASSERT_GT(wmf.size(), 22u);
  EXPECT_EQ(U32At(wmf, 0), 0x9AC6CDD7u);  // the placeable header's key
  EXPECT_EQ(tessmor::testing::Slurp(dir + "/plan.bmp").substr(0, 2), "BM");
  const std::string emf = tessmor::testing::Slurp(dir + "/sheet.v2.emf");
  ASSERT_GT(emf.size(), 88u);
  EXPECT_EQ(U32At(emf, 40), 0x464D4520u);  // " EMF"
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(ChartExportTest, ChartFileReadsBackWithTheSameStyles) {
  view.SetPen(0x0000FF, 0.7f, 1, 0, 0);
  view.MoveTo(20, 20);
  view.LineTo(120, 40);
  view.EndLine();
  dialogs.Script({true, dir + "/chart.vxc", 0});
  ASSERT_TRUE(view.ExportChart(own));
  CVexaDoc back;
  tessmor::Archive ar = tessmor::Archive::OpenForLoad(dir + "/chart.vxc");
  back.SerializeChart(ar);
  const std::vector<CLineStyle*> written = doc.m_lineManager.AllStyles();
  const std::vector<CLineStyle*> read = back.m_lineManager.AllStyles();
  ASSERT_EQ(read.size(), written.size());
  ASSERT_EQ(read.size(), 2u);  // the fixture's pen and the blue one
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_TRUE(read[i]->ComparePen(written[i]->GetPen()));
    EXPECT_EQ(read[i]->GetLineCount(), written[i]->GetLineCount());
  }
}

TEST_F(ChartExportTest, TypedPictureExtensionDecidesTheBytes) {
  dialogs.Script({true, dir + "/chart.wmf", 0});
  dialogs.Script({true, dir + "/chart.EMF", 2});
  ASSERT_TRUE(view.ExportChart(own));
  ASSERT_TRUE(view.ExportChart(own));
  const std::string wmf = tessmor::testing::Slurp(dir + "/chart.wmf");
  ASSERT_GT(wmf.size(), 22u);
  EXPECT_EQ(U32At(wmf, 0), 0x9AC6CDD7u);
  const std::string emf = tessmor::testing::Slurp(dir + "/chart.EMF");
  ASSERT_GT(emf.size(), 88u);
  EXPECT_EQ(U32At(emf, 0), 1u);
  EXPECT_EQ(U32At(emf, 40), 0x464D4520u);
}

TEST_F(ChartExportTest, AsksBeforeReplacingTheFileItWrites) {
  std::ofstream(dir + "/chart.wmf", std::ios::binary) << "older picture";
  dialogs.Script({true, dir + "/chart", 1});
  dialogs.Script({true, dir + "/chart", 1});
  prompts.Script({tessmor::kAnswerNo, tessmor::kAnswerYes});
  EXPECT_FALSE(view.ExportChart(own));
  EXPECT_EQ(tessmor::testing::Slurp(dir + "/chart.wmf"), "older picture");
  ASSERT_TRUE(view.ExportChart(own));
  EXPECT_EQ(U32At(tessmor::testing::Slurp(dir + "/chart.wmf"), 0), 0x9AC6CDD7u);
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].text, "chart.wmf already exists.\nDo you want to replace it?");
  EXPECT_EQ(prompts.shown()[0].style & tessmor::kPromptButtonMask, tessmor::kPromptYesNo);
}

TEST_F(ChartExportTest, PictureWrittenThroughALinkReplacesItsTargetAndKeepsTheLink) {
  std::filesystem::create_directory(dir + "/pictures");
  std::ofstream(dir + "/pictures/chart.bmp", std::ios::binary) << "older picture";
  std::filesystem::permissions(dir + "/pictures/chart.bmp", std::filesystem::perms(0640));
  std::filesystem::create_symlink("pictures/chart.bmp", dir + "/chart.bmp");
  dialogs.Script({true, dir + "/chart.bmp", 2});
  ASSERT_TRUE(view.ExportChart(own));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/chart.bmp"));
  EXPECT_EQ(tessmor::testing::Slurp(dir + "/pictures/chart.bmp").substr(0, 2), "BM");
  EXPECT_EQ(std::filesystem::status(dir + "/pictures/chart.bmp").permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir + "/pictures"), {}), 1)
      << "no temporary file is left";
}

TEST_F(ChartExportTest, OffersTheThreeMetafileAndBitmapFiltersThenPngSvgAndPdf) {
  EXPECT_FALSE(view.ExportChart(own));  // cancelled
  ASSERT_EQ(dialogs.requests().size(), 1u);
  // ... and last the chart file, which opens again with its styles.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Enhanced Metafile (*.emf)", ".emf"},
      {"Windows Metafile (*.wmf)", ".wmf"},
      {"Windows Bitmap (*.bmp)", ".bmp"},
      {"Portable Network Graphics (*.png)", ".png"},
      {"Scalable Vector Graphics (*.svg)", ".svg"},
      {"Portable Document Format (*.pdf)", ".pdf"},
      {"Tessmor Chart (*.vxc)", ".vxc"}};
  EXPECT_EQ(dialogs.requests()[0].filters, expected);
  EXPECT_TRUE(dialogs.requests()[0].all_files);
}

// The chart of ChartExportTest with a title text, on A5 landscape paper (210 × 148 mm).
class ChartPictureTest : public ChartExportTest {
 protected:
  void SetUp() override {
    ChartExportTest::SetUp();
    doc.m_mapper.SetPaper(24);
    view.MoveTo(20, 130);
    view.WriteText("Bouguer anomaly");
    view.EndLine();
  }
};

TEST_F(ChartPictureTest, PngIsThePaperAt300DpiOnWhite) {
  dialogs.Script({true, dir + "/chart.png", 0});
  ASSERT_TRUE(view.ExportChart(own));
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir + "/chart.png"), "PNG"));
  // 210 × 148 mm at 300 dpi: 2480.3 × 1748.0 pixels.
  EXPECT_EQ(image.width(), 2480);
  EXPECT_EQ(image.height(), 1748);
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), qRgb(255, 255, 255));
  // The line from paper (10, 10) to (200, 150) mm crosses x = 105 mm at y = 80 mm, i.e. pixel
  // column 1240 at row (148 − 80) / 25.4 · 300 = 803.
  int darkest = 255;
  for (int y = 795; y <= 811; ++y) darkest = std::min(darkest, qGray(image.pixel(1240, y)));
  EXPECT_LT(darkest, 128) << "the line is drawn";
  // Smooth edges: some pixels beside the line are neither white nor the line's colour.
  int grey = 0;
  for (int y = 795; y <= 811; ++y) {
    const int g = qGray(image.pixel(1240, y));
    if (g > 10 && g < 245) ++grey;
  }
  EXPECT_GT(grey, 0);
}

TEST_F(ChartPictureTest, SvgIsThePaperInMillimetresWithItsTexts) {
  dialogs.Script({true, dir + "/chart", 4});
  ASSERT_TRUE(view.ExportChart(own));
  const std::string svg = tessmor::testing::Slurp(dir + "/chart.svg");
  QSvgRenderer renderer(QByteArray::fromStdString(svg));
  ASSERT_TRUE(renderer.isValid());
  EXPECT_NE(svg.find("width=\"210mm\" height=\"148mm\""), std::string::npos);
  EXPECT_NE(svg.find(">Bouguer anomaly</text>"), std::string::npos);
  EXPECT_NE(svg.find("<path"), std::string::npos) << "the line is a vector path";
}

TEST_F(ChartPictureTest, PdfPageIsThePaper) {
  dialogs.Script({true, dir + "/chart.PDF", 0});
  ASSERT_TRUE(view.ExportChart(own));
  const std::string pdf = tessmor::testing::Slurp(dir + "/chart.PDF");
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  // 210 × 148 mm in whole points of 1/72 inch: 595.28 × 419.53.
  const QRegularExpressionMatch box =
      QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
          .match(QString::fromLatin1(QByteArray::fromStdString(pdf)));
  ASSERT_TRUE(box.hasMatch());
  EXPECT_NEAR(box.captured(1).toDouble(), 595.28, 0.5);
  EXPECT_NEAR(box.captured(2).toDouble(), 419.53, 0.5);
}

TEST_F(ChartPictureTest, CopyPutsAnSvgOfThePaperBesideTheMetafileAndTheBitmap) {
  tessmor::MemoryClipboard clip;
  ASSERT_TRUE(view.OnEditCopy(&clip));
  ASSERT_TRUE(clip.Open());
  EXPECT_TRUE(clip.HasFormat(tessmor::kClipEnhMetafile));
  EXPECT_TRUE(clip.HasFormat(tessmor::kClipDib));
  const std::optional<std::vector<std::uint8_t>> svg =
      clip.GetData(tessmor::Clipboard::RegisterFormat(tessmor::kClipSvgName));
  clip.Close();
  ASSERT_TRUE(svg.has_value());
  const std::string text(svg->begin(), svg->end());
  EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(text)).isValid());
  EXPECT_NE(text.find("width=\"210mm\" height=\"148mm\""), std::string::npos);
  EXPECT_NE(text.find(">Bouguer anomaly</text>"), std::string::npos);
}

}  // namespace
