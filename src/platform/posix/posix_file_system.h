// PosixFileSystem: the FileSystem port on POSIX calls (open, write, fsync,
// rename, mmap). Stateless: one instance may be shared by every thread.
//
// Replacements are atomic: the new contents go to a temporary file in the
// target's directory, which is flushed, renamed over the target, and the
// directory flushed, so a crash leaves either the old or the new file whole.
// New files get mode 0644, a replaced file keeps its mode. A symbolic link
// in the target's place is followed (at most 40 hops) and left as it is.
//
// Files read or mapped are opened without blocking and checked to be regular
// files before anything is read, so a FIFO or device in a data file's place
// cannot hang or flood the program.
//
// Mapped files are shared mappings whose blocks are allocated (posix_fallocate)
// before they are mapped, so a full disk shows as a failed open or Resize,
// never as SIGBUS on a store. Another process that truncates a mapped file
// can still make the holder fault, as with any mmap.
#pragma once

#include "platform/file_system.h"

namespace tolvi {

class PosixFileSystem final : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override;
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) override;
  Status ReadFile(const std::filesystem::path& path, std::string* contents) override;
  Status WriteFileAtomic(const std::filesystem::path& path, std::string_view contents) override;
  Status AppendFile(const std::filesystem::path& path, std::string_view contents) override;
  Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Remove(const std::filesystem::path& path) override;
  Status TouchModified(const std::filesystem::path& path) override;
  Status CreateDirectories(const std::filesystem::path& path) override;
  std::vector<std::string> ListFiles(const std::filesystem::path& directory) override;
  std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path& path, bool writable,
                                         Status* status) override;
};

}  // namespace tolvi
