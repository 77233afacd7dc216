#include "profile/FloatArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/io/Archive.h"

namespace {

using tessmor::Archive;

std::vector<float> Values(const CFloatArray& a) {
  return std::vector<float>(a.GetData(), a.GetData() + a.GetSize());
}

CFloatArray Make(std::initializer_list<float> values) {
  CFloatArray a;
  for (float v : values) a.Add(v);
  return a;
}

constexpr float kInf = std::numeric_limits<float>::infinity();

// --- size and growth ---

TEST(FloatArraySize, NewValuesAreZerosNotOldValues) {
  CFloatArray a;
  a.SetSize(5);
  EXPECT_EQ(Values(a), std::vector<float>(5, 0.0f));
  EXPECT_EQ(a.GetUpperBound(), 4);
  CFloatArray b = Make({1, 2, 3, 4});
  b.SetSize(2);
  b.SetSize(4);
  EXPECT_EQ(Values(b), (std::vector<float>{1, 2, 0, 0}));
  b.SetAtGrow(6, 7.0f);
  EXPECT_EQ(Values(b), (std::vector<float>{1, 2, 0, 0, 0, 0, 7}));
}

TEST(FloatArraySize, CapacityGrowsByTheGrowthStep) {
  CFloatArray a;
  a.SetSize(1, 10);
  EXPECT_EQ(a.GetCapacity(), 10);  // larger of 1 and 0 + 10
  a.SetSize(25);
  EXPECT_EQ(a.GetCapacity(), 25);  // larger of 25 and 10 + 10
  a.SetSize(26);
  EXPECT_EQ(a.GetCapacity(), 35);  // larger of 26 and 25 + 10
  a.SetSize(3, -1);
  EXPECT_EQ(a.GetGrowBy(), 10);
  a.FreeExtra();
  EXPECT_EQ(a.GetCapacity(), 3);
  a.SetSize(0);
  EXPECT_EQ(a.GetCapacity(), 0);
  EXPECT_EQ(a.GetSize(), 0);
}

// --- editing ---

TEST(FloatArrayEdit, InsertsCopiesInsideAndAppendsBeyondTheEnd) {
  CFloatArray a;
  EXPECT_EQ(a.Add(1), 0);
  EXPECT_EQ(a.Add(2), 1);
  EXPECT_EQ(a.Add(3), 2);
  a.InsertAt(1, 9.0f, 2);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 9, 9, 2, 3}));
  a.InsertAt(100, 5.0f);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 9, 9, 2, 3, 5}));
  a.InsertAt(0, 4.0f, 0);
  EXPECT_EQ(a.GetSize(), 6);
}

TEST(FloatArrayEdit, InsertsAnotherArrayIncludingItself) {
  CFloatArray a = Make({1, 2});
  const CFloatArray b = Make({7, 8});
  a.InsertAt(1, b);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 7, 8, 2}));
  a.InsertAt(0, a);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 7, 8, 2, 1, 7, 8, 2}));
  a.InsertAt(2, CFloatArray());
  EXPECT_EQ(a.GetSize(), 8);
}

TEST(FloatArrayEdit, RemovesClosingTheGapAndReverses) {
  CFloatArray a = Make({1, 2, 3, 4, 5});
  a.RemoveAt(1, 2);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 4, 5}));
  a.SetAt(0, 6);
  a.Reverse();
  EXPECT_EQ(Values(a), (std::vector<float>{5, 4, 6}));
}

TEST(FloatArrayEdit, RemoveAllForgetsValuesAndFormats) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("12.25 3"), 2);
  a.RemoveAll();
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
  EXPECT_EQ(a.GetColumnFormat(0), nullptr);
  EXPECT_EQ(a.m_nMaxDecimals, 0);
  EXPECT_EQ(a.m_nMaxIntDigits, 0);
}

