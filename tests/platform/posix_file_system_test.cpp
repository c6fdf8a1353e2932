#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>

namespace tolvi {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tolvi-fs-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Read(const fs::path& path) {
    std::string contents;
    EXPECT_TRUE(files_.ReadFile(path, &contents).ok()) << path;
    return contents;
  }

  // Every entry of a directory, hidden ones and links included.
  static std::vector<std::string> Entries(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  PosixFileSystem files_;
  fs::path dir_;
};

TEST_F(PosixFileSystemTest, WriteFileAtomicReplacesTheFileKeepingItsModeAndNoTemporary) {
  const fs::path path = dir_ / "dTolvi.dat";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old").ok());
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(files_.WriteFileAtomic(path, std::string("new\0data", 8)).ok());
  EXPECT_EQ(Read(path), std::string("new\0data", 8));
  EXPECT_EQ(files_.ListFiles(dir_), std::vector<std::string>{"dTolvi.dat"});
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600U);
}

TEST_F(PosixFileSystemTest, WriteFileAtomicKeepsTheOldFileWhenTheWriteFails) {
  const fs::path path = dir_ / "dTolvi.dat";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old").ok());
  // A file size limit makes the write itself fail (EFBIG), as a full disk would.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit tight = saved;
  tight.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  const Status status = files_.WriteFileAtomic(path, std::string(4096, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_EQ(Read(path), "old");
  EXPECT_EQ(files_.ListFiles(dir_), std::vector<std::string>{"dTolvi.dat"});
}

TEST_F(PosixFileSystemTest, AppendFileAddsToTheEnd) {
  const fs::path log = dir_ / "dLog.txt";
  ASSERT_TRUE(files_.AppendFile(log, "one\n").ok());
  ASSERT_TRUE(files_.AppendFile(log, "two\n").ok());
  EXPECT_EQ(Read(log), "one\ntwo\n");
}

TEST_F(PosixFileSystemTest, TouchModifiedSetsTheModificationTimeToNow) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "x").ok());
  const auto past = fs::last_write_time(path) - std::chrono::hours(48);
  fs::last_write_time(path, past);
  ASSERT_TRUE(files_.TouchModified(path).ok());
  const auto age = fs::file_time_type::clock::now() - fs::last_write_time(path);
  EXPECT_LT(std::chrono::abs(age), std::chrono::minutes(1));
}

TEST_F(PosixFileSystemTest, ListFilesNamesRegularFilesInOrder) {
  ASSERT_TRUE(files_.CreateDirectories(dir_ / "sub" / "deeper").ok());
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  ASSERT_TRUE(files_.WriteFileAtomic(dir_ / "b.txt", "").ok());
  ASSERT_TRUE(files_.WriteFileAtomic(dir_ / "a.txt", "").ok());
  EXPECT_EQ(files_.ListFiles(dir_), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(PosixFileSystemTest, MappedFileGrowsFromEmptyWritesInPlaceAndShrinks) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "").ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_NE(mapped, nullptr) << status.message();
  EXPECT_TRUE(mapped->bytes().empty());
  ASSERT_TRUE(mapped->Resize(3).ok());
  std::memcpy(mapped->bytes().data(), "abC", 3);
  ASSERT_TRUE(mapped->Resize(10000).ok());
  mapped->bytes()[9999] = std::byte{'z'};
  ASSERT_TRUE(mapped->Flush().ok());
  EXPECT_EQ(Read(path), "abC" + std::string(9996, '\0') + "z");
  ASSERT_TRUE(mapped->Resize(2).ok());
  mapped = files_.OpenMapped(path, false, &status);
  ASSERT_NE(mapped, nullptr) << status.message();
  EXPECT_EQ(mapped->bytes()[1], std::byte{'b'});
  EXPECT_FALSE(mapped->Resize(10).ok());
  EXPECT_EQ(Read(path), "ab");
}

