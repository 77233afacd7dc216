// The chart the profile view builds: what a user sees on the page after each update.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "chart/items/VexaLine.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "platform/io/Settings.h"
#include "profile/TessmorDoc.h"
#include "profileview/InversionDlg.h"
#include "profileview/TessmorView.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::DialogModel;
using tessmor::testing::ScriptedDialogs;

// The default paper is A4 landscape, 295 × 210 mm. The profile panel is 0.7 × 295 = 206.5 mm
// wide and 0.6 × 210 = 126 mm high, its lower-left corner at ((295 − 206.5) / 2,
// (210 − 126) / 2) = (44.25, 42). The fixture's points lie every 1000 m from 0 m, so the
// distance axis runs 0 … 10 km (a round extent): 1 km is 20.65 mm of paper.
constexpr float kLeft = 44.25f, kBottom = 42.0f, kWidth = 206.5f, kHeight = 126.0f, kKm = 20.65f;
// Paper positions are single precision through a few products of the chart transform.
constexpr float kTol = 2e-3f;
constexpr std::uint32_t kBlue = 0xFF0000, kGreen = 0x00FF00, kRed = 0x0000FF;

struct Line {
  VEXAPEN pen;
  std::vector<PaperPoint> points;
};

struct Page : ::testing::Test {
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  tessmor::testing::FakePrompts prompts;
  tessmor::testing::ScriptedDialogs dialogs;
  CTessmorDoc doc;
  CTessmorView view;
  std::string dir = tessmor::testing::MakeTempDir();

  ~Page() override { tessmor::SetSettings(previous); }

  void Open(const std::vector<double>& anomalies) {
    for (std::size_t i = 0; i < anomalies.size(); ++i)
      doc.AddPoint({static_cast<std::int32_t>(i * 1000), anomalies[i]});
    doc.AddView(&view);
    doc.SetPathName(dir + "/line.gpr");
    view.OnInitialUpdate();
  }
  // The polylines of the line manager (`fills` false) or the polygons of the fill manager.
  std::vector<Line> Lines(bool fills = false) {
    std::vector<Line> out;
    for (CLineStyle* s : (fills ? doc.m_fillManager : doc.m_lineManager).AllStyles())
      for (int i = 0; i < s->GetLineCount(); ++i) {
        Line l{s->GetPen(), {}};
        for (int k = 0; k < s->GetLine(i)->GetPointCount(); ++k)
          l.points.push_back(s->GetLine(i)->GetPoint(k));
        out.push_back(l);
      }
    return out;
  }
  std::vector<Line> LinesOf(std::uint32_t colour, float width) {
    std::vector<Line> out;
    for (const Line& l : Lines())
      if (l.pen.colour == colour && std::fabs(l.pen.width - width) < 1e-6f) out.push_back(l);
    return out;
  }
  std::vector<const CVEXASymbol*> Symbols(int kind) {
    std::vector<const CVEXASymbol*> out;
    for (CLineStyle* s : doc.m_fillManager.AllStyles())
      for (int i = 0; i < static_cast<CFillStyle*>(s)->GetSymbolCount(); ++i) {
        const CVEXASymbol* symbol = static_cast<CFillStyle*>(s)->GetSymbol(i);
        if (symbol->GetSymbol().symbol == kind) out.push_back(symbol);
      }
    return out;
  }
  bool HasText(const std::string& text) {
    for (CCharStyle* s : doc.m_charManager.AllStyles())
      for (int i = 0; i < s->GetStringCount(); ++i)
        for (const std::string& line : s->GetString(i)->GetLines())
          if (line == text) return true;
    return false;
  }
  // The anchor of the first text whose first line is `text` (paper mm); (−1, −1) when none.
  PaperPoint AnchorOf(const std::string& text) {
    for (CCharStyle* s : doc.m_charManager.AllStyles())
      for (int i = 0; i < s->GetStringCount(); ++i)
        if (!s->GetString(i)->GetLines().empty() && s->GetString(i)->GetLines()[0] == text)
          return s->GetString(i)->GetAnchor();
    return {-1.0f, -1.0f};
  }
};

const std::vector<double> kBump = {0, 2, 5, 9, 14, 20, 14, 9, 5, 2, 1};

