#include "platform/Archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/FileError.h"

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

void WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  namespace fs = std::filesystem;
  fs::path target(path);
  fs::path temp = target;
  temp += ".tmp~";
  {
    FilePtr f(std::fopen(temp.c_str(), "wb"));
    if (!f) throw FileException(FileErrorCauseFromErrno(errno), path);
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    int err = errno;
    ok = ok && std::fflush(f.get()) == 0;
    if (!ok) err = errno;
    std::FILE* raw = f.release();
    ok = (std::fclose(raw) == 0) && ok;
    if (!ok) {
      std::error_code ec;
      fs::remove(temp, ec);
      FileErrorCause cause = FileErrorCauseFromErrno(err);
      throw FileException(cause == kFileErrorNone ? kFileErrorGeneric : cause, path);
    }
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    std::error_code ec;
    fs::remove(temp, ec);
    throw FileException(FileErrorCauseFromErrno(err), path);
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
