// FileSystem: every file operation the core needs, so tests can run on fakes
// that fail on demand. Paths are UTF-8 std::filesystem paths.
//
// Implementations must be safe to call from the monitor thread and the GUI
// thread at once; they hold no state shared between calls except what the
// operating system holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tolvi {

// A file mapped into memory for reading and writing in place. Owned by one
// caller; not thread-safe on its own (the record database locks around it).
// Every Resize may move the mapping: no pointer into bytes() survives it.
class MappedFile {
 public:
  virtual ~MappedFile() = default;

  virtual std::span<std::byte> bytes() = 0;
  [[nodiscard]] virtual bool writable() const = 0;
  // Grows (new bytes are zero) or shrinks the file and remaps it. Growth
  // reserves the new disk space first; when there is none (IoError) the file
  // and the mapping keep their old size and bytes.
  virtual Status Resize(std::uint64_t new_size) = 0;
  // Writes dirty pages back to the file.
  virtual Status Flush() = 0;
};

// Temporary files of an atomic replace are named "." + the target's file
// name + kTemporaryInfix + six characters, in the target's directory, so
// that leftovers of an interrupted save can be recognised and removed.
inline constexpr std::string_view kTemporaryInfix = ".tmp-";
inline constexpr std::size_t kTemporarySuffixLength = 6;
// ReadFile and CopyFile refuse files larger than this (no data file comes
// near it), also one that grows past it while being read.
inline constexpr std::uint64_t kMaxReadBytes = 64ULL * 1024 * 1024;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool Exists(const std::filesystem::path& path) = 0;
  virtual std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) = 0;
  // Reads the whole file; NotFound when it does not exist, IoError naming the
  // path at once for anything but a regular file (FIFO, device, directory).
  virtual Status ReadFile(const std::filesystem::path& path, std::string* contents) = 0;
  // Replaces the file atomically: a temporary file in the same directory,
  // flushed, then renamed over the target. A crash leaves the old file whole.
  // A target that is a symbolic link (or a chain of them, perhaps dangling)
  // stays one: the file at the end of the chain is replaced, in its own
  // directory.
  virtual Status WriteFileAtomic(const std::filesystem::path& path, std::string_view contents) = 0;
  // Appends to the file (creating it), flushed before returning.
  virtual Status AppendFile(const std::filesystem::path& path, std::string_view contents) = 0;
  // Copies atomically over any existing target, as WriteFileAtomic writes;
  // the source must be a regular file, as for ReadFile.
  virtual Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual Status Remove(const std::filesystem::path& path) = 0;
  // Sets the file's modification time to now.
  virtual Status TouchModified(const std::filesystem::path& path) = 0;
  virtual Status CreateDirectories(const std::filesystem::path& path) = 0;
  // Names (not paths) of the regular files in a directory; empty on failure.
  virtual std::vector<std::string> ListFiles(const std::filesystem::path& directory) = 0;
  // Maps an existing regular file; nullptr (with *status set) when it cannot
  // be opened. For writing, every byte of the file is backed by disk space
  // first (a sparse file's holes too), so no store into the mapping can fail;
  // without the space it fails with IoError and the file is left as it was.
  virtual std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path& path, bool writable,
                                                 Status* status) = 0;
};

}  // namespace tolvi
