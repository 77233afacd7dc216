// Generates dirstats/FisherTables.cpp: the precision table of the Fisher k estimate and the
// small-k critical values of the mean resultant length. With --check it compares the tables
// with independent results (published critical values, closed forms, a seeded simulation).
//
//   generate_fisher_tables [--out FILE] [--check] [--replicates M]
//
// The mathematics is written out in tools/fisher_tables/README.md.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// The Langevin function L(k) = coth k - 1/k, the mean cosine of a Fisher direction with
// precision k, and its inverse.

double Langevin(double k) {
  if (k < 1e-3) return k / 3.0 - k * k * k / 45.0;  // the next term, 2k^5/945, is below 1e-18
  return 1.0 / std::tanh(k) - 1.0 / k;
}

// k with L(k) = r, for 0 <= r < 1, by bisection (L rises from 0 to 1).
double InverseLangevin(double r) {
  if (r <= 0.0) return 0.0;
  double lo = 0.0;
  double hi = 1.0;
  while (Langevin(hi) < r) hi *= 2.0;
  for (int i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
    const double mid = 0.5 * (lo + hi);
    (Langevin(mid) < r ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// Three decimals below 10, four significant figures from 10 up.
double RoundPrecision(double k) {
  if (k < 10.0) return std::round(k * 1000.0) / 1000.0;
  const double scale = std::pow(10.0, std::floor(std::log10(k)) - 3.0);
  return std::round(k / scale) * scale;
}

struct Band {
  const char* name;
  double first;
  double step;
  int count;
};

constexpr std::array<Band, 5> kBands = {{{"0", 0.0, 0.001, 11},
                                         {"1", 0.01, 0.005, 67},
                                         {"2", 0.34, 0.01, 57},
                                         {"3", 0.90, 0.005, 19},
                                         {"4", 0.99, 0.001, 10}}};

// ---------------------------------------------------------------------------------------------
// Gauss-Legendre quadrature nodes and weights on [-1, 1], by Newton's method on P_n.

struct GaussLegendre {
  std::vector<double> x;
  std::vector<double> w;
};

GaussLegendre MakeGaussLegendre(int n) {
  GaussLegendre g;
  g.x.resize(n);
  g.w.resize(n);
  for (int i = 0; i < n; ++i) {
    double z = std::cos(M_PI * (i + 0.75) / (n + 0.5));
    double dp = 0.0;
    for (int iter = 0; iter < 100; ++iter) {
      double p0 = 1.0;
      double p1 = z;
      for (int j = 2; j <= n; ++j) {
        const double p2 = ((2.0 * j - 1.0) * z * p1 - (j - 1.0) * p0) / j;
        p0 = p1;
        p1 = p2;
      }
      dp = n * (z * p1 - p0) / (z * z - 1.0);
      const double dz = p1 / dp;
      z -= dz;
      if (std::fabs(dz) < 1e-16) break;
    }
    g.x[i] = z;
    g.w[i] = 2.0 / ((1.0 - z * z) * dp * dp);
  }
  return g;
}

const GaussLegendre& Quadrature() {
  static const GaussLegendre g = MakeGaussLegendre(40);
  return g;
}

template <typename F>
double Integrate(const F& f, double a, double b) {
  const GaussLegendre& g = Quadrature();
  const double half = 0.5 * (b - a);
  const double mid = 0.5 * (a + b);
  double sum = 0.0;
  for (std::size_t i = 0; i < g.x.size(); ++i) sum += g.w[i] * f(mid + half * g.x[i]);
  return sum * half;
}

// ---------------------------------------------------------------------------------------------
// Exact distribution of the resultant length R of N Fisher directions of precision k (N <= a
// few hundred).
//
// The projection of a uniform direction on any axis is uniform on [-1, 1], so the projection
// Z of the resultant of N uniform directions has the density h of a sum of N uniforms on
// [-1, 1] (a cardinal B-spline), and, the resultant being isotropic, its length has the
// density f0(R) = -2 R h'(R). Weighting by the Fisher density multiplies the joint density of
// the resultant vector by (k / sinh k)^N exp(k mu.S); averaged over the directions of S at
// fixed length this gives f_k(R) = (k / sinh k)^N sinh(kR) / (kR) f0(R).

class ExactResultant {
 public:
  explicit ExactResultant(int n) : n_(n), work_(n + 2), next_(n + 2) {}

  // -h'(R) for the sum of N uniforms on [-1, 1]: (M(x - 1) - M(x)) / 4 with x = (R + N) / 2
  // and M the cardinal B-spline of order N - 1 (the density of a sum of N - 1 uniforms on
  // [0, 1]), evaluated by its positive recurrence.
  double MinusDerivative(double r) {
    const int order = n_ - 1;
    const double x = 0.5 * (r + n_);
    // work_[i] = M_j(x - i) for i = 0 .. order + 1.
    std::fill(work_.begin(), work_.end(), 0.0);
    for (int i = 0; i <= order + 1; ++i) {
      const double t = x - i;
      work_[i] = (t >= 0.0 && t < 1.0) ? 1.0 : 0.0;
    }
    for (int j = 2; j <= order; ++j) {
      for (int i = 0; i <= order; ++i) {
        const double t = x - i;
        next_[i] = (t * work_[i] + (j - t) * work_[i + 1]) / (j - 1);
      }
      next_[order + 1] = 0.0;
      std::swap(work_, next_);
    }
    return std::max(0.0, 0.25 * (work_[1] - work_[0]));
  }

  // The density of R for precision k.
  double Density(double r, double k) {
    const double mh = MinusDerivative(r);
    if (mh <= 0.0 || r <= 0.0) return 0.0;
    if (k == 0.0) return 2.0 * r * mh;
    const double log_c = n_ * (std::log(k) - LogSinh(k));
    return std::exp(std::log(2.0 / k) + log_c + LogSinh(k * r) + std::log(mh));
  }

  // The pieces of [0, N] on which the density is smooth: the knots R = N - 2j.
  std::vector<double> Knots() const {
    std::vector<double> knots{0.0};
    for (int j = n_ / 2; j >= 0; --j) {
      const double r = n_ - 2.0 * j;
      if (r > 0.0) knots.push_back(r);
    }
    return knots;
  }

  double Total(double k) {
    const std::vector<double> knots = Knots();
    double total = 0.0;
    for (std::size_t i = 0; i + 1 < knots.size(); ++i) {
      total += Integrate([&](double r) { return Density(r, k); }, knots[i], knots[i + 1]);
    }
    return total;
  }

  // The resultant length G with P(R <= G) = p.
  double Quantile(double k, double p) {
    const std::vector<double> knots = Knots();
    double below = 0.0;
    for (std::size_t i = 0; i + 1 < knots.size(); ++i) {
      const double a = knots[i];
      const double b = knots[i + 1];
      const double piece = Integrate([&](double r) { return Density(r, k); }, a, b);
      if (below + piece < p && i + 2 < knots.size()) {
        below += piece;
        continue;
      }
      // Safeguarded Newton on F(x) = below + integral from a to x, inside [a, b].
      double lo = a;
      double hi = b;
      double x = 0.5 * (a + b);
      for (int iter = 0; iter < 100; ++iter) {
        const double fx = below + Integrate([&](double r) { return Density(r, k); }, a, x) - p;
        if (fx < 0.0) {
          lo = x;
        } else {
          hi = x;
        }
        const double d = Density(x, k);
        double nx = d > 0.0 ? x - fx / d : 0.5 * (lo + hi);
        if (!(nx > lo && nx < hi)) nx = 0.5 * (lo + hi);
        if (std::fabs(nx - x) < 1e-13 * std::max(1.0, x)) return nx;
        x = nx;
      }
      return x;
    }
    return n_;
  }

 private:
  static double LogSinh(double y) {
    if (y < 20.0) return std::log(std::sinh(y));
    return y + std::log1p(-std::exp(-2.0 * y)) - std::log(2.0);
  }

  int n_;
  std::vector<double> work_;
  std::vector<double> next_;
};

// ---------------------------------------------------------------------------------------------
// Large N: the same identity, written through the projection Z of the resultant on the true
// mean direction, P(R <= G) = H(G) - H(-G) - (h(G) - h(-G)) / k (k > 0) and
// 2 H(G) - 1 - 2 G h(G) (k = 0), where H and h are the distribution and density of Z, a sum
// of N independent cosines of Fisher directions. Z is taken as normal with its first
// Edgeworth (skewness) correction; the cumulants of one cosine are the derivatives of
// log(sinh k / k): L(k), L'(k) and L''(k).

struct Cumulants {
  double mean;
  double variance;
  double third;
};

Cumulants CosineCumulants(double k) {
  if (k < 1e-3) return {k / 3.0, 1.0 / 3.0 - k * k / 15.0, -2.0 * k / 15.0};
  const double s = std::sinh(k);
  return {Langevin(k), 1.0 / (k * k) - 1.0 / (s * s),
          -2.0 / (k * k * k) + 2.0 * std::cosh(k) / (s * s * s)};
}

double LargeNDistribution(double n, double k, double g) {
  const Cumulants c = CosineCumulants(k);
  const double sd = std::sqrt(n * c.variance);
  const double lambda = c.third / std::pow(c.variance, 1.5) / (6.0 * std::sqrt(n));
  auto phi = [](double x) { return std::exp(-0.5 * x * x) / std::sqrt(2.0 * M_PI); };
  auto cdf = [&](double z) {
    const double x = (z - n * c.mean) / sd;
    return 0.5 * std::erfc(-x / std::sqrt(2.0)) - lambda * (x * x - 1.0) * phi(x);
  };
  auto pdf = [&](double z) {
    const double x = (z - n * c.mean) / sd;
    return phi(x) * (1.0 + lambda * (x * x * x - 3.0 * x)) / sd;
  };
  const double big_g = g * n;
  if (k == 0.0) return 2.0 * cdf(big_g) - 1.0 - 2.0 * big_g * pdf(big_g);
  return cdf(big_g) - cdf(-big_g) - (pdf(big_g) - pdf(-big_g)) / k;
}

double LargeNQuantile(double n, double k, double p) {
  double lo = 0.0;
  double hi = 1.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    (LargeNDistribution(n, k, mid) < p ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// ---------------------------------------------------------------------------------------------
// The tables.

constexpr std::array<int, 15> kRowsN = {4, 5, 6, 7, 8, 9, 10, 12, 16, 20, 30, 40, 60, 100, 100000};
constexpr int kColumns = 11;  // k = 0, 0.5 ... 5
constexpr int kExactLimit = 1000;

double CriticalValue(int n, double k, double p) {
  if (n <= kExactLimit) {
    ExactResultant exact(n);
    return exact.Quantile(k, p) / n;
  }
  return LargeNQuantile(n, k, p);
}

using Table = std::array<std::array<double, kColumns>, kRowsN.size()>;

Table MakeTable(double p) {
  Table t{};
  for (std::size_t i = 0; i < kRowsN.size(); ++i) {
    for (int j = 0; j < kColumns; ++j) t[i][j] = CriticalValue(kRowsN[i], 0.5 * j, p);
  }
  return t;
}

std::string FormatFloat(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  std::string s = buf;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s + "f";
}

std::string FormatDouble(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  std::string s = buf;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

void WriteTables(std::FILE* out, const Table& t95, const Table& t99) {
  std::fprintf(out,
               "// Generated by tools/fisher_tables/generate_fisher_tables; do not edit by hand.\n"
               "// The mathematics and the checks are described in tools/fisher_tables/README.md.\n"
               "\n#include \"dirstats/FisherTables.h\"\n\n");
  for (const Band& b : kBands) {
    std::fprintf(out, "static const float kBand%sR[%d] = {", b.name, b.count);
    for (int i = 0; i < b.count; ++i) {
      std::fprintf(out, "%s%s", i ? ", " : "", FormatFloat(b.first + i * b.step).c_str());
    }
    std::fprintf(out, "};\n");
    std::fprintf(out, "static const float kBand%sK[%d] = {", b.name, b.count);
    for (int i = 0; i < b.count; ++i) {
      const double k = RoundPrecision(InverseLangevin(b.first + i * b.step));
      std::fprintf(out, "%s%s", i ? ", " : "", FormatFloat(k).c_str());
    }
    std::fprintf(out, "};\n");
  }
  std::fprintf(out, "\nconst PrecisionBand kPrecisionTable[kPrecisionBands] = {\n");
  for (const Band& b : kBands) {
    std::fprintf(out, "    {%d, kBand%sR, kBand%sK},\n", b.count, b.name, b.name);
  }
  std::fprintf(out, "};\n\nconst unsigned kCriticalN[kCriticalRows] = {");
  for (std::size_t i = 0; i < kRowsN.size(); ++i) {
    std::fprintf(out, "%s%d", i ? ", " : "", kRowsN[i]);
  }
  std::fprintf(out, "};\n\nconst double kCriticalK[kCriticalColumns] = {");
  for (int j = 0; j < kColumns; ++j) {
    std::fprintf(out, "%s%s", j ? ", " : "", FormatDouble(0.5 * j).c_str());
  }
  std::fprintf(out, "};\n");
  const std::pair<const char*, const Table*> tables[] = {{"95", &t95}, {"99", &t99}};
  for (const auto& [name, table] : tables) {
    std::fprintf(out, "\nconst double kCritical%s[kCriticalRows][kCriticalColumns] = {\n", name);
    for (std::size_t i = 0; i < kRowsN.size(); ++i) {
      std::fprintf(out, "    {");
      for (int j = 0; j < kColumns; ++j) {
        std::fprintf(out, "%s%s", j ? ", " : "", FormatDouble((*table)[i][j]).c_str());
      }
      std::fprintf(out, "},  // N = %d\n", kRowsN[i]);
    }
    std::fprintf(out, "};\n");
  }
}

// ---------------------------------------------------------------------------------------------
// Checks.

int g_failures = 0;

void Report(bool ok, const char* what) {
  std::printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++g_failures;
}

// Critical values R0 of Watson's (1956) test of randomness (95 % and 99 %), as tabulated
// for N = 5 ... 10 in the palaeomagnetic textbooks (e.g. Butler, 1992, Paleomagnetism).
void CheckWatson(const Table& t95, const Table& t99) {
  struct Row {
    int n;
    double r95;
    double r99;
  };
  const Row rows[] = {{5, 3.50, 4.02}, {6, 3.85, 4.48}, {7, 4.18, 4.89},
                      {8, 4.48, 5.26}, {9, 4.76, 5.61}, {10, 5.03, 5.94}};
  for (const Row& row : rows) {
    const std::size_t i = std::find(kRowsN.begin(), kRowsN.end(), row.n) - kRowsN.begin();
    const double g95 = t95[i][0] * row.n;
    const double g99 = t99[i][0] * row.n;
    char what[160];
    std::snprintf(what, sizeof what, "N = %2d, k = 0: R0 %.4f / %.4f, Watson (1956) %.2f / %.2f",
                  row.n, g95, g99, row.r95, row.r99);
    Report(std::fabs(g95 - row.r95) <= 0.005 && std::fabs(g99 - row.r99) <= 0.005, what);
  }
}

// For large N and k = 0, 3 N R-bar^2 is chi-squared with 3 degrees of freedom; its 95 % and
// 99 % points are 7.814728 and 11.344867.
void CheckChiSquared(const Table& t95, const Table& t99) {
  const double n = 100000.0;
  const double e95 = std::sqrt(7.814728 / (3.0 * n));
  const double e99 = std::sqrt(11.344867 / (3.0 * n));
  char what[160];
  std::snprintf(what, sizeof what, "N = 100000, k = 0: %.6f / %.6f, chi-squared(3) %.6f / %.6f",
                t95.back()[0], t99.back()[0], e95, e99);
  Report(std::fabs(t95.back()[0] / e95 - 1.0) < 1e-4 && std::fabs(t99.back()[0] / e99 - 1.0) < 1e-4,
         what);
}

// The exact densities integrate to one.
void CheckNormalisation() {
  double worst = 0.0;
  for (int n : kRowsN) {
    if (n > kExactLimit) continue;
    ExactResultant exact(n);
    for (int j = 0; j < kColumns; ++j)
      worst = std::max(worst, std::fabs(exact.Total(0.5 * j) - 1.0));
  }
  char what[160];
  std::snprintf(what, sizeof what, "exact densities integrate to 1 (worst error %.2e)", worst);
  Report(worst < 1e-9, what);
}

// At N = 100 the exact computation and the large-N one agree.
void CheckLargeNAgainstExact(const Table& t95) {
  double worst = 0.0;
  const std::size_t i = std::find(kRowsN.begin(), kRowsN.end(), 100) - kRowsN.begin();
  for (int j = 0; j < kColumns; ++j) {
    worst = std::max(worst, std::fabs(LargeNQuantile(100, 0.5 * j, 0.95) / t95[i][j] - 1.0));
  }
  char what[160];
  std::snprintf(what, sizeof what, "N = 100: large-N and exact values agree (worst %.2e)", worst);
  Report(worst < 3e-3, what);
}

// A seeded simulation: the fraction of simulated mean resultant lengths at or below the
// tabulated value must be the confidence, within four binomial standard errors.
void CheckSimulation(const Table& t95, const Table& t99, int replicates) {
  std::mt19937_64 rng(19530507);  // the date of Fisher's "Dispersion on a sphere"
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const int rows_checked[] = {4, 7, 12, 30, 100};
  for (int n : rows_checked) {
    const std::size_t i = std::find(kRowsN.begin(), kRowsN.end(), n) - kRowsN.begin();
    for (int j = 0; j < kColumns; ++j) {
      const double k = 0.5 * j;
      int below95 = 0;
      int below99 = 0;
      for (int rep = 0; rep < replicates; ++rep) {
        double x = 0.0, y = 0.0, z = 0.0;
        for (int d = 0; d < n; ++d) {
          // Inverse of the distribution of the cosine: k e^(kc) / (2 sinh k) on [-1, 1].
          const double u = 1.0 - unit(rng);  // (0, 1]
          const double c =
              k == 0.0 ? 2.0 * u - 1.0 : 1.0 + std::log(u + (1.0 - u) * std::exp(-2.0 * k)) / k;
          const double s = std::sqrt(std::max(0.0, 1.0 - c * c));
          const double phi = 2.0 * M_PI * unit(rng);
          x += s * std::cos(phi);
          y += s * std::sin(phi);
          z += c;
        }
        const double rbar = std::sqrt(x * x + y * y + z * z) / n;
        below95 += rbar <= t95[i][j];
        below99 += rbar <= t99[i][j];
      }
      const double p95 = static_cast<double>(below95) / replicates;
      const double p99 = static_cast<double>(below99) / replicates;
      const double se95 = std::sqrt(0.95 * 0.05 / replicates);
      const double se99 = std::sqrt(0.99 * 0.01 / replicates);
      char what[200];
      std::snprintf(what, sizeof what,
                    "simulation N = %3d, k = %.1f: P(Rbar <= g95) = %.4f (%+.1f se), "
                    "P(Rbar <= g99) = %.4f (%+.1f se)",
                    n, k, p95, (p95 - 0.95) / se95, p99, (p99 - 0.99) / se99);
      Report(std::fabs(p95 - 0.95) <= 4.0 * se95 && std::fabs(p99 - 0.99) <= 4.0 * se99, what);
    }
  }
}

// The rounded precision table inverts coth k - 1/k to within its rounding.
void CheckPrecisionTable() {
  double worst = 0.0;
  for (const Band& b : kBands) {
    for (int i = 0; i < b.count; ++i) {
      const double r = b.first + i * b.step;
      const double exact = InverseLangevin(r);
      const double k = RoundPrecision(exact);
      const double allowed =
          exact < 10.0 ? 0.0005 : 0.5 * std::pow(10.0, std::floor(std::log10(exact)) - 3.0);
      worst = std::max(worst, std::fabs(k - exact) / allowed);
    }
  }
  char what[160];
  std::snprintf(what, sizeof what,
                "precision table within its rounding (worst %.3f of a half unit)", worst);
  Report(worst <= 1.0 + 1e-9, what);
}

}  // namespace

int main(int argc, char** argv) {
  const char* out_path = nullptr;
  bool check = false;
  int replicates = 200000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
      out_path = argv[++i];
    } else if (!std::strcmp(argv[i], "--check")) {
      check = true;
    } else if (!std::strcmp(argv[i], "--replicates") && i + 1 < argc) {
      replicates = std::max(1000, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--out FILE] [--check] [--replicates M]\n", argv[0]);
      return 2;
    }
  }
  const Table t95 = MakeTable(0.95);
  const Table t99 = MakeTable(0.99);
  if (out_path) {
    std::FILE* out = std::fopen(out_path, "w");
    if (!out) {
      std::perror(out_path);
      return 1;
    }
    WriteTables(out, t95, t99);
    if (std::fclose(out) != 0) {
      std::perror(out_path);
      return 1;
    }
  } else if (!check) {
    WriteTables(stdout, t95, t99);
  }
  if (check) {
    CheckPrecisionTable();
    CheckNormalisation();
    CheckWatson(t95, t99);
    CheckChiSquared(t95, t99);
    CheckLargeNAgainstExact(t95);
    CheckSimulation(t95, t99, replicates);
    std::printf("%d check(s) failed\n", g_failures);
    return g_failures ? 1 : 0;
  }
  return 0;
}