TEST_F(Page, ProfilePanelPutsEachPointOnTheAxesScale) {
  Open(kBump);
  ASSERT_FLOAT_EQ(view.GetPaper().width, 295.0f);
  ASSERT_FLOAT_EQ(view.GetPaper().height, 210.0f);
  // The anomaly axis runs from 0 to 20 mGal (a round extent in 10 intervals): 6.3 mm a mGal.
  EXPECT_FLOAT_EQ(view.m_anomalyAxis.origin, 0.0f);
  EXPECT_NEAR(view.m_anomalyAxis.scale * kHeight, 20.0f, 1e-4f);

  const std::vector<Line> anomaly = LinesOf(kBlue, 0.5f);
  ASSERT_EQ(anomaly.size(), 1u);
  ASSERT_EQ(anomaly[0].points.size(), 12u) << "11 points, the first stored twice";
  for (std::size_t i = 0; i < kBump.size(); ++i) {
    EXPECT_NEAR(anomaly[0].points[i + 1].x, kLeft + kKm * i, kTol) << i;
    EXPECT_NEAR(anomaly[0].points[i + 1].y, kBottom + 6.3f * kBump[i], kTol) << i;
  }
  // A symbol on every point, and one in the legend 0.05 × 210 = 10.5 mm above the panel.
  const auto marks = Symbols(5);
  ASSERT_EQ(marks.size(), 12u);
  EXPECT_TRUE(std::any_of(marks.begin(), marks.end(), [](const CVEXASymbol* s) {
    return std::fabs(s->GetPos().x - kLeft) < kTol &&
           std::fabs(s->GetPos().y - (kBottom + kHeight + 10.5f)) < kTol;
  }));
  for (const char* text : {"Distance In Km", "Gravity Anomaly (mGals)", "Anomaly"})
    EXPECT_TRUE(HasText(text)) << text;
  EXPECT_FALSE(HasText("Background")) << "no background is set";
  // The anomaly axis's labels and title stand outside the panel, left of its edge.
  const PaperPoint title = AnchorOf("Gravity Anomaly (mGals)");
  EXPECT_GT(title.x, 0.0f);
  EXPECT_LT(title.x, kLeft);
  const PaperPoint top = AnchorOf("20");
  EXPECT_GT(top.x, 0.0f);
  EXPECT_LT(top.x, kLeft);
  EXPECT_NEAR(top.y, kBottom + kHeight, kTol);
}

TEST_F(Page, BackgroundLineAndTraverseName) {
  doc.m_strTraverseName = "Line 7";
  doc.SetBackground(kBackgroundConstant, {0, 5.0}, {});
  Open(kBump);
  // A constant 5 mGal across the panel, blue, 1 mm wide, dotted: y = 42 + 5 × 6.3.
  const std::vector<Line> level = LinesOf(kBlue, 1.0f);
  const auto across = std::find_if(level.begin(), level.end(), [](const Line& l) {
    return l.points.size() == 2 && std::fabs(l.points[0].x - kLeft) < kTol;
  });
  ASSERT_NE(across, level.end());
  EXPECT_NEAR(across->points[1].x, kLeft + kWidth, kTol);
  EXPECT_NEAR(across->points[0].y, kBottom + 31.5f, kTol);
  EXPECT_NEAR(across->points[1].y, kBottom + 31.5f, kTol);
  EXPECT_EQ(across->pen.style, 3);
  EXPECT_TRUE(HasText("Background"));
  EXPECT_TRUE(HasText("Line 7"));
}

TEST_F(Page, FlatProfilesGetARangeBelowTheirLevel) {
  Open(std::vector<double>(8, 12.0));
  float low = 0, high = 0;
  view.GetAnomalyRange(CTessmorView::kLayoutProfile, low, high);
  EXPECT_NEAR(low, 9.6f, 1e-5f);  // 12 − 12 × 0.2
  EXPECT_EQ(high, 12.0f);
  for (auto& p : doc.m_points) p->anomaly = 0.0;
  view.GetAnomalyRange(CTessmorView::kLayoutProfile, low, high);
  EXPECT_EQ(low, -1.0f);
  EXPECT_EQ(high, 0.0f);
}

TEST_F(Page, FiveOrFewerPointsDrawNothing) {
  Open({1, 2, 3, 4, 5});
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(HasText("Anomaly"));
}

