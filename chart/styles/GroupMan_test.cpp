#include "chart/styles/GroupMan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/io/Archive.h"

namespace {

using tessmor::Archive;
using tessmor::RECT;

std::vector<std::uint8_t> Stored(CGroupMan& g) {
  Archive out = Archive::ForStore();
  g.Serialize(out);
  return out.StoredBytes();
}

TEST(GroupMan, NewGroupBecomesCurrentAndRefusesAnExistingId) {
  CGroupMan g;
  EXPECT_EQ(g.NewGroup(1, "Object1", 1), 1);
  EXPECT_EQ(g.GetCurrentGroup(), 1);
  EXPECT_EQ(g.Lookup(1)->count, 1);
  EXPECT_EQ(g.Lookup(1)->kinds, 1);
  EXPECT_EQ(g.NewGroup(1, "again", 2), 0);
  EXPECT_STREQ(g.Lookup(1)->name, "Object1");
  EXPECT_EQ(g.NewGroup(0, "none", 1), 0);  // 0 stands for "no group"
  EXPECT_EQ(g.GetCount(), 1);
}

TEST(GroupMan, CreatingAGroupDeletesAnEmptyCurrentGroup) {
  CGroupMan g;
  g.NewGroup(4, "four", 0);  // no items
  g.NewGroup(5, "five", 0);
  EXPECT_EQ(g.Lookup(4), nullptr);
  EXPECT_EQ(g.GetCurrentGroup(), 5);
  g.UpdateGroup(5, 1, RECT{0, 10, 10, 0}, -1);
  g.NewGroup(6, "six", 0);
  EXPECT_NE(g.Lookup(5), nullptr);  // it has an item now
}

TEST(GroupMan, DeletingTheCurrentGroupFallsBackToTheNextLowerId) {
  CGroupMan g;
  g.NewGroup(9, "nine", 1);
  g.NewGroup(3, "three", 1);
  g.NewGroup(7, "seven", 1);
  EXPECT_EQ(g.DeleteGroup(7), 1);
  EXPECT_EQ(g.GetCurrentGroup(), 3);
  EXPECT_EQ(g.DeleteGroup(3), 1);
  EXPECT_EQ(g.GetCurrentGroup(), 9);  // none lower: the first group
  EXPECT_EQ(g.DeleteGroup(3), 0);
  EXPECT_EQ(g.DeleteGroup(9), 1);
  EXPECT_EQ(g.GetCurrentGroup(), 0);
}

TEST(GroupMan, LongNamesKeepTheirFirst19Characters) {
  CGroupMan g;
  g.NewGroup(1, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1);  // 25 characters
  EXPECT_STREQ(g.Lookup(1)->name, "ABCDEFGHIJKLMNOPQRS");
}

TEST(GroupMan, AddingItemsUnitesTheirRectangles) {
  CGroupMan g;
  g.NewGroup(2, "g", 0);
  g.UpdateGroup(2, 1, RECT{10, 50, 20, 40}, -1);  // y-up rectangles: top above bottom
  g.UpdateGroup(2, 2, RECT{0, 45, 15, 30}, -1);
  const GROUPREC* r = g.Lookup(2);
  EXPECT_EQ(r->count, 2);
  EXPECT_EQ(r->kinds, 3);
  EXPECT_EQ(r->bounds, (RECT{0, 50, 20, 30}));
  g.UpdateGroup(2, 8, RECT{1, 2, 3, 4}, 5, "renamed");
  EXPECT_EQ(r->count, 5);
  EXPECT_EQ(r->kinds, 8);
  EXPECT_EQ(r->bounds, (RECT{1, 2, 3, 4}));
  EXPECT_STREQ(r->name, "renamed");
  g.UpdateGroup(2, 0, RECT{1, 2, 3, 4}, 5);
  EXPECT_EQ(r->count, 0);
  EXPECT_EQ(r->bounds, RECT{});
  EXPECT_EQ(g.UpdateGroup(3, 1, RECT{}, 1), 0);
}

TEST(GroupMan, EmptyManagerIsStoredAsAZeroCount) {
  CGroupMan g;
  EXPECT_EQ(Stored(g), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(GroupMan, StoresKindsIdCountAndANameLine) {
  CGroupMan g;
  g.NewGroup(0x0102, "Ab", 0x11);
  EXPECT_EQ(Stored(g), (std::vector<std::uint8_t>{1, 0, 0, 0, 0x11, 0, 0x02, 0x01, 1, 0, 0, 0, 'A',
                                                  'b', '\r', '\n'}));
}

TEST(GroupMan, ReadingReplacesTheGroupsAndMakesTheLastCurrent) {
  CGroupMan source;
  source.NewGroup(2, "two", 1);
  source.NewGroup(8, "eight", 2);
  source.UpdateGroup(8, 2, RECT{0, 9, 9, 0}, 4);
  Archive in = Archive::FromBytes(Stored(source));
  CGroupMan g;
  g.NewGroup(5, "old", 1);
  g.Serialize(in);
  EXPECT_EQ(g.Lookup(5), nullptr);
  ASSERT_NE(g.Lookup(8), nullptr);
  EXPECT_STREQ(g.Lookup(8)->name, "eight");
  EXPECT_EQ(g.Lookup(8)->count, 4);
  EXPECT_EQ(g.Lookup(8)->bounds, RECT{});  // recomputed when the items are drawn
  EXPECT_EQ(g.GetCurrentGroup(), 8);
}

TEST(GroupMan, ShortOrOverCountedStoredFormThrowsAndKeepsTheGroups) {
  CGroupMan g;
  g.NewGroup(5, "keep", 1);
  // Claims 4 billion groups but holds one.
  Archive in =
      Archive::FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 1, 0, 1, 0, 0, 0, 'x', '\r', '\n'});
  EXPECT_THROW(g.Serialize(in), tessmor::ArchiveException);
  EXPECT_NE(g.Lookup(5), nullptr);
  EXPECT_EQ(g.GetCount(), 1);
  EXPECT_EQ(g.GetCurrentGroup(), 5);
}

TEST(GroupMan, OverlongStoredNameIsCutAndTheNextGroupStillReads) {
  const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<std::uint8_t> bytes{2, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0};
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.insert(bytes.end(), {'\r', '\n', 1, 0, 2, 0, 1, 0, 0, 0, 'b', '\r', '\n'});
  Archive in = Archive::FromBytes(bytes);
  CGroupMan g;
  g.Serialize(in);
  EXPECT_STREQ(g.Lookup(1)->name, "ABCDEFGHIJKLMNOPQRS");
  ASSERT_NE(g.Lookup(2), nullptr);
  EXPECT_STREQ(g.Lookup(2)->name, "b");
}

}  // namespace
