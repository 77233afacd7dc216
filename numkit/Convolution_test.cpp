#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numkit/numkit.h"

namespace {

/// A response given by its lags: lag 0 and the positive lags first, then the negative lags
/// from the most negative to −1 (the wrap-around order convlv takes).
struct Response {
  std::vector<float> entries;  // entries[1 … m]
  int firstNegative;           // index of the first negative lag
  int Lag(int index) const {
    return index < firstNegative ? index - 1 : index - static_cast<int>(entries.size());
  }
};

Response ThreeOrMorePoints(std::vector<float> wrapped) {
  wrapped.insert(wrapped.begin(), 0.0f);
  const int m = static_cast<int>(wrapped.size()) - 1;
  return {wrapped, (m + 1) / 2 + 1};
}

/// ans[i] = Σ r(lag) data[i − lag], indices modulo n: the definition, summed directly.
std::vector<double> DirectCircular(const std::vector<float>& data, const Response& r) {
  const int n = static_cast<int>(data.size()) - 1;
  std::vector<double> ans(n + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    for (int k = 1; k < static_cast<int>(r.entries.size()); ++k) {
      const int source = ((i - 1 - r.Lag(k)) % n + n) % n + 1;
      ans[i] += r.entries[k] * data[source];
    }
  }
  return ans;
}

std::vector<float> Convolve(std::vector<float> data, Response r, int isign, float fill = 0.0f) {
  const unsigned long n = data.size() - 1;
  std::vector<float> ans(2 * n + 1, fill);
  convlv(data.data(), n, r.entries.data(), r.entries.size() - 1, isign, ans.data());
  return ans;
}

std::vector<float> Series(int n, double (*f)(int)) {
  std::vector<float> data(n + 1, 0.0f);
  for (int i = 1; i <= n; ++i) data[i] = static_cast<float>(f(i));
  return data;
}

}  // namespace

TEST(Convolution, EqualsTheDirectCircularSum) {
  // An asymmetric response, so that a reversed or shifted layout would show.
  const Response r = ThreeOrMorePoints({0.5f, -1.25f, 2.0f, 0.75f, 3.0f});  // lags 0 1 2 −2 −1
  for (int n : {16, 12, 7}) {  // a power of two and two others
    const auto data = Series(n, [](int i) { return std::sin(0.7 * i) + 0.1 * i; });
    const auto fast = Convolve(data, r, 1);
    const auto direct = DirectCircular(data, r);
    for (int i = 1; i <= n; ++i) EXPECT_NEAR(fast[i], direct[i], 1e-5) << "n " << n << " i " << i;
  }
}

TEST(Convolution, SecondDerivativeFilterGivesOneOnASquareAndZeroOnALine) {
  std::vector<float> c(10, 0.0f);
  savgol(c.data(), 9, 4, 4, 2, 4);
  const Response filter{c, 6};
  const int n = 64;
  const auto square = Convolve(Series(n, [](int i) { return (i - 30.0) * (i - 30.0); }), filter, 1);
  const auto line = Convolve(Series(n, [](int i) { return 3.0 - 0.25 * i; }), filter, 1);
  // Away from the ends (where the circular sum wraps) the filter sees the exact polynomial.
  for (int i = 5; i <= n - 4; ++i) {
    EXPECT_NEAR(square[i], 1.0, 1e-4) << i;  // a₂ of (x − 30)² is 1
    EXPECT_NEAR(line[i], 0.0, 1e-5) << i;
  }
}

TEST(Convolution, DeconvolutionUndoesConvolution) {
  // Transfer 1 + 0.3 e^(−iω) + 0.2 e^(iω) has modulus ≥ 0.5: it never vanishes.
  const Response r = ThreeOrMorePoints({1.0f, 0.3f, 0.2f});
  const auto data = Series(32, [](int i) { return std::cos(0.3 * i) * i; });
  auto blurred = Convolve(data, r, 1);
  blurred.resize(33);
  const auto restored = Convolve(blurred, r, -1);
  for (int i = 1; i <= 32; ++i) EXPECT_NEAR(restored[i], data[i], 1e-4) << i;
}

TEST(Convolution, LeavesTheAnswerAloneWhenAResponseZeroWouldBeDividedBy) {
  // 0.5 + 0.25 (e^(iω) + e^(−iω)) vanishes at the Nyquist frequency ω = π.
  const Response r = ThreeOrMorePoints({0.5f, 0.25f, 0.25f});
  const auto ans = Convolve(Series(16, [](int i) { return 1.0 * i; }), r, -1, 42.0f);
  for (int i = 1; i <= 32; ++i) EXPECT_EQ(ans[i], 42.0f) << i;
}

TEST(Convolution, WritesOnlyTheFirstHalfOfTheAnswerAndRefusesBadCalls) {
  const Response r = ThreeOrMorePoints({1.0f, 0.5f, 0.5f});
  auto data = Series(8, [](int i) { return 1.0 * i; });
  const auto ans = Convolve(data, r, 1, 42.0f);
  for (int i = 9; i <= 16; ++i) EXPECT_EQ(ans[i], 42.0f) << i;
  EXPECT_EQ(ans[0], 42.0f);

  std::vector<float> untouched(17, 42.0f);
  std::vector<float> longResponse(10, 1.0f);
  convlv(data.data(), 8, longResponse.data(), 9, 1, untouched.data());  // m > n
  convlv(data.data(), 8, longResponse.data(), 0, 1, untouched.data());  // m = 0
  convlv(data.data(), 8, longResponse.data(), 3, 0, untouched.data());  // isign not ±1
  convlv(nullptr, 8, longResponse.data(), 3, 1, untouched.data());
  for (float v : untouched) EXPECT_EQ(v, 42.0f);
}
