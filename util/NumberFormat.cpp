#include "util/NumberFormat.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

constexpr double kPi = 3.141592654;

// Significant digits of the fixed-decimal conversion: what a double carries reliably, so
// that the representation error of a sum such as 1.005 + 0.005 does not show.
constexpr int kFixedDigits = 15;

// The decimal digits of a value: 0.d0 d1 d2 ... times 10^(exponent + 1), i.e. the first
// digit stands for 10^exponent. A zero has exponent -1 and no digits other than 0.
struct DecimalDigits {
  char digits[kFixedDigits];
  int exponent;
  bool negative;

  char At(int i) const { return (i >= 0 && i < kFixedDigits) ? digits[i] : '0'; }
};

// Rounds a finite `r` to kFixedDigits significant digits.
DecimalDigits ToDecimalDigits(double r) {
  DecimalDigits d;
  d.negative = std::signbit(r);
  std::memset(d.digits, '0', sizeof d.digits);
  d.exponent = -1;
  if (r == 0.0) return d;
  // "%.14e" gives "[-]D.DDDDDDDDDDDDDDe[+-]XXX": at most 1 + 1 + 1 + 14 + 2 + 3 characters.
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.*e", kFixedDigits - 1, std::fabs(r));
  const char* p = buf;
  int n = 0;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9' && n < kFixedDigits) d.digits[n++] = *p;
  }
  if (*p == 'e') d.exponent = std::atoi(p + 1);
  return d;
}

// Equality to `digits` significant digits: the "e"-style conversions of both values (sign,
// mantissa digits, exponent) are the same text. Zeros of either sign are equal; NaN equals
// nothing.
int SameToDigits(double a, double b, int digits) {
  if (std::isnan(a) || std::isnan(b)) return 0;
  if (a == b) return 1;
  char ta[48];
  char tb[48];
  std::snprintf(ta, sizeof ta, "%.*e", digits - 1, a);
  std::snprintf(tb, sizeof tb, "%.*e", digits - 1, b);
  return std::strcmp(ta, tb) == 0 ? 1 : 0;
}

