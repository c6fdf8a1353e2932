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

  // The outcome of mapping path; a mapping is handed out exactly on success.
  Status MapStatus(const fs::path& path, bool writable) {
    Status status;
    const bool mapped = files_.OpenMapped(path, writable, &status) != nullptr;
    EXPECT_EQ(mapped, status.ok()) << path;
    return status;
  }

  PosixFileSystem files_;
  fs::path dir_;
};

// A file of `size` bytes that takes no disk space.
void MakeSparseFile(const fs::path& path, off_t size) {
  std::ofstream{path};
  fs::resize_file(path, static_cast<std::uintmax_t>(size));
}

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

TEST_F(PosixFileSystemTest, WriteFileAtomicLeavesNothingBehindWhenTheRenameFails) {
  const fs::path target = dir_ / "busy";
  fs::create_directories(target / "inside");
  EXPECT_FALSE(files_.WriteFileAtomic(target, "data").ok());
  EXPECT_TRUE(fs::is_directory(target / "inside"));
  EXPECT_TRUE(files_.ListFiles(dir_).empty());
}

TEST_F(PosixFileSystemTest, CopyFileReplacesTheTargetWhole) {
  const fs::path from = dir_ / "TlvDB.lbf";
  const fs::path to = dir_ / "TlvDB.lbf Bak";
  const std::string big(200000, 'q');
  ASSERT_TRUE(files_.WriteFileAtomic(from, big).ok());
  ASSERT_TRUE(files_.WriteFileAtomic(to, "older and longer backup").ok());
  ASSERT_TRUE(files_.CopyFile(from, to).ok());
  EXPECT_EQ(Read(to), big);
}

TEST_F(PosixFileSystemTest, ALogIsAppendedToRenamedAndRemoved) {
  const fs::path a = dir_ / "dLog.txt";
  const fs::path b = dir_ / "dLogOld.txt";
  ASSERT_TRUE(files_.AppendFile(a, "one\n").ok());
  ASSERT_TRUE(files_.AppendFile(a, "two\n").ok());
  ASSERT_TRUE(files_.Rename(a, b).ok());
  EXPECT_FALSE(files_.Exists(a));
  EXPECT_EQ(Read(b), "one\ntwo\n");
  ASSERT_TRUE(files_.Remove(b).ok());
  EXPECT_FALSE(files_.Exists(b));
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
  EXPECT_TRUE(files_.ListFiles(dir_ / "none").empty());
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
  ASSERT_EQ(mapped->bytes().size(), 10000U);
  EXPECT_EQ(mapped->bytes()[2], std::byte{'C'});
  EXPECT_EQ(mapped->bytes()[9999], std::byte{0});
  mapped->bytes()[9999] = std::byte{'z'};
  ASSERT_TRUE(mapped->Flush().ok());
  EXPECT_EQ(Read(path), "abC" + std::string(9996, '\0') + "z");
  ASSERT_TRUE(mapped->Resize(2).ok());
  mapped.reset();
  EXPECT_EQ(Read(path), "ab");
}

TEST_F(PosixFileSystemTest, ReadOnlyMappingRefusesToResize) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "abc").ok());
  Status status;
  const std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, false, &status);
  ASSERT_NE(mapped, nullptr);
  EXPECT_FALSE(mapped->writable());
  EXPECT_EQ(mapped->bytes()[2], std::byte{'c'});
  EXPECT_FALSE(mapped->Resize(10).ok());
  EXPECT_EQ(mapped->bytes().size(), 3U);
  EXPECT_EQ(files_.FileSize(path), 3U);
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
  const fs::path none = dir_ / "none";
  const std::pair<fs::path, Status::Code> odd_files[] = {{fifo, Status::Code::kIoError},
                                                         {dir_ / "sub", Status::Code::kIoError},
                                                         {"/dev/null", Status::Code::kIoError},
                                                         {none, Status::Code::kNotFound}};
  const fs::path copy = dir_ / "copy";
  std::string contents = "unchanged";
  const std::pair<const char*, std::function<Status(const fs::path&)>> operations[] = {
      {"read", [&](const fs::path& odd) { return files_.ReadFile(odd, &contents); }},
      {"copy", [&](const fs::path& odd) { return files_.CopyFile(odd, copy); }},
      {"map for reading", [&](const fs::path& odd) { return MapStatus(odd, false); }},
      {"map for writing", [&](const fs::path& odd) { return MapStatus(odd, true); }},
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
  // Nor is a missing file found by the changing calls.
  EXPECT_EQ(files_.Rename(none, dir_ / "renamed").code(), Status::Code::kNotFound);
  EXPECT_EQ(files_.Remove(none).code(), Status::Code::kNotFound);
  EXPECT_EQ(files_.TouchModified(none).code(), Status::Code::kNotFound);
  EXPECT_FALSE(files_.FileSize(none).has_value());
  EXPECT_FALSE(files_.Exists(none));
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"fifo", "sub"}));
}

