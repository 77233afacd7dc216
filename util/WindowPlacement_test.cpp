#include "util/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/io/Settings.h"

namespace {

// Installs fresh in-memory settings for one test.
class WindowPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = tessmor::SetSettings(&settings_); }
  void TearDown() override { tessmor::SetSettings(previous_); }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_ = nullptr;
};

WINDOWPLACEMENT Sample() {
  WINDOWPLACEMENT p;
  p.length = 0;
  p.flags = kRestoreToMaximized;
  p.showCmd = 3;
  p.ptMinPosition = {-1, -1};
  p.ptMaxPosition = {-8, -31};
  p.rcNormalPosition = {22, 44, 822, 644};
  return p;
}

// A record whose every field holds a value no test writes.
WINDOWPLACEMENT Stale() {
  constexpr std::int32_t k = 0x5A5A5A5A;
  WINDOWPLACEMENT p;
  p.length = p.flags = p.showCmd = 0x5A5A5A5A;
  p.ptMinPosition = {k, k};
  p.ptMaxPosition = {k, k};
  p.rcNormalPosition = {k, k, k, k};
  return p;
}

bool SameBytes(const WINDOWPLACEMENT& a, const WINDOWPLACEMENT& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(WindowPlacementTest, WritesTheTenNumbersUnderSettings) {
  const WINDOWPLACEMENT p = Sample();
  EXPECT_EQ(WriteWindowPlacement(&p, "VexaWinPos"), 1);
  EXPECT_EQ(settings_.GetString("Settings", "VexaWinPos", "?"), "2,3,-1,-1,-8,-31,22,44,822,644");
}

TEST_F(WindowPlacementTest, ReadsBackWhatWasWrittenWithLength44) {
  const WINDOWPLACEMENT written = Sample();
  ASSERT_EQ(WriteWindowPlacement(&written, "VexaWinPos"), 1);
  WINDOWPLACEMENT read = Stale();
  EXPECT_EQ(ReadWindowPlacement(&read, "VexaWinPos"), 1);
  WINDOWPLACEMENT expected = written;
  expected.length = 44;
  EXPECT_TRUE(SameBytes(read, expected));
}

TEST_F(WindowPlacementTest, KeepsExtremeValuesWhole) {
  WINDOWPLACEMENT p = Sample();
  p.flags = UINT_MAX;
  p.showCmd = UINT_MAX;
  p.ptMinPosition = {INT_MIN, INT_MIN};
  p.ptMaxPosition = {INT_MIN, INT_MAX};
  p.rcNormalPosition = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
  ASSERT_EQ(WriteWindowPlacement(&p, "Frame"), 1);
  WINDOWPLACEMENT read{};
  ASSERT_EQ(ReadWindowPlacement(&read, "Frame"), 1);
  p.length = 44;
  EXPECT_TRUE(SameBytes(read, p));
}

TEST_F(WindowPlacementTest, IgnoresAValueOfNineNumbers) {
  settings_.WriteString("Settings", "VexaWinPos", "2,3,-1,-1,-8,-31,22,44,822");
  WINDOWPLACEMENT before = Sample();
  WINDOWPLACEMENT p = before;
  EXPECT_EQ(ReadWindowPlacement(&p, "VexaWinPos"), 0);
  EXPECT_TRUE(SameBytes(p, before));
}

TEST_F(WindowPlacementTest, IgnoresMissingEmptyAndMalformedValues) {
  WINDOWPLACEMENT before = Sample();
  WINDOWPLACEMENT p = before;
  EXPECT_EQ(ReadWindowPlacement(&p, "Nowhere"), 0);
  settings_.WriteString("Settings", "Empty", "");
  EXPECT_EQ(ReadWindowPlacement(&p, "Empty"), 0);
  settings_.WriteString("Settings", "Words", "left,top,right,bottom");
  EXPECT_EQ(ReadWindowPlacement(&p, "Words"), 0);
  // A coordinate beyond the 32-bit range is refused rather than cut.
  settings_.WriteString("Settings", "Huge", "2,3,-1,-1,-8,-31,22,44,822,99999999999");
  EXPECT_EQ(ReadWindowPlacement(&p, "Huge"), 0);
  EXPECT_TRUE(SameBytes(p, before));
}

TEST_F(WindowPlacementTest, ReadsOnlyTheSettingsSection) {
  settings_.WriteString("Other", "VexaWinPos", "2,3,-1,-1,-8,-31,22,44,822,644");
  WINDOWPLACEMENT p = Sample();
  EXPECT_EQ(ReadWindowPlacement(&p, "VexaWinPos"), 0);
}

TEST_F(WindowPlacementTest, RefusesNullArguments) {
  WINDOWPLACEMENT p = Sample();
  EXPECT_EQ(WriteWindowPlacement(nullptr, "VexaWinPos"), 0);
  EXPECT_EQ(WriteWindowPlacement(&p, nullptr), 0);
  EXPECT_EQ(ReadWindowPlacement(nullptr, "VexaWinPos"), 0);
  EXPECT_EQ(ReadWindowPlacement(&p, nullptr), 0);
  EXPECT_FALSE(settings_.Has("Settings", "VexaWinPos"));
}

TEST(GenQor1Hooks, LetsThroughAMessageNoWindowOwns) {
  MSG msg;
  msg.message = 0x0100;  // a key press
  EXPECT_EQ(FilterGenQOR1Msg(&msg), 0);
  EXPECT_EQ(FilterGenQOR1Msg(nullptr), 0);
}

TEST(GenQor1Hooks, ReportsAMessageAWindowConsumed) {
  const int id = GenQor1Thread().AddMessageFilter([](const MSG& m) { return m.message == 0x0201; });
  MSG click;
  click.message = 0x0201;
  MSG key;
  key.message = 0x0100;
  EXPECT_NE(FilterGenQOR1Msg(&click), 0);
  EXPECT_EQ(FilterGenQOR1Msg(&key), 0);
  GenQor1Thread().RemoveMessageFilter(id);
  EXPECT_EQ(FilterGenQOR1Msg(&click), 0);
}

TEST(GenQor1Hooks, SwallowsAnExceptionOfTheFilterAndAnswersZero) {
  const int id = GenQor1Thread().AddMessageFilter(
      [](const MSG&) -> bool { throw std::runtime_error("window gone"); });
  MSG msg;
  EXPECT_EQ(FilterGenQOR1Msg(&msg), 0);
  GenQor1Thread().RemoveMessageFilter(id);
}

TEST(GenQor1Hooks, RunsIdleCountsUpwardUntilNoMoreIsWanted) {
  std::string counts;
  const int id = GenQor1Thread().AddIdleTask([&counts](long count) {
    counts += std::to_string(count);
    return count < 3;
  });
  ProcessDllIdle();
  GenQor1Thread().RemoveIdleTask(id);
  EXPECT_EQ(counts, "0123");
}

TEST(GenQor1Hooks, StopsIdleProcessingAtAnException) {
  int calls = 0;
  const int id = GenQor1Thread().AddIdleTask([&calls](long count) -> bool {
    ++calls;
    if (count == 1) throw std::runtime_error("idle failed");
    return true;
  });
  ProcessDllIdle();
  GenQor1Thread().RemoveIdleTask(id);
  EXPECT_EQ(calls, 2);
}

TEST(GenQor1Hooks, EndsIdleProcessingOfATaskThatAlwaysWantsMore) {
  long rounds = 0;
  const int id = GenQor1Thread().AddIdleTask([&rounds](long) {
    ++rounds;
    return true;
  });
  ProcessDllIdle();
  GenQor1Thread().RemoveIdleTask(id);
  EXPECT_EQ(rounds, 1000);
}

}  // namespace
