// Two-dimensional inversion of the residual anomaly by a row of rectangular prisms.
#include "analysis/BlockModel.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "profile/TessmorDoc.h"

namespace {

constexpr double kPi = 3.141592653589793;
/// Sweeps of the slab correction; the last one only computes the anomaly and the residual.
constexpr int kSweeps = 10;

/// The angle (radians) under which a face at depth z is seen at horizontal distance x:
/// arctan(z / x) for x > 0, π − arctan(z / |x|) otherwise.
float Angle(float z, float x) {
  if (x > 0.0f) return std::atan(z / x);
  return static_cast<float>(kPi - std::atan(z / std::fabs(x)));
}

/// A corner of a prism face at depth z (km), horizontal distance x (km) from the station:
/// its slant distance (km) and the angle under which the face is seen there.
struct Corner {
  float x = std::nanf("");
  float z = std::nanf("");
  float r = 0.0f;
  float angle = 0.0f;
};

Corner MakeCorner(float x, float z) {
  Corner c;
  c.x = x;
  c.z = z;
  c.r = std::sqrt(x * x + z * z);
  c.angle = Angle(z, x);
  return c;
}

/// What one horizontal face at depth z contributes to the prism factor, seen from horizontal
/// distances x1 and x2 to the near and far vertical faces: the slant distances to its two
/// corners and z (θ(z, x1) − θ(z, x2)).
struct Face {
  float r1 = 0.0f;
  float r2 = 0.0f;
  float angles = 0.0f;
};

Face FromCorners(const Corner& near, const Corner& far, float z) {
  Face f;
  f.r1 = near.r;
  f.r2 = far.r;
  f.angles = z * (near.angle - far.angle);
  return f;
}

Face FaceTerms(float x1, float x2, float z) {
  return FromCorners(MakeCorner(x1, z), MakeCorner(x2, z), z);
}

/// A prism factor up to its two logarithms: their arguments, the far face's distance x2
/// (km) and the angle terms of the two faces.
struct Pending {
  float x2 = 0.0f;
  float ratio = 0.0f;
  float near_ratio = 0.0f;
  float bottom_angles = 0.0f;
  float top_angles = 0.0f;
};

Pending Prepare(float x2, const Face& top, const Face& bottom) {
  Pending p;
  p.x2 = x2;
  p.ratio = (top.r1 * bottom.r2) / (top.r2 * bottom.r1);
  p.near_ratio = bottom.r1 / top.r1;
  p.bottom_angles = bottom.angles;
  p.top_angles = top.angles;
  return p;
}

/// The prism factor (km) of a prism of width w.
float Finish(const Pending& p, float w) {
  return p.x2 * std::log(p.ratio) + w * std::log(p.near_ratio) + p.bottom_angles - p.top_angles;
}

/// The face at the boundary depth is the same for every sweep: its terms depend only on the
/// horizontal distance between station and prism. They are kept for each distance met, per
/// sample offset (an offset meets a few distances that differ in the last bits).
class BoundaryFaces {
 public:
  BoundaryFaces(int n, float z0) : z0_(z0), by_offset_(n) {}

  const Face& Get(int offset, float dist, float x1, float x2) {
    std::vector<Entry>& seen = by_offset_[offset];
    for (const Entry& e : seen) {
      if (e.dist == dist) return e.face;
    }
    seen.push_back({dist, FaceTerms(x1, x2, z0_)});
    return seen.back().face;
  }

 private:
  struct Entry {
    float dist;
    Face face;
  };
  float z0_;
  std::vector<std::vector<Entry>> by_offset_;
};

/// The free face of each prism as the previous station saw it. Neighbouring stations see a
/// prism's corners at distances that mostly coincide to the last bit (the far corner of one
/// is the near corner of the next), so a corner is worked out again only when new.
class FreeFaces {
 public:
  explicit FreeFaces(int n) : seen_(n) {}

  Face Get(int prism, float x1, float x2, float z) {
    Corner* seen = seen_[prism].data();
    const Corner near = Find(seen, x1, z);
    const Corner far = Find(seen, x2, z);
    seen[0] = near;
    seen[1] = far;
    return FromCorners(near, far, z);
  }