TEST_F(PosixFileSystemTest, FilesAboveTheReadLimitAreRefusedUnread) {
  struct Case {
    off_t size;
    bool accepted;
  };
  constexpr off_t kLimit = static_cast<off_t>(kMaxReadBytes);
  const Case cases[] = {{kLimit, true}, {kLimit + 1, false}, {off_t{3} << 30, false}};
  const fs::path path = dir_ / "big";
  const fs::path copy = dir_ / "copy";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    MakeSparseFile(path, c.size);
    std::string contents = "unchanged";
    const Status read = files_.ReadFile(path, &contents);
    EXPECT_EQ(read.ok(), c.accepted) << read.message();
    EXPECT_EQ(contents.size(), c.accepted ? static_cast<std::size_t>(c.size) : 9U);
    const Status copied = files_.CopyFile(path, copy);
    EXPECT_EQ(copied.ok(), c.accepted) << copied.message();
    EXPECT_EQ(files_.FileSize(copy),
              c.accepted ? std::optional<std::uint64_t>(c.size) : std::nullopt);
    std::error_code ignored;
    fs::remove(copy, ignored);
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
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // in data/: name -> target
    bool target_exists;
  };
  const fs::path real = dir_ / "elsewhere" / "real.dat";
  const Case cases[] = {
      {"absolute", {{"dTolvi.dat", real.string()}}, true},
      {"relative", {{"dTolvi.dat", "../elsewhere/real.dat"}}, true},
      {"chain", {{"dTolvi.dat", "hop"}, {"hop", "../elsewhere/real.dat"}}, true},
      {"dangling", {{"dTolvi.dat", "../elsewhere/real.dat"}}, false},
  };
  const fs::path source = dir_ / "source";
  ASSERT_TRUE(files_.WriteFileAtomic(source, "written").ok());
  const std::pair<const char*, std::function<Status(const fs::path&)>> writes[] = {
      {"write", [&](const fs::path& link) { return files_.WriteFileAtomic(link, "written"); }},
      {"copy", [&](const fs::path& link) { return files_.CopyFile(source, link); }},
  };
  for (const Case& c : cases) {
    for (const auto& [write_name, write] : writes) {
      SCOPED_TRACE(std::string(c.name) + " " + write_name);
      for (const char* folder : {"data", "elsewhere"}) {
        fs::remove_all(dir_ / folder);
        fs::create_directories(dir_ / folder);
      }
      for (const auto& [name, target] : c.links) fs::create_symlink(target, dir_ / "data" / name);
      ASSERT_TRUE(!c.target_exists || files_.WriteFileAtomic(real, "old").ok());

      ASSERT_TRUE(write(dir_ / "data" / "dTolvi.dat").ok());

      EXPECT_EQ(Read(real), "written");
      for (const auto& [name, target] : c.links) {
        ASSERT_TRUE(fs::is_symlink(dir_ / "data" / name)) << name;
        EXPECT_EQ(fs::read_symlink(dir_ / "data" / name), target);
      }
      EXPECT_EQ(Entries(dir_ / "elsewhere"), std::vector<std::string>{"real.dat"});
      EXPECT_EQ(Entries(dir_ / "data").size(), c.links.size());
    }
  }
}

TEST_F(PosixFileSystemTest, ReplacingThroughALoopOfLinksFailsAndKeepsTheLinks) {
  const fs::path a = dir_ / "dTolvi.dat";
  const fs::path b = dir_ / "other";
  fs::create_symlink("other", a);
  fs::create_symlink("dTolvi.dat", b);
  EXPECT_EQ(files_.WriteFileAtomic(a, "data").code(), Status::Code::kIoError);
  EXPECT_TRUE(fs::is_symlink(a));
  EXPECT_TRUE(fs::is_symlink(b));
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
  std::string old_bytes;
  while (old_bytes.size() < 8192) old_bytes += "abcdefghijklmnopqrstuvwxyz";
  ASSERT_TRUE(files_.WriteFileAtomic(path, old_bytes).ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_NE(mapped, nullptr) << status.message();
  FillDisk();

  status = mapped->Resize(old_bytes.size() + kDiskBytes);

  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_NE(status.message().find("space"), std::string::npos) << status.message();
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
  std::string expected = "head";
  expected.resize(kSparseSize, '\0');

  Status status;
  EXPECT_EQ(files_.OpenMapped(path, true, &status), nullptr);

  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_NE(status.message().find("space"), std::string::npos) << status.message();
  EXPECT_EQ(Read(path), expected);
}

}  // namespace
}  // namespace tolvi