TEST(FloatArrayBadIndex, AccessOutsideTheValuesThrowsAndChangesNothing) {
  CFloatArray a = Make({1, 2, 3});
  EXPECT_THROW(a.GetAt(-1), std::out_of_range);
  EXPECT_THROW(a.GetAt(3), std::out_of_range);
  EXPECT_THROW(a.SetAt(3, 1.0f), std::out_of_range);
  EXPECT_THROW(a.SetAtGrow(-1, 1.0f), std::out_of_range);
  EXPECT_THROW(a.RemoveAt(2, 5), std::out_of_range);
  EXPECT_THROW(a.RemoveAt(0, -1), std::out_of_range);
  EXPECT_THROW(a.RemoveAt(-1, 1), std::out_of_range);
  EXPECT_THROW(a.RemoveAt(INT_MAX, INT_MAX), std::out_of_range);
  EXPECT_THROW(a.InsertAt(-1, 1.0f), std::out_of_range);
  EXPECT_THROW(a.InsertAt(0, 1.0f, -2), std::out_of_range);
  EXPECT_THROW(a.InsertAt(-1, a), std::out_of_range);
  EXPECT_THROW(a.SetSize(-1), std::out_of_range);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 2, 3}));
}

TEST(FloatArrayBadIndex, SizesBeyondTheIntRangeThrow) {
  CFloatArray a = Make({1});
  EXPECT_THROW(a.InsertAt(0, 1.0f, INT_MAX), std::length_error);
  EXPECT_THROW(a.SetAtGrow(INT_MAX, 1.0f), std::length_error);
  EXPECT_EQ(Values(a), (std::vector<float>{1}));
}

// --- parsing text ---

TEST(FloatArrayText, ParsesMixedNotationsAndRecordsEachColumn) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("1.50, 2.5e3; -4"), 3);
  EXPECT_EQ(Values(a), (std::vector<float>{1.5f, 2500.0f, -4.0f}));

  const FloatColumnFormat* c0 = a.GetColumnFormat(0);
  ASSERT_NE(c0, nullptr);
  EXPECT_EQ(c0->cNotation, 'f');
  EXPECT_EQ(c0->nDecimals, 1);  // trailing zero of 1.50 removed
  EXPECT_EQ(c0->nIntDigits, 1);
  EXPECT_EQ(c0->nMinExp, 0);
  EXPECT_EQ(c0->nMaxExp, 0);

  const FloatColumnFormat* c1 = a.GetColumnFormat(1);
  ASSERT_NE(c1, nullptr);
  EXPECT_EQ(c1->cNotation, 'e');
  EXPECT_EQ(c1->nMinExp, 3);
  EXPECT_EQ(c1->nMaxExp, 3);
  // The digits of an exponent-form number are those of its value written out, 2500.0.
  EXPECT_EQ(c1->nIntDigits, 4);
  EXPECT_EQ(c1->nDecimals, 1);

  const FloatColumnFormat* c2 = a.GetColumnFormat(2);
  ASSERT_NE(c2, nullptr);
  EXPECT_EQ(c2->nIntDigits, 2);  // the sign counts
  EXPECT_EQ(c2->nDecimals, 0);

  EXPECT_EQ(a.GetColumnFormat(3), nullptr);
  EXPECT_EQ(a.GetColumnFormat(-1), nullptr);
  EXPECT_EQ(a.m_nMaxDecimals, 1);
  EXPECT_EQ(a.m_nMaxIntDigits, 4);
}

TEST(FloatArrayText, ZeroInExponentFormCountsAsFixed) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("0e0"), 1);
  EXPECT_EQ(a.GetAt(0), 0.0f);
  EXPECT_EQ(a.GetColumnFormat(0)->cNotation, 'f');
  EXPECT_EQ(a.GetColumnFormat(0)->nDecimals, 1);  // written as 0.0
}

TEST(FloatArrayText, RejectsLinesWithWordsAndAppendsNothing) {
  CFloatArray a = Make({8});
  EXPECT_EQ(a.ConvertText("12 abc"), 0);
  EXPECT_EQ(a.ConvertText("12abc 3"), 0);
  EXPECT_EQ(a.ConvertText("Station 4 5"), 0);
  EXPECT_EQ(a.ConvertText("1 'x' 2"), 0);
  EXPECT_EQ(Values(a), (std::vector<float>{8}));
  EXPECT_EQ(a.GetColumnCount(), 0);
}