TEST_F(Page, ContinuationAddsAGreenCurveToThePanel) {
  Open(kBump);
  dialogs.Ok([](DialogModel& d) { d.SetText(CUpwardContDlg::IDC_HEIGHT, "1"); });
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_UPWARD_CONTINUE));
  EXPECT_EQ(LinesOf(kBlue, 0.5f).size(), 1u) << "added without clearing";
  const std::vector<Line> green = LinesOf(kGreen, 0.5f);
  ASSERT_EQ(green.size(), 1u);
  ASSERT_EQ(green[0].points.size(), 12u);
  for (std::size_t i = 0; i < 11; ++i) {
    EXPECT_NEAR(green[0].points[i + 1].x, kLeft + kKm * i, kTol) << i;
    EXPECT_NEAR(green[0].points[i + 1].y, kBottom + 6.3f * view.m_upward[i]->anomaly, kTol) << i;
  }
  EXPECT_EQ(Symbols(7).size(), 12u);
  EXPECT_TRUE(HasText("Upward Continuation"));
  EXPECT_TRUE(view.IsCommandEnabled(CTessmorView::ID_EXPORT));
  // A rebuild draws the same chart again from scratch.
  doc.UpdateAllViews(nullptr, CTessmorView::kHintRebuild);
  EXPECT_EQ(LinesOf(kGreen, 0.5f).size(), 1u);
  EXPECT_EQ(LinesOf(kBlue, 0.5f).size(), 1u);
}

TEST_F(Page, DerivativeGetsItsOwnAxisAndAZeroLine) {
  Open(kBump);
  dialogs.Ok();  // from the anomaly
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_SECOND_DERIV));
  const std::vector<Line> curve = LinesOf(kRed, 0.5f);
  ASSERT_EQ(curve.size(), 1u);
  ASSERT_EQ(curve[0].points.size(), 12u) << "every sample of the filter's result";
  EXPECT_NEAR(curve[0].points[11].x, kLeft + kWidth, kTol);
  const std::vector<Line> zero = LinesOf(kRed, 0.2f);
  ASSERT_EQ(zero.size(), 1u);
  EXPECT_NEAR(zero[0].points.front().x, kLeft, kTol);
  EXPECT_NEAR(zero[0].points.back().x, kLeft + kWidth, kTol);
  // The values of the table at the curve's ends and middle fix its axis; the zero line lies
  // where that axis has 0 (values span about -2.4 … 1.2 mGal per squared interval).
  std::istringstream table(tessmor::testing::Slurp(dir + "/line_Derivative.txt"));
  std::string row;
  std::vector<float> v;
  for (std::getline(table, row), std::getline(table, row); std::getline(table, row);) {
    float dist = 0, value = 0;
    ASSERT_EQ(std::sscanf(row.c_str(), "%f %f", &dist, &value), 2);
    v.push_back(value);
  }
  ASSERT_EQ(v.size(), 11u);
  ASSERT_LT(v[5], 0.0f);
  ASSERT_GT(v[0], 0.0f);
  const float mmPerUnit = (curve[0].points[1].y - curve[0].points[6].y) / (v[0] - v[5]);
  EXPECT_NEAR(zero[0].points[0].y, curve[0].points[1].y - v[0] * mmPerUnit, 0.01f);
  EXPECT_TRUE(HasText("2nd Derivative  "));
  EXPECT_TRUE(HasText("2nd derivative"));
}

