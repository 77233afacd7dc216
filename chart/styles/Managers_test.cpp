#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/paper/Mapper.h"
#include "chart/styles/CManager.h"
#include "chart/styles/FManager.h"
#include "chart/styles/LManager.h"
#include "chart/styles/MarkerEditDlg.h"
#include "chart/styles/PenEditDlg.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "plotsupport/StyleSettings.h"
#include "testsupport/RecordingDC.h"
#include "testsupport/ScriptedDialogs.h"

namespace {

using tessmor::Archive;
using tessmor::ArchiveException;

// Managers attached to a mapper at 0.01 mm, with a fresh settings store.
class ManagersTest : public ::testing::Test {
 protected:
  ManagersTest() : previous_(tessmor::SetSettings(&settings_)) {
    lines_.Attach(&mapper_, true);
    fills_.Attach(&mapper_, true);
    chars_.Attach(&mapper_, true);
  }
  ~ManagersTest() override { tessmor::SetSettings(previous_); }

  void DrawLines(int count, float y) {
    for (int i = 0; i < count; ++i) {
      auto line = std::make_unique<CVEXALine>(nullptr, PaperPoint{10, y}, 1);
      line->AddPoint({20, y});
      ASSERT_EQ(lines_.AddLine(std::move(line)), 1);
    }
  }
  std::unique_ptr<CVEXASymbol> Symbol(PaperPoint at) {
    VEXASYMBOL s{5, {0, 0, 0}, 80, 0};
    return std::make_unique<CVEXASymbol>(nullptr, at, s);
  }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
  CMapper mapper_;
  CLManager lines_;
  CFManager fills_;
  CCManager chars_;
};

VEXAPEN Pen(std::uint32_t colour) { return VEXAPEN{kPenSolid, 0.2f, colour, 0xFFFFFF, 1, 0, 0}; }

std::vector<std::uint8_t> Stored(CStyleStore& store) {
  Archive ar = Archive::ForStore();
  store.Serialize(ar);
  return ar.StoredBytes();
}

TEST_F(ManagersTest, ReturningToAPenReusesItsStyle) {
  const VEXAPEN a = Pen(0x0000FF), b = Pen(0xFF0000);
  lines_.SetPen(&a);
  DrawLines(3, 10);
  lines_.SetPen(&b);
  DrawLines(3, 20);
  lines_.SetPen(&a);
  DrawLines(2, 30);
  lines_.Commit();

  ASSERT_EQ(lines_.GetSize(), 2);
  EXPECT_TRUE(lines_.GetStyle(1)->ComparePen(a));
  EXPECT_EQ(lines_.GetStyle(1)->GetLineCount(), 5);
  EXPECT_TRUE(lines_.GetStyle(2)->ComparePen(b));
  EXPECT_EQ(lines_.GetStyle(2)->GetLineCount(), 3);
  EXPECT_EQ(lines_.GetKind(), CStyleStore::kKindLine);
}

TEST_F(ManagersTest, PenChangesWithoutItemsCreateNoStyle) {
  const VEXAPEN a = Pen(1), b = Pen(2);
  lines_.SetPen(&a);
  lines_.SetPen(&b);
  lines_.Commit();
  EXPECT_EQ(lines_.GetSize(), 0);

  // A change after drawing leaves the drawn style as it was.
  DrawLines(1, 10);
  lines_.SetPenAttributes(1, 0x00FF00, -3.0f, 1, 0);
  ASSERT_EQ(lines_.GetSize(), 1);
  EXPECT_TRUE(lines_.GetStyle(1)->ComparePen(b));
  EXPECT_EQ(lines_.GetPen().colour, 0x00FF00u);
  EXPECT_FLOAT_EQ(lines_.GetPen().width, 0.2f);
  EXPECT_EQ(lines_.GetPen().roundEnds, 1);
}

TEST_F(ManagersTest, DeletingEverythingLeavesAUsableManager) {
  const VEXAPEN a = Pen(0x0000FF), b = Pen(0xFF0000);
  lines_.SetPen(&a);
  DrawLines(2, 10);
  lines_.SetPen(&b);
  DrawLines(1, 20);  // still held by the current style, not yet committed
  lines_.DeleteItems(-1);
  lines_.Commit();
  EXPECT_EQ(lines_.GetSize(), 0);
  // The current style survives the deletion: drawing goes on with the last pen.
  DrawLines(1, 30);
  lines_.Commit();
  ASSERT_EQ(lines_.GetSize(), 1);
  EXPECT_TRUE(lines_.GetStyle(1)->ComparePen(b));
  EXPECT_EQ(lines_.GetStyle(1)->GetLineCount(), 1);
}

TEST_F(ManagersTest, RestylingACurveAndBackLeavesTheStylesAsTheyWere) {
  const VEXAPEN a = Pen(0x0000FF), b = Pen(0xFF0000), c = Pen(0x00FF00);
  lines_.SetPen(&c);
  DrawLines(1, 5);
  lines_.SetPen(&a);
  DrawLines(3, 10);
  lines_.Commit();
  const std::vector<std::uint8_t> before = Stored(lines_);
  CVEXALine* curve = lines_.GetStyle(2)->GetLine(1);

  CLineStyle* home = lines_.RestyleStroke(curve, b);
  ASSERT_NE(home, nullptr);
  EXPECT_TRUE(home->ComparePen(b));
  EXPECT_EQ(curve->GetLineStyle(), home);
  ASSERT_EQ(lines_.GetSize(), 3);
  EXPECT_EQ(lines_.GetStyle(2)->GetLineCount(), 2);
  // Drawing goes on with the pen it had.
  EXPECT_TRUE(lines_.GetCurrentStyle()->ComparePen(a));

  ASSERT_EQ(lines_.RestyleStroke(curve, a), lines_.GetStyle(2));
  ASSERT_EQ(lines_.GetSize(), 2);
  EXPECT_EQ(lines_.GetStyle(2)->GetLineCount(), 3);
  EXPECT_EQ(Stored(lines_).size(), before.size());
  EXPECT_TRUE(lines_.GetStyle(1)->ComparePen(c));

  // The last item of a style takes the style with it.
  lines_.RestyleStroke(lines_.GetStyle(1)->GetLine(0), a);
  ASSERT_EQ(lines_.GetSize(), 1);
  EXPECT_EQ(lines_.GetStyle(1)->GetLineCount(), 4);
  CVEXALine stranger(nullptr, PaperPoint{0, 0}, 1);
  EXPECT_EQ(lines_.RestyleStroke(&stranger, b), nullptr);
}

TEST_F(ManagersTest, RestyledFillsAndTextsFindTheirTwinsAndKeepTheirFlags) {
  fills_.SetNewItemFlags(CLineStyle::kEditable);
  fills_.SetBrush(0x0000FF, CFillStyle::kBrushCodeSolid);
  fills_.AddSymbol(Symbol({10, 10}));
  fills_.AddSymbol(Symbol({20, 10}));
  fills_.SetNewItemFlags(0);
  fills_.SetBrush(0x00FF00, CFillStyle::kBrushCodeSolid);
  fills_.AddSymbol(Symbol({30, 10}));
  fills_.Commit();
  CVEXASymbol* moved = fills_.GetFillStyle(1)->GetSymbol(0);
  const VEXABRUSH green = fills_.GetFillStyle(2)->GetBrush();
  CFillStyle* home =
      fills_.RestyleFilled(moved, CFManager::kSymbolKind, fills_.GetFillStyle(2)->GetPen(), green);
  ASSERT_EQ(home, fills_.GetFillStyle(2));
  EXPECT_EQ(home->GetSymbolCount(), 2);
  EXPECT_EQ(moved->GetStyle(), home);
  EXPECT_TRUE(home->GetFlags() & CLineStyle::kEditable);

  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 10}, "a", 6));
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 20}, "b", 6));
  chars_.Commit();
  CVEXAString* text = chars_.GetStyle(1)->GetString(1);
  TEXTSTYLE red = chars_.GetStyle(1)->GetTextStyle();
  const TEXTSTYLE black = red;
  red.colour = 0x0000FF;
  ASSERT_NE(chars_.RestyleString(text, red), nullptr);
  ASSERT_EQ(chars_.GetSize(), 2);
  EXPECT_EQ(text->GetStyle()->GetTextStyle().colour, 0x0000FFu);
  chars_.RestyleString(text, black);
  ASSERT_EQ(chars_.GetSize(), 1);
  EXPECT_EQ(chars_.GetStyle(1)->GetStringCount(), 2);
}

