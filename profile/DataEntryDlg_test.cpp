#include "profile/DataEntryDlg.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/docview/Document.h"
#include "platform/ui/Clipboard.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/ScriptedDialogs.h"

namespace {

using Dlg = CDataEntryDlg;

/// A dialog on `n` points at 0, 1000, 2000 … m with anomalies 10, 11, 12 … mGal (12.5 for
/// point 3), shown as the desktop would show it.
class TestDlg : public Dlg {
 public:
  explicit TestDlg(int n, int equally_spaced = 0, float spacing = 1.0f) {
    PointArray points;
    for (int i = 0; i < n; ++i)
      points.push_back(std::make_unique<ProfilePoint>(i * 1000, 10.0 + i));
    if (n >= 3) points[2]->anomaly = 12.5;
    SetData(points, "Line 4", equally_spaced, spacing);
    OnInitDialog();
  }
  /// Types `text` into control `id` and leaves it, as a user does.
  void Type(int id, const std::string& text) {
    OnSetFocus(id);
    SetText(id, text);
    OnChange(id);
    OnKillFocus(id);
  }
  int flashes = 0;

 protected:
  void FlashWindow(int times) override { flashes += times; }
};

/// Every test gets recording prompts and an empty clipboard of its own.
class DataEntryDlg : public ::testing::Test {
 protected:
  DataEntryDlg() { previous_ = tessmor::SetClipboard(&clipboard_); }
  ~DataEntryDlg() override { tessmor::SetClipboard(previous_); }
  std::string ClipboardText() {
    clipboard_.Open();
    const std::string text = clipboard_.GetText().value_or("");
    clipboard_.Close();
    return text;
  }
  tessmor::testing::FakePrompts prompts_;
  tessmor::MemoryClipboard clipboard_;
  tessmor::Clipboard* previous_;
};

TEST_F(DataEntryDlg, PagesAlwaysLeaveAFreeRow) {
  TestDlg nine(9), eight(8), none(0);
  EXPECT_EQ(nine.GetText(Dlg::IDC_PAGE_TEXT), " Page Number: 1  of  2");
  nine.OnNextPage();
  EXPECT_EQ(nine.GetText(Dlg::IDC_PAGE_TEXT), " Page Number: 2  of  2");
  EXPECT_EQ(nine.GetText(Dlg::RowNumberId(1)), "10");
  nine.OnNextPage();                    // already on the last page
  EXPECT_EQ(nine.m_points.size(), 9u);  // the empty rows of page 2 added nothing
  EXPECT_EQ(eight.m_nPages, 1);
  EXPECT_EQ(none.m_nPages, 1);
  eight.OnNextPage();
  none.OnPrevPage();
  EXPECT_EQ(prompts_.beeps(), 3);
}

TEST_F(DataEntryDlg, TypedDistancesAreRoundedUpToWholeMetres) {
  TestDlg dlg(3);
  dlg.SetText(Dlg::DistanceId(2), "1.2341");
  dlg.SetText(Dlg::DistanceId(3), "2.007");  // 2.007 × 1000.0 is 2007.0000000000002
  dlg.OnNextPage();
  EXPECT_EQ(dlg.m_points[1]->distance, 1235);
  EXPECT_EQ(dlg.m_points[2]->distance, 2007);
  dlg.SetText(Dlg::DistanceId(2), "1.234");
  dlg.SetText(Dlg::DistanceId(3), "5e6");  // beyond 32 bits of metres: the largest that fits
  dlg.OnNextPage();
  EXPECT_EQ(dlg.m_points[1]->distance, 1234);
  EXPECT_EQ(dlg.m_points[2]->distance, INT32_MAX);
}

TEST_F(DataEntryDlg, ClearedRowsGoExceptTheFirst) {
  TestDlg dlg(3);
  for (int id : {Dlg::DistanceId(1), Dlg::AnomalyId(1), Dlg::DistanceId(2), Dlg::AnomalyId(2)}) {
    dlg.SetText(id, "0");
  }
  dlg.OnNextPage();
  ASSERT_EQ(dlg.m_points.size(), 2u);
  EXPECT_EQ(dlg.m_points[0]->anomaly, 0.0);
  EXPECT_EQ(dlg.m_points[1]->distance, 2000);
  // Text that is not a number stops the page change; nothing typed is lost.
  dlg.SetText(Dlg::AnomalyId(2), "1x");
  dlg.OnNextPage();
  EXPECT_EQ(prompts_.texts(), std::vector<std::string>{"Please enter a number."});
  EXPECT_EQ(dlg.focus(), Dlg::AnomalyId(2));
  EXPECT_EQ(dlg.m_points[1]->anomaly, 12.5);
}

TEST_F(DataEntryDlg, EquallySpacedDataFollowTheSpacing) {
  TestDlg dlg(5, 1, 0.5f);
  EXPECT_FALSE(dlg.IsEnabled(Dlg::DistanceId(2)));
  EXPECT_TRUE(dlg.IsReadOnly(Dlg::DistanceId(2)));
  dlg.Type(Dlg::DistanceId(1), "10");  // the start distance stays editable
  EXPECT_EQ(dlg.m_points[3]->distance, 11500);
  dlg.Type(Dlg::IDC_SPACING, "0.25");
  EXPECT_EQ(dlg.m_points[3]->distance, 10750);
  EXPECT_EQ(dlg.GetText(Dlg::DistanceId(4)), "10.75");
  dlg.Type(Dlg::IDC_SPACING, "0.7");  // 0.69999999 km in single precision
  EXPECT_EQ(dlg.m_points[1]->distance, 10700);
  EXPECT_EQ(dlg.m_points[3]->distance, 12100);
}

TEST_F(DataEntryDlg, NumberOfReadingsCutsOrExtendsTheData) {
  TestDlg dlg(10);  // made to end at 9000 and 9500 m
  dlg.OnNextPage();
  dlg.SetText(Dlg::DistanceId(1), "9.5");
  dlg.OnPrevPage();
  dlg.SetText(Dlg::DistanceId(9), "9");
  dlg.Type(Dlg::IDC_READINGS, "12");
  ASSERT_EQ(dlg.m_points.size(), 12u);
  EXPECT_EQ(dlg.m_points[10]->distance, 10000);
  EXPECT_EQ(dlg.m_points[11]->distance, 10500);
  EXPECT_EQ(dlg.m_points[11]->anomaly, 0.0);

  const std::string question =
      "This will delete 2 points off the end of your data\n Is this what you want ??";
  prompts_.Script({tessmor::kAnswerNo, tessmor::kAnswerYes});
  dlg.Type(Dlg::IDC_READINGS, "10");
  EXPECT_EQ(dlg.m_points.size(), 12u);
  EXPECT_EQ(dlg.focus(), Dlg::IDC_READINGS);
  dlg.OnKillFocus(Dlg::IDC_READINGS);  // still pending: asked again
  EXPECT_EQ(prompts_.texts(), (std::vector<std::string>{question, question}));
  ASSERT_EQ(dlg.m_points.size(), 10u);
  EXPECT_EQ(dlg.m_points[9]->distance, 9500);
  dlg.Type(Dlg::IDC_READINGS, "1001");
  EXPECT_EQ(prompts_.texts().back(), "Please enter a number between 5 and 1000.");
  EXPECT_EQ(dlg.m_points.size(), 10u);

  // Saving the page keeps the first row's point (empty, at 0 m); the rest follow it.
  TestDlg empty(0, 1, 0.5f);
  empty.Type(Dlg::IDC_READINGS, "3");
  ASSERT_EQ(empty.m_points.size(), 3u);
  EXPECT_EQ(empty.m_points[2]->distance, 1000);
}

TEST_F(DataEntryDlg, CopyAndPasteMoveAPointByItsNumber) {
  TestDlg dlg(12);
  dlg.OnSetFocus(Dlg::AnomalyId(3));
  dlg.OnPaste();  // nothing to paste yet
  dlg.OnCopy();
  EXPECT_EQ(ClipboardText(), "DATAENTRY: 2000 12.50000");
  EXPECT_EQ(dlg.flashes, 2);
  dlg.OnNextPage();
  dlg.OnSetFocus(Dlg::AnomalyId(1));
  dlg.OnPaste();
  ASSERT_EQ(dlg.m_points.size(), 13u);
  EXPECT_EQ(dlg.m_points[9]->distance, 2000);
  EXPECT_EQ(dlg.GetText(Dlg::AnomalyId(1)), "12.5");
  dlg.OnUndo();
  ASSERT_EQ(dlg.m_points.size(), 12u);
  EXPECT_EQ(dlg.m_points[9]->distance, 9000);
  dlg.OnUndo();  // only once
  EXPECT_EQ(prompts_.beeps(), 2);
  dlg.OnSetFocus(Dlg::AnomalyId(6));  // point 15, past the next free place, 13
  dlg.OnPaste();
  EXPECT_EQ(
      prompts_.texts(),
      std::vector<std::string>{" This is an invalid Insertion Point\n Beyond the end of the data"});
  EXPECT_EQ(dlg.m_points.size(), 12u);
}

TEST_F(DataEntryDlg, CutAndUndoPutThePointBack) {
  TestDlg dlg(6);
  dlg.OnCut();  // no current row
  dlg.OnSetFocus(Dlg::DistanceId(2));
  prompts_.Script({tessmor::kAnswerCancel, tessmor::kAnswerOk});
  dlg.OnCut();
  EXPECT_EQ(dlg.m_points.size(), 6u);
  dlg.OnCut();
  EXPECT_EQ(prompts_.texts().back(), "OK to delete data point number 2");
  ASSERT_EQ(dlg.m_points.size(), 5u);
  EXPECT_EQ(ClipboardText(), "DATAENTRY: 1000 11.00000");
  dlg.OnUndo();
  ASSERT_EQ(dlg.m_points.size(), 6u);
  EXPECT_EQ(dlg.m_points[1]->distance, 1000);
  EXPECT_EQ(dlg.m_points[1]->anomaly, 11.0);
  dlg.OnSetFocus(Dlg::AnomalyId(8));  // a row that holds no point
  prompts_.Script({tessmor::kAnswerOk});
  dlg.OnCut();
  EXPECT_EQ(prompts_.beeps(), 2);
  EXPECT_EQ(dlg.m_points.size(), 6u);
}

TEST_F(DataEntryDlg, ClipboardTextsAndABusyClipboard) {
  EXPECT_EQ(Dlg::ClipText({2000, -3.5}), "DATAENTRY: 2000-3.50000");
  EXPECT_EQ(Dlg::ClipText({-40, 0.0}), "DATAENTRY: -40 0.00000");
  ProfilePoint p;
  ASSERT_TRUE(Dlg::ParseClipText("DATAENTRY: 2000-3.50000", p));
  EXPECT_EQ(p.anomaly, -3.5);
  EXPECT_FALSE(Dlg::ParseClipText("DATAENTRY 2000 3.5", p));
  EXPECT_FALSE(Dlg::ParseClipText("DATAENTRY: 99999999999 3.5", p));
  EXPECT_TRUE(Dlg::ParseClipText("DATAENTRY: 7 1.5" + std::string(300, 'x'), p));
  EXPECT_FALSE(Dlg::ParseClipText("DATAENTRY:" + std::string(117, ' ') + "7 1.5", p));

  // A point on the clipboard when the dialog opens can be pasted at once.
  clipboard_.Open();
  clipboard_.SetText("DATAENTRY: 500 4.25000");
  clipboard_.Close();
  TestDlg dlg(5);
  dlg.OnSetFocus(Dlg::AnomalyId(1));
  dlg.OnPaste();
  ASSERT_EQ(dlg.m_points.size(), 6u);
  EXPECT_EQ(dlg.m_points[0]->distance, 500);
  clipboard_.set_busy(true);
  dlg.OnCopy();
  dlg.OnPaste();
  EXPECT_EQ(prompts_.texts(), std::vector<std::string>(2, "Cannot open the Clipboard"));
  EXPECT_EQ(dlg.m_points.size(), 6u);
}

TEST_F(DataEntryDlg, OkNeedsFiveToAThousandReadings) {
  TestDlg four(4), five(5);
  EXPECT_FALSE(four.OnOK());
  EXPECT_EQ(four.focus(), Dlg::IDC_READINGS);
  five.SetText(Dlg::IDC_SPACING, "0.005");
  EXPECT_FALSE(five.OnOK());
  EXPECT_EQ(prompts_.texts(),
            (std::vector<std::string>{"Please enter a number between 5 and 1000.",
                                      "Please enter a number between 0.01 and 500."}));
  five.SetText(Dlg::IDC_SPACING, "0.5");
  EXPECT_TRUE(five.OnOK());
}

/// Records the update hints a document sends.
class HintView : public tessmor::View {
 public:
  void OnUpdate(tessmor::View*, long hint, void*) override { hints.push_back(hint); }
  std::vector<long> hints;
};

TEST_F(DataEntryDlg, EditDataTakesTheEntryOnlyAfterOk) {
  tessmor::testing::ScriptedDialogs dialogs;
  HintView view;  // outlives the document
  CTessmorDoc doc;
  doc.AddView(&view);
  for (ProfilePoint p :
       {ProfilePoint{0, 1.0}, {1000, 2.0}, {2500, 3.0}, {3500, 4.0}, {5000, 5.0}}) {
    doc.AddPoint(p);
  }
  doc.m_bEquallySpaced = 0;
  doc.m_nSpacing = 700;  // 0.7 km in single precision is 0.69999999 km
  dialogs.Cancel();
  EXPECT_FALSE(doc.OnEditData());
  EXPECT_EQ(doc.m_points[1]->anomaly, 2.0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(view.hints.empty());

  dialogs.Ok([](tessmor::DialogModel& model) {
    model.SetText(Dlg::IDC_TRAVERSE_NAME, "North");
    model.SetText(Dlg::AnomalyId(2), "7");
    model.SetText(Dlg::DistanceId(5), "6");
  });
  EXPECT_TRUE(doc.OnEditData());
  EXPECT_EQ(doc.m_strTraverseName, "North");
  EXPECT_EQ(doc.m_points[1]->anomaly, 7.0);
  EXPECT_EQ(doc.m_points[4]->distance, 6000);
  EXPECT_EQ(doc.m_nSpacing, 700);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(view.hints, std::vector<long>{200});
  // Re-interpolated: 6000 m / 700 m rounds to 9 samples, the fourth at 233 + 2100 m, on the
  // line from (1000 m, 7) to (2500 m, 3): 7 - 4 × 1333 / 1500 (single precision: 1e-4).
  EXPECT_EQ(doc.m_nInterpStatus, 0);
  ASSERT_EQ(doc.m_interpolated.GetSize(), 9);
  EXPECT_NEAR(doc.m_interpolated.GetAt(3), 7.0 - 4.0 * 1333.0 / 1500.0, 1e-4);
}

/// The user at the data entry dialog: before each press of OK one step acts on the open
/// dialog (and looks at what the last refused OK left in it). The dialog closes with OK once
/// OnOK accepts, and with Cancel when the steps run out.
class UserAtTheDialog : public tessmor::DialogRunner {
 public:
  using Step = std::function<void(Dlg&)>;
  explicit UserAtTheDialog(std::vector<Step> steps) : steps_(std::move(steps)) {
    previous_ = tessmor::SetDialogRunner(this);
  }
  ~UserAtTheDialog() override { tessmor::SetDialogRunner(previous_); }
  bool DoModal(tessmor::DialogModel& dialog, int) override {
    auto& dlg = static_cast<Dlg&>(dialog);
    dlg.OnInitDialog();
    for (const Step& step : steps_) {
      step(dlg);
      ++presses;
      if (dlg.OnOK()) return true;
    }
    return false;
  }
  int presses = 0;

 private:
  std::vector<Step> steps_;
  tessmor::DialogRunner* previous_;
};

/// Types `text` into control `id` of `dlg` and leaves it, as a user does.
void TypeInto(Dlg& dlg, int id, const std::string& text) {
  dlg.OnSetFocus(id);
  dlg.SetText(id, text);
  dlg.OnChange(id);
  dlg.OnKillFocus(id);
}

/// A document of six unequally spaced points 0, 1000, 2500, 3500, 5000, 6000 m, none of
/// them with a zero anomaly.
void FillSix(CTessmorDoc& doc) {
  for (ProfilePoint p :
       {ProfilePoint{0, 1.0}, {1000, 2.0}, {2500, 3.0}, {3500, 4.0}, {5000, 5.0}, {6000, 6.0}}) {
    doc.AddPoint(p);
  }
  doc.m_bEquallySpaced = 0;
  doc.m_nSpacing = 500;
}

const char kZeroQuestion[] =
    "Greater than two anomaly values\n Are zero in this File\n \n Is This Correct ?";
const char kOrderMessage[] =
    "One or More Spacings between Adjacent \nAnomaly Points are Zero or decreasing!\n \n Please "
    "Arrange in Increasing Order";

TEST_F(DataEntryDlg, EditDataReturnsToTheEntryUntilTheZerosAreConfirmed) {
  HintView view;  // outlives the document
  CTessmorDoc doc;
  doc.AddView(&view);
  FillSix(doc);
  auto document_unchanged = [&] {
    EXPECT_EQ(doc.m_points.size(), 6u);
    EXPECT_EQ(doc.m_points.back()->distance, 6000);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(view.hints.empty());
  };
  UserAtTheDialog user({
      // Raise the readings from 6 to 9: three stations with anomaly 0 at 7, 8 and 9 km.
      [&](Dlg& dlg) {
        TypeInto(dlg, Dlg::IDC_READINGS, "9");
        ASSERT_EQ(dlg.m_points.size(), 9u);
        prompts_.Script({tessmor::kAnswerNo});
      },
      // No: the dialog is still open with the nine readings typed.
      [&](Dlg& dlg) {
        EXPECT_EQ(prompts_.texts(), std::vector<std::string>{kZeroQuestion});
        EXPECT_EQ(dlg.GetText(Dlg::IDC_READINGS), "9");
        EXPECT_EQ(dlg.m_points.size(), 9u);
        EXPECT_EQ(dlg.GetText(Dlg::DistanceId(9)), "9");
        document_unchanged();
        prompts_.Clear();
        prompts_.Script({tessmor::kAnswerCancel});
      },
      // Cancel in the question box: the same.
      [&](Dlg& dlg) {
        EXPECT_EQ(prompts_.texts(), std::vector<std::string>{kZeroQuestion});
        EXPECT_EQ(dlg.m_points.size(), 9u);
        document_unchanged();
        prompts_.Script({tessmor::kAnswerYes});
      },
  });
  EXPECT_TRUE(doc.OnEditData());
  EXPECT_EQ(user.presses, 3);
  ASSERT_EQ(doc.m_points.size(), 9u);
  EXPECT_EQ(doc.m_points[8]->distance, 9000);
  EXPECT_EQ(doc.m_points[8]->anomaly, 0.0);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(view.hints, std::vector<long>{200});
}

TEST_F(DataEntryDlg, CancelAfterRefusingTheZerosKeepsTheDocument) {
  CTessmorDoc doc;
  FillSix(doc);
  UserAtTheDialog user({[&](Dlg& dlg) {
    TypeInto(dlg, Dlg::IDC_READINGS, "9");
    prompts_.Script({tessmor::kAnswerNo});
  }});
  EXPECT_FALSE(doc.OnEditData());
  EXPECT_EQ(prompts_.texts(), std::vector<std::string>{kZeroQuestion});
  EXPECT_EQ(doc.m_points.size(), 6u);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(DataEntryDlg, EditDataReturnsToTheEntryWhileDistancesDecrease) {
  CTessmorDoc doc;
  FillSix(doc);
  UserAtTheDialog user({
      // Point 3 typed at 0.5 km, before point 2 at 1 km.
      [&](Dlg& dlg) { dlg.SetText(Dlg::DistanceId(3), "0.5"); },
      [&](Dlg& dlg) {
        EXPECT_EQ(prompts_.texts(), std::vector<std::string>{kOrderMessage});
        EXPECT_EQ(dlg.GetText(Dlg::DistanceId(3)), "0.5");
        EXPECT_EQ(doc.m_points[2]->distance, 2500);
        EXPECT_FALSE(doc.IsModified());
        prompts_.Clear();
        dlg.SetText(Dlg::DistanceId(3), "2");
      },
  });
  EXPECT_TRUE(doc.OnEditData());
  EXPECT_EQ(user.presses, 2);
  EXPECT_TRUE(prompts_.texts().empty());
  EXPECT_EQ(doc.m_points[2]->distance, 2000);
  EXPECT_TRUE(doc.IsModified());
}

}  // namespace
