#include "chart/items/Stroke.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/io/Archive.h"

namespace {

using tessmor::Archive;

TEST(Stroke, StoresCategoryWidenedThenGroup) {
  CStroke s;
  s.SetCategory(CStroke::kItemCategory);
  s.SetGroup(0x1234);
  Archive out = Archive::ForStore();
  s.Serialize(out);
  EXPECT_EQ(out.StoredBytes(), (std::vector<std::uint8_t>{6, 0, 0x34, 0x12}));
}

TEST(Stroke, ReadingNarrowsTheCategoryToEightBits) {
  CStroke s;
  Archive in = Archive::FromBytes({0x04, 0x01, 0x07, 0x00});
  s.Serialize(in);
  EXPECT_EQ(s.GetCategory(), 4);
  EXPECT_EQ(s.GetGroup(), 7);
}

TEST(Stroke, ShortReadChangesNothing) {
  CStroke s;
  s.SetCategory(6);
  s.SetGroup(3);
  Archive in = Archive::FromBytes({0x04, 0x00, 0x07});
  EXPECT_THROW(s.Serialize(in), tessmor::ArchiveException);
  EXPECT_EQ(s.GetCategory(), 6);
  EXPECT_EQ(s.GetGroup(), 3);
}

}  // namespace