TEST_F(ManagersTest, FillStylesInternByPenAndBrush) {
  fills_.SetBrush(0x0000FF, CFillStyle::kBrushCodeSolid);
  fills_.AddSymbol(Symbol({10, 10}));
  fills_.SetBrush(0x00FF00, CFillStyle::kBrushCodeSolid);
  fills_.AddSymbol(Symbol({20, 10}));
  fills_.SetBrush(0x0000FF, CFillStyle::kBrushCodeSolid);
  fills_.AddSymbol(Symbol({30, 10}));
  fills_.Commit();

  ASSERT_EQ(fills_.GetSize(), 2);
  EXPECT_EQ(fills_.GetFillStyle(1)->GetBrush().colour, 0x0000FFu);
  EXPECT_EQ(fills_.GetFillStyle(1)->GetSymbolCount(), 2);
  EXPECT_EQ(fills_.GetFillStyle(2)->GetSymbolCount(), 1);
  EXPECT_EQ(fills_.GetKind(), CStyleStore::kKindFill);
}

TEST_F(ManagersTest, TextsInternByWholeTextStyle) {
  chars_.SetSize(3.0f);
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 10}, "a", 6));
  chars_.SetJustification(kJustifyCentreTop);
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 20}, "b", 6));
  chars_.SetJustification(kJustifyLeftBaseline);
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 30}, "c", 6));
  chars_.Commit();

  ASSERT_EQ(chars_.GetSize(), 2);
  EXPECT_EQ(chars_.GetStyle(1)->GetStringCount(), 2);
  EXPECT_EQ(chars_.GetStyle(2)->GetStringCount(), 1);
}

