#include "platform/ui/Prompts.h"

#include <gtest/gtest.h>

#include "testsupport/FakePrompts.h"

namespace tessmor {
namespace {

TEST(Prompts, DefaultAnswersFollowTheButtonSet) {
  EXPECT_EQ(DefaultAnswer(kPromptOk, true), kAnswerOk);
  EXPECT_EQ(DefaultAnswer(kPromptOk | kPromptIconWarning, false), kAnswerOk);
  EXPECT_EQ(DefaultAnswer(kPromptYesNo, true), kAnswerYes);
  EXPECT_EQ(DefaultAnswer(kPromptYesNo | kPromptIconQuestion, false), kAnswerNo);
  EXPECT_EQ(DefaultAnswer(kPromptYesNoCancel, false), kAnswerNo);
  EXPECT_EQ(DefaultAnswer(kPromptOkCancel, false), kAnswerCancel);
  EXPECT_EQ(DefaultAnswer(kPromptOkCancel, true), kAnswerOk);
}

TEST(Prompts, FakeRecordsTextsAndFollowsItsScript) {
  Prompts* before = &GetPrompts();
  {
    testing::FakePrompts fake;
    EXPECT_EQ(&GetPrompts(), &fake);
    fake.Script({kAnswerCancel});
    EXPECT_EQ(GetPrompts().MessageBox("first", kPromptYesNoCancel), kAnswerCancel);
    EXPECT_EQ(GetPrompts().MessageBox("second", kPromptYesNo), kAnswerNo);
    fake.set_default_yes(true);
    EXPECT_EQ(GetPrompts().MessageBox("third", kPromptYesNo), kAnswerYes);
    GetPrompts().Beep();
    EXPECT_EQ(fake.texts(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(fake.shown()[0].style, static_cast<unsigned>(kPromptYesNoCancel));
    EXPECT_EQ(fake.beeps(), 1);
  }
  EXPECT_EQ(&GetPrompts(), before);
}

TEST(Prompts, StatusMessagesGoToStandardErrorInTheBatchTool) {
  StderrPrompts batch;
  ::testing::internal::CaptureStderr();
  batch.StatusMessage("The model is thin.");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "The model is thin.\n");

  testing::FakePrompts fake;
  GetPrompts().StatusMessage("one");
  GetPrompts().StatusMessage("two");
  EXPECT_EQ(fake.status_messages(), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(fake.texts().empty());
}

}  // namespace
}  // namespace tessmor
