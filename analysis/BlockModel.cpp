// Two-dimensional inversion of the residual anomaly by a row of rectangular prisms.
#include "analysis/BlockModel.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "analysis/PrismSums.h"

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

/// Spins a little, then lets the other threads of the machine run.
void Pause(int& spins) {
  if (++spins < 2000) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  } else {
    std::this_thread::yield();
  }
}

/// A second thread that works out, ahead of the sweep, each station's sum over the prisms the
/// sweep has not reached yet: those keep the thicknesses they had when the sweep began. The
/// calling thread never waits for it: a sum that is not ready when its station comes up is
/// worked out by the caller, with the same inputs and so the same result.
class AheadSums {
 public:
  /// `row` gives the width, depth and model of the prisms; the tables hold the far-face
  /// distances and the boundary face by signed offset, as the sweeps index them. Sums are
  /// taken for n stations over the prisms FirstAhead(i) … padded − 1.
  AheadSums(const PrismRow& row, int n, int padded, const float* far_face, const float* near,
            const float* far, const float* angles)
      : row_(row),
        n_(n),
        padded_(padded),
        far_face_(far_face),
        near_(near),
        far_(far),
        angles_(angles),
        sums_(n),
        ready_(n),
        snapshot_{std::vector<float>(padded), std::vector<float>(padded)},
        worker_([this] { Run(); }) {}
  AheadSums(const AheadSums&) = delete;
  AheadSums& operator=(const AheadSums&) = delete;
  ~AheadSums() {
    stop_.store(true);
    worker_.join();
  }

  /// The first prism of station i's sum ahead: past i, at a whole block.
  static int FirstAhead(int i, int padded) {
    return std::min(padded, (i + kPrismBlock) / kPrismBlock * kPrismBlock);
  }

  /// Starts sweep `sweep` (1, 2, …) with the thicknesses `t` (km, padded values).
  void BeginSweep(int sweep, const std::vector<float>& t) {
    // The buffer written now was last read two sweeps ago; a helper still reading it (it was
    // held up that long) is let finish its station.
    int spins = 0;
    while (sweep > 2 && reading_.load() == sweep - 2) Pause(spins);
    std::copy(t.begin(), t.end(), snapshot_[sweep % 2].begin());
    progress_.store(-1);
    sweep_.store(sweep);
  }

  /// Station i is being worked out by the caller; the helper skips it and those before.
  void Reached(int i) { progress_.store(i); }

  /// Station i's sum ahead (km), if the helper has it for this sweep.
  bool Take(int sweep, int i, float& sum) const {
    if (ready_[i].load(std::memory_order_acquire) != sweep) return false;
    sum = sums_[i];
    return true;
  }

 private:
  void Run() {
    int done_sweep = 0;
    for (;;) {
      int spins = 0;
      int sweep;
      while ((sweep = sweep_.load()) == done_sweep) {
        if (stop_.load()) return;
        Pause(spins);
      }
      reading_.store(sweep);
      if (sweep_.load() == sweep) {
        PrismRow row = row_;
        row.t = snapshot_[sweep % 2].data();
        for (int i = 0; i < n_; ++i) {
          if (sweep_.load(std::memory_order_relaxed) != sweep || stop_.load()) break;
          i = std::max(i, progress_.load(std::memory_order_relaxed) + 1);
          if (i >= n_) break;
          const int offset = n_ - 1 - i;
          row.far_face = far_face_ + offset;
          row.boundary_near = near_ + offset;
          row.boundary_far = far_ + offset;
          row.boundary_angles = angles_ + offset;
          sums_[i] = SumPrismFactors(row, FirstAhead(i, padded_), padded_);
          ready_[i].store(sweep, std::memory_order_release);
        }
      }
      reading_.store(-1);
      done_sweep = sweep;
    }
  }

  const PrismRow row_;
  const int n_;
  const int padded_;
  const float* const far_face_;
  const float* const near_;
  const float* const far_;
  const float* const angles_;
  std::vector<float> sums_;
  std::vector<std::atomic<int>> ready_;
  std::array<std::vector<float>, 2> snapshot_;
  std::atomic<int> sweep_{0};
  std::atomic<int> progress_{-1};
  /// The sweep whose snapshot the helper reads, −1 while it reads none.
  std::atomic<int> reading_{-1};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

/// Keeps the misfit and the largest thickness change of each sweep, when asked to.
class SweepRecord {
 public:
  explicit SweepRecord(BlockDiagnostics* out) : out_(out) {
    if (out_) *out_ = {};
  }
  void Begin() { change_ = 0.0; }
  void Change(float before, float after) {
    if (out_) change_ = std::max(change_, std::fabs(static_cast<double>(after) - before));
  }
  void End(const std::vector<float>& resid) {
    if (!out_) return;
    double squares = 0.0;
    for (float r : resid) squares += static_cast<double>(r) * r;
    out_->rms_mgal.push_back(resid.empty() ? 0.0 : std::sqrt(squares / resid.size()));
    out_->max_change_km.push_back(change_);
  }

