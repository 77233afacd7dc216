#include "chart/paper/CoordArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/io/Archive.h"

namespace {

using tessmor::Archive;

std::vector<PaperPoint> Points(const CCoordArray& a) {
  return std::vector<PaperPoint>(a.GetData(), a.GetData() + a.GetSize());
}

std::vector<std::uint8_t> Stored(CCoordArray& a) {
  Archive out = Archive::ForStore();
  a.Serialize(out);
  return out.StoredBytes();
}

TEST(CoordArray, SetFirstOnAnEmptyArrayAppendsInEitherMode) {
  CCoordArray a;
  a.SetFirst({1.0f, 2.0f}, false);
  EXPECT_EQ(Points(a), (std::vector<PaperPoint>{{1.0f, 2.0f}}));
  CCoordArray b;
  b.SetFirst({3.0f, 4.0f}, true);
  EXPECT_EQ(Points(b), (std::vector<PaperPoint>{{3.0f, 4.0f}}));
}

TEST(CoordArray, SetFirstReplacesTheFirstPointUnlessAppending) {
  CCoordArray a;
  a.Add({1.0f, 1.0f});
  a.Add({2.0f, 2.0f});
  a.SetFirst({9.0f, 8.0f}, false);
  EXPECT_EQ(Points(a), (std::vector<PaperPoint>{{9.0f, 8.0f}, {2.0f, 2.0f}}));
  a.SetFirst({7.0f, 6.0f}, true);
  EXPECT_EQ(Points(a), (std::vector<PaperPoint>{{9.0f, 8.0f}, {2.0f, 2.0f}, {7.0f, 6.0f}}));
}

TEST(CoordArray, AddAppendsACopyAndTellsItsIndex) {
  CCoordArray a;
  PaperPoint p{1.5f, -2.5f};
  EXPECT_EQ(a.Add(p), 0);
  p.x = 100.0f;
  EXPECT_EQ(a.Add(p), 1);
  EXPECT_EQ(a.GetAt(0), (PaperPoint{1.5f, -2.5f}));
  a.ElementAt(1).y = 7.0f;
  EXPECT_EQ(a.GetAt(1), (PaperPoint{100.0f, 7.0f}));
}

TEST(CoordArray, IndexOutsideThePointsThrows) {
  CCoordArray a;
  EXPECT_THROW(a.GetAt(0), std::out_of_range);
  a.Add({1.0f, 1.0f});
  EXPECT_THROW(a.GetAt(1), std::out_of_range);
  EXPECT_THROW(a.ElementAt(-1), std::out_of_range);
}

TEST(CoordArray, RemoveAllEmptiesTheArray) {
  CCoordArray a;
  a.Add({1.0f, 1.0f});
  a.Add({2.0f, 2.0f});
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetSize(), 0);
  a.FreeExtra();
  EXPECT_EQ(a.GetSize(), 0);
}

TEST(CoordArray, StoredFormIsACountAndPairsOfSingles) {
  CCoordArray a;
  a.Add({1.0f, -2.5f});
  a.Add({0.0f, 0.5f});
  // 1.0f = 0x3F800000, -2.5f = 0xC0200000, 0.5f = 0x3F000000; little-endian.
  const std::vector<std::uint8_t> expected = {2,    0, 0, 0, 0x80, 0x3F, 0, 0,    0x20,
                                              0xC0, 0, 0, 0, 0,    0,    0, 0x00, 0x3F};
  EXPECT_EQ(Stored(a), expected);
  CCoordArray empty;
  EXPECT_EQ(Stored(empty), (std::vector<std::uint8_t>{0, 0}));
}

TEST(CoordArray, ReadingAppendsToThePointsHeld) {
  CCoordArray a;
  a.Add({1.0f, 2.0f});
  a.Add({3.0f, 4.0f});
  Archive in = Archive::FromBytes(Stored(a));
  CCoordArray b;
  b.Add({-1.0f, -1.0f});
  b.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(Points(b), (std::vector<PaperPoint>{{-1.0f, -1.0f}, {1.0f, 2.0f}, {3.0f, 4.0f}}));
}

TEST(CoordArray, ShortStoredFormThrowsAndLeavesThePointsAsTheyWere) {
  CCoordArray a;
  a.Add({1.0f, 2.0f});
  a.Add({3.0f, 4.0f});
  std::vector<std::uint8_t> bytes = Stored(a);
  bytes.resize(bytes.size() - 2);
  CCoordArray b;
  b.Add({5.0f, 6.0f});
  Archive in = Archive::FromBytes(bytes);
  EXPECT_THROW(b.Serialize(in), tessmor::ArchiveException);
  EXPECT_EQ(Points(b), (std::vector<PaperPoint>{{5.0f, 6.0f}}));

  // A count far beyond the data.
  Archive lying = Archive::FromBytes({0xFF, 0xFF, 0, 0, 0x80, 0x3F});
  EXPECT_THROW(b.Serialize(lying), tessmor::ArchiveException);
  EXPECT_EQ(b.GetSize(), 1);
}

TEST(CoordArray, StoresNoMorePointsThanItsCountCanHold) {
  CCoordArray a;
  for (int i = 0; i < CCoordArray::kMaxStoredPoints + 3; ++i) {
    a.Add({static_cast<float>(i), 0.0f});
  }
  Archive in = Archive::FromBytes(Stored(a));
  CCoordArray b;
  b.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(b.GetSize(), 65535);
  EXPECT_EQ(b.GetAt(65534).x, 65534.0f);
}

}  // namespace