TEST_F(ManagersTest, StoredLineManagerReadsBackWithoutEmptyStyles) {
  const VEXAPEN a = Pen(0x0000FF), b = Pen(0xFF0000);
  lines_.SetPen(&a);
  DrawLines(2, 10);
  lines_.SetPen(&b);
  DrawLines(1, 20);
  lines_.Commit();
  std::vector<std::uint8_t> bytes = Stored(lines_);

  // A third, empty style after the two: count 3 and the bare pen form.
  bytes[2] = 3;
  CLineStyle empty(&a, &mapper_);
  Archive extra = Archive::ForStore();
  empty.Serialize(extra);
  bytes.insert(bytes.end(), extra.StoredBytes().begin(), extra.StoredBytes().end());

  CLManager back;
  back.Attach(&mapper_, true);
  Archive in = Archive::FromBytes(bytes);
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(back.GetSize(), 2);
  EXPECT_TRUE(back.GetStyle(1)->ComparePen(a));
  EXPECT_EQ(back.GetStyle(1)->GetLineCount(), 2);
  EXPECT_TRUE(back.GetStyle(2)->ComparePen(b));
  EXPECT_EQ(back.GetStyle(2)->GetLine(0)->GetPoint(1), (PaperPoint{20, 20}));
  EXPECT_EQ(Stored(back), Stored(lines_));
}

TEST_F(ManagersTest, StoredFillAndCharManagersRoundTrip) {
  fills_.AddSymbol(Symbol({10, 10}));
  fills_.Commit();
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{5, 5}, "Gravity", 6));
  chars_.Commit();

  CFManager fillsBack;
  fillsBack.Attach(&mapper_, true);
  Archive fin = Archive::FromBytes(Stored(fills_));
  fillsBack.Serialize(fin);
  ASSERT_EQ(fillsBack.GetSize(), 1);
  EXPECT_EQ(fillsBack.GetFillStyle(1)->GetSymbol(0)->GetPos(), (PaperPoint{10, 10}));

  CCManager charsBack;
  charsBack.Attach(&mapper_, true);
  Archive cin = Archive::FromBytes(Stored(chars_));
  charsBack.Serialize(cin);
  ASSERT_EQ(charsBack.GetSize(), 1);
  EXPECT_EQ(charsBack.GetStyle(1)->GetString(0)->GetLines(), std::vector<std::string>{"Gravity"});
}

