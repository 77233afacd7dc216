#pragma once

#include <exception>
#include <string>

#include "platform/PlatformExport.h"

namespace tessmor {

/// Causes of a failed file operation, numbered as the file-error messages of the
/// utility library expect them.
enum FileErrorCause : int {
  kFileErrorNone = 0,
  kFileErrorGeneric = 1,
  kFileErrorNotFound = 2,
  kFileErrorBadPath = 3,
  kFileErrorTooManyOpenFiles = 4,
  kFileErrorAccessDenied = 5,
  kFileErrorInvalidFile = 6,
  kFileErrorRemoveCurrentDir = 7,
  kFileErrorDirectoryFull = 8,
  kFileErrorBadSeek = 9,
  kFileErrorHardIO = 10,
  kFileErrorSharingViolation = 11,
  kFileErrorLockViolation = 12,
  kFileErrorDiskFull = 13,
  kFileErrorEndOfFile = 14,
};

/// Maps an errno value to the cause the file-error messages know.
TESSMOR_PLATFORM_EXPORT FileErrorCause FileErrorCauseFromErrno(int err);

/// Thrown when a file cannot be opened, read, written or renamed.
class TESSMOR_PLATFORM_EXPORT FileException : public std::exception {
 public:
  FileException(FileErrorCause cause, std::string path);
  FileErrorCause cause() const { return cause_; }
  const std::string& path() const { return path_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  FileErrorCause cause_;
  std::string path_;
  std::string what_;
};

}  // namespace tessmor