 private:
  BlockDiagnostics* out_;
  double change_ = 0.0;
};

/// Rows of at least this many prisms are summed by two threads when the processor has two.
constexpr int kTwoThreadPrisms = 1024;

/// The ten sweeps of the slab correction with the prism sums in vectors: the same order of
/// corrections, the same clamp and the same tenth sweep as the scalar sweeps. x (km), obs
/// (mGal) and t (km, the starting thicknesses) hold n values; calc and resid (mGal) receive
/// the tenth sweep's anomaly and residual and t the final thicknesses.
void VectorSweeps(const std::vector<float>& x, const std::vector<float>& obs, float rho, float slab,
                  float w, float h, float z0, bool granite, std::vector<float>& calc,
                  std::vector<float>& resid, std::vector<float>& t, SweepRecord& record) {
  const int n = static_cast<int>(x.size());
  const int padded = (n + kPrismBlock - 1) / kPrismBlock * kPrismBlock;
  // Prisms past the last are empty.
  std::vector<float> pt(padded, 0.0f);

  // The far face's distance and the boundary face by signed offset j − i of prism j from
  // station i, at index n − 1 + j − i; offsets beyond the last prism belong to the padding.
  // One distance serves every pair at an offset, and both faces of a prism see the same one:
  // a prism's factor is a small difference of its faces' terms, which a distance differing
  // between them (positions far out carry ulps of several centimetres) would spoil.
  const int span = n - 1 + padded;
  std::vector<float> far_face(span), near(span), far(span), angles(span);
  for (int k = 0; k < span; ++k) {
    const int offset = std::min(std::abs(k - (n - 1)), n - 1);
    const float x2 = std::fabs(x[0] - x[offset]) + h;
    const Face f = FaceTerms(x2 - w, x2, z0);
    far_face[k] = x2;
    near[k] = f.r1;
    far[k] = f.r2;
    angles[k] = f.angles;
  }

  PrismRow row;
  row.t = pt.data();
  row.width = w;
  row.z0 = z0;
  row.granite = granite;

  std::unique_ptr<AheadSums> ahead;
  if (n >= kTwoThreadPrisms && std::thread::hardware_concurrency() >= 2) {
    ahead = std::make_unique<AheadSums>(row, n, padded, far_face.data(), near.data(), far.data(),
                                        angles.data());
  }

  std::copy(t.begin(), t.end(), pt.begin());
  for (int sweep = 1; sweep <= kSweeps; ++sweep) {
    if (ahead) ahead->BeginSweep(sweep, pt);
    record.Begin();
    for (int i = 0; i < n; ++i) {
      if (ahead) ahead->Reached(i);
      const int offset = n - 1 - i;
      row.far_face = far_face.data() + offset;
      row.boundary_near = near.data() + offset;
      row.boundary_far = far.data() + offset;
      row.boundary_angles = angles.data() + offset;
      // Prisms up to the first block past this station, with the thicknesses of this sweep,
      // then the prisms beyond, which still have those the sweep began with.
      const int split = AheadSums::FirstAhead(i, padded);
      float beyond;
      if (!ahead || !ahead->Take(sweep, i, beyond)) beyond = SumPrismFactors(row, split, padded);
      const float sum = SumPrismFactors(row, 0, split) + beyond;
      calc[i] = sum * rho * kTwoG;
      resid[i] = obs[i] - calc[i];
      if (sweep < kSweeps) {
        // The correction takes effect at once: later samples of this sweep see it.
        const float before = pt[i];
        pt[i] += resid[i] / slab;
        if (pt[i] < 0.0f) pt[i] = 0.0f;
        record.Change(before, pt[i]);
      }
    }
    record.End(resid);
  }
  std::copy(pt.begin(), pt.begin() + n, t.begin());
}

}  // namespace

float PrismFactor(float x1, float x2, float w, float top, float bottom) {
  return Finish(Prepare(x2, FaceTerms(x1, x2, top), FaceTerms(x1, x2, bottom)), w);
}

void InvertBlockModel(const ResidualSeries& s, BlockResultArray& results, float density,
                      float depth_km, int model_type, Arithmetic arithmetic,
                      BlockDiagnostics* diagnostics) {
  results.clear();
  SweepRecord record(diagnostics);
  const int n = s.SampleCount();
  const int dx = s.SampleSpacing();
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
    const ProfilePoint p = s.Sample(i);
    x[i] = static_cast<float>(p.distance) * 0.001f;
    obs[i] = static_cast<float>(p.anomaly);
    // The Bouguer slab thickness; negative when anomaly and density contrast differ in sign.
    t[i] = obs[i] / slab;
  }

  if (arithmetic == Arithmetic::kVector) {
    VectorSweeps(x, obs, rho, slab, w, h, z0, granite, calc, resid, t, record);
  } else {
    // The basin hangs from the boundary (top at z0, bottom at z0 + t); the granite stands on
    // it (top at z0 − t, bottom at z0). Only the free face moves from sweep to sweep.
    BoundaryFaces boundary(n, z0);
    FreeFaces free_faces(n);
    // The prisms seen from one station are prepared first and their logarithms taken in a
    // second pass, in the same order, which lets the processor overlap them.
    std::vector<Pending> pending(n);
    for (int sweep = 1; sweep <= kSweeps; ++sweep) {
      record.Begin();
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
          const float before = t[i];
          t[i] += resid[i] / slab;
          if (t[i] < 0.0f) t[i] = 0.0f;
          record.Change(before, t[i]);
        }
      }
      record.End(resid);
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
