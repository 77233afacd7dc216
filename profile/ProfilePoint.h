#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

/// One point of a profile: distance along the traverse in whole metres, Bouguer anomaly in
/// milligal. Also the record of a continued series.
struct ProfilePoint {
  std::int32_t distance = 0;
  double anomaly = 0.0;
};

/// A series of points owned by its array (the continued series of the view).
using PointArray = std::vector<std::unique_ptr<ProfilePoint>>;

/// One sample of the block model: the anomaly of the prism row at the sample (mGal), the
/// observed residual anomaly minus it (mGal), and the depth of the free face of the sample's
/// prism (km).
struct BlockResult {
  float calculated = 0.0f;
  float residual = 0.0f;
  float depth = 0.0f;
};
using BlockResultArray = std::vector<std::unique_ptr<BlockResult>>;

/// The profile file types; each is the resource number of its document template and selects
/// the reader and the writer.
enum ProfileFileType : int {
  kFileTypeNone = 0,
  kFileTypeGravmag = 5,    ///< GRAVMAG text, ".dat"
  kFileTypeGravAscii = 6,  ///< GRAVASCII text from the ZAPRIN reduction program, ".txt"
  kFileType2DQN = 7,       ///< 2DQN equally spaced text, ".g"
  kFileTypeCsv = 8,        ///< CSV profile with named columns, ".csv"
  kFileTypeProject = 329,  ///< TESSMOR project, ".gpr"
};

/// The file type that a file name's extension stands for (".gpr", ".dat", ".txt", ".g" or
/// ".csv", in these letters); kFileTypeNone for any other extension.
inline int FileTypeFromExtension(std::string_view ext) {
  if (ext == ".gpr") return kFileTypeProject;
  if (ext == ".dat") return kFileTypeGravmag;
  if (ext == ".txt") return kFileTypeGravAscii;
  if (ext == ".g") return kFileType2DQN;
  if (ext == ".csv") return kFileTypeCsv;
  return kFileTypeNone;
}

/// Background types of the profile document.
enum BackgroundType : int {
  kBackgroundConstant = 1,
  kBackgroundLinear = 2,
  kBackgroundNone = 32,
};
