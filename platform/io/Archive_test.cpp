#include "platform/io/Archive.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/io/FileError.h"
#include "testsupport/ReturnsWithin.h"
#include "testsupport/TestData.h"

namespace tessmor {
namespace {

using testing::Bytes;

TEST(Archive, NumbersRoundTripLittleEndian) {
  Archive out = Archive::ForStore();
  out.WriteU8(0xAB);
  out.WriteU16(0x1234);
  out.WriteU32(0xDEADBEEF);
  out.WriteI32(-2);
  out.WriteFloat(1.5f);
  out.WriteDouble(-0.1);
  const auto& b = out.StoredBytes();
  ASSERT_EQ(b.size(), 1u + 2 + 4 + 4 + 4 + 8);
  EXPECT_EQ(b[1], 0x34);
  EXPECT_EQ(b[2], 0x12);
  EXPECT_EQ(b[3], 0xEF);
  EXPECT_EQ(b[6], 0xDE);
  // 1.5f is 0x3FC00000: low byte first.
  EXPECT_EQ(b[11], 0x00);
  EXPECT_EQ(b[14], 0x3F);

  Archive in = Archive::FromBytes(b);
  EXPECT_EQ(in.ReadU8(), 0xAB);
  EXPECT_EQ(in.ReadU16(), 0x1234);
  EXPECT_EQ(in.ReadU32(), 0xDEADBEEFu);
  EXPECT_EQ(in.ReadI32(), -2);
  EXPECT_EQ(in.ReadFloat(), 1.5f);
  EXPECT_EQ(in.ReadDouble(), -0.1);
  EXPECT_TRUE(in.AtEnd());
}

TEST(Archive, ReadingPastTheEndThrowsAndConsumesNothing) {
  Archive in = Archive::FromBytes({1, 2, 3});
  EXPECT_THROW(in.ReadU32(), ArchiveException);
  EXPECT_EQ(in.position(), 0u);
  EXPECT_EQ(in.ReadU16(), 0x0201);
  EXPECT_THROW(in.ReadDouble(), ArchiveException);
  char buf[4];
  EXPECT_THROW(in.ReadBytes(buf, 2), ArchiveException);
  EXPECT_EQ(in.ReadSome(buf, 4), 1u);
  EXPECT_THROW(in.ReadU8(), ArchiveException);
}

TEST(Archive, StringsUseTheirThreeLengthForms) {
  const std::string short_text(254, 'a');
  const std::string mid_text(255, 'b');
  const std::string edge16(0xFFFD, 'c');
  const std::string long_text(0xFFFE, 'd');
  Archive out = Archive::ForStore();
  out.WriteString(short_text);
  out.WriteString(mid_text);
  out.WriteString(edge16);
  out.WriteString(long_text);
  out.WriteString("");
  const auto& b = out.StoredBytes();
  EXPECT_EQ(b[0], 254);
  std::size_t p = 1 + 254;
  EXPECT_EQ(b[p], 0xFF);
  EXPECT_EQ(b[p + 1] | (b[p + 2] << 8), 255);
  p += 3 + 255;
  EXPECT_EQ(b[p], 0xFF);
  EXPECT_EQ(b[p + 1] | (b[p + 2] << 8), 0xFFFD);
  p += 3 + 0xFFFD;
  EXPECT_EQ(b[p], 0xFF);
  EXPECT_EQ(b[p + 1] | (b[p + 2] << 8), 0xFFFF);
  EXPECT_EQ(b[p + 3] | (b[p + 4] << 8) | (b[p + 5] << 16), 0xFFFE);
  EXPECT_EQ(b.size(), p + 7 + 0xFFFE + 1);

  Archive in = Archive::FromBytes(b);
  EXPECT_EQ(in.ReadString(), short_text);
  EXPECT_EQ(in.ReadString(), mid_text);
  EXPECT_EQ(in.ReadString(), edge16);
  EXPECT_EQ(in.ReadString(), long_text);
  EXPECT_EQ(in.ReadString(), "");
  EXPECT_TRUE(in.AtEnd());
}

TEST(Archive, TruncatedStringThrowsAndLeavesPosition) {
  Archive in = Archive::FromBytes({5, 'a', 'b'});
  EXPECT_THROW(in.ReadString(), ArchiveException);
  EXPECT_EQ(in.position(), 0u);
  Archive huge = Archive::FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_THROW(huge.ReadString(), ArchiveException);
}

TEST(Archive, ReadsRawTextLines) {
  Archive in = Archive::FromBytes(Bytes("one\r\ntwo\n\r\nlast"));
  std::string line;
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "one");
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "two");
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(in.ReadLine(line));
}

