#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <system_error>
#include <utility>

namespace tolvi {
namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr std::size_t kCopyChunk = std::size_t{64} * 1024;
// As many symbolic links as the kernel itself follows in one path.
constexpr int kMaxSymlinkHops = 40;
constexpr std::size_t kLinkBufferStart = 256;

Status ErrnoStatus(const std::string& what, const std::filesystem::path& path, int error) {
  std::string message = what + " " + path.string() + ": " + std::strerror(error);
  if (error == ENOENT) return Status::NotFound(std::move(message));
  return Status::IoError(std::move(message));
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  // Closes now, reporting the error close may carry (delayed write errors).
  int Close() {
    const int result = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return result;
  }

 private:
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

FileDescriptor OpenFile(const std::filesystem::path& path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return FileDescriptor(fd);
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Reads up to buffer.size() bytes; -1 on error, 0 at the end.
ssize_t ReadSome(int fd, std::span<char> buffer) {
  ssize_t got = 0;
  do {
    got = ::read(fd, buffer.data(), buffer.size());
  } while (got < 0 && errno == EINTR);
  return got;
}

std::filesystem::path DirectoryOf(const std::filesystem::path& path) {
  std::filesystem::path directory = path.parent_path();
  return directory.empty() ? std::filesystem::path(".") : directory;
}

// Opens a file whose contents are read or mapped. A FIFO or device must not
// block the open nor feed an endless read, so the open never waits and
// anything but a regular file is refused before a byte is read.
Status OpenRegularFile(const std::filesystem::path& path, int access, FileDescriptor* opened,
                       struct stat* info) {
  FileDescriptor fd = OpenFile(path, access | O_NONBLOCK | O_NOCTTY);
  if (!fd.valid()) return ErrnoStatus("Cannot open", path, errno);
  if (::fstat(fd.get(), info) != 0) return ErrnoStatus("Cannot inspect", path, errno);
  if (!S_ISREG(info->st_mode)) return Status::IoError("Not a regular file: " + path.string());
  // Plain blocking reads from here on, as for any regular file.
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return ErrnoStatus("Cannot set up", path, errno);
  }
  *opened = std::move(fd);
  return Status::Ok();
}

Status TooLarge(const std::filesystem::path& path) {
  return Status::IoError("Refusing to read " + path.string() + ": larger than " +
                         std::to_string(kMaxReadBytes / (std::uint64_t{1024} * 1024)) + " MiB");
}

// Opens a regular file no larger than kMaxReadBytes.
Status OpenForReading(const std::filesystem::path& path, FileDescriptor* opened,
                      std::uint64_t* size) {
  struct stat info {};
  Status status = OpenRegularFile(path, O_RDONLY, opened, &info);
  if (!status.ok()) return status;
  *size = static_cast<std::uint64_t>(info.st_size);
  if (*size > kMaxReadBytes) return TooLarge(path);
  return Status::Ok();
}

// Reads to the end, handing each chunk to `sink`; stops with an error once
// more than kMaxReadBytes came, as from a file that grows while it is read.
Status ReadCapped(int fd, const std::filesystem::path& path,
                  const std::function<Status(std::string_view)>& sink) {
  std::vector<char> buffer(kCopyChunk);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ReadSome(fd, buffer);
    if (got < 0) return ErrnoStatus("Cannot read", path, errno);
    if (got == 0) return Status::Ok();
    total += static_cast<std::uint64_t>(got);
    if (total > kMaxReadBytes) return TooLarge(path);
    Status status = sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    if (!status.ok()) return status;
  }
}

// The text of a symbolic link.
Status ReadLink(const std::filesystem::path& link, std::string* target) {
  std::string buffer(kLinkBufferStart, '\0');
  for (;;) {
    const ssize_t got = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (got < 0) return ErrnoStatus("Cannot read the link", link, errno);
    if (static_cast<std::size_t>(got) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(got));
      *target = std::move(buffer);
      return Status::Ok();
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The file a replacement of `path` must land on: the end of the chain of
// symbolic links starting at `path` (which need not exist yet), so that a
// data file the user linked elsewhere stays a link.
Status ResolveLinks(const std::filesystem::path& path, std::filesystem::path* target) {
  std::filesystem::path current = path;
  for (int followed = 0;; ++followed) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return ErrnoStatus("Cannot inspect", current, errno);
      *target = std::move(current);
      return Status::Ok();
    }
    if (!S_ISLNK(info.st_mode)) {
      *target = std::move(current);
      return Status::Ok();
    }
    if (followed == kMaxSymlinkHops) {
      return Status::IoError("Too many symbolic links from " + path.string());
    }
    std::string link;
    Status status = ReadLink(current, &link);
    if (!status.ok()) return status;
    const std::filesystem::path next(link);
    current = next.is_absolute() ? next : DirectoryOf(current) / next;
  }
}

// Makes a rename in the directory durable.
Status SyncDirectory(const std::filesystem::path& directory) {
  FileDescriptor fd = OpenFile(directory, O_RDONLY | O_DIRECTORY);
  if (!fd.valid()) return ErrnoStatus("Cannot open directory", directory, errno);
  if (::fsync(fd.get()) != 0 && errno != EINVAL) {
    return ErrnoStatus("Cannot flush directory", directory, errno);
  }
  return Status::Ok();
}

mode_t ModeFor(const std::filesystem::path& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  return kNewFileMode;
}

// Writes a temporary file beside the file `target` names (through its
// symbolic links) with `fill`, flushes it and renames it over that file. The
// temporary file never outlives a failure.
Status ReplaceAtomically(const std::filesystem::path& target,
                         const std::function<Status(int fd)>& fill) {
  std::filesystem::path path;
  Status resolved = ResolveLinks(target, &path);
  if (!resolved.ok()) return resolved;
  const std::filesystem::path directory = DirectoryOf(path);
  std::string name = ".";
  name.append(path.filename().string()).append(kTemporaryInfix).append(kTemporarySuffixLength, 'X');
  std::string pattern = (directory / name).string();
  const int raw_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (raw_fd < 0) return ErrnoStatus("Cannot create a temporary file for", path, errno);
  FileDescriptor fd(raw_fd);
  const std::filesystem::path temporary(pattern);

  Status status = fill(fd.get());
  if (status.ok() && ::fchmod(fd.get(), ModeFor(path)) != 0) {
    status = ErrnoStatus("Cannot set the mode of", temporary, errno);
  }
  if (status.ok() && ::fsync(fd.get()) != 0) status = ErrnoStatus("Cannot flush", temporary, errno);
  if (fd.Close() != 0 && status.ok()) status = ErrnoStatus("Cannot close", temporary, errno);
  if (status.ok() && ::rename(temporary.c_str(), path.c_str()) != 0) {
    status = ErrnoStatus("Cannot replace", path, errno);
  }
  if (!status.ok()) {
    ::unlink(temporary.c_str());
    return status;
  }
  return SyncDirectory(directory);
}

// Allocates the blocks of [offset, offset + length), growing the file if the
// range ends past it. A store into a mapped hole that the disk cannot back
// kills the process (SIGBUS); with the blocks reserved no store can fail.
Status ReserveSpace(int fd, const std::filesystem::path& path, std::uint64_t offset,
                    std::uint64_t length) {
  if (length == 0) return Status::Ok();
  int error = 0;
  do {
    error = ::posix_fallocate(fd, static_cast<off_t>(offset), static_cast<off_t>(length));
  } while (error == EINTR);
  if (error == 0) return Status::Ok();
  if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
    return Status::IoError("No space left on the disk for " + path.string() + " (" +
                           std::to_string(offset + length) + " bytes): " + std::strerror(error));
  }
  return ErrnoStatus("Cannot reserve disk space for", path, error);
}

