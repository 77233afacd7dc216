#include <gtest/gtest.h>

#include "platform/ui/Prompts.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakePrompts.h"

namespace {

using tessmor::testing::FakePrompts;

const char kEnterNumber[] = "Please enter a number.";

TEST(InterpolationDlg, SpacingTravelsInKilometres) {
  CInterpolationDlg dlg;
  dlg.SetSpacing(1250);
  EXPECT_EQ(dlg.m_strSpacing, " 1.250");
  EXPECT_EQ(dlg.GetSpacing(), 1250);
  dlg.SetSpacing(-5);
  EXPECT_EQ(dlg.m_strSpacing, "0.000");
  dlg.m_strSpacing = "0.3334";
  EXPECT_EQ(dlg.GetSpacing(), 333);  // 333.4 + 0.5, truncated
  dlg.m_strSpacing = "0.0335";
  EXPECT_EQ(dlg.GetSpacing(), 34);
}

TEST(InterpolationDlg, RefusesSpacingsBelowTwoMetres) {
  FakePrompts prompts;
  CInterpolationDlg dlg;
  dlg.OnInitDialog();
  dlg.SetRadio(CInterpolationDlg::IDC_METHOD, 3);
  dlg.SetText(CInterpolationDlg::IDC_SPACING, "0.002");
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.GetSpacing(), 2);
  for (const char* bad : {"0.001", "abc", ""}) {
    dlg.SetText(CInterpolationDlg::IDC_SPACING, bad);
    dlg.SetFocus(0);
    EXPECT_FALSE(dlg.OnOK()) << bad;
    EXPECT_EQ(dlg.focus(), CInterpolationDlg::IDC_SPACING);
  }
  EXPECT_EQ(prompts.texts().size(), 3u);
  EXPECT_EQ(prompts.texts()[0],
            "Invalid value for interval Spacing\n Please enter a sensible value\n");
  // The edit holds at most 10 characters.
  dlg.SetText(CInterpolationDlg::IDC_SPACING, "0.12345678901");
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.m_strSpacing, "0.12345678");
}

TEST(InterpolationDlg, RadiosMapToMethodCodes) {
  CInterpolationDlg dlg;
  const int codes[] = {1, 3, 2, 4};
  for (int radio = 0; radio < 4; ++radio) {
    dlg.m_nMethodRadio = radio;
    EXPECT_EQ(dlg.GetMethod(), codes[radio]);
    dlg.m_nMethodRadio = 9;
    dlg.SetMethod(codes[radio]);
    EXPECT_EQ(dlg.m_nMethodRadio, radio);
  }
  dlg.m_nMethodRadio = -1;
  EXPECT_EQ(dlg.GetMethod(), -1);
  dlg.SetMethod(7);
  EXPECT_EQ(dlg.m_nMethodRadio, -1);
}

TEST(BackgroundDlg, LoadsWhatTheDocumentHolds) {
  CBackgroundDlg dlg;
  dlg.Load(kBackgroundLinear, {2000, 10.0}, {12000, 30.0});
  EXPECT_EQ(dlg.m_nMethod, 1);
  EXPECT_FLOAT_EQ(dlg.m_fLeftDistance, 2.0f);
  EXPECT_FLOAT_EQ(dlg.m_fRightDistance, 12.0f);
  EXPECT_EQ(dlg.m_dRightAnomaly, 30.0);
  dlg.OnInitDialog();
  EXPECT_EQ(dlg.focus(), CBackgroundDlg::IDC_LEFT_DISTANCE);
  EXPECT_FALSE(dlg.IsEnabled(CBackgroundDlg::IDC_CONSTANT));
  EXPECT_EQ(dlg.GetText(CBackgroundDlg::IDC_RIGHT_DISTANCE), "12");

  CBackgroundDlg none;
  none.m_fConstant = 3.0f;
  none.Load(kBackgroundNone, {}, {});
  EXPECT_EQ(none.m_nMethod, 0);
  EXPECT_EQ(none.m_fConstant, 0.0f);
  none.OnInitDialog();
  EXPECT_EQ(none.focus(), CBackgroundDlg::IDC_CONSTANT);
  EXPECT_FALSE(none.IsEnabled(CBackgroundDlg::IDC_LEFT_ANOMALY));
  none.OnLinear();
  EXPECT_TRUE(none.IsEnabled(CBackgroundDlg::IDC_LEFT_ANOMALY));
  EXPECT_FALSE(none.IsEnabled(CBackgroundDlg::IDC_CONSTANT));
  none.OnConstant();
  EXPECT_TRUE(none.IsEnabled(CBackgroundDlg::IDC_CONSTANT));
}