TEST(FloatArrayText, ReadsGAndDExponentsAndCapitals) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("1.5g2 2.5D-1 3E2"), 3);
  EXPECT_EQ(Values(a), (std::vector<float>{150.0f, 0.25f, 300.0f}));
  EXPECT_EQ(a.GetColumnFormat(0)->cNotation, 'g');
  EXPECT_EQ(a.GetColumnFormat(0)->nMaxExp, 2);
  EXPECT_EQ(a.GetColumnFormat(1)->cNotation, 'g');
  EXPECT_EQ(a.GetColumnFormat(1)->nMinExp, -1);
  EXPECT_EQ(a.GetColumnFormat(2)->cNotation, 'e');
}

TEST(FloatArrayText, AccumulatesColumnFormatsOverLines) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("1.5 20"), 2);
  ASSERT_EQ(a.ConvertText("-3.25\t4e-2"), 2);
  ASSERT_EQ(a.ConvertText("1.25e-4"), 1);
  EXPECT_EQ(Values(a), (std::vector<float>{1.5f, 20.0f, -3.25f, 0.04f, 1.25e-4f}));
  const FloatColumnFormat* c0 = a.GetColumnFormat(0);
  EXPECT_EQ(c0->nDecimals, 6);  // 1.25e-4 written out is 0.000125
  EXPECT_EQ(c0->nIntDigits, 2);
  EXPECT_EQ(c0->cNotation, 'e');
  const FloatColumnFormat* c1 = a.GetColumnFormat(1);
  EXPECT_EQ(c1->cNotation, 'e');
  EXPECT_EQ(c1->nMinExp, -2);
  EXPECT_EQ(c1->nMaxExp, 0);
  EXPECT_EQ(c1->nIntDigits, 2);
  EXPECT_EQ(c1->nDecimals, 2);  // 0.04
  EXPECT_EQ(a.m_nMaxDecimals, 6);
}

TEST(FloatArrayText, EmptyTextAppendsNothingAndAFieldThatIsNoNumberReadsAsZero) {
  CFloatArray a;
  EXPECT_EQ(a.ConvertText(nullptr), 0);
  EXPECT_EQ(a.ConvertText(""), 0);
  EXPECT_EQ(a.ConvertText(" ,;\t, "), 0);
  EXPECT_EQ(a.GetSize(), 0);
  ASSERT_EQ(a.ConvertText("5 # 6"), 3);
  EXPECT_EQ(Values(a), (std::vector<float>{5, 0, 6}));
}

TEST(FloatArrayText, ExponentsBeyondRangeGiveInfinityOrZero) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("1e999 -1e999 1e-999 2e40"), 4);
  EXPECT_EQ(Values(a), (std::vector<float>{kInf, -kInf, 0.0f, kInf}));
  EXPECT_EQ(a.GetColumnFormat(0)->nMaxExp, 999);
  EXPECT_EQ(a.GetColumnFormat(2)->nMinExp, -999);
  // Exponent integers too large for an int saturate.
  ASSERT_EQ(a.ConvertText("1e99999999999999999999 1e-99999999999999999999"), 2);
  EXPECT_EQ(a.GetAt(5), 0.0f);
  EXPECT_EQ(a.GetColumnFormat(0)->nMaxExp, INT_MAX);
  EXPECT_EQ(a.GetColumnFormat(1)->nMinExp, INT_MIN);
}

TEST(FloatArrayText, DigitCountsSaturateAtAByte) {
  CFloatArray a;
  const std::string tiny = "0." + std::string(300, '0') + "1";
  const std::string wide = std::string(300, '9');
  ASSERT_EQ(a.ConvertText((tiny + " " + wide).c_str()), 2);
  EXPECT_EQ(a.GetColumnFormat(0)->nDecimals, 255);
  EXPECT_EQ(a.GetColumnFormat(1)->nIntDigits, 255);
  EXPECT_EQ(a.m_nMaxIntDigits, 255);
  EXPECT_EQ(a.GetAt(1), kInf);
}