TEST(Archive, CommitReplacesTheFileWhole) {
  const std::string dir = testing::MakeTempDir();
  const std::string path = dir + "/out.bin";
  { std::ofstream(path) << "old contents"; }
  Archive out = Archive::ForStore(path);
  out.WriteText("new");
  out.Commit();
  Archive in = Archive::OpenForLoad(path);
  EXPECT_EQ(in.size(), 3u);
  EXPECT_EQ(in.FileBytes(), Bytes("new"));
  // No temporary is left beside it.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(Archive, FailedCommitKeepsTheOldFile) {
  const std::string dir = testing::MakeTempDir();
  // The target is a folder that is not empty: the rename must fail and nothing be lost.
  const std::string path = dir + "/occupied";
  std::filesystem::create_directory(path);
  { std::ofstream(path + "/keep") << "precious"; }
  Archive out = Archive::ForStore(path);
  out.WriteText("new");
  EXPECT_THROW(out.Commit(), FileException);
  EXPECT_TRUE(std::filesystem::exists(path + "/keep"));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(Archive, MissingFileReportsNotFound) {
  try {
    Archive::OpenForLoad(testing::MakeTempDir() + "/absent.txt");
    FAIL() << "no exception";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorNotFound);
  }
  try {
    Archive::OpenForLoad(testing::MakeTempDir() + "/no/such/dir/x.txt");
    FAIL() << "no exception";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorNotFound);
  }
  try {
    Archive::OpenForLoad(testing::MakeTempDir());
    FAIL() << "no exception";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorAccessDenied);
  }
}

/// The cause with which loading `path` is refused (kFileErrorNone when it loads), found
/// within five seconds or failing the test.
FileErrorCause LoadRefusal(const std::string& path, const std::function<void()>& unblock = {}) {
  return testing::ReturnsWithin<FileErrorCause>(
      5,
      [path] {
        try {
          Archive::OpenForLoad(path);
        } catch (const FileException& e) {
          return e.cause();
        }
        return kFileErrorNone;
      },
      unblock);
}

TEST(Archive, RefusesAFifoWithoutWaitingForAWriter) {
  const std::string fifo = testing::MakeTempDir() + "/profile.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Should the open wait for a writer, one comes after the time limit and goes at once.
  auto writer = [&fifo] {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  };
  EXPECT_EQ(LoadRefusal(fifo, writer), kFileErrorAccessDenied);
}

TEST(Archive, RefusesALinkToADeviceWithoutReadingIt) {
  const std::string link = testing::MakeTempDir() + "/profile.gpr";
  std::filesystem::create_symlink("/dev/zero", link);
  EXPECT_EQ(LoadRefusal(link), kFileErrorAccessDenied);
}

TEST(Archive, FollowsALinkToARegularFile) {
  const std::string dir = testing::MakeTempDir();
  std::ofstream(dir + "/real.gpr", std::ios::binary) << "abc";
  std::filesystem::create_symlink(dir + "/real.gpr", dir + "/link.gpr");
  Archive in = Archive::OpenForLoad(dir + "/link.gpr");
  EXPECT_EQ(in.size(), 3u);
}

TEST(Archive, RefusesAFileLargerThanAnyDocumentBeforeReadingIt) {
  const std::string path = testing::MakeTempDir() + "/huge.dat";
  std::ofstream(path, std::ios::binary) << "2\r\n";
  // A sparse file: no disk space, and a refusal that reads nothing takes no time either.
  std::filesystem::resize_file(path, kMaxDocumentFileBytes + 1);
  EXPECT_EQ(LoadRefusal(path), kFileErrorGeneric);
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

// The names in `dir`, sorted.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(SafeWrite, ReplacedFileKeepsItsPermissionBits) {
  const std::string dir = testing::MakeTempDir();
  const std::string path = dir + "/line.gpr";
  { std::ofstream(path) << "old"; }
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  WriteFileReplacing(path, Bytes("new contents"));
  EXPECT_EQ(testing::Slurp(path), "new contents");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"line.gpr"});
}

TEST(SafeWrite, NewFileGetsTheCreationMaskNotThePrivateModeOfATemporary) {
  const std::string path = testing::MakeTempDir() + "/new.txt";
  const mode_t previous = ::umask(027);
  WriteFileReplacing(path, Bytes("x"));
  ::umask(previous);
  EXPECT_EQ(ModeOf(path), 0640u);
}

