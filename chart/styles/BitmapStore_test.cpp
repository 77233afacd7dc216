#include "chart/styles/BitmapStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/io/Archive.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::Archive;
using tessmor::ArchiveException;
using tessmor::Dib;

std::vector<std::uint8_t> Stored(CBitmapStore& store) {
  Archive ar = Archive::ForStore();
  store.Serialize(ar);
  return ar.StoredBytes();
}

void Load(CBitmapStore& store, std::vector<std::uint8_t> bytes) {
  Archive ar = Archive::FromBytes(std::move(bytes));
  store.Serialize(ar);
  EXPECT_TRUE(ar.AtEnd());
}

void PutI32(std::vector<std::uint8_t>& v, std::int32_t x) {
  for (int i = 0; i < 4; ++i)
    v.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(x) >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& v, const std::string& s) {
  v.insert(v.end(), s.begin(), s.end());
}

// The stored form's head: the entry count − 1 and the marker.
std::vector<std::uint8_t> Head(int count) {
  std::vector<std::uint8_t> v;
  PutI32(v, count - 1);
  PutI32(v, 22);
  PutText(v, "VEXABitmap Version 1.0");
  return v;
}

std::string WriteBmp(const Dib& d) {
  const std::string path = tessmor::testing::MakeTempDir() + "/pattern.bmp";
  const std::vector<std::uint8_t> image = tessmor::DibFileImage(d);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  return path;
}

Dib Coloured(int w, int h, std::uint32_t rgb) {
  Dib d = Dib::Make24(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) d.SetPixelRgb(x, y, rgb);
  }
  return d;
}

TEST(BitmapStoreForm, EmptyStoreIsMinusOneThenTheMarker) {
  CBitmapStore store;
  EXPECT_EQ(Stored(store), Head(0));
}

TEST(BitmapStoreForm, ResourceEntryIsItsFlagAndNumber) {
  CBitmapStore store;
  ASSERT_EQ(store.AddResourceBitmap(181), 0);
  std::vector<std::uint8_t> expected = Head(1);
  PutI32(expected, 1);
  PutI32(expected, 181);
  EXPECT_EQ(Stored(store), expected);
}

TEST(BitmapStoreForm, FileEntryCarriesItsBitmapImageAndTheEndMarker) {
  CBitmapStore store;
  const Dib d = Coloured(2, 2, 0x336699);
  ASSERT_EQ(store.AddBitmapFile(WriteBmp(d)), 0);
  std::vector<std::uint8_t> expected = Head(1);
  PutI32(expected, 0);
  PutI32(expected, 99992);
  const std::vector<std::uint8_t> image = tessmor::DibFileImage(d);
  expected.insert(expected.end(), image.begin(), image.end());
  PutI32(expected, 19);
  PutText(expected, "CDIBSectionLite End");
  EXPECT_EQ(Stored(store), expected);
}

TEST(BitmapStoreForm, ReadingRestoresResourceAndFileEntriesInOrder) {
  CBitmapStore store;
  store.AddBitmapFile(WriteBmp(Coloured(3, 1, 0xFF0000)));
  store.AddResourceBitmap(181);
  const std::vector<std::uint8_t> bytes = Stored(store);

  CBitmapStore back;
  back.AddResourceBitmap(181);  // emptied by reading
  back.AddResourceBitmap(181);
  Load(back, bytes);
  ASSERT_EQ(back.GetSize(), 2);
  const BitmapStoreEntry* file = back.GetEntry(0);
  ASSERT_TRUE(file && file->pBitmap);
  EXPECT_EQ(file->bFromResource, 0);
  EXPECT_EQ(file->nResourceNumber, 99992u);
  EXPECT_EQ(file->pBitmap->PixelRgb(2, 0), 0xFF0000u);
  const BitmapStoreEntry* res = back.GetEntry(1);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->bFromResource, 1);
  EXPECT_EQ(res->hResource, AllocateDIB(181));
  EXPECT_EQ(back.GetOwnedFlag(0), 1);
  EXPECT_EQ(back.GetOwnedFlag(1), 1);
  EXPECT_EQ(Stored(back), bytes);
}

