#include "platform/win/win_file_system.h"

#include <windows.h>
// windows.h first: these need its types.
#include <bcrypt.h>
#include <winioctl.h>
// windows.h renames CopyFile to CopyFileW, which would rename the port's
// method too.
#undef CopyFile

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/win/wide_text.h"
#include "platform/win/win_error.h"
#include "platform/win/win_handle.h"

namespace tolvi {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kChunk = 64 * 1024;
// Attempts at a fresh temporary name before giving up.
constexpr int kTemporaryNameTries = 100;
constexpr std::string_view kNameAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

Status LastError(const std::string& what, const std::filesystem::path& path) {
  return WinErrorStatus(what, path, ::GetLastError());
}

std::filesystem::path DirectoryOf(const std::filesystem::path& path) {
  std::filesystem::path directory = path.parent_path();
  return directory.empty() ? std::filesystem::path(L".") : directory;
}

WinHandle Open(const std::filesystem::path& path, DWORD access, DWORD disposition,
               DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return WinHandle(
      ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr));
}

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(data.size(), kChunk));
    DWORD written = 0;
    if (::WriteFile(file, data.data(), piece, &written, nullptr) == 0 || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

Status NotRegular(const std::filesystem::path& path) {
  return Status::IoError("Not a regular file: " + Utf8Path(path));
}

Status TooLarge(const std::filesystem::path& path) {
  return Status::IoError("Refusing to read " + Utf8Path(path) + ": larger than " +
                         std::to_string(kMaxReadBytes / (1024 * 1024)) + " MiB");
}

// Opens a disk file whose contents are read or mapped, refusing folders,
// devices and pipes before anything is read from them.
Status OpenRegularFile(const std::filesystem::path& path, DWORD access, WinHandle* opened,
                       std::uint64_t* size) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return NotRegular(path);
  }
  WinHandle file = Open(path, access, OPEN_EXISTING);
  if (!file.valid()) return LastError("Cannot open", path);
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) return NotRegular(path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(file.get(), &info) == 0)
    return LastError("Cannot inspect", path);
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return NotRegular(path);
  *size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  *opened = std::move(file);
  return Status::Ok();
}

Status OpenForReading(const std::filesystem::path& path, WinHandle* opened) {
  std::uint64_t size = 0;
  Status status = OpenRegularFile(path, GENERIC_READ, opened, &size);
  if (status.ok() && size > kMaxReadBytes) return TooLarge(path);
  return status;
}

// Reads to the end, handing each chunk to `sink`; stops with an error once
// more than kMaxReadBytes came, as from a file that grows while it is read.
Status ReadCapped(HANDLE file, const std::filesystem::path& path,
                  const std::function<Status(std::string_view)>& sink) {
  std::vector<char> buffer(kChunk);
  std::uint64_t total = 0;
  for (;;) {
    DWORD got = 0;
    if (::ReadFile(file, buffer.data(), kChunk, &got, nullptr) == 0) {
      return LastError("Cannot read", path);
    }
    if (got == 0) return Status::Ok();
    total += got;
    if (total > kMaxReadBytes) return TooLarge(path);
    Status status = sink(std::string_view(buffer.data(), got));
    if (!status.ok()) return status;
  }
}

// The file a replacement of `path` must land on: an existing symbolic link
// is followed to its final file, so a data file linked elsewhere stays a link.
std::filesystem::path ReplacementTarget(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return path;
  }
  WinHandle file = Open(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.valid()) return path;
  std::wstring final_path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(
        file.get(), final_path.data(), static_cast<DWORD>(final_path.size()), FILE_NAME_NORMALIZED);
    if (length == 0) return path;
    if (length < final_path.size()) {
      final_path.resize(length);
      return final_path;
    }
    final_path.resize(length + 1);
  }
}