TEST(BackgroundDlg, EntryGivesTypeAndWholeMetres) {
  FakePrompts prompts;
  CBackgroundDlg dlg;
  dlg.OnInitDialog();
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.GetType(), kBackgroundNone);  // a zero constant is no background
  dlg.SetText(CBackgroundDlg::IDC_CONSTANT, " 5 ");
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.GetType(), kBackgroundConstant);
  EXPECT_EQ(dlg.m_fConstant, 5.0f);

  dlg.SetRadio(CBackgroundDlg::IDC_CONSTANT_RADIO, 1);
  dlg.SetText(CBackgroundDlg::IDC_LEFT_DISTANCE, "1.2345");
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, "23.104");
  dlg.SetText(CBackgroundDlg::IDC_LEFT_ANOMALY, "2.183");
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_ANOMALY, "-5.5");
  ASSERT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.GetType(), kBackgroundLinear);
  ProfilePoint p1, p2;
  dlg.GetLinearPoints(p1, p2);
  EXPECT_EQ(p1.distance, 1234);   // 1.2345f × 1000 truncated
  EXPECT_EQ(p2.distance, 23104);  // 23.104f is 23.10400009…
  EXPECT_EQ(p1.anomaly, 2.183);
  EXPECT_EQ(p2.anomaly, -5.5);
  dlg.SetRadio(CBackgroundDlg::IDC_CONSTANT_RADIO, -1);
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.GetType(), kBackgroundNone);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(BackgroundDlg, RefusesALineThatDoesNotRunLeftToRight) {
  FakePrompts prompts;
  CBackgroundDlg dlg;
  dlg.OnInitDialog();
  dlg.SetRadio(CBackgroundDlg::IDC_CONSTANT_RADIO, 1);
  dlg.SetText(CBackgroundDlg::IDC_LEFT_DISTANCE, "5.0");
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, "5.0");
  EXPECT_FALSE(dlg.OnOK());
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, "4");
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(dlg.focus(), CBackgroundDlg::IDC_LEFT_DISTANCE);
  const std::string msg =
      "!!! Error !!!!\n Left Background distance measure is \n greater than or equal to the "
      "right\n background distance measure !";
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{msg, msg}));
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_ANOMALY, "12x");
  dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, "6");
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(prompts.texts().back(), kEnterNumber);
  EXPECT_EQ(dlg.focus(), CBackgroundDlg::IDC_RIGHT_ANOMALY);
}

TEST(UpwardContDlg, HeightMustLieBetweenItsLimits) {
  FakePrompts prompts;
  CUpwardContDlg dlg;
  dlg.OnInitDialog();
  EXPECT_EQ(dlg.GetText(CUpwardContDlg::IDC_HEIGHT), "2");
  for (const char* ok : {"0.1", "100", "1.5"}) {
    dlg.SetText(CUpwardContDlg::IDC_HEIGHT, ok);
    EXPECT_TRUE(dlg.OnOK()) << ok;
  }
  EXPECT_EQ(dlg.m_fHeight, 1.5f);
  for (const char* bad : {"0.09", "100.01", "-2"}) {
    dlg.SetText(CUpwardContDlg::IDC_HEIGHT, bad);
    EXPECT_FALSE(dlg.OnOK()) << bad;
  }
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>(3, "Please enter a number between 0.1 and 100."));
}

TEST(DerivSourceDlg, TranslatesSourceCodes) {
  EXPECT_EQ(CDerivSourceDlg(100).m_nSourceRadio, 0);
  EXPECT_EQ(CDerivSourceDlg(101).m_nSourceRadio, 1);
  EXPECT_EQ(CDerivSourceDlg(55).m_nSourceRadio, 0);
  CDerivSourceDlg dlg(100);
  dlg.m_nSourceRadio = 1;
  EXPECT_EQ(dlg.GetSource(), 101);
  dlg.m_nSourceRadio = 0;
  EXPECT_EQ(dlg.GetSource(), 100);
}

TEST(InversionDlg, OpensWithSensibleValues) {
  CInversionDlg dlg;
  dlg.SetValues(0.0f, -3.0f, -1);
  dlg.OnInitDialog();
  EXPECT_EQ(dlg.GetText(CInversionDlg::IDC_DENSITY), "-200");
  EXPECT_EQ(dlg.GetText(CInversionDlg::IDC_DEPTH), "10");
  EXPECT_EQ(dlg.GetRadio(CInversionDlg::IDC_MODEL), CInversionDlg::kBasinRadio);
  float density, depth;
  int type;
  dlg.SetValues(250.0f, 6.0f, 1);
  dlg.GetValues(density, depth, type);
  EXPECT_EQ(type, 1);
  dlg.SetValues(250.0f, 6.0f, 5);
  dlg.GetValues(density, depth, type);
  EXPECT_EQ(type, -1);
}

TEST(InversionDlg, GraniteNeedsADeepEnoughBoundary) {
  FakePrompts prompts;
  CInversionDlg dlg;
  dlg.SetValues(300.0f, 0.4f, 1);
  dlg.OnInitDialog();
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{
                                 " You have selected the granite model\n but the build-up "
                                 "depth is less than 0.1km\n Enter a sensible value, ie. >0.5"});
  EXPECT_EQ(dlg.focus(), CInversionDlg::IDC_DEPTH);
  dlg.SetRadio(CInversionDlg::IDC_MODEL, CInversionDlg::kBasinRadio);
  EXPECT_TRUE(dlg.OnOK());
  dlg.SetText(CInversionDlg::IDC_DENSITY, "2000.5");
  EXPECT_FALSE(dlg.OnOK());
  dlg.SetText(CInversionDlg::IDC_DENSITY, "-350");
  dlg.SetText(CInversionDlg::IDC_DEPTH, "100.5");
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(prompts.texts()[1], "Please enter a number between -1000 and 2000.");
  EXPECT_EQ(prompts.texts()[2], "Please enter a number between 0 and 100.");
}

TEST(InversionDlg, RefusesAZeroDensityContrastAndStaysOpen) {
  FakePrompts prompts;
  CInversionDlg dlg;
  dlg.SetValues(-250.0f, 3.0f, -1);
  dlg.OnInitDialog();
  for (const char* zero : {"0", " -0.0 ", "0e5"}) {
    dlg.SetText(CInversionDlg::IDC_DENSITY, zero);
    EXPECT_FALSE(dlg.OnOK()) << zero;
    EXPECT_EQ(dlg.focus(), CInversionDlg::IDC_DENSITY);
  }
  EXPECT_EQ(prompts.texts(), std::vector<std::string>(3, "The density contrast must not be zero."));
  dlg.SetText(CInversionDlg::IDC_DENSITY, "-250");
  EXPECT_TRUE(dlg.OnOK());
}

}  // namespace
