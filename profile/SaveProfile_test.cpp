#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/docview/Application.h"
#include "platform/io/Archive.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::testing::FakeFileDialogs;
using tessmor::testing::FakePrompts;

class SaveProfile : public ::testing::Test {
 protected:
  SaveProfile() {
    AddProfileTemplates(app_);
    dir_ = tessmor::testing::MakeTempDir();
  }
  CTessmorDoc* NewDoc(int template_index = 0) {
    auto* doc = static_cast<CTessmorDoc*>(app_.NewDocument(app_.templates()[template_index].get()));
    return doc;
  }
  tessmor::Application app_;
  std::string dir_;
};

TEST_F(SaveProfile, GravmagKeepsTheResidualAndLeavesTheDocumentAlone) {
  FakePrompts prompts;
  prompts.set_default_yes(true);
  CTessmorDoc* doc = NewDoc();
  doc->AddPoint({0, 10.0});
  doc->AddPoint({1000, 12.5});
  doc->SetBackground(kBackgroundLinear, {0, 10.0}, {1000, 11.0});
  doc->m_nSaveType = kFileTypeGravmag;
  const std::string path = dir_ + "/line.dat";
  ASSERT_TRUE(doc->DoSaveProfile(path, true));
  EXPECT_EQ(tessmor::testing::Slurp(path),
            "2\r\nM\r\nMG\r\n    2       0      0      0\r\n"
            "      0      0.0       0.000\r\n"
            "   1000      0.0       1.500\r\n");
  EXPECT_EQ(doc->m_points[1]->anomaly, 12.5);
  EXPECT_EQ(doc->m_nBackgroundType, kBackgroundLinear);
  const std::string first = tessmor::testing::Slurp(path);
  ASSERT_TRUE(doc->DoSaveProfile(path, true));
  EXPECT_EQ(tessmor::testing::Slurp(path), first);
  EXPECT_EQ(doc->GetPathName(), path);
}

TEST_F(SaveProfile, WarnsBeforeATypeThatLosesDetails) {
  FakePrompts prompts;
  CTessmorDoc* doc = NewDoc();
  EXPECT_EQ(doc->ConfirmSaveFormat(kFileTypeProject), 1);
  EXPECT_TRUE(prompts.texts().empty());
  prompts.Script({tessmor::kAnswerNo, tessmor::kAnswerYes, tessmor::kAnswerYes});
  EXPECT_EQ(doc->ConfirmSaveFormat(kFileTypeGravmag), 0);
  EXPECT_EQ(doc->ConfirmSaveFormat(kFileTypeGravAscii), 1);
  EXPECT_EQ(doc->ConfirmSaveFormat(kFileType2DQN), 1);
  EXPECT_EQ(prompts.texts(),
            (std::vector<std::string>{
                " Unable to Save all the data details \n in a file with  GRAVMAG Format\n Are you "
                "sure you want to save in this format ?",
                " Unable to Save all the data details \n in a file with  Gravity ASCII Format\n "
                "Are you sure you want to save in this format ?",
                " Unable to Save all the data details \n in a file with  2DQN Equally Spaced "
                "Format\n Are you sure you want to save in this format ?"}));
  EXPECT_EQ(prompts.shown()[0].style & tessmor::kPromptButtonMask,
            static_cast<unsigned>(tessmor::kPromptYesNo));
}

TEST_F(SaveProfile, SaveAsTakesTheTypeOfTheChosenFilter) {
  FakePrompts prompts;
  prompts.set_default_yes(true);
  FakeFileDialogs dialogs;
  CTessmorDoc* doc = NewDoc();
  doc->m_strTraverseName = "Survey";
  doc->AddPoint({0, 1.0});
  doc->AddPoint({500, 2.0});
  dialogs.Script({true, dir_ + "/survey.dat", 2});  // the GRAVASCII filter
  ASSERT_TRUE(doc->OnFileSaveAs());
  EXPECT_EQ(doc->m_nSaveType, kFileTypeGravAscii);
  EXPECT_EQ(doc->GetPathName(), dir_ + "/survey.txt");
  EXPECT_EQ(tessmor::testing::Slurp(dir_ + "/survey.txt"),
            "Survey\r\n"
            "    1          0        0.0          0.0      1.000\r\n"
            "    2        500        0.0          0.0      2.000\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/survey.dat"));
  ASSERT_EQ(dialogs.requests().size(), 1u);
  const auto& req = dialogs.requests()[0];
  EXPECT_EQ(req.title, "Save As");
  ASSERT_EQ(req.filters.size(), 5u);
  EXPECT_EQ(req.filters[0].first, "TESSMOR File (*.gpr)");
  EXPECT_EQ(req.filters[3].second, ".g");
  EXPECT_EQ(req.filters[4].first, "CSV Profile (*.csv)");
  // A new document proposes its title, without an extension when all types are offered.
  EXPECT_EQ(doc->GetTitle(), "survey.txt");
  EXPECT_EQ(req.file_name, "Tessmor1");
}

TEST_F(SaveProfile, CancelledDialogSavesNothing) {
  FakePrompts prompts;
  FakeFileDialogs dialogs;
  CTessmorDoc* doc = NewDoc();
  doc->AddPoint({0, 1.0});
  EXPECT_FALSE(doc->OnFileSave());
  EXPECT_EQ(dialogs.requests().size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(SaveProfile, TwoDqnWritesTheSeriesTheAnalysisSees) {
  FakePrompts prompts;
  prompts.set_default_yes(true);
  CTessmorDoc* doc = NewDoc();
  for (int d : {0, 500, 1000, 1500}) doc->AddPoint({d, d * 0.01});
  doc->SetBackground(kBackgroundConstant, {0, 1.0}, {});
  doc->m_nSaveType = kFileType2DQN;
  ASSERT_TRUE(doc->DoSaveProfile(dir_ + "/eq.g", false));
  EXPECT_EQ(tessmor::testing::Slurp(dir_ + "/eq.g"),
            "4 , 0.500000\r\n -1.000000 \r\n 4.000000 \r\n 9.000000 \r\n 14.000000 \r\n");
  // Not replacing: the document keeps its (empty) path.
  EXPECT_EQ(doc->GetPathName(), "");
}

TEST_F(SaveProfile, FailedSaveKeepsWhatWasThere) {
  FakePrompts prompts;
  CTessmorDoc* doc = NewDoc();
  doc->AddPoint({0, 1.0});
  // The target is a folder with a file in it: the save cannot replace it, and must not harm it.
  const std::string path = dir_ + "/taken.gpr";
  std::filesystem::create_directory(path);
  std::ofstream(path + "/inside") << "precious";
  EXPECT_FALSE(doc->DoSaveProfile(path, true));
  EXPECT_EQ(tessmor::testing::Slurp(path + "/inside"), "precious");
  // The box names the cause: a folder stands where the file should go.
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>{"Invalid filename.\nThe file could not be accessed"});
  EXPECT_EQ(doc->GetPathName(), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SaveProfile, SaveIntoAVanishedFolderSaysTheFolderIsMissing) {
  FakePrompts prompts;
  CTessmorDoc* doc = NewDoc();
  doc->AddPoint({0, 1.0});
  EXPECT_FALSE(doc->DoSaveProfile(dir_ + "/gone/line.gpr", true));
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>{"Invalid filename.\nThe file could not be located"});
  EXPECT_EQ(doc->GetPathName(), "");
}

}  // namespace