std::string RandomSuffix() {
  std::array<unsigned char, kTemporarySuffixLength> bytes{};
  if (::BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
    // No system generator: the time and process still make clashes rare, and
    // a clash only costs another try.
    std::uint64_t mix = ::GetTickCount64() * 2654435761ULL ^ ::GetCurrentProcessId();
    for (auto& byte : bytes) {
      byte = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
    }
  }
  std::string suffix;
  for (const unsigned char byte : bytes) suffix += kNameAlphabet[byte % kNameAlphabet.size()];
  return suffix;
}

// Creates a new, empty temporary file beside `target`.
Status CreateTemporary(const std::filesystem::path& target, std::filesystem::path* temporary,
                       WinHandle* file) {
  const std::filesystem::path directory = DirectoryOf(target);
  const std::string prefix = "." + Utf8Path(target.filename()) + std::string(kTemporaryInfix);
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::filesystem::path candidate = directory / WideFromUtf8(prefix + RandomSuffix());
    WinHandle created = Open(candidate, GENERIC_WRITE, CREATE_NEW);
    if (created.valid()) {
      *temporary = std::move(candidate);
      *file = std::move(created);
      return Status::Ok();
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return WinErrorStatus("Cannot create a temporary file for", target, error);
    }
  }
  return Status::IoError("Cannot find a free temporary name for " + Utf8Path(target));
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool InUse(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_USER_MAPPED_FILE;
}

// A file that is open (the record database keeps its file mapped) cannot be
// replaced, but it can be renamed: it moves aside under a name no clean-up
// removes, the new file takes its place, and the old one is deleted (for
// good once its last handle closes). A crash between the two moves leaves
// the old contents under the aside name.
Status MoveAsideAndReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  const std::filesystem::path aside =
      DirectoryOf(to) / WideFromUtf8("." + Utf8Path(to.filename()) + ".old-" + RandomSuffix());
  if (!MoveOver(to, aside)) return LastError("Cannot replace", to);
  if (!MoveOver(from, to)) {
    Status status = LastError("Cannot replace", to);
    if (!MoveOver(aside, to)) {
      return Status::IoError(status.message() + "; the old file is kept as " + Utf8Path(aside));
    }
    return status;
  }
  ::DeleteFileW(aside.c_str());  // a leftover costs only disk space
  return Status::Ok();
}

Status MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveOver(from, to)) return Status::Ok();
  const DWORD error = ::GetLastError();
  if (InUse(error) && ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return MoveAsideAndReplace(from, to);
  }
  return WinErrorStatus("Cannot replace", to, error);
}

// Writes a temporary file beside the file `target` names with `fill`,
// flushes it and moves it over that file. The temporary file never outlives
// a failure.
Status ReplaceAtomically(const std::filesystem::path& target,
                         const std::function<Status(HANDLE file)>& fill) {
  const std::filesystem::path path = ReplacementTarget(target);
  std::filesystem::path temporary;
  WinHandle file;
  Status status = CreateTemporary(path, &temporary, &file);
  if (!status.ok()) return status;
  status = fill(file.get());
  if (status.ok() && ::FlushFileBuffers(file.get()) == 0)
    status = LastError("Cannot flush", temporary);
  if (!file.Close() && status.ok()) status = LastError("Cannot close", temporary);
  if (status.ok()) status = MoveReplacing(temporary, path);
  if (!status.ok()) ::DeleteFileW(temporary.c_str());
  return status;
}

Status SetEndOfFileAt(HANDLE file, const std::filesystem::path& path, std::uint64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  if (::SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof(end)) != 0) {
    return Status::Ok();
  }
  const DWORD error = ::GetLastError();
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
    return Status::IoError("No space left on the disk for " + Utf8Path(path) + " (" +
                           std::to_string(size) + " bytes): " + SystemErrorText(error));
  }
  return WinErrorStatus("Cannot resize", path, error);
}

