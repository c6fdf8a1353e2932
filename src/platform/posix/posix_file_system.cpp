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
constexpr std::size_t kCopyChunk = 64 * 1024;

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

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
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

// Writes a temporary file beside `path` with `fill`, flushes it and renames it
// over `path`. The temporary file never outlives a failure.
Status ReplaceAtomically(const std::filesystem::path& path,
                         const std::function<Status(int fd)>& fill) {
  const std::filesystem::path directory = DirectoryOf(path);
  std::string name = ".";
  name.append(path.filename().string()).append(".tmp-XXXXXX");
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

class PosixMappedFile final : public MappedFile {
 public:
  PosixMappedFile(FileDescriptor fd, bool writable) : fd_(std::move(fd)), writable_(writable) {}
  ~PosixMappedFile() override { Unmap(); }
  PosixMappedFile(const PosixMappedFile&) = delete;
  PosixMappedFile& operator=(const PosixMappedFile&) = delete;

  std::span<std::byte> bytes() override { return {data_, size_}; }
  bool writable() const override { return writable_; }

  Status Map(std::uint64_t size) {
    if (size > std::numeric_limits<std::size_t>::max()) {
      return Status::IoError("File too large to map");
    }
    if (size == 0) return Status::Ok();  // nothing to map; bytes() stays empty
    const int protection = writable_ ? PROT_READ | PROT_WRITE : PROT_READ;
    void* data =
        ::mmap(nullptr, static_cast<std::size_t>(size), protection, MAP_SHARED, fd_.get(), 0);
    if (data == MAP_FAILED) return Status::IoError(std::string("mmap: ") + std::strerror(errno));
    data_ = static_cast<std::byte*>(data);
    size_ = static_cast<std::size_t>(size);
    return Status::Ok();
  }

  Status Resize(std::uint64_t new_size) override {
    if (!writable_) return Status::InvalidArgument("Resizing a read-only mapping");
    if (new_size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
      return Status::InvalidArgument("Mapping size out of range");
    }
    const std::uint64_t old_size = size_;
    Unmap();
    if (::ftruncate(fd_.get(), static_cast<off_t>(new_size)) != 0) {
      const int error = errno;
      (void)Map(old_size);
      return Status::IoError(std::string("ftruncate: ") + std::strerror(error));
    }
    return Map(new_size);
  }

  Status Flush() override {
    if (data_ != nullptr && writable_ && ::msync(data_, size_, MS_SYNC) != 0) {
      return Status::IoError(std::string("msync: ") + std::strerror(errno));
    }
    if (writable_ && ::fsync(fd_.get()) != 0) {
      return Status::IoError(std::string("fsync: ") + std::strerror(errno));
    }
    return Status::Ok();
  }

 private:
  void Unmap() {
    if (data_ != nullptr) ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
  }

  FileDescriptor fd_;
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
  FileDescriptor fd = OpenFile(path, O_RDONLY);
  if (!fd.valid()) return ErrnoStatus("Cannot open", path, errno);
  std::string data;
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = ReadSome(fd.get(), buffer);
    if (got < 0) return ErrnoStatus("Cannot read", path, errno);
    if (got == 0) break;
    data.append(buffer.data(), static_cast<std::size_t>(got));
  }
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
  FileDescriptor source = OpenFile(from, O_RDONLY);
  if (!source.valid()) return ErrnoStatus("Cannot open", from, errno);
  return ReplaceAtomically(to, [&](int fd) {
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
      const ssize_t got = ReadSome(source.get(), buffer);
      if (got < 0) return ErrnoStatus("Cannot read", from, errno);
      if (got == 0) return Status::Ok();
      if (!WriteAll(fd, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
        return ErrnoStatus("Cannot write", to, errno);
      }
    }
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
  FileDescriptor fd = OpenFile(path, writable ? O_RDWR : O_RDONLY);
  if (!fd.valid()) {
    *status = ErrnoStatus("Cannot open", path, errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    *status = ErrnoStatus("Cannot inspect", path, errno);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    *status = Status::IoError("Not a regular file: " + path.string());
    return nullptr;
  }
  auto mapped = std::make_unique<PosixMappedFile>(std::move(fd), writable);
  *status = mapped->Map(static_cast<std::uint64_t>(info.st_size));
  if (!status->ok()) return nullptr;
  return mapped;
}

}  // namespace tolvi