TEST(BitmapStoreForm, MarkerTextsAreNotCompared) {
  std::vector<std::uint8_t> bytes;
  PutI32(bytes, 0);
  PutI32(bytes, 3);
  PutText(bytes, "abc");
  PutI32(bytes, 0);
  PutI32(bytes, 99992);
  const auto image = tessmor::DibFileImage(Coloured(1, 1, 0x0000FF));
  bytes.insert(bytes.end(), image.begin(), image.end());
  PutI32(bytes, 2);
  PutText(bytes, "zz");
  CBitmapStore store;
  Load(store, bytes);
  ASSERT_EQ(store.GetSize(), 1);
  EXPECT_EQ(store.GetEntry(0)->pBitmap->PixelRgb(0, 0), 0x0000FFu);
}

TEST(BitmapStoreForm, DamagedImageIsSkippedAndReadingGoesOnAfterItsEndMarker) {
  std::vector<std::uint8_t> bytes = Head(3);
  PutI32(bytes, 0);
  PutI32(bytes, 99992);
  auto bad = tessmor::DibFileImage(Coloured(2, 2, 0));
  bad[14] = 12;  // an information header of another size
  bytes.insert(bytes.end(), bad.begin(), bad.end());
  PutI32(bytes, 19);
  PutText(bytes, "CDIBSectionLite End");
  PutI32(bytes, 1);
  PutI32(bytes, 181);
  PutI32(bytes, 0);
  PutI32(bytes, 99992);
  const auto good = tessmor::DibFileImage(Coloured(1, 1, 0x00FF00));
  bytes.insert(bytes.end(), good.begin(), good.end());
  PutI32(bytes, 19);
  PutText(bytes, "CDIBSectionLite End");

  CBitmapStore store;
  Load(store, bytes);
  // The damaged entry keeps its index, so the later ones keep theirs.
  ASSERT_EQ(store.GetSize(), 3);
  EXPECT_EQ(store.GetEntry(0)->pBitmap, nullptr);
  EXPECT_EQ(store.CreatePatternBrush(0).style, tessmor::BS_NULL);
  EXPECT_EQ(store.GetEntry(1)->nResourceNumber, 181u);
  EXPECT_EQ(store.GetEntry(2)->pBitmap->PixelRgb(0, 0), 0x00FF00u);
}

TEST(BitmapStoreForm, DamagedImageWithoutAnEndMarkerCannotBeFollowed) {
  std::vector<std::uint8_t> bytes = Head(1);
  PutI32(bytes, 0);
  PutI32(bytes, 99992);
  PutText(bytes, "XX not a bitmap at all");
  CBitmapStore store;
  Archive ar = Archive::FromBytes(bytes);
  EXPECT_THROW(store.Serialize(ar), ArchiveException);
}

TEST(BitmapStoreForm, UnknownOrRepeatedResourcesKeepTheirPlaces) {
  std::vector<std::uint8_t> bytes = Head(3);
  PutI32(bytes, 1);
  PutI32(bytes, 4711);
  PutI32(bytes, 1);
  PutI32(bytes, 181);
  PutI32(bytes, 1);
  PutI32(bytes, 181);
  CBitmapStore store;
  Load(store, bytes);
  ASSERT_EQ(store.GetSize(), 3);
  EXPECT_EQ(store.GetEntry(0)->nResourceNumber, 4711u);
  EXPECT_EQ(store.CreatePatternBrush(0).style, tessmor::BS_NULL);
  EXPECT_EQ(store.GetEntry(1)->nResourceNumber, 181u);
  EXPECT_EQ(store.CreatePatternBrush(2).style, tessmor::BS_DIBPATTERNPT);
  // Written again, the unknown number is kept.
  Archive out = Archive::ForStore();
  store.Serialize(out);
  EXPECT_EQ(out.StoredBytes(), bytes);
}

