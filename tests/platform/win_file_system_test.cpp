#include "platform/win/win_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>
// windows.h renames CopyFile to CopyFileW, which would rename the port's
// method too.
#undef CopyFile

#include <cstring>
#include <random>

#include "platform/win/wide_text.h"

namespace tolvi {
namespace {

namespace fs = std::filesystem;

class WinFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvi-fs-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(dir_));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Read(const fs::path& path) {
    std::string contents;
    EXPECT_TRUE(files_.ReadFile(path, &contents).ok()) << Utf8Path(path);
    return contents;
  }

  WinFileSystem files_;
  fs::path dir_;
};

TEST_F(WinFileSystemTest, WritesExactBytesAndLeavesNoTemporaryFile) {
  const fs::path path = dir_ / "dTolvi.dat";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old contents that are longer").ok());
  // Text mode would turn the lone "\n" into "\r\n" and stop reading at ^Z.
  const std::string bytes("a\r\nb\nc\x1A\0d", 10);
  ASSERT_TRUE(files_.WriteFileAtomic(path, bytes).ok());
  ASSERT_TRUE(files_.AppendFile(path, "\n").ok());
  EXPECT_EQ(Read(path), bytes + "\n");
  EXPECT_EQ(files_.FileSize(path), 11U);
  EXPECT_EQ(files_.ListFiles(dir_), std::vector<std::string>{"dTolvi.dat"});
}

TEST_F(WinFileSystemTest, RefusesWhatIsMissingOrNotADiskFileWithinTheCap) {
  const fs::path large = dir_ / "large.txt";
  {
    HANDLE file = ::CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(kMaxReadBytes + 1);
    EXPECT_NE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN), 0);
    EXPECT_NE(::SetEndOfFile(file), 0);
    ::CloseHandle(file);
  }
  for (const fs::path& path : {large, dir_, fs::path(L"NUL")}) {
    std::string contents = "kept";
    EXPECT_EQ(files_.ReadFile(path, &contents).code(), Status::Code::kIoError) << Utf8Path(path);
    EXPECT_EQ(files_.CopyFile(path, dir_ / "copy.txt").code(), Status::Code::kIoError);
    EXPECT_EQ(contents, "kept");
  }
  std::string contents;
  EXPECT_EQ(files_.ReadFile(dir_ / "none.txt", &contents).code(), Status::Code::kNotFound);
  EXPECT_FALSE(files_.Exists(dir_ / "copy.txt"));
}

TEST_F(WinFileSystemTest, KeepsUtf8NamesThroughTheWideApi) {
  const std::string name = "Ty\xC3\xB6 \xE6\x97\xA5\xE6\x9C\xAC.txt";  // "Työ 日本.txt"
  const fs::path path = dir_ / WideFromUtf8(name);
  const Status written = files_.WriteFileAtomic(path, "x");
  ASSERT_TRUE(written.ok()) << written.message();
  ASSERT_TRUE(files_.CopyFile(path, dir_ / L"copy").ok());
  EXPECT_EQ(files_.ListFiles(dir_), (std::vector<std::string>{name, "copy"}));
  EXPECT_EQ(path.filename().wstring(), L"Ty\u00F6 \u65E5\u672C.txt");
}

TEST_F(WinFileSystemTest, MappingGrowsFromEmptyWithZerosAndShrinksKeepingTheFront) {
  const fs::path path = dir_ / "TlvDB.lbf";
  ASSERT_TRUE(files_.WriteFileAtomic(path, "").ok());
  Status status;
  std::unique_ptr<MappedFile> mapped = files_.OpenMapped(path, true, &status);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(mapped->bytes().empty());
  ASSERT_TRUE(mapped->Resize(4).ok());
  std::memcpy(mapped->bytes().data(), "DATA", 4);
  ASSERT_TRUE(mapped->Resize(70000).ok());
  ASSERT_EQ(mapped->bytes().size(), 70000U);
  mapped->bytes()[69999] = std::byte{'z'};
  ASSERT_TRUE(mapped->Flush().ok());
  EXPECT_EQ(Read(path), "DATA" + std::string(69995, '\0') + "z");

  ASSERT_TRUE(mapped->Resize(2).ok());
  ASSERT_TRUE(mapped->Flush().ok());
  EXPECT_EQ(Read(path), "DA");
  mapped.reset();
  EXPECT_EQ(files_.FileSize(path), 2U);
}

}  // namespace
}  // namespace tolvi
