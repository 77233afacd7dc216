#include "util/DateTime.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

namespace {

std::string Date(int day, int month, int year) {
  char buf[kDateTextSize];
  const int n = FormatDate(day, month, year, buf, sizeof buf);
  EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
  return buf;
}

std::tm Today() {
  const std::time_t t = std::time(nullptr);
  std::tm now{};
  localtime_r(&t, &now);
  return now;
}

// --- dates ---

TEST(FormatDate, WritesDayMonthAndAFourDigitYear) {
  EXPECT_EQ(Date(5, 3, 24), "05-03-2024");
  EXPECT_EQ(Date(31, 12, 99), "31-12-1999");
  EXPECT_EQ(Date(1, 1, 0), "01-01-2000");
}

TEST(FormatDate, PutsYears91To99InTheTwentiethCentury) {
  EXPECT_EQ(Date(15, 6, 90), "15-06-2090");
  EXPECT_EQ(Date(15, 6, 91), "15-06-1991");
}

TEST(FormatDate, RefusesImpossibleDatesAndShortBuffers) {
  char buf[kDateTextSize] = "x";
  EXPECT_EQ(FormatDate(1, 13, 24, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(FormatDate(0, 1, 24, buf, sizeof buf), 0);
  EXPECT_EQ(FormatDate(1, 1, 100, buf, sizeof buf), 0);
  char small[kDateTextSize - 1] = "x";
  EXPECT_EQ(FormatDate(1, 1, 24, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(FormatDate(1, 1, 24, nullptr, 20), 0);
}

TEST(CurrentDate, WritesTodaysDate) {
  const std::tm before = Today();
  char buf[kDateTextSize];
  ASSERT_EQ(CurrentDate(buf, sizeof buf), 10);
  const std::tm after = Today();
  // The day may turn while the test runs: either side of midnight will do.
  const std::string expected_before = Date(before.tm_mday, before.tm_mon + 1, before.tm_year % 100);
  const std::string expected_after = Date(after.tm_mday, after.tm_mon + 1, after.tm_year % 100);
  EXPECT_TRUE(buf == expected_before || buf == expected_after) << buf;
  EXPECT_EQ(std::string(buf).substr(6, 2), "20");  // this century, until 2091
}

// --- clock times ---

TEST(FormatTime, WritesTwoDigitFieldsOnA24HourClock) {
  char buf[kTimeTextSize];
  ASSERT_EQ(FormatTime(7, 5, 9, buf, sizeof buf), 8);
  EXPECT_STREQ(buf, "07:05:09");
  ASSERT_EQ(FormatTime(23, 59, 60, buf, sizeof buf), 8);
  EXPECT_STREQ(buf, "23:59:60");
  EXPECT_EQ(FormatTime(24, 0, 0, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
}

TEST(CurrentTime, WritesTheTimeAsHoursMinutesAndSeconds) {
  char buf[kTimeTextSize];
  ASSERT_EQ(CurrentTime(buf, sizeof buf), 8);
  EXPECT_EQ(buf[2], ':');
  EXPECT_EQ(buf[5], ':');
  for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(buf[i])));
  EXPECT_LE(std::atoi(buf), 23);
  char small[4];
  EXPECT_EQ(CurrentTime(small, sizeof small), 0);
}

TEST(TimeDiff, CountsMinutesBetweenPackedTimes) {
  EXPECT_EQ(TimeDiff(1045, 1130), 45);
  EXPECT_EQ(TimeDiff(1130, 1045), -45);
  EXPECT_EQ(TimeDiff(0, 2359), 23 * 60 + 59);
  EXPECT_EQ(TimeDiff(1075, 1115), 0);  // 10:75 is 11:15
}

TEST(ExpandTime, UnpacksAndCarriesMinutesOfSixtyOrMore) {
  int h = -1, m = -1;
  ExpandTime(1045, &h, &m);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(m, 45);
  ExpandTime(1075, &h, &m);
  EXPECT_EQ(h, 11);
  EXPECT_EQ(m, 15);
  ExpandTime(-1, &h, &m);  // read as the unsigned 16-bit 65535
  EXPECT_EQ(h, 655);
  EXPECT_EQ(m, 35);
  ExpandTime(1045, nullptr, nullptr);
}

TEST(SquashTime, PacksHoursAndMinutes) {
  EXPECT_EQ(SquashTime(10, 45), 1045);
  EXPECT_EQ(SquashTime(0, 5), 5);
  EXPECT_EQ(SquashTime(30000000, 0), std::numeric_limits<int>::max());
}

TEST(DecimalTime, GivesEveryClockTimeBack) {
  // 3 minutes is 0.05 h, which single precision holds a little high: rounding that up to
  // the next hundredth of an hour would make it 4 minutes.
  for (int h = 0; h < 24; ++h) {
    for (int m = 0; m < 60; ++m) {
      const float t = ToDecimalTime(h, m);
      int hh = -1, mm = -1;
      ToIntegerTime(&t, &hh, &mm);
      ASSERT_EQ(hh, h) << h << ":" << m;
      ASSERT_EQ(mm, m) << h << ":" << m;
    }
  }
}

TEST(DecimalTime, ConvertsHalfAndQuarterHours) {
  EXPECT_EQ(ToDecimalTime(10, 30), 10.5f);
  EXPECT_EQ(ToDecimalTime(7, 15), 7.25f);
  const float t = 13.75f;
  int h = 0, m = 0;
  ToIntegerTime(&t, &h, &m);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(m, 45);
}

TEST(DecimalTime, GivesZeroForTimesThatAreNotFinite) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float huge = 1e30f;
  int h = 5, m = 5;
  ToIntegerTime(&nan, &h, &m);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(m, 0);
  h = m = 5;
  ToIntegerTime(&huge, &h, &m);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(m, 0);
  ToIntegerTime(nullptr, &h, &m);
  EXPECT_EQ(h, 0);
}

}  // namespace