TEST_F(Page, ModelDrawsTheDepthPanelAndOnlyAnomalyRemovesIt) {
  // Zero anomaly at both ends: those samples keep no granite at all.
  Open({0, 0, 0, 2, 6, 10, 6, 2, 0, 0, 0});
  dialogs.Ok([](DialogModel& d) {
    d.SetText(CInversionDlg::IDC_DENSITY, "300");
    d.SetText(CInversionDlg::IDC_DEPTH, "8");
    d.SetRadio(CInversionDlg::IDC_MODEL, CInversionDlg::kGraniteRadio);
  });
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_2D_MODEL));
  EXPECT_FLOAT_EQ(view.m_anomalyAxis.length, 63.0f);  // 0.3 × 210
  for (const char* text : {"Model Calculated", "Residual", "  Residuals  ", "Depth (km)  ",
                           "Density Contrast=", "   300", " Kg/m"})
    EXPECT_TRUE(HasText(text)) << text;
  EXPECT_EQ(LinesOf(kGreen, 0.5f).size(), 1u);
  EXPECT_EQ(LinesOf(kRed, 0.5f).size(), 1u);

  // The samples with granite, as the result table lists them (depth not 8 km).
  std::istringstream table(tessmor::testing::Slurp(dir + "/line_BlockModel.txt"));
  std::string row;
  std::getline(table, row), std::getline(table, row);
  std::vector<int> thick;
  for (int k = 0; std::getline(table, row); ++k) {
    float dist, calc, resid, depth;
    ASSERT_EQ(std::sscanf(row.c_str(), "%f %f %f %f", &dist, &calc, &resid, &depth), 4);
    if (depth != 8.0f) thick.push_back(k);
  }
  ASSERT_GE(thick.size(), 3u);
  ASSERT_LT(thick.size(), 11u);
  // The depth panel's top lies 0.15 × 210 = 31.5 mm below the profile panel (whose corner is
  // at 0.4 × 210 = 84 mm), so at y 52.5; its axis runs 0 … 8 km over 0.2 × 210 = 42 mm, so
  // the granite's base is at y 10.5. Each prism is one spacing wide, centred under its sample.
  const std::vector<Line> prisms = Lines(true);
  ASSERT_EQ(prisms.size(), thick.size());
  for (std::size_t i = 0; i < prisms.size(); ++i) {
    const auto [x0, x1] = std::minmax({prisms[i].points[0].x, prisms[i].points[2].x});
    const auto [y0, y1] = std::minmax({prisms[i].points[0].y, prisms[i].points[2].y});
    EXPECT_NEAR(x0, kLeft + kKm * thick[i] - 0.5f * kKm, kTol) << thick[i];
    EXPECT_NEAR(x1, kLeft + kKm * thick[i] + 0.5f * kKm, kTol) << thick[i];
    EXPECT_NEAR(y0, 10.5f, kTol);
    EXPECT_TRUE(y1 > 10.5f && y1 <= 52.5f + kTol) << y1;
  }
  for (CLineStyle* s : doc.m_fillManager.AllStyles()) {
    if (s->GetLineCount() > 0) {
      EXPECT_GE(static_cast<CFillStyle*>(s)->GetBrush().bitmap, 0) << "the prisms' pattern";
    }
  }

  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_ONLY_ANOMALY));
  EXPECT_FLOAT_EQ(view.m_anomalyAxis.length, kHeight);
  EXPECT_TRUE(Lines(true).empty());
  EXPECT_FALSE(HasText("Density Contrast="));
  EXPECT_FALSE(HasText("Model Calculated"));
  EXPECT_EQ(LinesOf(kBlue, 0.5f).size(), 1u);
  EXPECT_FALSE(view.IsCommandEnabled(CTessmorView::ID_EXPORT));
}

// Types a model into the inversion dialog: density contrast (kg/m³), boundary depth (km) and
// granite or basin.
ScriptedDialogs::Typing ModelEntry(const char* density, const char* depth, bool granite) {
  return [=](DialogModel& d) {
    d.SetText(CInversionDlg::IDC_DENSITY, density);
    d.SetText(CInversionDlg::IDC_DEPTH, depth);
    d.SetRadio(CInversionDlg::IDC_MODEL,
               granite ? CInversionDlg::kGraniteRadio : CInversionDlg::kBasinRadio);
  };
}

TEST_F(Page, ZeroDensityIsRefusedAndThePreviousModelStays) {
  Open(kBump);
  dialogs.Ok(ModelEntry("300", "8", true));
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_2D_MODEL));
  ASSERT_TRUE(HasText("   300"));
  const std::string table = tessmor::testing::Slurp(dir + "/line_BlockModel.txt");
  ASSERT_FALSE(table.empty());
  const std::size_t prisms = Lines(true).size();
  ASSERT_GT(prisms, 0u);

  dialogs.Ok(ModelEntry("0", "8", true));
  view.OnCommand(CTessmorView::ID_2D_MODEL);
  EXPECT_TRUE(dialogs.refused());
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{"The density contrast must not be zero."});
  // The model of 300 kg/m³ is still drawn, with its table, and the dialog offers it again.
  EXPECT_EQ(view.m_fDensity, 300.0f);
  EXPECT_EQ(view.m_bShowModel, 1);
  EXPECT_TRUE(HasText("   300"));
  EXPECT_TRUE(HasText("Model Calculated"));
  EXPECT_EQ(Lines(true).size(), prisms);
  EXPECT_EQ(tessmor::testing::Slurp(dir + "/line_BlockModel.txt"), table);
  std::string offered;
  dialogs.Ok([&](DialogModel& d) { offered = d.GetText(CInversionDlg::IDC_DENSITY); });
  view.OnCommand(CTessmorView::ID_2D_MODEL);
  EXPECT_EQ(offered, "300");
}

