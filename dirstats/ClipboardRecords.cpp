#include "dirstats/ClipboardRecords.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/ui/Clipboard.h"

namespace {

using tessmor::Archive;

// Appends printf-style text to `out`, however long it comes out.
__attribute__((format(printf, 2, 3))) void Append(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n > 0) {
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<std::size_t>(n) + 1, format, again);
    out.resize(at + static_cast<std::size_t>(n));
  }
  va_end(again);
}

// The count of a text line: %d of a 32-bit unsigned number.
int AsInt(std::uint32_t n) { return static_cast<int>(n); }

// --- one record kind: its format name, byte size, stored fields and text line ---
//
// A kind lists the fields of its record in stored order (kStored; Pad{n} stands for n
// reserved bytes, written as zero and skipped on reading), and the text line as a printf
// format with the fields it shows (kLine, kShown). A kind whose line is not one format
// gives its own Text instead.

// `n` reserved bytes of a stored record.
struct Pad {
  std::size_t n;
};

void Put(Archive& ar, float v) { ar.WriteFloat(v); }
void Put(Archive& ar, double v) { ar.WriteDouble(v); }
void Put(Archive& ar, std::uint32_t v) { ar.WriteU32(v); }
void Put(Archive& ar, std::int32_t v) { ar.WriteI32(v); }
void Put(Archive& ar, std::uint8_t v) { ar.WriteU8(v); }

void Take(Archive& ar, float& v) { v = ar.ReadFloat(); }
void Take(Archive& ar, double& v) { v = ar.ReadDouble(); }
void Take(Archive& ar, std::uint32_t& v) { v = ar.ReadU32(); }
void Take(Archive& ar, std::int32_t& v) { v = ar.ReadI32(); }
void Take(Archive& ar, std::uint8_t& v) { v = ar.ReadU8(); }

template <typename R, typename M>
void Put(Archive& ar, const R& r, M R::*field) {
  const M& v = r.*field;
  if constexpr (std::is_array_v<M>) {
    for (const auto& e : v) Put(ar, e);
  } else {
    Put(ar, v);
  }
}
template <typename R>
void Put(Archive& ar, const R&, Pad pad) {
  for (std::size_t i = 0; i < pad.n; ++i) ar.WriteU8(0);
}

template <typename R, typename M>
void Take(Archive& ar, R& r, M R::*field) {
  M& v = r.*field;
  if constexpr (std::is_array_v<M>) {
    for (auto& e : v) Take(ar, e);
  } else {
    Take(ar, v);
  }
}
template <typename R>
void Take(Archive& ar, R&, Pad pad) {
  for (std::size_t i = 0; i < pad.n; ++i) ar.ReadU8();
}

// A field as printf takes it: floats as doubles, counts as %d.
double Shown(float v) { return v; }
double Shown(double v) { return v; }
int Shown(std::uint32_t n) { return AsInt(n); }

template <typename T>
struct Kind;

template <>
struct Kind<LATLONG> {
  static constexpr const char* kName = kLatLongFormat;
  static constexpr std::size_t kSize = 8;
  static constexpr auto kStored = std::tuple(&LATLONG::latitude, &LATLONG::longitude);
  static constexpr const char* kLine = "%7.2f\t%7.2f\r\n";
  static constexpr auto kShown = kStored;
};

template <>
struct Kind<PMVECTOR> {
  static constexpr const char* kName = kPmVectorFormat;
  static constexpr std::size_t kSize = 16;
  static constexpr auto kStored = std::tuple(&PMVECTOR::intensity, &PMVECTOR::dec, &PMVECTOR::inc);
  static constexpr const char* kLine = "%7.2f\t%7.2f\t%10.4f\r\n";
  static constexpr auto kShown = std::tuple(&PMVECTOR::dec, &PMVECTOR::inc, &PMVECTOR::intensity);
};

template <>
struct Kind<FISHERMEAN> {
  using R = FISHERMEAN;
  static constexpr const char* kName = kFisherMeanFormat;
  static constexpr std::size_t kSize = 32;
  static constexpr auto kStored =
      std::tuple(&R::dec, &R::inc, &R::k, &R::R, &R::alpha, &R::stderr, &R::N, &R::kMethod, Pad{3});
  static constexpr const char* kLine = "%5.1f\t%5.1f\t%5.1f\t%9.3f\t%9.3f\t%d\r\n";
  static constexpr auto kShown = std::tuple(&R::dec, &R::inc, &R::alpha, &R::k, &R::R, &R::N);
};