class PosixMappedFile final : public MappedFile {
 public:
  PosixMappedFile(FileDescriptor fd, std::filesystem::path path, bool writable)
      : fd_(std::move(fd)), path_(std::move(path)), writable_(writable) {}
  ~PosixMappedFile() override { Unmap(data_, size_); }
  PosixMappedFile(const PosixMappedFile&) = delete;
  PosixMappedFile& operator=(const PosixMappedFile&) = delete;

  std::span<std::byte> bytes() override { return {data_, size_}; }
  [[nodiscard]] bool writable() const override { return writable_; }

  // The first mapping, of the whole file.
  Status Map(std::uint64_t size) {
    if (size > std::numeric_limits<std::size_t>::max()) {
      return Status::IoError("File too large to map: " + path_.string());
    }
    return MapRegion(static_cast<std::size_t>(size), &data_, &size_);
  }

  Status Resize(std::uint64_t new_size) override {
    if (!writable_) return Status::InvalidArgument("Resizing a read-only mapping");
    if (new_size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
        new_size > std::numeric_limits<std::size_t>::max()) {
      return Status::InvalidArgument("Mapping size out of range");
    }
    const auto size = static_cast<std::size_t>(new_size);
    if (size == size_) return Status::Ok();
    return size > size_ ? Grow(size) : Shrink(size);
  }

