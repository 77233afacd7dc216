#include "platform/io/Archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/io/FileError.h"

namespace tessmor {

namespace {

// Closes a stdio stream when the scope ends.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Closes a file descriptor when the scope ends.
struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t max_bytes) {
  // Only a regular file (a link is followed) has an end to read up to: a FIFO, a device or a
  // socket may never give one, so they are refused before anything is read.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) throw FileException(FileErrorCauseFromErrno(errno), path);
  if (!S_ISREG(st.st_mode)) throw FileException(kFileErrorAccessDenied, path);
  // Without waiting, should a FIFO have taken the file's place since: the open would block.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileException(FileErrorCauseFromErrno(errno), path);
  FdCloser closer{fd};
  if (::fstat(fd, &st) != 0) throw FileException(FileErrorCauseFromErrno(errno), path);
  if (!S_ISREG(st.st_mode)) throw FileException(kFileErrorAccessDenied, path);
  if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
    throw FileException(kFileErrorGeneric, path);
  }
  std::vector<std::uint8_t> data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileException(kFileErrorHardIO, path);
    }
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (static_cast<std::size_t>(n) > max_bytes - data.size()) {
      throw FileException(kFileErrorGeneric, path);
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  return data;
}

namespace {

// The file a save replaces: `path` itself, or, when it is a symbolic link, the file the link
// (and any link it names) finally points to, so that the link stays and its target is
// replaced. A relative link is taken from the folder of the link. Throws FileException with
// kFileErrorBadPath for a chain of more than 40 links.
std::filesystem::path FileToReplace(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path target(path);
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    if (hops == 40) throw FileException(kFileErrorBadPath, path);
    fs::path next = fs::read_symlink(target, ec);
    if (ec) throw FileException(FileErrorCauseFromErrno(ec.value()), path);
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
}

// The permission bits a new file gets from this process: 0666 less the file-creation mask,
// read from /proc (the mask cannot be read without changing it otherwise); 022 assumed when
// it is not there.
mode_t NewFileMode() {
  mode_t mask = 022;
  if (FilePtr f{std::fopen("/proc/self/status", "r")}) {
    char line[256];
    while (std::fgets(line, sizeof line, f.get())) {
      unsigned value = 0;
      if (std::sscanf(line, "Umask: %o", &value) == 1) {
        mask = static_cast<mode_t>(value);
        break;
      }
    }
  }
  return 0666 & ~mask;
}

// The cause of a failure with `err`, never "no error".
FileErrorCause CauseOf(int err) {
  const FileErrorCause cause = FileErrorCauseFromErrno(err);
  return cause == kFileErrorNone ? kFileErrorGeneric : cause;
}

}  // namespace

void WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  namespace fs = std::filesystem;
  const fs::path target = FileToReplace(path);
  // The old file's permission bits (and, where allowed, its owner) carry over to the new one.
  mode_t mode = NewFileMode();
  struct stat old;
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed) {
    if (!S_ISREG(old.st_mode)) throw FileException(kFileErrorAccessDenied, path);
    mode = old.st_mode & 07777;
  } else if (errno != ENOENT) {
    throw FileException(CauseOf(errno), path);
  }

  // A uniquely named temporary in the same folder, so that the rename cannot cross file
  // systems and two saves never share one.
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // The file's name is cut short in it, so that a name near the length limit still has room.
  const std::string name = target.filename().string().substr(0, 200);
  std::string temp = (folder / ("." + name + ".XXXXXX")).string();
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) throw FileException(CauseOf(errno), path);
  // On any failure the temporary goes and the old file stays as it was.
  auto fail = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw FileException(CauseOf(err), path);
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    if (n == 0) fail(ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (::fchmod(fd, mode) != 0) fail(errno);
  if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Only a privileged process may keep another owner; an ordinary one keeps the group when
    // it belongs to it, and otherwise the new file is its own.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
  }
  // The bytes reach the disk before the name points at them.
  if (::fsync(fd) != 0) fail(errno);
  const int closing = fd;
  fd = -1;
  if (::close(closing) != 0) fail(errno);
  if (std::rename(temp.c_str(), target.c_str()) != 0) fail(errno);
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    // The new file is in place by now: a folder that cannot be synced is no failed save.
    (void)::fsync(dir);
    ::close(dir);
  }
}