template <>
struct Kind<DECINC> {
  static constexpr const char* kName = kDecIncFormat;
  static constexpr std::size_t kSize = 8;
  static constexpr auto kStored = std::tuple(&DECINC::dec, &DECINC::inc);
  static constexpr const char* kLine = "%7.2f\t%7.2f\r\n";
  static constexpr auto kShown = kStored;
};

template <>
struct Kind<BEDDIP> {
  static constexpr const char* kName = kBedDipFormat;
  static constexpr std::size_t kSize = 8;
  static constexpr auto kStored = std::tuple(&BEDDIP::dip_direction, &BEDDIP::dip);
  static constexpr const char* kLine = "%7.2f\t%7.2f\r\n";
  static constexpr auto kShown = kStored;
};

// A bearing is a bare float, so it has no fields to list.
template <>
struct Kind<float> {
  static constexpr const char* kName = kBearingFormat;
  static constexpr std::size_t kSize = 4;
  static void Write(Archive& ar, const float& r) { ar.WriteFloat(r); }
  static float Read(Archive& ar) { return ar.ReadFloat(); }
  static void Text(std::string& out, const float& r) { Append(out, "%7.2f\r\n", r); }
};

template <>
struct Kind<VGP> {
  static constexpr const char* kName = kVgpFormat;
  static constexpr std::size_t kSize = 24;
  static constexpr auto kStored = std::tuple(&VGP::latitude, &VGP::longitude, &VGP::dp, &VGP::dm,
                                             &VGP::palaeolatitude, &VGP::alpha95);
  static constexpr const char* kLine = "%7.2f\t%7.2f\t%7.2f\t%7.2f\t%7.2f\r\n";
  static constexpr auto kShown =
      std::tuple(&VGP::latitude, &VGP::longitude, &VGP::dp, &VGP::dm, &VGP::palaeolatitude);
};

template <>
struct Kind<EIGENMEAN> {
  using R = EIGENMEAN;
  static constexpr const char* kName = kEigenMeanFormat;
  static constexpr std::size_t kSize = 160;
  static constexpr auto kStored = std::tuple(
      &R::eigenvalue, &R::dec, &R::inc, &R::shape, &R::N, &R::cone, &R::kent, &R::distribution,
      &R::kappa, &R::beta, &R::kent_stats, &R::kent_angles, Pad{sizeof(R::reserved)});
  // The line shows the Kent fields for a Kent record, the eigenvectors otherwise.
  static void Text(std::string& out, const EIGENMEAN& r) {
    if (r.kent) {
      const float* s = r.kent_stats;
      const float* a = r.kent_angles;
      Append(
          out,
          "%9.1f\t%9.1f\t%10.3f\t%10.3f\t%10.3f\t%10.3f\t%5.1f\t%5.1f\t%5.1f\t%5.1f\t%5.1f\t%5.1f",
          r.kappa, r.beta, s[0], s[1], s[2], s[3], a[0], a[1], a[2], a[3], a[4], a[5]);
      out += "\tKent parametric";
    } else {
      Append(out,
             "%6.3f\t%5.1f\t%5.1f\t %6.3f\t%5.1f\t%5.1f\t %6.3f\t%5.1f\t%5.1f\t %9.3f\t%d\t%5.1f\t"
             "%5.1f",
             r.eigenvalue[0], r.dec[0], r.inc[0], r.eigenvalue[1], r.dec[1], r.inc[1],
             r.eigenvalue[2], r.dec[2], r.inc[2], r.shape, AsInt(r.N), r.cone[0], r.cone[1]);
    }
    Append(out, "\t%s\r\n", EigenDistributionName(r.distribution));
  }
};

template <>
struct Kind<VONMISESMEAN> {
  using R = VONMISESMEAN;
  static constexpr const char* kName = kVonMisesMeanFormat;
  static constexpr std::size_t kSize = 40;
  static constexpr auto kStored = std::tuple(&R::mean, &R::rbar, &R::N, &R::kappa, &R::confidence,
                                             &R::arc, &R::variance, &R::deviation, &R::R, Pad{4});
  static constexpr const char* kLine =
      "%6.1f\t%6.4f\t%d\t %8.4f\t%5.1f%%\t%5.1f\t %8.4f\t%8.4f\r\n";
  static constexpr auto kShown = std::tuple(&R::mean, &R::rbar, &R::N, &R::kappa, &R::confidence,
                                            &R::arc, &R::variance, &R::deviation);
};

template <>
struct Kind<COORDS> {
  static constexpr const char* kName = kCoordsFormat;
  static constexpr std::size_t kSize = 8;
  static constexpr auto kStored = std::tuple(&COORDS::x, &COORDS::y);
  static constexpr const char* kLine = "%7.2f\t%7.2f\r\n";
  static constexpr auto kShown = kStored;
};

