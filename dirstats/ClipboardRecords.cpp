#include "dirstats/ClipboardRecords.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
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

// --- one record kind: its format name, byte size, stored form and text line ---

template <typename T>
struct Kind;

template <>
struct Kind<LATLONG> {
  static constexpr const char* kName = kLatLongFormat;
  static constexpr std::size_t kSize = 8;
  static void Write(Archive& ar, const LATLONG& r) {
    ar.WriteFloat(r.latitude);
    ar.WriteFloat(r.longitude);
  }
  static LATLONG Read(Archive& ar) {
    LATLONG r;
    r.latitude = ar.ReadFloat();
    r.longitude = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const LATLONG& r) {
    Append(out, "%7.2f\t%7.2f\r\n", r.latitude, r.longitude);
  }
};

template <>
struct Kind<PMVECTOR> {
  static constexpr const char* kName = kPmVectorFormat;
  static constexpr std::size_t kSize = 16;
  static void Write(Archive& ar, const PMVECTOR& r) {
    ar.WriteDouble(r.intensity);
    ar.WriteFloat(r.dec);
    ar.WriteFloat(r.inc);
  }
  static PMVECTOR Read(Archive& ar) {
    PMVECTOR r;
    r.intensity = ar.ReadDouble();
    r.dec = ar.ReadFloat();
    r.inc = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const PMVECTOR& r) {
    Append(out, "%7.2f\t%7.2f\t%10.4f\r\n", r.dec, r.inc, r.intensity);
  }
};

template <>
struct Kind<FISHERMEAN> {
  static constexpr const char* kName = kFisherMeanFormat;
  static constexpr std::size_t kSize = 32;
  static void Write(Archive& ar, const FISHERMEAN& r) {
    for (float v : {r.dec, r.inc, r.k, r.R, r.alpha, r.stderr}) ar.WriteFloat(v);
    ar.WriteU32(r.N);
    ar.WriteU8(r.kMethod);
    for (int i = 0; i < 3; ++i) ar.WriteU8(0);
  }
  static FISHERMEAN Read(Archive& ar) {
    FISHERMEAN r{};
    r.dec = ar.ReadFloat();
    r.inc = ar.ReadFloat();
    r.k = ar.ReadFloat();
    r.R = ar.ReadFloat();
    r.alpha = ar.ReadFloat();
    r.stderr = ar.ReadFloat();
    r.N = ar.ReadU32();
    r.kMethod = ar.ReadU8();
    for (int i = 0; i < 3; ++i) ar.ReadU8();  // reserved
    return r;
  }
  static void Text(std::string& out, const FISHERMEAN& r) {
    Append(out, "%5.1f\t%5.1f\t%5.1f\t%9.3f\t%9.3f\t%d\r\n", r.dec, r.inc, r.alpha, r.k, r.R,
           AsInt(r.N));
  }
};

template <>
struct Kind<DECINC> {
  static constexpr const char* kName = kDecIncFormat;
  static constexpr std::size_t kSize = 8;
  static void Write(Archive& ar, const DECINC& r) {
    ar.WriteFloat(r.dec);
    ar.WriteFloat(r.inc);
  }
  static DECINC Read(Archive& ar) {
    DECINC r;
    r.dec = ar.ReadFloat();
    r.inc = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const DECINC& r) {
    Append(out, "%7.2f\t%7.2f\r\n", r.dec, r.inc);
  }
};

template <>
struct Kind<BEDDIP> {
  static constexpr const char* kName = kBedDipFormat;
  static constexpr std::size_t kSize = 8;
  static void Write(Archive& ar, const BEDDIP& r) {
    ar.WriteFloat(r.dip_direction);
    ar.WriteFloat(r.dip);
  }
  static BEDDIP Read(Archive& ar) {
    BEDDIP r;
    r.dip_direction = ar.ReadFloat();
    r.dip = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const BEDDIP& r) {
    Append(out, "%7.2f\t%7.2f\r\n", r.dip_direction, r.dip);
  }
};

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
  static void Write(Archive& ar, const VGP& r) {
    for (float v : {r.latitude, r.longitude, r.dp, r.dm, r.palaeolatitude, r.alpha95}) {
      ar.WriteFloat(v);
    }
  }
  static VGP Read(Archive& ar) {
    VGP r;
    r.latitude = ar.ReadFloat();
    r.longitude = ar.ReadFloat();
    r.dp = ar.ReadFloat();
    r.dm = ar.ReadFloat();
    r.palaeolatitude = ar.ReadFloat();
    r.alpha95 = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const VGP& r) {
    Append(out, "%7.2f\t%7.2f\t%7.2f\t%7.2f\t%7.2f\r\n", r.latitude, r.longitude, r.dp, r.dm,
           r.palaeolatitude);
  }
};

