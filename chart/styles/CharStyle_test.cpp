#include "chart/styles/CharStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "chart/paper/Mapper.h"
#include "chart/styles/FontDlg.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/RecordingDC.h"
#include "testsupport/ScriptedDialogs.h"

namespace {

using tessmor::Archive;
using tessmor::DialogModel;
using tessmor::testing::RecordingDC;
using tessmor::testing::ScriptedDialogs;

class CharStyleTest : public ::testing::Test {
 protected:
  CharStyleTest() : previous_(tessmor::SetSettings(&settings_)) {}
  ~CharStyleTest() override { tessmor::SetSettings(previous_); }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
  CMapper mapper_;  // 100 units per mm, zoom 1
};

std::vector<std::uint8_t> Stored(CCharStyle& style) {
  Archive ar = Archive::ForStore();
  style.Serialize(ar);
  return ar.StoredBytes();
}

// --- attributes ---

TEST_F(CharStyleTest, DefaultStyleIsFiveMillimetreTimesNewRomanOnTheBaseline) {
  const CCharStyle style;
  const TEXTSTYLE& s = style.GetTextStyle();
  EXPECT_EQ(s.height, 5.0f);
  EXPECT_EQ(s.font.lfHeight, -500) << "5 mm at 100 units per mm";
  EXPECT_STREQ(s.font.lfFaceName, "Times New Roman");
  EXPECT_EQ(s.font.lfWeight, 400);
  EXPECT_EQ(s.justification, 24u);
  EXPECT_EQ(s.colour, 0u);
  EXPECT_EQ(s.background, 0xFFFFFFu);
}

TEST_F(CharStyleTest, FontHeightFollowsTheMapperScale) {
  mapper_.SetZoom(1.1f);  // A4 landscape at zoom 1.1 stays at 0.01 mm: 110 units per mm
  CCharStyle style(nullptr, &mapper_);
  EXPECT_EQ(style.GetTextStyle().font.lfHeight, -550);
  mapper_.SetZoom(0.5f);
  EXPECT_EQ(style.RecomputeFont().lfHeight, -250);
  // However small the text or the zoom, the font never asks for the default size (0).
  mapper_.SetZoom(0.01f);
  EXPECT_TRUE(style.SetHeight(0.01f));
  EXPECT_EQ(style.GetTextStyle().font.lfHeight, -1);
}

TEST_F(CharStyleTest, SettingTheHeightDerivesTheFontHeightAndZeroesTheWidth) {
  CCharStyle style(nullptr, &mapper_);
  tessmor::LOGFONT font = style.GetTextStyle().font;
  font.lfWidth = 77;
  style.SetLogFont(font);
  EXPECT_TRUE(style.SetHeight(2.5f));
  EXPECT_EQ(style.GetTextStyle().font.lfHeight, -250);
  EXPECT_EQ(style.GetTextStyle().font.lfWidth, 0);
  for (float bad : {0.0f, -1.0f, std::nanf(""), 2000.0f}) {
    EXPECT_FALSE(style.SetHeight(bad)) << bad;
    EXPECT_EQ(style.GetTextStyle().height, 2.5f);
  }
}

TEST_F(CharStyleTest, JustificationFiveIsIgnoredAndTwoFiftySixAlignsAsLeftBaseline) {
  CCharStyle style(nullptr, &mapper_);
  EXPECT_TRUE(style.SetJustification(6));
  EXPECT_FALSE(style.SetJustification(5));
  EXPECT_EQ(style.GetTextStyle().justification, 6u);
  EXPECT_TRUE(style.SetJustification(256));
  EXPECT_EQ(style.GetTextStyle().justification, 256u);

  RecordingDC dc;
  style.Select(dc);
  EXPECT_EQ(dc.GetTextAlign(), tessmor::TA_LEFT | tessmor::TA_BASELINE);
  style.SetJustification(512);
  style.Select(dc);
  EXPECT_EQ(dc.GetTextAlign(), tessmor::TA_RIGHT | tessmor::TA_BASELINE);
}

TEST_F(CharStyleTest, SelectingSetsFontAndColourAndDeselectingRestoresTheFont) {
  CCharStyle style(nullptr, &mapper_);
  style.SetColour(0x0000FF);
  mapper_.SetZoom(1.1f);  // the height is derived again when selected: 110 units per mm
  RecordingDC dc;
  const tessmor::LOGFONT before = dc.GetFont();
  const FontSelection previous = style.Select(dc);
  EXPECT_EQ(dc.GetFont().lfHeight, -550);
  EXPECT_STREQ(dc.GetFont().lfFaceName, "Times New Roman");
  EXPECT_EQ(dc.GetTextColor(), 0x0000FFu);
  CCharStyle::Deselect(dc, previous);
  EXPECT_EQ(dc.GetFont(), before);
}

// --- stored form ---

TEST_F(CharStyleTest, StoredFormIsTheRecordAndAZeroCountAndReadsBack) {
  CCharStyle style(nullptr, &mapper_);
  style.SetHeight(3.0f);
  style.SetJustification(30);
  style.SetColour(0x123456);
  const std::vector<std::uint8_t> bytes = Stored(style);
  ASSERT_EQ(bytes.size(), 78u);
  EXPECT_EQ(std::memcmp(bytes.data(), &style.GetTextStyle(), 76), 0)
      << "the record's own bytes, little-endian";
  EXPECT_EQ(bytes[76], 0);
  EXPECT_EQ(bytes[77], 0);

  CCharStyle back;
  Archive in = Archive::FromBytes(bytes);
  back.Serialize(in);
  EXPECT_TRUE(back.Compare(style.GetTextStyle()));
}

// --- settings form ---

TEST_F(CharStyleTest, SettingsFormOfTheDefaultStyle) {
  const CCharStyle style;
  EXPECT_EQ(style.WriteSettings("Graphics Properties", "Font"), 1);
  EXPECT_EQ(settings_.GetString("Graphics Properties", "Font:CharStyle", ""),
            "24,0,16777215,5.000000");
  // Output precision 7 + 256 × clip precision 16 = 4103; quality 2 + 256 × family 16 = 4098.
  EXPECT_EQ(settings_.GetString("Graphics Properties", "Font:CharStyle2", ""),
            "-500,0,0,0,400,0,0,4103,4098, Times#New#Roman");
}

TEST_F(CharStyleTest, FaceNameWithSpacesIsStoredWithHashesAndReadBackWithSpaces) {
  CCharStyle style(nullptr, &mapper_);
  tessmor::LOGFONT font = style.GetTextStyle().font;
  tessmor::SetFaceName(font, "DejaVu Sans Mono");
  font.lfItalic = 1;
  font.lfUnderline = 1;
  style.SetLogFont(font);
  style.SetHeight(7.25f);
  style.SetJustification(2);
  style.SetBackground(0x00FFFF);
  style.WriteSettings("S", "K");
  EXPECT_NE(settings_.GetString("S", "K:CharStyle2", "").find(", DejaVu#Sans#Mono"),
            std::string::npos);
  EXPECT_NE(settings_.GetString("S", "K:CharStyle2", "").find(",257,"), std::string::npos)
      << "italic 1 + 256 × underline 1";

  CCharStyle back(nullptr, &mapper_);
  EXPECT_EQ(back.ReadSettings("S", "K"), 1);
  EXPECT_TRUE(back.Compare(style.GetTextStyle()));
  EXPECT_STREQ(back.GetTextStyle().font.lfFaceName, "DejaVu Sans Mono");
}

TEST_F(CharStyleTest, MissingOrIncompleteSettingsKeepTheDefaults) {
  CCharStyle style(nullptr, &mapper_);
  style.SetHeight(9.0f);
  EXPECT_EQ(style.ReadSettings("S", "K"), 0);
  EXPECT_EQ(style.GetTextStyle().height, 5.0f) << "reading starts from the defaults";

  settings_.WriteString("S", "K:CharStyle", "26,255,0,3.5");
  EXPECT_EQ(style.ReadSettings("S", "K"), 0) << "no second entry";
  settings_.WriteString("S", "K:CharStyle2", "-350,0,0,0,700,0,0,4103,4098");
  EXPECT_EQ(style.ReadSettings("S", "K"), 0) << "nine values, no face";
  EXPECT_EQ(style.GetTextStyle().justification, 24u);

  settings_.WriteString("S", "K:CharStyle2", "-350,0,0,0,700,0,0,4103,4098, Arial");
  EXPECT_EQ(style.ReadSettings("S", "K"), 1);
  EXPECT_EQ(style.GetTextStyle().justification, 26u);
  EXPECT_EQ(style.GetTextStyle().colour, 255u);
  EXPECT_EQ(style.GetTextStyle().height, 3.5f);
  EXPECT_EQ(style.GetTextStyle().font.lfWeight, 700);
  EXPECT_STREQ(style.GetTextStyle().font.lfFaceName, "Arial");
}

TEST_F(CharStyleTest, CompleteSettingsWithValuesOutOfRangeAreRepaired) {
  settings_.WriteString("S", "K:CharStyle", "5,-1,16777216,nan");
  settings_.WriteString("S", "K:CharStyle2", "-350,0,0,0,400,0,0,0,0, ##");
  CCharStyle style(nullptr, &mapper_);
  EXPECT_EQ(style.ReadSettings("S", "K"), 1);
  EXPECT_EQ(style.GetTextStyle().justification, 24u);
  EXPECT_EQ(style.GetTextStyle().colour, 0u);
  EXPECT_EQ(style.GetTextStyle().background, 0xFFFFFFu);
  EXPECT_EQ(style.GetTextStyle().height, 5.0f);
  EXPECT_STREQ(style.GetTextStyle().font.lfFaceName, "  ");
}

// --- choosing the font ---

TEST_F(CharStyleTest, FontDialogOpensOnTheScreenSizeAndTakesTheChosenPointSize) {
  CCharStyle style(nullptr, &mapper_);
  ScriptedDialogs dialogs;
  dialogs.Ok([](DialogModel& d) {
    auto& dlg = static_cast<CFontDlg&>(d);
    // 5 mm is 14.17 points: 142 tenths; on a 96 dpi screen 18.9 pixels.
    EXPECT_EQ(dlg.m_nPointSize, 142);
    EXPECT_EQ(dlg.m_lf.lfHeight, -19);
    EXPECT_EQ(dlg.m_nFlags, 0x40141u);
    EXPECT_EQ(d.GetText(CFontDlg::IDC_SIZE), "14.2");
    EXPECT_EQ(d.GetText(CFontDlg::IDC_FACE), "Times New Roman");
    d.SetText(CFontDlg::IDC_SIZE, "12");
    d.SetText(CFontDlg::IDC_FACE, "Liberation Serif");
    d.SetRadio(CFontDlg::IDC_STYLE, 3);   // bold italic
    d.SetRadio(CFontDlg::IDC_COLOUR, 9);  // red
  });
  EXPECT_EQ(style.ChooseFont(96), 1);
  EXPECT_EQ(dialogs.shown().front(), CFontDlg::IDD);
  const TEXTSTYLE& s = style.GetTextStyle();
  // 12 points at 100 units per mm: 12 × 0.35277724 × 100 = 423.3 → 423 units = 4.23 mm.
  EXPECT_EQ(s.font.lfHeight, -423);
  EXPECT_FLOAT_EQ(s.height, 4.23f);
  EXPECT_EQ(s.font.lfWidth, 0);
  EXPECT_EQ(s.font.lfWeight, 700);
  EXPECT_EQ(s.font.lfItalic, 1);
  EXPECT_STREQ(s.font.lfFaceName, "Liberation Serif");
  EXPECT_EQ(s.colour, 0x0000FFu);
}

TEST_F(CharStyleTest, CancelledOrRefusedFontDialogLeavesTheStyle) {
  CCharStyle style(nullptr, &mapper_);
  const TEXTSTYLE before = style.GetTextStyle();
  ScriptedDialogs dialogs;
  tessmor::testing::FakePrompts prompts;
  dialogs.Cancel();
  dialogs.Ok([](DialogModel& d) { d.SetText(CFontDlg::IDC_SIZE, "0.5"); });
  EXPECT_EQ(style.ChooseFont(96), 0);
  EXPECT_EQ(style.ChooseFont(96), 0);
  EXPECT_TRUE(style.Compare(before));
  ASSERT_EQ(prompts.texts().size(), 1u);
  EXPECT_EQ(prompts.texts()[0], "Please enter a number between 1 and 1638.");
}

}  // namespace