// An integral double as an int: clamped to the 32-bit range, NaN as 0.
int ClampToInt(double integral) {
  if (std::isnan(integral)) return 0;
  if (integral >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (integral <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(integral);
}

// Copies `text` into the caller's buffer when it fits with its terminator.
int CopyOut(const std::string& text, char* out, std::size_t out_size) {
  if (!out) return 0;
  if (text.empty() || text.size() + 1 > out_size) {
    if (out_size > 0) out[0] = '\0';
    return 0;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return -static_cast<int>(text.size());
}

// Rounds `value` to a step of 1/p in single precision: floor(p * value + 0.5) / p, or with
// `halves_away_below_zero` ceil(p * value - 0.5) / p for a negative value. A value that is
// not finite, or too large to scale, is kept.
float RoundScaled(float value, float p, bool halves_away_below_zero) {
  if (!std::isfinite(value)) return value;
  const float scaled = p * value;
  if (!std::isfinite(scaled)) return value;
  double rounded;
  if (halves_away_below_zero && value < 0.0f) {
    rounded = std::ceil(scaled - 0.5);
  } else {
    rounded = std::floor(scaled + 0.5);
  }
  return static_cast<float>(rounded / p);
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxFixedDecimals) return {};
  if (std::isnan(value)) return " nan";
  if (std::isinf(value)) return value < 0.0 ? "-inf" : " inf";

  // Bias by half a unit of the last decimal so that truncation rounds halves away from
  // zero; zero itself takes the negative bias.
  const double half = 0.5 / std::pow(10.0, decimals);
  const bool negative_bias = !(value >= 1e-15);
  const double r = negative_bias ? value - half : value + half;
  const DecimalDigits d = ToDecimalDigits(r);

  std::string text;
  if (d.exponent < 0) {
    // |r| < 1: "0" and the decimals; without decimals the whole text is "0".
    if (decimals == 0) return "0";
    bool all_zero = true;
    std::string frac;
    frac.reserve(static_cast<std::size_t>(decimals));
    for (int i = 1; i <= decimals; ++i) {
      const char c = d.At(d.exponent + i);
      if (c != '0') all_zero = false;
      frac.push_back(c);
    }
    // A negative value that shows only zeros loses its minus sign and its sign place.
    const bool minus = r < 0.0 || (r == 0.0 && negative_bias);
    if (minus && all_zero) {
      text = "0.";
    } else {
      text = minus ? "-0." : " 0.";
    }
    text += frac;
    return text;
  }

  text.reserve(static_cast<std::size_t>(d.exponent) + static_cast<std::size_t>(decimals) + 3);
  text.push_back(r < 0.0 ? '-' : ' ');
  for (int i = 0; i <= d.exponent; ++i) text.push_back(d.At(i));
  if (decimals > 0) {
    text.push_back('.');
    for (int i = 1; i <= decimals; ++i) text.push_back(d.At(d.exponent + i));
  }
  return text;
}

int ftoadS(double value, char* out, int decimals, std::size_t out_size) {
  return CopyOut(FormatFixed(value, decimals), out, out_size);
}

int ftoad(const double* value, char* out, const int* decimals, std::size_t out_size) {
  if (!value || !decimals) return CopyOut(std::string(), out, out_size);
  return ftoadS(*value, out, *decimals, out_size);
}

int ftoa(const float* value, char* out, const int* decimals, std::size_t out_size) {
  if (!value || !decimals) return CopyOut(std::string(), out, out_size);
  return ftoadS(static_cast<double>(*value), out, *decimals, out_size);
}

int nintd(double x) { return ClampToInt(std::floor(x + 0.5)); }

int nintf(float x) { return ClampToInt(std::floor(static_cast<double>(x) + 0.5)); }

int RoundUp(double x) { return ClampToInt(x < 0.0 ? std::floor(x) : std::ceil(x)); }

int AreSamef(float a, float b) {
  return SameToDigits(static_cast<double>(a), static_cast<double>(b), 6);
}

int AreSamed(double a, double b) { return SameToDigits(a, b, 10); }

int AreDecimalPlaces(float x) {
  const double v = static_cast<double>(x);
  const double mag = std::fabs(v);
  const double f = mag - std::floor(mag);
  if (!(f >= 0.0001 && f <= 0.998)) return 0;
  return AreSamed(v, std::floor(v)) ? 0 : 1;
}

int IsZero(float x) {
  const float zero = 0.0f;
  return std::memcmp(&x, &zero, sizeof x) == 0 ? 1 : 0;
}

int IsZerol(double x) {
  const double zero = 0.0;
  return std::memcmp(&x, &zero, sizeof x) == 0 ? 1 : 0;
}

double Rad(double deg) { return deg * kPi / 180.0; }

double Deg(double rad) { return rad * 180.0 / kPi; }

void SortFloatArray(float* values, int count, unsigned char order) {
  if (!values || count < 2) return;
  float* end = values + count;
  // NaNs first go to the end, so that the comparison below sees a strict weak order.
  float* numbers_end = std::partition(values, end, [](float v) { return !std::isnan(v); });
  if (order == 200) {
    std::sort(values, numbers_end, std::less<float>());
  } else {
    std::sort(values, numbers_end, std::greater<float>());
  }
}

void RoundVec(PMVECTOR* v, int decimals) {
  if (!v) return;
  decimals = std::clamp(decimals, -38, 38);
  const float p = static_cast<float>(std::pow(10.0, decimals));
  float dec = RoundScaled(v->dec, p, false);
  if (std::isfinite(dec) && dec > 360.0f) {
    // The same as subtracting 360 while the value exceeds 360, for values of any size.
    dec = static_cast<float>(std::fmod(static_cast<double>(dec), 360.0));
    if (dec == 0.0f) dec = 360.0f;
  }
  v->dec = dec;
  v->inc = RoundScaled(v->inc, p, true);
}