// Runs `call` on its own thread. Should it block (opening a FIFO that has no
// writer), the FIFO is opened for writing to release it, so the test fails
// instead of hanging.
Status RunReleasingFifo(const fs::path& fifo, const std::function<Status()>& call) {
  constexpr auto kPatience = std::chrono::seconds(20);
  std::future<Status> result = std::async(std::launch::async, call);
  if (result.wait_for(kPatience) != std::future_status::ready) {
    ADD_FAILURE() << "blocked on " << fifo;
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
    }
  }
  return result.get();
}

TEST_F(PosixFileSystemTest, WhatIsMissingOrNotARegularFileIsRefusedAtOnceAndNothingIsMade) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(files_.CreateDirectories(dir_ / "sub").ok());
  const std::pair<fs::path, Status::Code> odd_files[] = {{fifo, Status::Code::kIoError},
                                                         {dir_ / "sub", Status::Code::kIoError},
                                                         {"/dev/null", Status::Code::kIoError},
                                                         {dir_ / "none", Status::Code::kNotFound}};
  const fs::path copy = dir_ / "copy";
  std::string contents = "unchanged";
  const std::pair<const char*, std::function<Status(const fs::path&)>> operations[] = {
      {"read", [&](const fs::path& odd) { return files_.ReadFile(odd, &contents); }},
      {"copy", [&](const fs::path& odd) { return files_.CopyFile(odd, copy); }},
      {"map",
       [&](const fs::path& odd) {
         Status status;
         EXPECT_EQ(files_.OpenMapped(odd, true, &status), nullptr);
         return status;
       }},
  };
  for (const auto& [odd, code] : odd_files) {
    for (const auto& [name, operation] : operations) {
      SCOPED_TRACE(odd.string() + " " + name);
      const Status status = RunReleasingFifo(fifo, [&] { return operation(odd); });
      EXPECT_EQ(status.code(), code);
      EXPECT_NE(status.message().find(odd.string()), std::string::npos) << status.message();
      EXPECT_FALSE(fs::exists(copy));
    }
  }
  EXPECT_EQ(contents, "unchanged");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"fifo", "sub"}));
}

TEST_F(PosixFileSystemTest, FilesAboveTheReadLimitAreRefusedUnread) {
  const fs::path path = dir_ / "big";
  const fs::path copy = dir_ / "copy";
  // The refused size first, so that no copy is left from the accepted one.
  for (const auto& [size, accepted] :
       {std::pair{kMaxReadBytes + 1, false}, std::pair{kMaxReadBytes, true}}) {
    SCOPED_TRACE(size);
    std::ofstream{path};
    fs::resize_file(path, size);  // sparse: takes no disk space
    std::string contents = "unchanged";
    EXPECT_EQ(files_.ReadFile(path, &contents).ok(), accepted);
    EXPECT_EQ(contents.size(), accepted ? size : 9U);
    EXPECT_EQ(files_.CopyFile(path, copy).ok(), accepted);
    EXPECT_EQ(files_.FileSize(copy), accepted ? std::optional(size) : std::nullopt);
  }
}

// pagemap is a regular file that says it is empty and reads far past the
// limit: a file that grows while it is read.
TEST_F(PosixFileSystemTest, ReadingStopsWhenTheFileGrowsPastTheLimit) {
  const fs::path grows = "/proc/self/pagemap";
  if (::access(grows.c_str(), R_OK) != 0) GTEST_SKIP() << grows << " is not readable here";
  std::string contents = "unchanged";
  EXPECT_EQ(files_.ReadFile(grows, &contents).code(), Status::Code::kIoError);
  EXPECT_EQ(contents, "unchanged");
  EXPECT_EQ(files_.CopyFile(grows, dir_ / "copy").code(), Status::Code::kIoError);
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{});
}

