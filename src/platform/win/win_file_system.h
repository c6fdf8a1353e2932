// WinFileSystem: the FileSystem port on the Win32 API. Stateless: one
// instance may be shared by every thread.
//
// Paths reach the API as UTF-16 (the native form of std::filesystem::path
// here); names handed back to the core are UTF-8. Every file is read and
// written as raw bytes, so the data files keep exactly the bytes the Linux
// build writes.
//
// Replacements are atomic: the new contents go to a temporary file in the
// target's directory, which is flushed (FlushFileBuffers) and moved over the
// target with MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
// so a crash leaves either the old or the new file whole. A target that is
// open (Windows refuses to replace it) is first renamed aside as
// "." + name + ".old-" + six characters, then deleted once the new file is in
// place; a crash between the two renames leaves the old file under that
// name. An existing target
// that is a symbolic link is followed to its final file, which is replaced in
// its own directory; the link stays.
//
// Files read or mapped must be disk files (not a directory, device such as
// NUL or CON, or pipe), checked before a byte is read, and reads stop at
// kMaxReadBytes. Every handle is opened with all sharing allowed, so the
// program never locks the user out of a data file.
//
// Mapped files are views of a file mapping whose size is set on the file
// first: growth extends the file (the file system allocates the space, so a
// full disk fails the Resize, never a store into the view), and a sparse file
// is made dense before it is mapped for writing.
#pragma once

#include "platform/file_system.h"

namespace tolvi {

class WinFileSystem final : public FileSystem {
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