Archive::Archive(Mode mode, std::vector<std::uint8_t> data, std::string path)
    : mode_(mode), data_(std::move(data)), path_(std::move(path)) {}

Archive Archive::OpenForLoad(const std::string& path) {
  return Archive(Mode::kLoad, ReadWholeFile(path, kMaxDocumentFileBytes), path);
}

Archive Archive::FromBytes(std::vector<std::uint8_t> bytes, std::string path) {
  return Archive(Mode::kLoad, std::move(bytes), std::move(path));
}

Archive Archive::ForStore(std::string path) { return Archive(Mode::kStore, {}, std::move(path)); }

void Archive::Need(std::size_t n) const {
  if (mode_ != Mode::kLoad || n > data_.size() - pos_) throw ArchiveException();
}

std::uint8_t Archive::ReadU8() {
  Need(1);
  return data_[pos_++];
}

std::uint16_t Archive::ReadU16() {
  Need(2);
  std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

std::uint32_t Archive::ReadU32() {
  Need(4);
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
  pos_ += 4;
  return v;
}

float Archive::ReadFloat() {
  std::uint32_t bits = ReadU32();
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

double Archive::ReadDouble() {
  Need(8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | data_[pos_ + i];
  pos_ += 8;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

void Archive::ReadBytes(void* out, std::size_t n) {
  Need(n);
  if (n) std::memcpy(out, data_.data() + pos_, n);
  pos_ += n;
}

std::size_t Archive::ReadSome(void* out, std::size_t n) {
  if (mode_ != Mode::kLoad) throw ArchiveException();
  std::size_t avail = data_.size() - pos_;
  if (n > avail) n = avail;
  if (n) std::memcpy(out, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

std::string Archive::ReadString() {
  std::size_t start = pos_;
  try {
    std::uint32_t len = ReadU8();
    if (len == 0xFF) {
      len = ReadU16();
      if (len == 0xFFFF) len = ReadU32();
    }
    Need(len);
    std::string s(reinterpret_cast<const char*>(data_.data() + pos_), len);
    pos_ += len;
    return s;
  } catch (const ArchiveException&) {
    pos_ = start;
    throw;
  }
}

bool Archive::ReadLine(std::string& line) {
  if (mode_ != Mode::kLoad) throw ArchiveException();
  line.clear();
  if (pos_ >= data_.size()) return false;
  std::size_t end = pos_;
  while (end < data_.size() && data_[end] != '\n') ++end;
  std::size_t stop = end;
  if (stop > pos_ && data_[stop - 1] == '\r') --stop;
  line.assign(reinterpret_cast<const char*>(data_.data() + pos_), stop - pos_);
  pos_ = end < data_.size() ? end + 1 : end;
  return true;
}

void Archive::Seek(std::size_t pos) {
  if (pos > data_.size()) throw ArchiveException();
  pos_ = pos;
}

void Archive::WriteU8(std::uint8_t v) { data_.push_back(v); }

void Archive::WriteU16(std::uint16_t v) {
  data_.push_back(static_cast<std::uint8_t>(v));
  data_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Archive::WriteU32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Archive::WriteFloat(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof v);
  WriteU32(bits);
}

void Archive::WriteDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof v);
  for (int i = 0; i < 8; ++i) data_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void Archive::WriteBytes(const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  data_.insert(data_.end(), p, p + n);
}

void Archive::WriteString(std::string_view s) {
  std::size_t len = s.size();
  if (len < 0xFF) {
    WriteU8(static_cast<std::uint8_t>(len));
  } else if (len < 0xFFFE) {
    WriteU8(0xFF);
    WriteU16(static_cast<std::uint16_t>(len));
  } else {
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(static_cast<std::uint32_t>(len));
  }
  WriteBytes(s.data(), len);
}

void Archive::Commit() const {
  if (path_.empty()) throw FileException(kFileErrorBadPath, path_);
  WriteFileReplacing(path_, data_);
}

}  // namespace tessmor