TEST(SafeWrite, NameNearTheLengthLimitCanBeReplaced) {
  const std::string dir = testing::MakeTempDir();
  const std::string path = dir + "/" + std::string(250, 'n') + ".gpr";
  WriteFileReplacing(path, Bytes("one"));
  WriteFileReplacing(path, Bytes("two"));
  EXPECT_EQ(testing::Slurp(path), "two");
  EXPECT_EQ(Names(dir).size(), 1u);
}

TEST(SafeWrite, LinkStaysAndTheFileItPointsToIsReplaced) {
  const std::string dir = testing::MakeTempDir();
  std::filesystem::create_directory(dir + "/data");
  { std::ofstream(dir + "/data/real.gpr") << "old"; }
  ASSERT_EQ(::chmod((dir + "/data/real.gpr").c_str(), 0600), 0);
  // A relative link, through a second link: each is read from its own folder.
  std::filesystem::create_symlink("data/real.gpr", dir + "/first.gpr");
  std::filesystem::create_symlink("first.gpr", dir + "/link.gpr");
  WriteFileReplacing(dir + "/link.gpr", Bytes("new"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.gpr"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/first.gpr"));
  EXPECT_EQ(std::filesystem::read_symlink(dir + "/link.gpr"), "first.gpr");
  EXPECT_EQ(testing::Slurp(dir + "/data/real.gpr"), "new");
  EXPECT_EQ(ModeOf(dir + "/data/real.gpr"), 0600u);
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"data", "first.gpr", "link.gpr"}));
  EXPECT_EQ(Names(dir + "/data"), std::vector<std::string>{"real.gpr"});
}

TEST(SafeWrite, DanglingLinkGetsItsTargetCreated) {
  const std::string dir = testing::MakeTempDir();
  std::filesystem::create_symlink("made.txt", dir + "/link.txt");
  WriteFileReplacing(dir + "/link.txt", Bytes("abc"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.txt"));
  EXPECT_EQ(testing::Slurp(dir + "/made.txt"), "abc");
}

TEST(SafeWrite, LinkLoopIsABadPath) {
  const std::string dir = testing::MakeTempDir();
  std::filesystem::create_symlink("b", dir + "/a");
  std::filesystem::create_symlink("a", dir + "/b");
  try {
    WriteFileReplacing(dir + "/a", Bytes("x"));
    ADD_FAILURE() << "a loop of links was written through";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorBadPath);
  }
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a", "b"}));
}

TEST(SafeWrite, VanishedFolderIsReportedAsNotFound) {
  const std::string dir = testing::MakeTempDir();
  std::filesystem::create_directory(dir + "/gone");
  std::filesystem::remove(dir + "/gone");
  try {
    WriteFileReplacing(dir + "/gone/line.gpr", Bytes("x"));
    ADD_FAILURE() << "wrote into a folder that does not exist";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorNotFound);
  }
  EXPECT_TRUE(Names(dir).empty());
}

TEST(SafeWrite, ReadOnlyFolderKeepsTheOldFileAndLeavesNoTemporary) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, which writes into read-only folders";
  const std::string dir = testing::MakeTempDir();
  const std::string path = dir + "/line.gpr";
  { std::ofstream(path) << "precious"; }
  ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
  try {
    WriteFileReplacing(path, Bytes("new"));
    ADD_FAILURE() << "wrote into a read-only folder";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorAccessDenied);
  }
  ::chmod(dir.c_str(), 0755);
  EXPECT_EQ(testing::Slurp(path), "precious");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"line.gpr"});
}

TEST(SafeWrite, FullDiskKeepsTheOldFileAndLeavesNoTemporary) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string dir = testing::MakeTempDir() + "/small";
  std::filesystem::create_directory(dir);
  if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here: " << std::strerror(errno);
  }
  const std::string path = dir + "/line.gpr";
  { std::ofstream(path) << "precious"; }
  const std::vector<std::uint8_t> big(256 * 1024, 'x');
  try {
    WriteFileReplacing(path, big);
    ADD_FAILURE() << "256 KiB fitted on a 64 KiB file system";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause(), kFileErrorDiskFull);
  }
  EXPECT_EQ(testing::Slurp(path), "precious");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"line.gpr"});
  // Once the disk has room again, the same save goes through.
  WriteFileReplacing(path, Bytes("fits"));
  EXPECT_EQ(testing::Slurp(path), "fits");
  ::umount2(dir.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace tessmor
