#include "util/DateTime.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace {

// Empties `out` when it has room for the terminator; returns 0.
int Refuse(char* out, std::size_t out_size) {
  if (out && out_size > 0) out[0] = '\0';
  return 0;
}

bool LocalNow(std::tm& now) {
  const std::time_t t = std::time(nullptr);
  return localtime_r(&t, &now) != nullptr;
}

}  // namespace

int FormatDate(int day, int month, int year, char* out, std::size_t out_size) {
  if (!out || out_size < kDateTextSize || day < 1 || day > 31 || month < 1 || month > 12 ||
      year < 0 || year > 99) {
    return Refuse(out, out_size);
  }
  const char* century = year >= 91 ? "19" : "20";
  return std::snprintf(out, out_size, "%02d-%02d-%s%02d", day, month, century, year);
}

int FormatTime(int hours, int minutes, int seconds, char* out, std::size_t out_size) {
  if (!out || out_size < kTimeTextSize || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 ||
      seconds < 0 || seconds > 60) {
    return Refuse(out, out_size);
  }
  return std::snprintf(out, out_size, "%02d:%02d:%02d", hours, minutes, seconds);
}

int CurrentDate(char* out, std::size_t out_size) {
  std::tm now{};
  if (!LocalNow(now)) return Refuse(out, out_size);
  return FormatDate(now.tm_mday, now.tm_mon + 1, (now.tm_year % 100 + 100) % 100, out, out_size);
}

int CurrentTime(char* out, std::size_t out_size) {
  std::tm now{};
  if (!LocalNow(now)) return Refuse(out, out_size);
  return FormatTime(now.tm_hour, now.tm_min, now.tm_sec, out, out_size);
}

float ToDecimalTime(int hours, int minutes) { return static_cast<float>(hours + minutes / 60.0); }

void ToIntegerTime(const float* decimal_hours, int* hours, int* minutes) {
  int h = 0;
  int m = 0;
  if (decimal_hours && std::isfinite(*decimal_hours) && std::fabs(*decimal_hours) <= 1e7f) {
    // A thousandth comes off before rounding up: the single-precision error of a time on a
    // whole hundredth of an hour (0.05 h, 3 minutes) would otherwise add a minute. Times
    // made from whole minutes lie 0, 1/3 or 2/3 past a hundredth, far beyond the thousandth.
    const double v = std::ceil(static_cast<double>(*decimal_hours) * 100.0 - 0.001);
    h = static_cast<int>(v + 0.5) / 100;
    m = static_cast<int>((v - h * 100) * static_cast<double>(0.6f) + 0.5);
  }
  if (hours) *hours = h;
  if (minutes) *minutes = m;
}

int SquashTime(int hours, int minutes) {
  const long long packed = 100LL * hours + minutes;
  if (packed > INT_MAX) return INT_MAX;
  if (packed < INT_MIN) return INT_MIN;
  return static_cast<int>(packed);
}

void ExpandTime(int packed, int* hours, int* minutes) {
  const unsigned value = static_cast<std::uint16_t>(packed);
  int h = static_cast<int>(value / 100);
  int m = static_cast<int>(value % 100);
  if (m >= 60) {
    ++h;
    m -= 60;
  }
  if (hours) *hours = h;
  if (minutes) *minutes = m;
}

int TimeDiff(int from, int to) {
  int h1 = 0, m1 = 0, h2 = 0, m2 = 0;
  ExpandTime(from, &h1, &m1);
  ExpandTime(to, &h2, &m2);
  return (h2 - h1) * 60 + m2 - m1;
}
