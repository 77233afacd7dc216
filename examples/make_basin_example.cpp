// Writes examples/basin.txt: the gravity profile over a 2-D sedimentary basin, as a gravity
// reduction program would hand it over (GRAVASCII text), with a regional trend, reading noise
// and unequally spaced stations. Deterministic: the same file every run.
//
// The basin: density contrast -0.25 g/cm³ (sediment against basement), floor depth
// d(x) = 3.0 km · exp(-((x - 26 km) / 7 km)²) · (1 + 0.15 · sin(x / 4 km)), cut off below 20 m.
// Its anomaly is the integral of the 2-D line-mass kernel over the sediment,
//   g(x) = 2Gρ ∫∫ z / ((x - x')² + z²) dz dx'  = 2Gρ Σ Δx' · ½ ln((u² + d²) / u²_eps),
// evaluated over columns 10 m wide (2G = 13.34 mGal per g/cm³ per km).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

double FloorDepth(double x_km) {
  const double d =
      3.0 * std::exp(-std::pow((x_km - 26.0) / 7.0, 2)) * (1.0 + 0.15 * std::sin(x_km / 4.0));
  return d < 0.02 ? 0.0 : d;
}

/// The anomaly (mGal) at x_km of the basin, columns of width dx_km from the surface down.
double BasinAnomaly(double x_km) {
  const double rho = -0.25;
  const double dx = 0.01;
  double sum = 0.0;
  for (double xc = dx / 2; xc < 60.0; xc += dx) {
    const double d = FloorDepth(xc);
    if (d <= 0.0) continue;
    const double u2 = (x_km - xc) * (x_km - xc);
    // ∫0^d z/(u²+z²) dz = ½ ln((u²+d²)/u²); a column right under the station is offset by a
    // quarter column so the logarithm stays finite.
    const double u2s = std::max(u2, dx * dx / 16.0);
    sum += dx * 0.5 * std::log((u2s + d * d) / u2s);
  }
  return 13.34 * rho * sum;
}

/// A small linear congruential generator, so that the file does not depend on the library.
struct Lcg {
  std::uint64_t state = 20261208;
  double Uniform() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  }
  double Normal() {  // Box–Muller
    const double u1 = Uniform() + 1e-12, u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "basin.txt";
  std::FILE* f = std::fopen(path, "wb");
  if (!f) {
    std::perror(path);
    return 1;
  }
  Lcg rng;
  std::fprintf(f, "Basin example\r\n");
  double x_m = 0.0;
  int number = 0;
  while (x_m <= 52000.0) {
    const double regional = 4.0 + 0.06 * x_m * 0.001;  // mGal: 4 at 0 km, rising 0.06 per km
    const double g = BasinAnomaly(x_m * 0.001) + regional + 0.05 * rng.Normal();
    std::fprintf(f, " %4d    %7ld        0.0          0.0    %7.3f\r\n", ++number,
                 static_cast<long>(x_m), g);
    x_m += 300.0 + std::floor(500.0 * rng.Uniform());  // stations 300 … 799 m apart
  }
  std::fclose(f);
  return 0;
}
