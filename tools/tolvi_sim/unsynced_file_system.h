// UnsyncedFileSystem: the simulation's files. Real files in the data
// directory, through the native FileSystem port, except that nothing is forced to the
// disk: replacements and copies overwrite the file in place without fsync
// (a rename over a file would make the file system write it out), and a
// mapping's Flush leaves the pages to the page cache. A month of virtual
// time makes about a thousand backup copies; with fsync each would cost
// milliseconds of waiting for the disk. Crash safety is no concern of a
// simulation. Single-threaded, like the runner.
#pragma once

#include "platform/native/native_file_system.h"

namespace tolvi::sim {

class UnsyncedFileSystem final : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override { return native_.Exists(path); }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) override {
    return native_.FileSize(path);
  }
  Status ReadFile(const std::filesystem::path& path, std::string* contents) override {
    return native_.ReadFile(path, contents);
  }
  Status WriteFileAtomic(const std::filesystem::path& path, std::string_view contents) override;
  Status AppendFile(const std::filesystem::path& path, std::string_view contents) override;
  Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return native_.Rename(from, to);
  }
  Status Remove(const std::filesystem::path& path) override { return native_.Remove(path); }
  Status TouchModified(const std::filesystem::path& path) override {
    return native_.TouchModified(path);
  }
  Status CreateDirectories(const std::filesystem::path& path) override {
    return native_.CreateDirectories(path);
  }
  std::vector<std::string> ListFiles(const std::filesystem::path& directory) override {
    return native_.ListFiles(directory);
  }
  std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path& path, bool writable,
                                         Status* status) override;

 private:
  NativeFileSystem native_;
};

}  // namespace tolvi::sim