template <>
struct Kind<EIGENMEAN> {
  static constexpr const char* kName = kEigenMeanFormat;
  static constexpr std::size_t kSize = 160;
  static void Write(Archive& ar, const EIGENMEAN& r) {
    for (float v : r.eigenvalue) ar.WriteFloat(v);
    for (float v : r.dec) ar.WriteFloat(v);
    for (float v : r.inc) ar.WriteFloat(v);
    ar.WriteFloat(r.shape);
    ar.WriteU32(r.N);
    for (float v : r.cone) ar.WriteFloat(v);
    ar.WriteI32(r.kent);
    ar.WriteI32(r.distribution);
    ar.WriteFloat(r.kappa);
    ar.WriteFloat(r.beta);
    for (float v : r.kent_stats) ar.WriteFloat(v);
    for (float v : r.kent_angles) ar.WriteFloat(v);
    for (std::size_t i = 0; i < sizeof r.reserved; ++i) ar.WriteU8(0);
  }
  static EIGENMEAN Read(Archive& ar) {
    EIGENMEAN r{};
    for (float& v : r.eigenvalue) v = ar.ReadFloat();
    for (float& v : r.dec) v = ar.ReadFloat();
    for (float& v : r.inc) v = ar.ReadFloat();
    r.shape = ar.ReadFloat();
    r.N = ar.ReadU32();
    for (float& v : r.cone) v = ar.ReadFloat();
    r.kent = ar.ReadI32();
    r.distribution = ar.ReadI32();
    r.kappa = ar.ReadFloat();
    r.beta = ar.ReadFloat();
    for (float& v : r.kent_stats) v = ar.ReadFloat();
    for (float& v : r.kent_angles) v = ar.ReadFloat();
    for (std::size_t i = 0; i < sizeof r.reserved; ++i) ar.ReadU8();
    return r;
  }
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
  static constexpr const char* kName = kVonMisesMeanFormat;
  static constexpr std::size_t kSize = 40;
  static void Write(Archive& ar, const VONMISESMEAN& r) {
    ar.WriteFloat(r.mean);
    ar.WriteFloat(r.rbar);
    ar.WriteU32(r.N);
    for (float v : {r.kappa, r.confidence, r.arc, r.variance, r.deviation, r.R}) ar.WriteFloat(v);
    ar.WriteU32(0);
  }
  static VONMISESMEAN Read(Archive& ar) {
    VONMISESMEAN r{};
    r.mean = ar.ReadFloat();
    r.rbar = ar.ReadFloat();
    r.N = ar.ReadU32();
    r.kappa = ar.ReadFloat();
    r.confidence = ar.ReadFloat();
    r.arc = ar.ReadFloat();
    r.variance = ar.ReadFloat();
    r.deviation = ar.ReadFloat();
    r.R = ar.ReadFloat();
    ar.ReadU32();  // reserved
    return r;
  }
  static void Text(std::string& out, const VONMISESMEAN& r) {
    Append(out, "%6.1f\t%6.4f\t%d\t %8.4f\t%5.1f%%\t%5.1f\t %8.4f\t%8.4f\r\n", r.mean, r.rbar,
           AsInt(r.N), r.kappa, r.confidence, r.arc, r.variance, r.deviation);
  }
};

template <>
struct Kind<COORDS> {
  static constexpr const char* kName = kCoordsFormat;
  static constexpr std::size_t kSize = 8;
  static void Write(Archive& ar, const COORDS& r) {
    ar.WriteFloat(r.x);
    ar.WriteFloat(r.y);
  }
  static COORDS Read(Archive& ar) {
    COORDS r;
    r.x = ar.ReadFloat();
    r.y = ar.ReadFloat();
    return r;
  }
  static void Text(std::string& out, const COORDS& r) { Append(out, "%7.2f\t%7.2f\r\n", r.x, r.y); }
};

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
    for (unsigned i = 0; i < count; ++i) K::Write(block, records[i]);
    std::string text;
    if (also_text) {
      for (unsigned i = 0; i < count; ++i) K::Text(text, records[i]);
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
    for (std::size_t i = 0; i < n; ++i) records[i] = K::Read(ar);
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
