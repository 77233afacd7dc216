#pragma once

// Clipboard exchange of the statistics library's records. Every record kind has a clipboard
// format registered under a fixed name; Copy places an array of records on the clipboard as
// one block of little-endian records, and on request also as text, one tab-separated line
// per record, for pasting into other programs. Get takes the block back as a new array.
//
// Copy functions return the registered format number, or 0 when the records could not be
// placed (no records, clipboard busy, memory). Get functions return the records read and set
// `*count`, or return null with `*count` 0 (no such block on the clipboard, clipboard busy,
// memory); with `byte_limit` of at least one record they return at most byte_limit / size
// records, and never more than the block holds whole. Nothing is reported to the user.

#include <cstdint>
#include <memory>

#include "dirstats/Fisher.h"
#include "dirstats/QorpelvarExport.h"
#include "util/Directions.h"
#include "util/NumberFormat.h"
#include "util/Sites.h"

#pragma pack(push, 1)
/// A bedding attitude (8 bytes), degrees.
struct BEDDIP {
  float dip_direction;
  float dip;
};

/// A point of a plot or map (8 bytes).
struct COORDS {
  float x;
  float y;
};

/// Distributions an eigen analysis tells apart, by the `distribution` code of EIGENMEAN.
enum EigenDistribution : std::int32_t {
  kEigenUniform = 0,
  kEigenUnimodal = 1,
  kEigenGirdle = 2,
  kEigenBipolar = 3,
  kEigenIntermediate = 4,
  kEigenWeakCluster = 5,
  kEigenWeakGirdle = 6,
};

/// The result of an eigen analysis of directions (160 bytes), angles in degrees.
struct EIGENMEAN {
  float eigenvalue[3];  ///< normalised eigenvalues tau1 ≥ tau2 ≥ tau3 of the orientation matrix
  float dec[3];         ///< declination of each eigenvector
  float inc[3];         ///< inclination of each eigenvector
  float shape;          ///< shape of the distribution, ln(tau1/tau2) / ln(tau2/tau3)
  std::uint32_t N;      ///< number of directions
  float cone[2];        ///< semi-axes of the cone of confidence about the principal axis
  std::int32_t kent;    ///< non-zero for a Kent parametric record (the fields below)
  std::int32_t distribution;  ///< an EigenDistribution
  float kappa;                ///< Kent concentration
  float beta;                 ///< Kent ovalness
  float kent_stats[4];        ///< tau1, tau2, tau3 about the Kent axes, and 2 beta / kappa
  float kent_angles[6];       ///< dec and inc of the mean and major axes, semi-axes zeta95, eta95
  std::uint8_t reserved[52];  ///< zero
};

/// A von Mises mean of two-dimensional directions (40 bytes), angles in degrees.
struct VONMISESMEAN {
  float mean;              ///< mean direction
  float rbar;              ///< mean resultant length
  std::uint32_t N;         ///< number of directions
  float kappa;             ///< concentration
  float confidence;        ///< confidence level of the arc, percent
  float arc;               ///< semi-angle of the arc of confidence about the mean
  float variance;          ///< circular variance, 1 - rbar
  float deviation;         ///< circular standard deviation, radians
  float R;                 ///< resultant length
  std::uint32_t reserved;  ///< zero
};
#pragma pack(pop)
static_assert(sizeof(BEDDIP) == 8, "BEDDIP is an 8-byte record");
static_assert(sizeof(COORDS) == 8, "COORDS is an 8-byte record");
static_assert(sizeof(EIGENMEAN) == 160, "EIGENMEAN is a 160-byte record");
static_assert(sizeof(VONMISESMEAN) == 40, "VONMISESMEAN is a 40-byte record");

/// Clipboard format names of the record kinds.
inline constexpr char kLatLongFormat[] = "LATLONG";
inline constexpr char kPmVectorFormat[] = "PMVECTOR";
inline constexpr char kFisherMeanFormat[] = "FISHERMEAN";
inline constexpr char kDecIncFormat[] = "DECINC";
inline constexpr char kBedDipFormat[] = "BEDDIP";
inline constexpr char kBearingFormat[] = "BEARING";
inline constexpr char kVgpFormat[] = "VIRTUALGEOMAGNETICPOLE";
inline constexpr char kEigenMeanFormat[] = "EIGENMEAN";
inline constexpr char kVonMisesMeanFormat[] = "VONMISESMEAN";
inline constexpr char kCoordsFormat[] = "COORDS";

// --- copy: records, count, empty the clipboard first, also place the text ---

/// Text line "%7.2f\t%7.2f\r\n": latitude, longitude.
QORPELVAR_EXPORT unsigned CopyLATLONGToClip(const LATLONG* sites, unsigned count, int empty_first,
                                            int also_text);
