// UnsyncedFileSystem: the simulation's files. Real files in the data
// directory, through PosixFileSystem, except that nothing is forced to the
// disk: replacements and copies overwrite the file in place without fsync
// (a rename over a file would make the file system write it out), and a
// mapping's Flush leaves the pages to the page cache. A month of virtual
// time makes about a thousand backup copies; with fsync each would cost
// milliseconds of waiting for the disk. Crash safety is no concern of a
// simulation. Single-threaded, like the runner.
#pragma once

#include "platform/posix/posix_file_system.h"

namespace tolvi::sim {

class UnsyncedFileSystem final : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override { return posix_.Exists(path); }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) override {
    return posix_.FileSize(path);
  }
  Status ReadFile(const std::filesystem::path& path, std::string* contents) override {
    return posix_.ReadFile(path, contents);
  }
  Status WriteFileAtomic(const std::filesystem::path& path, std::string_view contents) override;
  Status AppendFile(const std::filesystem::path& path, std::string_view contents) override;
  Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return posix_.Rename(from, to);
  }
  Status Remove(const std::filesystem::path& path) override { return posix_.Remove(path); }
  Status TouchModified(const std::filesystem::path& path) override {
    return posix_.TouchModified(path);
  }
  Status CreateDirectories(const std::filesystem::path& path) override {
    return posix_.CreateDirectories(path);
  }
  std::vector<std::string> ListFiles(const std::filesystem::path& directory) override {
    return posix_.ListFiles(directory);
  }
  std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path& path, bool writable,
                                         Status* status) override;

 private:
  PosixFileSystem posix_;
};

}  // namespace tolvi::sim