// The stored form and the text line of one record, from its kind's lists unless the kind
// gives its own.
template <typename T>
void WriteRecord(Archive& ar, const T& r) {
  using K = Kind<T>;
  if constexpr (requires { K::Write(ar, r); }) {
    K::Write(ar, r);
  } else {
    std::apply([&](auto... f) { (Put(ar, r, f), ...); }, K::kStored);
  }
}

template <typename T>
T ReadRecord(Archive& ar) {
  using K = Kind<T>;
  if constexpr (requires { K::Read(ar); }) {
    return K::Read(ar);
  } else {
    T r{};
    std::apply([&](auto... f) { (Take(ar, r, f), ...); }, K::kStored);
    return r;
  }
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename T>
void TextLine(std::string& out, const T& r) {
  using K = Kind<T>;
  if constexpr (requires { K::Text(out, r); }) {
    K::Text(out, r);
  } else {
    std::apply([&](auto... f) { Append(out, K::kLine, Shown(r.*f)...); }, K::kShown);
  }
}
#pragma GCC diagnostic pop

static_assert(Kind<LATLONG>::kSize == sizeof(LATLONG));
static_assert(Kind<PMVECTOR>::kSize == sizeof(PMVECTOR));
static_assert(Kind<FISHERMEAN>::kSize == sizeof(FISHERMEAN));
static_assert(Kind<DECINC>::kSize == sizeof(DECINC));
static_assert(Kind<BEDDIP>::kSize == sizeof(BEDDIP));
static_assert(Kind<VGP>::kSize == sizeof(VGP));
static_assert(Kind<EIGENMEAN>::kSize == sizeof(EIGENMEAN));
static_assert(Kind<VONMISESMEAN>::kSize == sizeof(VONMISESMEAN));
static_assert(Kind<COORDS>::kSize == sizeof(COORDS));
static_assert(Kind<float>::kSize == sizeof(float));

// Closes the clipboard when it goes out of scope.
struct OpenClipboard {
  explicit OpenClipboard(tessmor::Clipboard& c) : clipboard(c), open(c.Open()) {}
  ~OpenClipboard() {
    if (open) clipboard.Close();
  }
  tessmor::Clipboard& clipboard;
  const bool open;
};

// The largest block placed on the clipboard: 1 GiB.
constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

template <typename T>
unsigned CopyRecords(const T* records, unsigned count, int empty_first, int also_text) {
  using K = Kind<T>;
  try {
    const unsigned format = tessmor::Clipboard::RegisterFormat(K::kName);
    if (format == 0 || !records || count == 0 || count > kMaxBlock / K::kSize) return 0;
    Archive block = Archive::ForStore();
    for (unsigned i = 0; i < count; ++i) WriteRecord(block, records[i]);
    std::string text;
    if (also_text) {
      for (unsigned i = 0; i < count; ++i) TextLine(text, records[i]);
    }
    OpenClipboard session(tessmor::GetClipboard());
    if (!session.open) return 0;
    tessmor::Clipboard& clipboard = session.clipboard;
    bool ok = !empty_first || clipboard.Empty();
    ok = ok && clipboard.SetData(format, block.StoredBytes());
    ok = ok && (!also_text || clipboard.SetText(text));
    return ok ? format : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

template <typename T>
std::unique_ptr<T[]> GetRecords(unsigned* count, unsigned byte_limit) {
  using K = Kind<T>;
  if (count) *count = 0;
  try {
    const unsigned format = tessmor::Clipboard::RegisterFormat(K::kName);
    if (format == 0) return nullptr;
    std::optional<std::vector<std::uint8_t>> block;
    {
      OpenClipboard session(tessmor::GetClipboard());
      if (!session.open) return nullptr;
      block = session.clipboard.GetData(format);
    }
    if (!block) return nullptr;
    // Only whole records, and never more than the block holds, whatever the limit says.
    std::size_t n = block->size() / K::kSize;
    if (byte_limit >= K::kSize) n = std::min<std::size_t>(n, byte_limit / K::kSize);
    if (n == 0 || n > std::numeric_limits<unsigned>::max()) return nullptr;
    auto records = std::make_unique<T[]>(n);
    Archive ar = Archive::FromBytes(std::move(*block));
    for (std::size_t i = 0; i < n; ++i) records[i] = ReadRecord<T>(ar);
    if (count) *count = static_cast<unsigned>(n);
    return records;
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const tessmor::ArchiveException&) {
    return nullptr;
  }
}

std::unique_ptr<char[]> CopyOfText(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

}  // namespace

const char* EigenDistributionName(std::int32_t distribution) {
  switch (distribution) {
    case kEigenUniform:
      return "Uniform";
    case kEigenUnimodal:
      return "Unimodal";
    case kEigenGirdle:
      return "Girdle";
    case kEigenBipolar:
      return "Bipolar";
    case kEigenIntermediate:
      return "Intermediate Girdle/Cluster";
    case kEigenWeakCluster:
      return "Weak Cluster";
    case kEigenWeakGirdle:
      return "Weak Girdle";
    default:
      return "";
  }
}

unsigned CopyLATLONGToClip(const LATLONG* sites, unsigned count, int empty_first, int also_text) {
  return CopyRecords(sites, count, empty_first, also_text);
}
unsigned CopyPMVECTORtoClip(const PMVECTOR* vectors, unsigned count, int empty_first,
                            int also_text) {
  return CopyRecords(vectors, count, empty_first, also_text);
}
unsigned CopyToClipboard(const FISHERMEAN* means, unsigned count, int empty_first, int also_text) {
  return CopyRecords(means, count, empty_first, also_text);
}
unsigned CopyDECINCtoClip(const DECINC* directions, unsigned count, int empty_first,
                          int also_text) {
  return CopyRecords(directions, count, empty_first, also_text);
}
unsigned CopyBEDDIPtoClip(const BEDDIP* beds, unsigned count, int empty_first, int also_text) {
  return CopyRecords(beds, count, empty_first, also_text);
}
unsigned CopyBEARINGtoClip(const float* bearings, unsigned count, int empty_first, int also_text) {
  return CopyRecords(bearings, count, empty_first, also_text);
}
unsigned CopyVGPtoClip(const VGP* poles, unsigned count, int empty_first, int also_text) {
  return CopyRecords(poles, count, empty_first, also_text);
}
unsigned CopyEigenToClipboard(const EIGENMEAN* means, unsigned count, int empty_first,
                              int also_text) {
  return CopyRecords(means, count, empty_first, also_text);
}
unsigned CopyVonMisesToClipboard(const VONMISESMEAN* means, unsigned count, int empty_first,
                                 int also_text) {
  return CopyRecords(means, count, empty_first, also_text);
}
unsigned CopyCOORDStoClip(const COORDS* points, unsigned count, int empty_first, int also_text) {
  return CopyRecords(points, count, empty_first, also_text);
}

std::unique_ptr<LATLONG[]> GetLATLONGFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<LATLONG>(count, byte_limit);
}
std::unique_ptr<PMVECTOR[]> GetPMVECTORFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<PMVECTOR>(count, byte_limit);
}
std::unique_ptr<FISHERMEAN[]> GetFISHERMEANFromClipboard(unsigned* count, unsigned byte_limit) {
  return GetRecords<FISHERMEAN>(count, byte_limit);
}
std::unique_ptr<DECINC[]> GetDECINCFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<DECINC>(count, byte_limit);
}
std::unique_ptr<BEDDIP[]> GetBEDDIPFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<BEDDIP>(count, byte_limit);
}
std::unique_ptr<float[]> GetBEARINGFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<float>(count, byte_limit);
}
std::unique_ptr<VGP[]> GetVGPFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<VGP>(count, byte_limit);
}
std::unique_ptr<EIGENMEAN[]> GetEigenMEANFromClipboard(unsigned* count, unsigned byte_limit) {
  return GetRecords<EIGENMEAN>(count, byte_limit);
}
std::unique_ptr<VONMISESMEAN[]> GetVONMISESMEANFromClipboard(unsigned* count, unsigned byte_limit) {
  return GetRecords<VONMISESMEAN>(count, byte_limit);
}
std::unique_ptr<COORDS[]> GetCOORDSFromClip(unsigned* count, unsigned byte_limit) {
  return GetRecords<COORDS>(count, byte_limit);
}

std::unique_ptr<char[]> GetTextFromClipboard(const char* text, int mode) {
  try {
    if (!mode && (!text || !*text)) return nullptr;
    OpenClipboard session(tessmor::GetClipboard());
    if (!session.open) return nullptr;
    tessmor::Clipboard& clipboard = session.clipboard;
    if (mode) {
      std::optional<std::string> held = clipboard.GetText();
      return held ? CopyOfText(*held) : nullptr;
    }
    const bool ok = clipboard.Empty() && clipboard.SetText(text);
    return ok ? CopyOfText(text) : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