// Fills the holes of a sparse file, so that no store into its mapping needs
// space the disk may not have.
Status MakeDense(HANDLE file, const std::filesystem::path& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(file, &info) == 0) return LastError("Cannot inspect", path);
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) == 0) return Status::Ok();
  FILE_SET_SPARSE_BUFFER dense{};
  dense.SetSparse = FALSE;
  DWORD returned = 0;
  if (::DeviceIoControl(file, FSCTL_SET_SPARSE, &dense, sizeof(dense), nullptr, 0, &returned,
                        nullptr) == 0) {
    return LastError("Cannot reserve disk space for", path);
  }
  return Status::Ok();
}

class WinMappedFile final : public MappedFile {
 public:
  WinMappedFile(WinHandle file, std::filesystem::path path, bool writable)
      : file_(std::move(file)), path_(std::move(path)), writable_(writable) {}
  ~WinMappedFile() override { Unmap(data_); }
  WinMappedFile(const WinMappedFile&) = delete;
  WinMappedFile& operator=(const WinMappedFile&) = delete;

  std::span<std::byte> bytes() override { return {data_, size_}; }
  bool writable() const override { return writable_; }

  // The first mapping, of the whole file.
  Status Map(std::uint64_t size) {
    if (size > std::numeric_limits<std::size_t>::max()) {
      return Status::IoError("File too large to map: " + Utf8Path(path_));
    }
    return MapRegion(static_cast<std::size_t>(size), &data_, &size_);
  }

  Status Resize(std::uint64_t new_size) override {
    if (!writable_) return Status::InvalidArgument("Resizing a read-only mapping");
    if (new_size > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()) ||
        new_size > std::numeric_limits<std::size_t>::max()) {
      return Status::InvalidArgument("Mapping size out of range");
    }
    const auto size = static_cast<std::size_t>(new_size);
    if (size == size_) return Status::Ok();
    return size > size_ ? Grow(size) : Shrink(size);
  }

  Status Flush() override {
    if (!writable_) return Status::Ok();
    if (data_ != nullptr && ::FlushViewOfFile(data_, 0) == 0)
      return LastError("Cannot flush", path_);
    if (::FlushFileBuffers(file_.get()) == 0) return LastError("Cannot flush", path_);
    return Status::Ok();
  }

 private:
  // The file is extended first, while the old view stays in use; on any
  // failure it is cut back to the size the old view covers.
  Status Grow(std::size_t new_size) {
    Status status = SetEndOfFileAt(file_.get(), path_, new_size);
    if (status.ok()) status = Remap(new_size);
    if (!status.ok()) {
      Status restored = SetEndOfFileAt(file_.get(), path_, size_);
      if (!restored.ok()) {
        return Status::IoError(status.message() + "; cannot cut it back: " + restored.message());
      }
    }
    return status;
  }

  // A file cannot be cut below a mapped view, so the view goes first; when
  // the cut fails the old size is mapped again.
  Status Shrink(std::size_t new_size) {
    const std::size_t old_size = size_;
    Replace(nullptr, 0);
    Status status = SetEndOfFileAt(file_.get(), path_, new_size);
    if (!status.ok()) {
      Status remapped = Remap(old_size);
      if (!remapped.ok()) return Status::IoError(status.message() + "; " + remapped.message());
      return status;
    }
    return Remap(new_size);
  }

  Status Remap(std::size_t new_size) {
    std::byte* data = nullptr;
    std::size_t size = 0;
    Status status = MapRegion(new_size, &data, &size);
    if (status.ok()) Replace(data, size);
    return status;
  }

  // An empty file has no view: bytes() is then empty. The mapping object is
  // closed at once; the view keeps it alive.
  Status MapRegion(std::size_t size, std::byte** data, std::size_t* mapped_size) const {
    *data = nullptr;
    *mapped_size = 0;
    if (size == 0) return Status::Ok();
    const auto high = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
    const auto low = static_cast<DWORD>(size & 0xFFFFFFFFU);
    WinHandle mapping(::CreateFileMappingW(
        file_.get(), nullptr, writable_ ? PAGE_READWRITE : PAGE_READONLY, high, low, nullptr));
    if (!mapping.valid()) return LastError("Cannot map", path_);
    void* view =
        ::MapViewOfFile(mapping.get(), writable_ ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, size);
    if (view == nullptr) return LastError("Cannot map", path_);
    *data = static_cast<std::byte*>(view);
    *mapped_size = size;
    return Status::Ok();
  }

  void Replace(std::byte* data, std::size_t size) {
    Unmap(data_);
    data_ = data;
    size_ = size;
  }

  static void Unmap(std::byte* data) {
    if (data != nullptr) ::UnmapViewOfFile(data);
  }

  WinHandle file_;
  std::filesystem::path path_;
  bool writable_;
  std::byte* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace

