#include "unsynced_file_system.h"

#include <fstream>
#include <system_error>

namespace tolvi::sim {
namespace {

Status WriteWhole(const std::filesystem::path& path, std::string_view contents,
                  std::ios::openmode mode) {
  std::ofstream out(path, std::ios::binary | mode);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  if (!out) return Status::IoError("Cannot write " + path.string());
  return Status::Ok();
}

// A mapping whose Flush leaves the dirty pages to the page cache, which
// every later read of the file sees.
class CachedMapping final : public MappedFile {
 public:
  explicit CachedMapping(std::unique_ptr<MappedFile> mapping) : mapping_(std::move(mapping)) {}
  std::span<std::byte> bytes() override { return mapping_->bytes(); }
  bool writable() const override { return mapping_->writable(); }
  Status Resize(std::uint64_t new_size) override { return mapping_->Resize(new_size); }
  Status Flush() override { return Status::Ok(); }

 private:
  std::unique_ptr<MappedFile> mapping_;
};

}  // namespace

Status UnsyncedFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                           std::string_view contents) {
  // Overwritten in place: a rename over the old file, or a truncation to
  // zero, makes the file system push the data to the disk at once.
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return WriteWhole(path, contents, std::ios::trunc);
  {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out) return Status::IoError("Cannot write " + path.string());
  }
  std::filesystem::resize_file(path, contents.size(), error);
  if (error) return Status::IoError("Cannot resize " + path.string() + ": " + error.message());
  return Status::Ok();
}

Status UnsyncedFileSystem::AppendFile(const std::filesystem::path& path,
                                      std::string_view contents) {
  return WriteWhole(path, contents, std::ios::app);
}

Status UnsyncedFileSystem::CopyFile(const std::filesystem::path& from,
                                    const std::filesystem::path& to) {
  std::string contents;
  if (Status read = native_.ReadFile(from, &contents); !read.ok()) return read;
  return WriteFileAtomic(to, contents);
}

std::unique_ptr<MappedFile> UnsyncedFileSystem::OpenMapped(const std::filesystem::path& path,
                                                           bool writable, Status* status) {
  std::unique_ptr<MappedFile> mapping = native_.OpenMapped(path, writable, status);
  if (!mapping) return nullptr;
  return std::make_unique<CachedMapping>(std::move(mapping));
}

}  // namespace tolvi::sim
