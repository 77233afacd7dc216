#include "platform/io/Settings.h"

#include <gtest/gtest.h>

namespace tessmor {
namespace {

TEST(Settings, MemoryStoreKeepsStringsAndIntegersBySection) {
  MemorySettings s;
  EXPECT_EQ(s.GetString("View Options", "Magnification", "none"), "none");
  EXPECT_EQ(s.GetInt("View Options", "Magnification", 7), 7);
  s.WriteInt("View Options", "Magnification", -120);
  s.WriteString("Graphics Properties", "Font", "Times New Roman");
  EXPECT_EQ(s.GetInt("View Options", "Magnification", 7), -120);
  EXPECT_EQ(s.GetString("View Options", "Magnification", ""), "-120");
  EXPECT_EQ(s.GetString("Graphics Properties", "Font", ""), "Times New Roman");
  EXPECT_EQ(s.GetString("Other", "Font", "x"), "x");
  EXPECT_TRUE(s.Has("Graphics Properties", "Font"));
}

TEST(Settings, NonNumericEntryReadsAsTheFallback) {
  MemorySettings s;
  s.WriteString("a", "b", "12abc");
  EXPECT_EQ(s.GetInt("a", "b", 3), 3);
  s.WriteString("a", "b", "99999999999");
  EXPECT_EQ(s.GetInt("a", "b", 4), 4);
  s.WriteString("a", "b", "+15");
  EXPECT_EQ(s.GetInt("a", "b", 4), 15);
}

TEST(Settings, ProcessWideStoreCanBeReplacedAndRestored) {
  MemorySettings mine;
  Settings* old = SetSettings(&mine);
  GetSettings().WriteInt("x", "y", 1);
  EXPECT_EQ(mine.GetInt("x", "y", 0), 1);
  SetSettings(old);
  EXPECT_NE(&GetSettings(), &mine);
}

}  // namespace
}  // namespace tessmor