TEST_F(ManagersTest, HostileCountsThrowAndLeaveTheManagerAsItWas) {
  DrawLines(1, 10);
  lines_.Commit();
  // Kind 1 and 65535 line styles in four bytes.
  Archive in = Archive::FromBytes({1, 0, 0xFF, 0xFF, 0, 0, 0, 0});
  EXPECT_THROW(lines_.Serialize(in), ArchiveException);
  EXPECT_EQ(lines_.GetSize(), 1);

  // Kind 2 and four thousand million fill styles.
  Archive fin = Archive::FromBytes({2, 0, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_THROW(fills_.Serialize(fin), ArchiveException);
  EXPECT_EQ(fills_.GetSize(), 0);

  // A character manager's kind where a line manager's form is expected.
  Archive wrong = Archive::FromBytes({4, 0, 0, 0});
  EXPECT_THROW(lines_.Serialize(wrong), ArchiveException);
  EXPECT_EQ(lines_.GetSize(), 1);

  // A second style cut short: the first, complete, is not kept either.
  std::vector<std::uint8_t> bytes = Stored(lines_);
  bytes[2] = 2;
  const std::vector<std::uint8_t> one(bytes.begin() + 4, bytes.end());
  bytes.insert(bytes.end(), one.begin(), one.end() - 3);
  Archive cut = Archive::FromBytes(bytes);
  EXPECT_THROW(lines_.Serialize(cut), ArchiveException);
  EXPECT_EQ(lines_.GetSize(), 1);
}

TEST_F(ManagersTest, HitTestsFindTheTopmostItem) {
  // Two crossing lines in two styles: at the crossing the later style, drawn last, wins.
  const VEXAPEN a = Pen(1), b = Pen(2);
  lines_.SetPen(&a);
  auto across = std::make_unique<CVEXALine>(nullptr, PaperPoint{10, 10}, 1);
  across->AddPoint({30, 10});
  lines_.AddLine(std::move(across));
  lines_.SetPen(&b);
  auto down = std::make_unique<CVEXALine>(nullptr, PaperPoint{20, 0}, 1);
  down->AddPoint({20, 20});
  lines_.AddLine(std::move(down));
  lines_.Commit();
  lines_.GetBounds();
  const tessmor::POINT crossing = mapper_.PaperToDevice({20, 10});
  EXPECT_EQ(lines_.HitTestStroke(crossing.x, crossing.y), lines_.GetStyle(2)->GetLine(0));
  const tessmor::POINT onFirst = mapper_.PaperToDevice({12, 10});
  EXPECT_EQ(lines_.HitTestStroke(onFirst.x, onFirst.y), lines_.GetStyle(1)->GetLine(0));

  // Two symbols on one spot in one style: the later one wins.
  fills_.AddSymbol(Symbol({50, 50}));
  fills_.AddSymbol(Symbol({50, 50}));
  fills_.GetBounds();
  EXPECT_EQ(fills_.HitTestSymbol({50, 50}), fills_.GetCurrentFillStyle()->GetSymbol(1));
  EXPECT_EQ(fills_.HitTestSymbol({90, 90}), nullptr);

  // Two texts on one spot in two styles: the later style wins.
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{60, 60}, "WWWW", 6));
  chars_.SetColour(0xFF);
  chars_.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{60, 60}, "WWWW", 6));
  chars_.Commit();
  tessmor::testing::RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  const tessmor::RECT bounds = chars_.GetBounds(dc);
  ASSERT_NE(bounds, tessmor::RECT{});
  const PaperPoint inside = mapper_.LogicalToPaper(
      {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2 + 21000});
  EXPECT_EQ(chars_.HitTestText(inside), chars_.GetStyle(2)->GetString(0));
}

TEST_F(ManagersTest, DefaultPenEditorUsesTheGivenSettingsPlace) {
  tessmor::testing::ScriptedDialogs dialogs;
  dialogs.Ok([](tessmor::DialogModel& d) {
    d.SetText(CPenEditDlg::IDC_COLOUR, "255");
    d.SetRadio(CPenEditDlg::IDC_STYLE, 2);
  });
  ASSERT_EQ(lines_.EditDefaultPen(nullptr, true, "Plot\rAnomaly pen"), 1);
  EXPECT_EQ(lines_.GetPen().colour, 255u);
  EXPECT_EQ(lines_.GetPen().style, kPenDot);
  EXPECT_EQ(settings_.GetString("Plot", "Anomaly pen{PenStyle}", ""),
            "2,0.200000,255,16777215,1,0,0");

  // Without a place: the manager's own section and key; the stored pen is read first.
  dialogs.Ok();
  ASSERT_EQ(lines_.EditDefaultPen(nullptr, true), 1);
  EXPECT_TRUE(settings_.Has("default CLManager", "defPen {PenStyle}"));

  dialogs.Cancel();
  VEXAPEN pen = Pen(7);
  EXPECT_EQ(lines_.EditDefaultPen(&pen, false), 0);
  EXPECT_EQ(pen.colour, 7u);
}

TEST_F(ManagersTest, DefaultMarkerEditorSetsTemplateAndSettings) {
  tessmor::testing::ScriptedDialogs dialogs;
  dialogs.Ok([](tessmor::DialogModel& d) {
    d.SetRadio(CMarkerEditDlg::IDC_SYMBOL, 8);
    d.SetText(CMarkerEditDlg::IDC_SIZE, "120");
    d.SetText(CMarkerEditDlg::IDC_BRUSH_COLOUR, "65280");
  });
  ASSERT_EQ(fills_.EditDefaultMarker(nullptr, true), 1);
  ASSERT_NE(fills_.GetTemplateSymbol(), nullptr);
  EXPECT_EQ(fills_.GetTemplateSymbol()->symbol, 8);
  EXPECT_EQ(fills_.GetTemplateSymbol()->size, 120u);
  EXPECT_EQ(fills_.GetBrush().colour, 65280u);
  EXPECT_EQ(settings_.GetString("Default FillManager", "defSymbol {Marker: SymbolStyle}", ""),
            "8, 120, 0");

  // An entry out of range is refused and changes nothing.
  dialogs.Ok([](tessmor::DialogModel& d) { d.SetText(CMarkerEditDlg::IDC_SIZE, "1001"); });
  EXPECT_EQ(fills_.EditDefaultMarker(nullptr, false), 0);
  EXPECT_EQ(fills_.GetTemplateSymbol()->size, 120u);
}

}  // namespace