  Status Flush() override {
    if (data_ != nullptr && writable_ && ::msync(data_, size_, MS_SYNC) != 0) {
      return Status::IoError("msync " + path_.string() + ": " + std::strerror(errno));
    }
    if (writable_ && ::fsync(fd_.get()) != 0) {
      return Status::IoError("fsync " + path_.string() + ": " + std::strerror(errno));
    }
    return Status::Ok();
  }

 private:
  // The old mapping stays valid and in use until the grown file is fully
  // reserved and mapped; on any failure the file is cut back to its old size.
  Status Grow(std::size_t new_size) {
    Status status = ReserveSpace(fd_.get(), path_, size_, new_size - size_);
    if (status.ok()) status = Remap(new_size);
    if (!status.ok() && ::ftruncate(fd_.get(), static_cast<off_t>(size_)) != 0) {
      return Status::IoError(status.message() + "; cannot cut " + path_.string() +
                             " back to its old size: " + std::strerror(errno));
    }
    return status;
  }

  // The smaller mapping is made before the file is cut, so a failure of
  // either step leaves the file and the old mapping as they were.
  Status Shrink(std::size_t new_size) {
    std::byte* data = nullptr;
    std::size_t size = 0;
    Status status = MapRegion(new_size, &data, &size);
    if (!status.ok()) return status;
    if (::ftruncate(fd_.get(), static_cast<off_t>(new_size)) != 0) {
      const int error = errno;
      Unmap(data, size);
      return ErrnoStatus("Cannot shrink", path_, error);
    }
    Replace(data, size);
    return Status::Ok();
  }

  Status Remap(std::size_t new_size) {
    std::byte* data = nullptr;
    std::size_t size = 0;
    Status status = MapRegion(new_size, &data, &size);
    if (status.ok()) Replace(data, size);
    return status;
  }

  // An empty file has no mapping: bytes() is then empty.
  Status MapRegion(std::size_t size, std::byte** data, std::size_t* mapped_size) const {
    *data = nullptr;
    *mapped_size = 0;
    if (size == 0) return Status::Ok();
    const int protection = writable_ ? PROT_READ | PROT_WRITE : PROT_READ;
    void* region = ::mmap(nullptr, size, protection, MAP_SHARED, fd_.get(), 0);
    if (region == MAP_FAILED) return ErrnoStatus("Cannot map", path_, errno);
    *data = static_cast<std::byte*>(region);
    *mapped_size = size;
    return Status::Ok();
  }

  void Replace(std::byte* data, std::size_t size) {
    Unmap(data_, size_);
    data_ = data;
    size_ = size;
  }