TEST(FloatArrayText, ParsesAVeryLongLine) {
  std::string line;
  for (int i = 0; i < 100000; ++i) line += "1.25,\t";
  CFloatArray a;
  ASSERT_EQ(a.ConvertText(line.c_str()), 100000);
  EXPECT_EQ(a.GetAt(0), 1.25f);
  EXPECT_EQ(a.GetAt(99999), 1.25f);
  EXPECT_EQ(a.GetColumnCount(), 100000);
}

TEST(FloatArrayText, ReadsThePointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  CFloatArray a;
  const int n = a.ConvertText("1.5 2.5e1");
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_EQ(n, 2);
  EXPECT_EQ(Values(a), (std::vector<float>{1.5f, 25.0f}));
}

// --- sorting ---

TEST(FloatArraySort, SortsAscendingWithFlag200AndDescendingOtherwise) {
  CFloatArray a = Make({3, 1, 2});
  EXPECT_EQ(a.Sort(200), 1);
  EXPECT_EQ(Values(a), (std::vector<float>{1, 2, 3}));
  CFloatArray b = Make({3, 1, 2});
  EXPECT_EQ(b.Sort(0), 1);
  EXPECT_EQ(Values(b), (std::vector<float>{3, 2, 1}));
  CFloatArray c = Make({3, 1, 2});
  EXPECT_EQ(c.Sort(0x1C8), 1);  // low byte 200
  EXPECT_EQ(Values(c), (std::vector<float>{1, 2, 3}));
}

TEST(FloatArraySort, SortDiscardsColumnFormats) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("2.25 1.5"), 2);
  EXPECT_EQ(a.Sort(200), 1);
  EXPECT_EQ(Values(a), (std::vector<float>{1.5f, 2.25f}));
  EXPECT_EQ(a.GetColumnFormat(0), nullptr);
  EXPECT_EQ(a.m_nMaxDecimals, 0);
}

TEST(FloatArraySort, SortOfOneValueDoesNothing) {
  CFloatArray a;
  ASSERT_EQ(a.ConvertText("2.25"), 1);
  EXPECT_EQ(a.Sort(200), 0);
  EXPECT_NE(a.GetColumnFormat(0), nullptr);
}

TEST(FloatArraySortIndex, GivesTheUnsortedIndexOfEachSortedValue) {
  CFloatArray a = Make({3, 1, 2});
  std::vector<std::uint16_t> out;
  EXPECT_EQ(a.SortIndex(out, 200), 1);
  EXPECT_EQ(out, (std::vector<std::uint16_t>{1, 2, 0}));
  EXPECT_EQ(Values(a), (std::vector<float>{3, 1, 2}));  // unchanged

  CFloatArray b = Make({1, 2, 3});
  EXPECT_EQ(b.SortIndex(out, 200), 0);
  EXPECT_EQ(out, (std::vector<std::uint16_t>{0, 1, 2}));
  EXPECT_EQ(b.SortIndex(out, 0), 1);
  EXPECT_EQ(out, (std::vector<std::uint16_t>{2, 1, 0}));
}

TEST(FloatArraySortIndex, ValuesEqualToSixDigitsShareTheFirstIndex) {
  CFloatArray a = Make({2.0f, 1.0f, 2.0000001f, -0.0f, 0.0f});
  std::vector<std::uint16_t> out;
  EXPECT_EQ(a.SortIndex(out, 1), 1);  // descending: 2, 2, 1, 0, 0
  EXPECT_EQ(out, (std::vector<std::uint16_t>{0, 0, 1, 3, 3}));
}

TEST(FloatArraySortIndex, NaNFindsItsOwnIndexAndOneValueLeavesTheOutputAlone) {
  CFloatArray a = Make({std::nanf(""), 1.0f});
  std::vector<std::uint16_t> out;
  EXPECT_EQ(a.SortIndex(out, 200), 1);
  EXPECT_EQ(out, (std::vector<std::uint16_t>{1, 0}));
  CFloatArray one = Make({5});
  EXPECT_EQ(one.SortIndex(out, 200), 0);
  EXPECT_EQ(out, (std::vector<std::uint16_t>{1, 0}));
}

