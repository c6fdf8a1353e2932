// InMemoryFiles: a FileSystem kept in a map, with failures on demand, for
// tests of code that reads, copies and lists small files. Mapped files are
// not supported. One test thread only.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace tolvi::testing {

class InMemoryFiles : public FileSystem {
 public:
  void Put(const std::filesystem::path& path, std::string contents) {
    files_[Key(path)] = std::move(contents);
  }
  void AddDirectory(const std::filesystem::path& path) { directories_.insert(Key(path)); }
  // The file exists, but reading it fails (no permission).
  void MakeUnreadable(const std::filesystem::path& path) { unreadable_.insert(Key(path)); }
  // Claims this size without holding the bytes (a huge file).
  void PretendSize(const std::filesystem::path& path, std::uint64_t size) {
    pretended_sizes_[Key(path)] = size;
  }
  void FailCopies() { fail_copies_ = true; }
  void FailDirectoryCreation() { fail_directories_ = true; }

  bool Has(const std::filesystem::path& path) const { return files_.contains(Key(path)); }
  const std::string& Contents(const std::filesystem::path& path) const {
    return files_.at(Key(path));
  }
  bool HasDirectory(const std::filesystem::path& path) const {
    return directories_.contains(Key(path));
  }
  int copies() const { return copies_; }

  bool Exists(const std::filesystem::path& path) override {
    return files_.contains(Key(path)) || directories_.contains(Key(path));
  }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) override {
    const std::string key = Key(path);
    if (const auto it = pretended_sizes_.find(key); it != pretended_sizes_.end()) {
      return it->second;
    }
    const auto it = files_.find(key);
    if (it == files_.end()) return std::nullopt;
    return it->second.size();
  }
  Status ReadFile(const std::filesystem::path& path, std::string* contents) override {
    const std::string key = Key(path);
    const auto it = files_.find(key);
    if (it == files_.end()) return Status::NotFound(key);
    if (unreadable_.contains(key)) return Status::IoError("permission denied: " + key);
    *contents = it->second;
    return Status::Ok();
  }
  Status WriteFileAtomic(const std::filesystem::path& path, std::string_view contents) override {
    Put(path, std::string(contents));
    return Status::Ok();
  }
  Status AppendFile(const std::filesystem::path& path, std::string_view contents) override {
    files_[Key(path)].append(contents);
    return Status::Ok();
  }
  Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) override {
    ++copies_;
    if (fail_copies_) return Status::IoError("copy refused");
    std::string contents;
    if (Status status = ReadFile(from, &contents); !status.ok()) return status;
    Put(to, std::move(contents));
    return Status::Ok();
  }
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    const auto node = files_.extract(Key(from));
    if (node.empty()) return Status::NotFound(Key(from));
    files_[Key(to)] = node.mapped();
    return Status::Ok();
  }
  Status Remove(const std::filesystem::path& path) override {
    return files_.erase(Key(path)) != 0 ? Status::Ok() : Status::NotFound(Key(path));
  }
  Status TouchModified(const std::filesystem::path& path) override {
    return Exists(path) ? Status::Ok() : Status::NotFound(Key(path));
  }
  Status CreateDirectories(const std::filesystem::path& path) override {
    if (fail_directories_) return Status::IoError("read-only");
    for (std::filesystem::path p = path; !p.empty() && p != p.root_path(); p = p.parent_path()) {
      directories_.insert(Key(p));
    }
    return Status::Ok();
  }
  std::vector<std::string> ListFiles(const std::filesystem::path& directory) override {
    std::vector<std::string> names;
    const std::string dir = Key(directory);
    for (const auto& [key, contents] : files_) {
      const std::filesystem::path file(key);
      if (file.parent_path() == dir) names.push_back(file.filename().string());
    }
    return names;
  }
  std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path&, bool,
                                         Status* status) override {
    *status = Status::IoError("not supported");
    return nullptr;
  }

 private:
  static std::string Key(const std::filesystem::path& path) {
    std::string key = path.lexically_normal().string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    return key;
  }

  std::map<std::string, std::string> files_;
  std::set<std::string> directories_;
  std::set<std::string> unreadable_;
  std::map<std::string, std::uint64_t> pretended_sizes_;
  bool fail_copies_ = false;
  bool fail_directories_ = false;
  int copies_ = 0;
};

}  // namespace tolvi::testing
