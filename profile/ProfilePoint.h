#pragma once

#include <string_view>

#include "analysis/Series.h"

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