 private:
  static Corner Find(const Corner* seen, float x, float z) {
    for (int k = 0; k < 2; ++k) {
      if (seen[k].x == x && seen[k].z == z) return seen[k];
    }
    return MakeCorner(x, z);
  }
  std::vector<std::array<Corner, 2>> seen_;
};

}  // namespace

float PrismFactor(float x1, float x2, float w, float top, float bottom) {
  return Finish(Prepare(x2, FaceTerms(x1, x2, top), FaceTerms(x1, x2, bottom)), w);
}

void CTessmorDoc::ComputeBlockModel(BlockResultArray& results, float density, float depth_km,
                                    int model_type, BlockArithmetic arithmetic) {
  results.clear();
  const int n = GetPointCount(10);
  const int dx = m_bEquallySpaced ? GetEqualSpacing() : m_nSpacing;
  const float rho = density * 0.001f;
  const float slab = rho * kSlabFactor;
  // No samples, prisms without width, or a density contrast that no thickness can turn into
  // an anomaly: there is no model.
  if (n <= 0 || dx <= 0 || slab == 0.0f || !std::isfinite(slab) || !std::isfinite(depth_km)) {
    return;
  }
  const float w = static_cast<float>(dx) * 0.001f;
  const float h = w * 0.5f;
  // Prisms stand on the boundary for any type but the basin's (−1); the depth reported is
  // the top of the granite for type 1 and the floor of the basin otherwise.
  const bool granite = model_type != -1;
  const bool granite_depth = model_type == 1;
  const float z0 = depth_km;

  // Working arrays indexed 0 … n − 1: position (km), observed residual anomaly (mGal),
  // calculated anomaly and residual (mGal), thickness (km).
  std::vector<float> x(n), obs(n), calc(n), resid(n), t(n);
  for (int i = 0; i < n; ++i) {
    const ProfilePoint p = GetPoint(i, true);
    x[i] = static_cast<float>(p.distance) * 0.001f;
    obs[i] = static_cast<float>(p.anomaly);
    // The Bouguer slab thickness; negative when anomaly and density contrast differ in sign.
    t[i] = obs[i] / slab;
  }

  // The basin hangs from the boundary (top at z0, bottom at z0 + t); the granite stands on
  // it (top at z0 − t, bottom at z0). Only the free face moves from sweep to sweep.
  BoundaryFaces boundary(n, z0);
  FreeFaces free_faces(n);
  // The prisms seen from one station are prepared first and their logarithms taken in a
  // second pass, in the same order, which lets the processor overlap them.
  std::vector<Pending> pending(n);
  for (int sweep = 1; sweep <= kSweeps; ++sweep) {
    for (int i = 0; i < n; ++i) {
      int count = 0;
      for (int j = 0; j < n; ++j) {
        // A prism of no thickness has two equal faces and adds exactly 0.
        if (t[j] == 0.0f) continue;
        const float dist = std::fabs(x[i] - x[j]);
        const float x2 = dist + h;
        const float x1 = x2 - w;
        const Face& fixed = boundary.Get(std::abs(i - j), dist, x1, x2);
        pending[count++] = granite ? Prepare(x2, free_faces.Get(j, x1, x2, z0 - t[j]), fixed)
                                   : Prepare(x2, fixed, free_faces.Get(j, x1, x2, z0 + t[j]));
      }
      float sum = 0.0f;
      for (int k = 0; k < count; ++k) sum += Finish(pending[k], w) * rho * kTwoG;
      calc[i] = sum;
      resid[i] = obs[i] - calc[i];
      if (sweep < kSweeps) {
        // The correction takes effect at once: later samples of this sweep see it.
        t[i] += resid[i] / slab;
        if (t[i] < 0.0f) t[i] = 0.0f;
      }
    }
  }

  results.reserve(n);
  for (int i = 0; i < n; ++i) {
    auto r = std::make_unique<BlockResult>();
    r->calculated = calc[i];
    r->residual = resid[i];
    r->depth = granite_depth ? z0 - t[i] : z0 + t[i];
    results.push_back(std::move(r));
  }
}