TEST(BitmapStoreForm, HostileCountsAndLengthsStopAtTheEndOfTheData) {
  {
    std::vector<std::uint8_t> bytes = Head(0x7FFFFFFF);
    CBitmapStore store;
    Archive ar = Archive::FromBytes(bytes);
    EXPECT_THROW(store.Serialize(ar), ArchiveException);
  }
  {
    std::vector<std::uint8_t> bytes;
    PutI32(bytes, -5);
    PutI32(bytes, 0);
    CBitmapStore store;
    Archive ar = Archive::FromBytes(bytes);
    EXPECT_THROW(store.Serialize(ar), ArchiveException);
  }
  {
    std::vector<std::uint8_t> bytes;
    PutI32(bytes, -1);
    PutI32(bytes, -22);
    CBitmapStore store;
    Archive ar = Archive::FromBytes(bytes);
    EXPECT_THROW(store.Serialize(ar), ArchiveException);
  }
  {
    std::vector<std::uint8_t> bytes = Head(1);
    PutI32(bytes, 0);
    PutI32(bytes, 99992);
    const auto image = tessmor::DibFileImage(Coloured(1, 1, 0));
    bytes.insert(bytes.end(), image.begin(), image.end());
    PutI32(bytes, 1000000);  // an end marker longer than the data
    CBitmapStore store;
    Archive ar = Archive::FromBytes(bytes);
    EXPECT_THROW(store.Serialize(ar), ArchiveException);
  }
}

TEST(BitmapStoreAdd, SameResourceTwiceGivesTheSameIndex) {
  CBitmapStore store;
  EXPECT_EQ(store.AddResourceBitmap(181), 0);
  EXPECT_EQ(store.AddResourceBitmap(181), 0);
  EXPECT_EQ(store.GetSize(), 1);
}

TEST(BitmapStoreAdd, MissingResourceGivesMinusOneAndAddsNothing) {
  CBitmapStore store;
  EXPECT_EQ(store.AddResourceBitmap(4711), -1);
  EXPECT_EQ(store.GetSize(), 0);
}

TEST(BitmapStoreAdd, LooksInTheProgramModuleAndLeavesTheLibrarysInPlace) {
  std::vector<BitmapResource> table;
  table.push_back({77, Coloured(1, 1, 0x808080)});
  const HRESMODULE program = RegisterResourceModule(std::move(table));
  const HRESMODULE before = CBitmapStore::GetProgramModule();
  CBitmapStore::SetProgramModule(program);
  CBitmapStore store;
  EXPECT_EQ(store.AddResourceBitmap(77), 0);
  EXPECT_EQ(store.AddResourceBitmap(181), -1) << "not in this program's module";
  CBitmapStore::SetProgramModule(before);
  EXPECT_EQ(AllocateDIB(77), nullptr) << "the library's own module is current again";
  EXPECT_NE(AllocateDIB(181), nullptr);
}

TEST(BitmapStoreAdd, UnreadableFilesGiveMinusOne) {
  CBitmapStore store;
  const std::string dir = tessmor::testing::MakeTempDir();
  EXPECT_EQ(store.AddBitmapFile(dir + "/missing.bmp"), -1);
  std::ofstream(dir + "/text.bmp") << "not a bitmap";
  EXPECT_EQ(store.AddBitmapFile(dir + "/text.bmp"), -1);
  EXPECT_EQ(store.GetSize(), 0);
}

TEST(BitmapStoreAdd, UnownedEntriesOutliveTheStore) {
  BitmapStoreEntry mine;
  mine.bFromResource = 1;
  mine.nResourceNumber = 181;
  {
    CBitmapStore store;
    EXPECT_EQ(store.AddUnowned(&mine), 0);
    EXPECT_EQ(store.GetOwnedFlag(0), 0);
    EXPECT_EQ(store.GetEntry(0), &mine);
  }
  EXPECT_EQ(mine.nResourceNumber, 181u);
}

TEST(BitmapStoreCompare, ResourceEntriesMatchByNumber) {
  BitmapStoreEntry a, b, c;
  a.bFromResource = b.bFromResource = c.bFromResource = 1;
  a.nResourceNumber = b.nResourceNumber = 181;
  c.nResourceNumber = 182;
  EXPECT_TRUE(CBitmapStore::Compare(a, b));
  EXPECT_FALSE(CBitmapStore::Compare(a, c));
}