TEST(FloatArraySortIndex, RefusesMoreValuesThanWordIndicesHold) {
  CFloatArray a;
  a.SetSize(65535);
  for (int i = 0; i < 65535; ++i) a.SetAt(i, static_cast<float>(i));
  std::vector<std::uint16_t> out;
  EXPECT_EQ(a.SortIndex(out, 200), 0);  // already ascending: nothing moves
  ASSERT_EQ(out.size(), 65535u);
  EXPECT_EQ(out[65534], 65534);
  a.Add(1.0f);
  EXPECT_THROW(a.SortIndex(out, 200), std::length_error);
}

// --- archive ---

std::vector<std::uint8_t> Store(CFloatArray& a, bool raw) {
  Archive ar = Archive::ForStore();
  if (raw) {
    a.SerializeRaw(ar);
  } else {
    a.Serialize(ar);
  }
  return ar.StoredBytes();
}

TEST(FloatArrayArchive, StoresA16BitCountThenLittleEndianSingles) {
  CFloatArray a = Make({1.0f, -2.5f});
  // 1.0f is 0x3F800000 and -2.5f is 0xC0200000.
  const std::vector<std::uint8_t> expected{0x02, 0x00, 0x00, 0x00, 0x80,
                                           0x3F, 0x00, 0x00, 0x20, 0xC0};
  EXPECT_EQ(Store(a, false), expected);
}

TEST(FloatArrayArchive, RawFormStoresA32BitCount) {
  CFloatArray a = Make({1.0f});
  const std::vector<std::uint8_t> expected{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F};
  EXPECT_EQ(Store(a, true), expected);
}

TEST(FloatArrayArchive, RoundTripReplacesTheLoadedArraysValues) {
  CFloatArray a = Make({1.5f, -7.25f, 1e30f, kInf});
  for (bool raw : {false, true}) {
    Archive in = Archive::FromBytes(Store(a, raw));
    CFloatArray b = Make({9, 9, 9, 9, 9, 9});
    if (raw) {
      b.SerializeRaw(in);
    } else {
      b.Serialize(in);
    }
    EXPECT_EQ(Values(b), Values(a));
    EXPECT_TRUE(in.AtEnd());
  }
}

TEST(FloatArrayArchive, CountAbove65535WritesItsLow16BitsAndThatManyValues) {
  CFloatArray a;
  a.SetSize(65537);
  a.SetAt(0, 4.0f);
  const std::vector<std::uint8_t> bytes = Store(a, false);
  ASSERT_EQ(bytes.size(), 6u);  // count 1, then one value: the stream stays readable
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[1], 0x00);
  Archive in = Archive::FromBytes(bytes);
  CFloatArray b;
  b.Serialize(in);
  EXPECT_EQ(Values(b), (std::vector<float>{4.0f}));
}

TEST(FloatArrayArchive, RawFormKeepsMoreThan65535Values) {
  CFloatArray a;
  a.SetSize(70000);
  a.SetAt(69999, 3.0f);
  Archive in = Archive::FromBytes(Store(a, true));
  CFloatArray b;
  b.SerializeRaw(in);
  EXPECT_EQ(b.GetSize(), 70000);
  EXPECT_EQ(b.GetAt(69999), 3.0f);
}

TEST(FloatArrayArchive, TruncatedLoadThrowsAndLeavesTheArrayEmpty) {
  // Count 3 but only two values.
  Archive in = Archive::FromBytes({0x03, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F});
  CFloatArray a = Make({5, 6});
  EXPECT_THROW(a.Serialize(in), tessmor::ArchiveException);
  EXPECT_EQ(a.GetSize(), 0);

  Archive no_count = Archive::FromBytes({0x03});
  CFloatArray b = Make({5});
  EXPECT_THROW(b.Serialize(no_count), tessmor::ArchiveException);
  EXPECT_EQ(b.GetSize(), 0);
}

TEST(FloatArrayArchive, HugeRawCountWithLittleDataThrows) {
  Archive in = Archive::FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F});
  CFloatArray a = Make({5});
  EXPECT_THROW(a.SerializeRaw(in), tessmor::ArchiveException);
  EXPECT_EQ(a.GetSize(), 0);
}

}  // namespace