bool WinFileSystem::Exists(const std::filesystem::path& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> WinFileSystem::FileSize(const std::filesystem::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

Status WinFileSystem::ReadFile(const std::filesystem::path& path, std::string* contents) {
  WinHandle file;
  Status status = OpenForReading(path, &file);
  if (!status.ok()) return status;
  std::string data;
  status = ReadCapped(file.get(), path, [&](std::string_view chunk) {
    data.append(chunk);
    return Status::Ok();
  });
  if (!status.ok()) return status;
  *contents = std::move(data);
  return Status::Ok();
}

Status WinFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                      std::string_view contents) {
  return ReplaceAtomically(path, [&](HANDLE file) {
    if (!WriteAll(file, contents)) return LastError("Cannot write", path);
    return Status::Ok();
  });
}

Status WinFileSystem::AppendFile(const std::filesystem::path& path, std::string_view contents) {
  WinHandle file = Open(path, FILE_APPEND_DATA, OPEN_ALWAYS);
  if (!file.valid()) return LastError("Cannot open", path);
  if (!WriteAll(file.get(), contents)) return LastError("Cannot append to", path);
  if (::FlushFileBuffers(file.get()) == 0) return LastError("Cannot flush", path);
  if (!file.Close()) return LastError("Cannot close", path);
  return Status::Ok();
}

Status WinFileSystem::CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  WinHandle source;
  Status status = OpenForReading(from, &source);
  if (!status.ok()) return status;
  return ReplaceAtomically(to, [&](HANDLE file) {
    return ReadCapped(source.get(), from, [&](std::string_view chunk) {
      if (!WriteAll(file, chunk)) return LastError("Cannot write", to);
      return Status::Ok();
    });
  });
}

Status WinFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveReplacing(from, to);
}

Status WinFileSystem::Remove(const std::filesystem::path& path) {
  if (::DeleteFileW(path.c_str()) == 0) return LastError("Cannot remove", path);
  return Status::Ok();
}

Status WinFileSystem::TouchModified(const std::filesystem::path& path) {
  WinHandle file = Open(path, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.valid()) return LastError("Cannot touch", path);
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  if (::SetFileTime(file.get(), nullptr, nullptr, &now) == 0)
    return LastError("Cannot touch", path);
  return Status::Ok();
}

Status WinFileSystem::CreateDirectories(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) return Status::IoError("Cannot create " + Utf8Path(path) + ": " + error.message());
  return Status::Ok();
}

std::vector<std::string> WinFileSystem::ListFiles(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const std::filesystem::path pattern = directory / L"*";
  HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(Utf8FromWide(found.cFileName));
    }
  } while (::FindNextFileW(search, &found) != 0);
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_ptr<MappedFile> WinFileSystem::OpenMapped(const std::filesystem::path& path,
                                                      bool writable, Status* status) {
  WinHandle file;
  std::uint64_t size = 0;
  *status =
      OpenRegularFile(path, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, &file, &size);
  if (!status->ok()) return nullptr;
  if (writable) {
    *status = MakeDense(file.get(), path);
    if (!status->ok()) return nullptr;
  }
  auto mapped = std::make_unique<WinMappedFile>(std::move(file), path, writable);
  *status = mapped->Map(size);
  if (!status->ok()) return nullptr;
  return mapped;
}

}  // namespace tolvi
