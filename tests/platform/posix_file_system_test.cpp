#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>

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

  PosixFileSystem files_;
  fs::path dir_;
};

TEST_F(PosixFileSystemTest, WriteFileAtomicReplacesTheFileAndLeavesNoTemporary) {
  const fs::path path = dir_ / "dTolvi.dat";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old").ok());
  ASSERT_TRUE(files_.WriteFileAtomic(path, std::string("new\0data", 8)).ok());
  EXPECT_EQ(Read(path), std::string("new\0data", 8));
  EXPECT_EQ(files_.ListFiles(dir_), std::vector<std::string>{"dTolvi.dat"});
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

TEST_F(PosixFileSystemTest, WriteFileAtomicKeepsTheModeOfTheFileItReplaces) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old").ok());
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(files_.WriteFileAtomic(path, "new").ok());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600U);
}

TEST_F(PosixFileSystemTest, AppendFileCreatesAndAppends) {
  const fs::path path = dir_ / "dLog.txt";
  ASSERT_TRUE(files_.AppendFile(path, "one\n").ok());
  ASSERT_TRUE(files_.AppendFile(path, "two\n").ok());
  EXPECT_EQ(Read(path), "one\ntwo\n");
  EXPECT_EQ(files_.FileSize(path), 8U);
}

TEST_F(PosixFileSystemTest, CopyFileReplacesTheTargetWhole) {
  const fs::path from = dir_ / "TlvDB.lbf";
  const fs::path to = dir_ / "TlvDB.lbf Bak";
  const std::string big(200000, 'q');
  ASSERT_TRUE(files_.WriteFileAtomic(from, big).ok());
  ASSERT_TRUE(files_.WriteFileAtomic(to, "older and longer backup").ok());
  ASSERT_TRUE(files_.CopyFile(from, to).ok());
  EXPECT_EQ(Read(to), big);
  EXPECT_EQ(files_.CopyFile(dir_ / "missing", to).code(), Status::Code::kNotFound);
  EXPECT_EQ(Read(to), big);
}

TEST_F(PosixFileSystemTest, ReadFileOfAMissingFileIsNotFound) {
  std::string contents = "unchanged";
  EXPECT_EQ(files_.ReadFile(dir_ / "none", &contents).code(), Status::Code::kNotFound);
  EXPECT_EQ(contents, "unchanged");
  EXPECT_FALSE(files_.FileSize(dir_ / "none").has_value());
  EXPECT_FALSE(files_.Exists(dir_ / "none"));
}

TEST_F(PosixFileSystemTest, RenameAndRemoveMoveAndDeleteFiles) {
  const fs::path a = dir_ / "dLog.txt";
  const fs::path b = dir_ / "dLogOld.txt";
  ASSERT_TRUE(files_.WriteFileAtomic(a, "log").ok());
  ASSERT_TRUE(files_.Rename(a, b).ok());
  EXPECT_FALSE(files_.Exists(a));
  EXPECT_EQ(Read(b), "log");
  ASSERT_TRUE(files_.Remove(b).ok());
  EXPECT_EQ(files_.Remove(b).code(), Status::Code::kNotFound);
}

TEST_F(PosixFileSystemTest, TouchModifiedSetsTheModificationTimeToNow) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "x").ok());
  const auto past = fs::last_write_time(path) - std::chrono::hours(48);
  fs::last_write_time(path, past);
  ASSERT_TRUE(files_.TouchModified(path).ok());
  const auto age = fs::file_time_type::clock::now() - fs::last_write_time(path);
  EXPECT_LT(std::chrono::abs(age), std::chrono::minutes(1));
  EXPECT_FALSE(files_.TouchModified(dir_ / "none").ok());
}

TEST_F(PosixFileSystemTest, ListFilesNamesRegularFilesInOrder) {
  ASSERT_TRUE(files_.CreateDirectories(dir_ / "sub" / "deeper").ok());
  ASSERT_TRUE(files_.WriteFileAtomic(dir_ / "b.txt", "").ok());
  ASSERT_TRUE(files_.WriteFileAtomic(dir_ / "a.txt", "").ok());
  EXPECT_EQ(files_.ListFiles(dir_), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_TRUE(files_.ListFiles(dir_ / "none").empty());
}

TEST_F(PosixFileSystemTest, MappedFileWritesInPlaceAndResizes) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "abc").ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_NE(mapped, nullptr) << status.message();
  ASSERT_EQ(mapped->bytes().size(), 3U);
  mapped->bytes()[2] = std::byte{'C'};
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

TEST_F(PosixFileSystemTest, EmptyFileMapsEmptyAndCanGrow) {
  const fs::path path = dir_ / "empty";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "").ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_NE(mapped, nullptr);
  EXPECT_TRUE(mapped->bytes().empty());
  ASSERT_TRUE(mapped->Resize(5).ok());
  EXPECT_EQ(mapped->bytes().size(), 5U);
}

TEST_F(PosixFileSystemTest, ReadOnlyMappingRefusesToResize) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "abc").ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, false, &status);
  ASSERT_NE(mapped, nullptr);
  EXPECT_FALSE(mapped->writable());
  EXPECT_FALSE(mapped->Resize(10).ok());
  EXPECT_EQ(mapped->bytes().size(), 3U);
  EXPECT_EQ(files_.FileSize(path), 3U);
}

TEST_F(PosixFileSystemTest, OpenMappedReportsWhatCannotBeMapped) {
  Status status;
  EXPECT_EQ(files_.OpenMapped(dir_ / "none", true, &status), nullptr);
  EXPECT_EQ(status.code(), Status::Code::kNotFound);
  EXPECT_EQ(files_.OpenMapped(dir_, false, &status), nullptr);
  EXPECT_FALSE(status.ok());
}

}  // namespace
}  // namespace tolvi