  static void Unmap(std::byte* data, std::size_t size) {
    if (data != nullptr) ::munmap(data, size);
  }

  FileDescriptor fd_;
  std::filesystem::path path_;
  bool writable_;
  std::byte* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace

bool PosixFileSystem::Exists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

std::optional<std::uint64_t> PosixFileSystem::FileSize(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

Status PosixFileSystem::ReadFile(const std::filesystem::path& path, std::string* contents) {
  FileDescriptor fd;
  std::uint64_t size = 0;
  Status status = OpenForReading(path, &fd, &size);
  if (!status.ok()) return status;
  std::string data;
  data.reserve(static_cast<std::size_t>(size));
  status = ReadCapped(fd.get(), path, [&](std::string_view chunk) {
    data.append(chunk);
    return Status::Ok();
  });
  if (!status.ok()) return status;
  *contents = std::move(data);
  return Status::Ok();
}

Status PosixFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                        std::string_view contents) {
  return ReplaceAtomically(path, [&](int fd) {
    if (!WriteAll(fd, contents)) return ErrnoStatus("Cannot write", path, errno);
    return Status::Ok();
  });
}

Status PosixFileSystem::AppendFile(const std::filesystem::path& path, std::string_view contents) {
  FileDescriptor fd = OpenFile(path, O_WRONLY | O_APPEND | O_CREAT, kNewFileMode);
  if (!fd.valid()) return ErrnoStatus("Cannot open", path, errno);
  if (!WriteAll(fd.get(), contents)) return ErrnoStatus("Cannot append to", path, errno);
  if (::fsync(fd.get()) != 0) return ErrnoStatus("Cannot flush", path, errno);
  if (fd.Close() != 0) return ErrnoStatus("Cannot close", path, errno);
  return Status::Ok();
}

Status PosixFileSystem::CopyFile(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
  FileDescriptor source;
  std::uint64_t size = 0;
  Status status = OpenForReading(from, &source, &size);
  if (!status.ok()) return status;
  return ReplaceAtomically(to, [&](int fd) {
    return ReadCapped(source.get(), from, [&](std::string_view chunk) {
      if (!WriteAll(fd, chunk)) return ErrnoStatus("Cannot write", to, errno);
      return Status::Ok();
    });
  });
}

Status PosixFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return ErrnoStatus("Cannot rename", from, errno);
  return SyncDirectory(DirectoryOf(to));
}

Status PosixFileSystem::Remove(const std::filesystem::path& path) {
  if (::unlink(path.c_str()) != 0) return ErrnoStatus("Cannot remove", path, errno);
  return Status::Ok();
}

Status PosixFileSystem::TouchModified(const std::filesystem::path& path) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    return ErrnoStatus("Cannot touch", path, errno);
  }
  return Status::Ok();
}

Status PosixFileSystem::CreateDirectories(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) return Status::IoError("Cannot create " + path.string() + ": " + error.message());
  return Status::Ok();
}

std::vector<std::string> PosixFileSystem::ListFiles(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(directory, error);
  if (error) return names;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    std::error_code type_error;
    if (it->is_regular_file(type_error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_ptr<MappedFile> PosixFileSystem::OpenMapped(const std::filesystem::path& path,
                                                        bool writable, Status* status) {
  FileDescriptor fd;
  struct stat info {};
  *status = OpenRegularFile(path, writable ? O_RDWR : O_RDONLY, &fd, &info);
  if (!status->ok()) return nullptr;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  // The holes of a sparse file are backed now, while failing is still clean.
  if (writable) {
    *status = ReserveSpace(fd.get(), path, 0, size);
    if (!status->ok()) return nullptr;
  }
  auto mapped = std::make_unique<PosixMappedFile>(std::move(fd), path, writable);
  *status = mapped->Map(size);
  if (!status->ok()) return nullptr;
  return mapped;
}

}  // namespace tolvi
