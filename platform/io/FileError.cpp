#include "platform/io/FileError.h"

#include <cerrno>

namespace tessmor {

FileErrorCause FileErrorCauseFromErrno(int err) {
  switch (err) {
    case 0:
      return kFileErrorNone;
    case ENOENT:
      return kFileErrorNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kFileErrorBadPath;
    case EMFILE:
    case ENFILE:
      return kFileErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kFileErrorAccessDenied;
    case EBADF:
      return kFileErrorInvalidFile;
    case ESPIPE:
    case EINVAL:
      return kFileErrorBadSeek;
    case EIO:
      return kFileErrorHardIO;
    case EBUSY:
    case ETXTBSY:
      return kFileErrorSharingViolation;
    case ENOLCK:
    case EDEADLK:
      return kFileErrorLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kFileErrorDiskFull;
    default:
      return kFileErrorGeneric;
  }
}

FileException::FileException(FileErrorCause cause, std::string path)
    : cause_(cause), path_(std::move(path)) {
  what_ = "file error " + std::to_string(static_cast<int>(cause_)) + ": " + path_;
}

}  // namespace tessmor