TEST_F(Page, DensityOfTheWrongSignSaysSoInTheStatusBar) {
  const std::vector<std::string> wrong_sign = {
      "The density contrast and the anomaly differ in sign: the model cannot explain the "
      "anomaly."};
  // The thickest prism's free face (km) of the last result table.
  auto deepest = [this](bool granite) {
    std::istringstream table(tessmor::testing::Slurp(dir + "/line_BlockModel.txt"));
    std::string row;
    std::getline(table, row), std::getline(table, row);
    float extreme = granite ? 1e9f : -1e9f;
    while (std::getline(table, row)) {
      float dist, calc, resid, depth;
      if (std::sscanf(row.c_str(), "%f %f %f %f", &dist, &calc, &resid, &depth) != 4) break;
      extreme = granite ? std::min(extreme, depth) : std::max(extreme, depth);
    }
    return extreme;
  };
  Open(kBump);  // a positive anomaly of up to 20 mGal
  // A negative contrast builds neither a granite nor a basin under it: a 20 mGal slab of
  // −0.3 g/cm³ would be 1.6 km thick, but the prisms stay within 0.2 km of the boundary.
  dialogs.Ok(ModelEntry("-300", "8", true));
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_2D_MODEL));
  EXPECT_GT(deepest(true), 7.8f);
  EXPECT_EQ(prompts.status_messages(), wrong_sign);
  dialogs.Ok(ModelEntry("-300", "2", false));
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_2D_MODEL));
  EXPECT_LT(deepest(false), 2.2f);
  EXPECT_EQ(prompts.status_messages().size(), 2u);
  // The right sign builds a basin over a kilometre deep; the status bar gives its misfit.
  dialogs.Ok(ModelEntry("300", "2", false));
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_2D_MODEL));
  EXPECT_GT(deepest(false), 3.0f);
  ASSERT_EQ(prompts.status_messages().size(), 3u);
  EXPECT_EQ(prompts.status_messages().back().rfind("2-D model: RMS misfit ", 0), 0u)
      << prompts.status_messages().back();
  EXPECT_NE(prompts.status_messages().back().find(" mGal after 10 sweeps"), std::string::npos);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST_F(Page, MagnificationCommandsThePaneAndTheStoredValue) {
  Open(kBump);
  std::string pane;
  view.SetStatusPane([&pane](const std::string& text) { pane = text; });
  view.OnCommand(CTessmorView::ID_EXPAND);
  EXPECT_EQ(view.m_nMagnification, 10);
  EXPECT_EQ(pane, "-10%");
  view.OnCommand(CTessmorView::ID_SHRINK);
  EXPECT_EQ(view.m_nMagnification, 0);
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 1.0f) << "0 is normal size";
  view.OnCommand(CTessmorView::ID_MAGNIFY_100);
  EXPECT_EQ(view.m_nMagnification, 200);
  EXPECT_EQ(pane, "100%");
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 2.0f);
  view.OnCommand(CTessmorView::ID_NORMAL_VIEW);
  EXPECT_FLOAT_EQ(doc.m_mapper.GetZoom(), 1.0f);
  EXPECT_EQ(view.m_nMagnification, 200) << "Normal View keeps the magnification";
  EXPECT_EQ(pane, "0%") << "the pane shows the normal size in force";
  view.OnCommand(CTessmorView::ID_REDUCE_75);
  EXPECT_EQ(view.m_nMagnification, 75);
  EXPECT_EQ(pane, "-75%");

  {  // Kept for the next view.
    CTessmorView closing;
    closing.m_nMagnification = 150;
  }
  EXPECT_EQ(settings.GetString("View Options", "Magnification", ""), "150");
  CTessmorDoc other;
  CTessmorView next;
  other.AddView(&next);
  next.OnInitialUpdate();
  EXPECT_EQ(next.m_nMagnification, 150);
  EXPECT_FLOAT_EQ(other.m_mapper.GetZoom(), 1.5f);
}

TEST_F(Page, PaperSizeLaysThePanelOutAgain) {
  Open(kBump);
  view.SetPaperChooser([](int) -> std::optional<int> { return 24; });  // A5 landscape
  ASSERT_TRUE(view.OnCommand(CTessmorView::ID_PAPER_SIZE));
  // 210 × 148 mm: 0.7 × 210 = 147 mm by 0.6 × 148 = 88.8 mm, from (31.5, 29.6).
  const std::vector<Line> anomaly = LinesOf(kBlue, 0.5f);
  ASSERT_EQ(anomaly.size(), 1u);
  EXPECT_NEAR(anomaly[0].points[1].x, 31.5f, kTol);
  EXPECT_NEAR(anomaly[0].points[1].y, 29.6f, kTol);
  EXPECT_NEAR(anomaly[0].points[11].x, 31.5f + 147.0f, kTol);
  EXPECT_NEAR(anomaly[0].points[6].y, 29.6f + 88.8f, kTol);
}

}  // namespace