TEST_F(PosixFileSystemTest, ReplacingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  const fs::path data = dir_ / "data";
  const fs::path real = dir_ / "elsewhere" / "real.dat";
  // A chain of two relative links: each is read from its own folder.
  const std::pair<std::string, std::string> links[] = {{"dTolvi.dat", "hop"},
                                                       {"hop", "../elsewhere/real.dat"}};
  for (const bool target_exists : {true, false}) {
    SCOPED_TRACE(target_exists);
    for (const fs::path& folder : {data, real.parent_path()}) {
      fs::remove_all(folder);
      fs::create_directories(folder);
    }
    for (const auto& [name, target] : links) fs::create_symlink(target, data / name);
    ASSERT_TRUE(!target_exists || files_.WriteFileAtomic(real, "old").ok());

    ASSERT_TRUE(files_.WriteFileAtomic(data / "dTolvi.dat", "written").ok());

    EXPECT_EQ(Read(real), "written");
    for (const auto& [name, target] : links) EXPECT_EQ(fs::read_symlink(data / name), target);
    EXPECT_EQ(Entries(real.parent_path()), std::vector<std::string>{"real.dat"});
    EXPECT_EQ(Entries(data), (std::vector<std::string>{"dTolvi.dat", "hop"}));
  }
}

TEST_F(PosixFileSystemTest, ReplacingThroughALoopOfLinksFailsAndKeepsTheLinks) {
  fs::create_symlink("other", dir_ / "dTolvi.dat");
  fs::create_symlink("dTolvi.dat", dir_ / "other");
  EXPECT_EQ(files_.WriteFileAtomic(dir_ / "dTolvi.dat", "data").code(), Status::Code::kIoError);
  EXPECT_TRUE(fs::is_symlink(dir_ / "dTolvi.dat"));
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"dTolvi.dat", "other"}));
}

// A 64 KiB file system of its own, mounted for each test; needs root.
class FullDiskTest : public PosixFileSystemTest {
 protected:
  static constexpr std::size_t kDiskBytes = 64 * 1024;

  void SetUp() override {
    PosixFileSystemTest::SetUp();
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
    disk_ = dir_ / "disk";
    fs::create_directories(disk_);
    const std::string options = "size=" + std::to_string(kDiskBytes);
    if (::mount("tmpfs", disk_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(disk_.c_str(), MNT_DETACH);
    PosixFileSystemTest::TearDown();
  }

  // Writes a filler file until the disk is full.
  void FillDisk() {
    std::ofstream filler(disk_ / "filler", std::ios::binary);
    while (filler << std::string(4096, 'f')) {
    }
  }

  fs::path disk_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, GrowthWithoutSpaceFailsAndKeepsTheOldMapping) {
  const fs::path path = disk_ / "TlvDB.lbf";
  const std::string old_bytes(8192, 'o');
  ASSERT_TRUE(files_.WriteFileAtomic(path, old_bytes).ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_NE(mapped, nullptr) << status.message();
  FillDisk();

  status = mapped->Resize(old_bytes.size() + kDiskBytes);

  EXPECT_EQ(status.code(), Status::Code::kIoError);
  ASSERT_EQ(mapped->bytes().size(), old_bytes.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped->bytes().data()), old_bytes.size()),
            old_bytes);
  EXPECT_EQ(files_.FileSize(path), old_bytes.size());
}

TEST_F(FullDiskTest, OpeningASparseFileForWritingWithoutSpaceFailsCleanly) {
  const fs::path path = disk_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "head").ok());
  constexpr off_t kSparseSize = 1024 * 1024;
  ASSERT_EQ(::truncate(path.c_str(), kSparseSize), 0);
  FillDisk();

  Status status;
  EXPECT_EQ(files_.OpenMapped(path, true, &status), nullptr);

  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_NE(status.message().find("space"), std::string::npos) << status.message();
  EXPECT_EQ(Read(path), "head" + std::string(kSparseSize - 4, '\0'));
}

}  // namespace
}  // namespace tolvi