TEST(BitmapStoreCompare, FileEntriesMatchByHeaderNotByPixels) {
  BitmapStoreEntry a, b, c;
  a.pBitmap = std::make_unique<Dib>(Coloured(4, 4, 0xFF0000));
  b.pBitmap = std::make_unique<Dib>(Coloured(4, 4, 0x00FF00));
  c.pBitmap = std::make_unique<Dib>(Coloured(4, 5, 0xFF0000));
  EXPECT_TRUE(CBitmapStore::Compare(a, b));
  EXPECT_FALSE(CBitmapStore::Compare(a, c));
}

TEST(BitmapStoreCompare, ResourceEntryNeverEqualsFileEntry) {
  BitmapStoreEntry res, file;
  res.bFromResource = 1;
  res.nResourceNumber = 99992;
  file.nResourceNumber = 99992;
  file.pBitmap = std::make_unique<Dib>(Coloured(1, 1, 0));
  EXPECT_FALSE(CBitmapStore::Compare(res, file));
  EXPECT_TRUE(CBitmapStore::Compare(file, file));
}

TEST(BitmapStoreCompare, FindGivesTheFirstEqualEntry) {
  CBitmapStore store;
  store.AddBitmapFile(WriteBmp(Coloured(2, 2, 0)));
  store.AddResourceBitmap(181);
  store.AddBitmapFile(WriteBmp(Coloured(2, 2, 0xFFFFFF)));
  BitmapStoreEntry probe;
  probe.pBitmap = std::make_unique<Dib>(Coloured(2, 2, 0x123456));
  EXPECT_EQ(store.Find(probe), 0);
  probe.bFromResource = 1;
  probe.nResourceNumber = 181;
  EXPECT_EQ(store.Find(probe), 1);
  probe.nResourceNumber = 5;
  EXPECT_EQ(store.Find(probe), -1);
}

TEST(BitmapStoreBrush, ResourceEntryGivesItsPatternLockedOnce) {
  CBitmapStore store;
  const int i = store.AddResourceBitmap(181);
  ASSERT_EQ(store.GetEntry(i)->pattern, nullptr) << "not locked before first use";
  const tessmor::Brush brush = store.CreatePatternBrush(i);
  EXPECT_EQ(brush.style, tessmor::BS_DIBPATTERNPT);
  ASSERT_NE(brush.pattern, nullptr);
  EXPECT_EQ(brush.pattern->width, 8);
  EXPECT_EQ(brush.pattern->height, 8);
  EXPECT_EQ(brush.pattern->PixelAt(0, 0), tessmor::RGB(0, 0, 0));
  EXPECT_EQ(brush.pattern->PixelAt(1, 0), tessmor::RGB(255, 255, 255));
  EXPECT_EQ(store.CreatePatternBrush(i), brush) << "the same bits the second time";
}

TEST(BitmapStoreBrush, FileEntryGivesAPatternOfItsBitmap) {
  CBitmapStore store;
  const int i = store.AddBitmapFile(WriteBmp(Coloured(2, 3, 0x0080FF)));
  const tessmor::Brush brush = store.CreatePatternBrush(i);
  ASSERT_NE(brush.pattern, nullptr);
  EXPECT_EQ(brush.pattern->width, 2);
  EXPECT_EQ(brush.pattern->height, 3);
  EXPECT_EQ(brush.pattern->PixelAt(1, 2), tessmor::RGB(0x00, 0x80, 0xFF));
}

TEST(BitmapStoreBrush, IndexOutsideTheStoreGivesANullBrush) {
  CBitmapStore store;
  EXPECT_EQ(store.CreatePatternBrush(0).style, tessmor::BS_NULL);
  EXPECT_EQ(store.CreatePatternBrush(-1).style, tessmor::BS_NULL);
  EXPECT_EQ(store.GetEntry(0), nullptr);
}

}  // namespace