/// Text line "%7.2f\t%7.2f\t%10.4f\r\n": declination, inclination, intensity.
QORPELVAR_EXPORT unsigned CopyPMVECTORtoClip(const PMVECTOR* vectors, unsigned count,
                                             int empty_first, int also_text);
/// Fisher means. Text line "%5.1f\t%5.1f\t%5.1f\t%9.3f\t%9.3f\t%d\r\n": dec, inc, alpha, k,
/// R, N, for every record however many there are.
QORPELVAR_EXPORT unsigned CopyToClipboard(const FISHERMEAN* means, unsigned count, int empty_first,
                                          int also_text);
/// Text line "%7.2f\t%7.2f\r\n": declination, inclination.
QORPELVAR_EXPORT unsigned CopyDECINCtoClip(const DECINC* directions, unsigned count,
                                           int empty_first, int also_text);
/// Text line "%7.2f\t%7.2f\r\n": dip direction, dip.
QORPELVAR_EXPORT unsigned CopyBEDDIPtoClip(const BEDDIP* beds, unsigned count, int empty_first,
                                           int also_text);
/// Bearings in degrees. Text line "%7.2f\r\n".
QORPELVAR_EXPORT unsigned CopyBEARINGtoClip(const float* bearings, unsigned count, int empty_first,
                                            int also_text);
/// Text line "%7.2f\t%7.2f\t%7.2f\t%7.2f\t%7.2f\r\n": latitude, longitude, dp, dm,
/// palaeolatitude.
QORPELVAR_EXPORT unsigned CopyVGPtoClip(const VGP* poles, unsigned count, int empty_first,
                                        int also_text);
/// Text per record: the eigenvalues, each with the declination and inclination of its
/// eigenvector, the shape, N and the cone ("%6.3f\t%5.1f\t%5.1f\t %6.3f\t%5.1f\t%5.1f\t
/// %6.3f\t%5.1f\t%5.1f\t %9.3f\t%d\t%5.1f\t%5.1f"); for a Kent record instead kappa, beta,
/// kent_stats and kent_angles ("%9.1f\t%9.1f\t%10.3f\t%10.3f\t%10.3f\t%10.3f\t%5.1f\t%5.1f\t
/// %5.1f\t%5.1f\t%5.1f\t%5.1f") and "\tKent parametric"; each closed by "\t%s\r\n" with the
/// name of the distribution.
QORPELVAR_EXPORT unsigned CopyEigenToClipboard(const EIGENMEAN* means, unsigned count,
                                               int empty_first, int also_text);
/// Text line "%6.1f\t%6.4f\t%d\t %8.4f\t%5.1f%%\t%5.1f\t %8.4f\t%8.4f\r\n": mean, rbar, N,
/// kappa, confidence with a percent sign, arc, variance, deviation.
QORPELVAR_EXPORT unsigned CopyVonMisesToClipboard(const VONMISESMEAN* means, unsigned count,
                                                  int empty_first, int also_text);
/// Text line "%7.2f\t%7.2f\r\n": x, y.
QORPELVAR_EXPORT unsigned CopyCOORDStoClip(const COORDS* points, unsigned count, int empty_first,
                                           int also_text);

// --- get: out count, byte limit ---

QORPELVAR_EXPORT std::unique_ptr<LATLONG[]> GetLATLONGFromClip(unsigned* count,
                                                               unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<PMVECTOR[]> GetPMVECTORFromClip(unsigned* count,
                                                                 unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<FISHERMEAN[]> GetFISHERMEANFromClipboard(unsigned* count,
                                                                          unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<DECINC[]> GetDECINCFromClip(unsigned* count, unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<BEDDIP[]> GetBEDDIPFromClip(unsigned* count, unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<float[]> GetBEARINGFromClip(unsigned* count, unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<VGP[]> GetVGPFromClip(unsigned* count, unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<EIGENMEAN[]> GetEigenMEANFromClipboard(unsigned* count,
                                                                        unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<VONMISESMEAN[]> GetVONMISESMEANFromClipboard(unsigned* count,
                                                                              unsigned byte_limit);
QORPELVAR_EXPORT std::unique_ptr<COORDS[]> GetCOORDSFromClip(unsigned* count, unsigned byte_limit);

/// Plain text: with `mode` non-zero, a copy of the clipboard's text (`text` is not used);
/// with `mode` zero, replaces the clipboard's contents by `text` and returns a copy of it.
/// The copy is terminated by a zero character. Null when the clipboard holds no text, when
/// `text` is null or empty in mode zero (nothing is done then), or when the clipboard is
/// busy.
QORPELVAR_EXPORT std::unique_ptr<char[]> GetTextFromClipboard(const char* text, int mode);

/// The name of an EigenDistribution code as the eigen text writes it; "" for other codes.
QORPELVAR_EXPORT const char* EigenDistributionName(std::int32_t distribution);
