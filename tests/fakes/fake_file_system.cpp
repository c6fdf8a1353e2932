#include "fakes/fake_file_system.h"

#include <algorithm>
#include <utility>

namespace tolvi {

class FakeMappedFile final : public MappedFile {
 public:
  FakeMappedFile(FakeFileSystem& owner, std::shared_ptr<FakeFileSystem::Node> node, bool writable)
      : owner_(owner), node_(std::move(node)), writable_(writable) {
    if (!writable_) private_copy_ = node_->data;
  }
  ~FakeMappedFile() override {
    if (!writable_ && private_copy_ != node_->data) ++owner_.read_only_writes_;
  }
  FakeMappedFile(const FakeMappedFile&) = delete;
  FakeMappedFile& operator=(const FakeMappedFile&) = delete;

  std::span<std::byte> bytes() override {
    std::string& data = writable_ ? node_->data : private_copy_;
    return {reinterpret_cast<std::byte*>(data.data()), data.size()};
  }
  bool writable() const override { return writable_; }

  Status Resize(std::uint64_t new_size) override {
    if (!writable_) return Status::InvalidArgument("Resizing a read-only mapping");
    if (owner_.fail_resize_.exchange(false)) return Status::IoError("Resize failed on demand");
    // Always move the bytes, as a real remap may: a pointer kept across a
    // Resize then points into freed memory, which the sanitizers report.
    std::string moved(static_cast<std::size_t>(new_size), '\0');
    std::copy_n(node_->data.begin(), std::min(moved.size(), node_->data.size()), moved.begin());
    node_->data.swap(moved);
    return Status::Ok();
  }

  Status Flush() override { return Status::Ok(); }

 private:
  FakeFileSystem& owner_;
  std::shared_ptr<FakeFileSystem::Node> node_;
  bool writable_;
  std::string private_copy_;
};

namespace {

Status Missing(const std::string& key) {
  return Status::NotFound("No such file: " + key);
}
Status Refused(const std::string& key) {
  return Status::IoError("Access refused: " + key);
}

}  // namespace

std::string FakeFileSystem::Key(const std::filesystem::path& path) {
  std::string key = path.lexically_normal().generic_string();
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  return key;
}

std::shared_ptr<FakeFileSystem::Node> FakeFileSystem::Find(const std::string& key) const {
  const auto it = files_.find(key);
  return it == files_.end() ? nullptr : it->second;
}

Status FakeFileSystem::CheckChange(const std::string& key, std::string_view action) {
  ++changes_;
  if (dead_from_change_ && changes_ >= *dead_from_change_) {
    return Status::IoError("Crashed before " + std::string(action) + " " + key);
  }
  return blocked_.count(key) != 0 ? Refused(key) : Status::Ok();
}

void FakeFileSystem::SetFile(const std::filesystem::path& path, std::string contents) {
  std::lock_guard lock(mutex_);
  files_[Key(path)] = std::make_shared<Node>(Node{std::move(contents), NextStamp()});
}

std::optional<std::string> FakeFileSystem::GetFile(const std::filesystem::path& path) const {
  std::lock_guard lock(mutex_);
  const auto node = Find(Key(path));
  return node ? std::optional(node->data) : std::nullopt;
}

std::vector<std::filesystem::path> FakeFileSystem::AllFiles() const {
  std::lock_guard lock(mutex_);
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : files_) paths.emplace_back(entry.first);
  return paths;
}

std::uint64_t FakeFileSystem::ModifiedStamp(const std::filesystem::path& path) const {
  std::lock_guard lock(mutex_);
  const auto node = Find(Key(path));
  return node ? node->stamp : 0;
}

void FakeFileSystem::FailAccess(const std::filesystem::path& path, bool fail) {
  const auto [lock, key] = Enter(path);
  fail ? (void)blocked_.insert(key) : (void)blocked_.erase(key);
}

bool FakeFileSystem::Exists(const std::filesystem::path& path) {
  const auto [lock, key] = Enter(path);
  if (files_.count(key) != 0 || directories_.count(key) != 0) return true;
  const std::string prefix = key + "/";
  const auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.starts_with(prefix);
}

std::optional<std::uint64_t> FakeFileSystem::FileSize(const std::filesystem::path& path) {
  const auto [lock, key] = Enter(path);
  const auto node = Find(key);
  if (!node || blocked_.count(key) != 0) return std::nullopt;
  return node->data.size();
}

Status FakeFileSystem::ReadFile(const std::filesystem::path& path, std::string* contents) {
  const auto [lock, key] = Enter(path);
  if (blocked_.count(key) != 0) return Refused(key);
  const auto node = Find(key);
  if (!node) return Missing(key);
  *contents = node->data;
  return Status::Ok();
}

Status FakeFileSystem::ReplaceLocked(const std::string& key, std::string_view contents) {
  if (Status status = CheckChange(key, "replacing"); !status.ok()) return status;
  if (fail_write_after_) {
    fail_write_after_.reset();
    return Status::IoError("Write failed on demand: " + key);
  }
  if (fail_renames_) return Status::IoError("Rename failed on demand: " + key);
  files_[key] = std::make_shared<Node>(Node{std::string(contents), NextStamp()});
  return Status::Ok();
}

Status FakeFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                       std::string_view contents) {
  if (watcher_) watcher_(path);
  std::lock_guard lock(mutex_);
  return ReplaceLocked(Key(path), contents);
}

Status FakeFileSystem::AppendFile(const std::filesystem::path& path, std::string_view contents) {
  const auto [lock, key] = Enter(path);
  if (Status status = CheckChange(key, "appending to"); !status.ok()) return status;
  std::shared_ptr<Node>& node = files_[key];
  if (!node) node = std::make_shared<Node>();
  node->stamp = NextStamp();
  if (fail_write_after_) {
    const std::size_t kept = std::min(*fail_write_after_, contents.size());
    fail_write_after_.reset();
    node->data.append(contents.substr(0, kept));
    return Status::IoError("Append failed on demand: " + key);
  }
  node->data.append(contents);
  return Status::Ok();
}

Status FakeFileSystem::CopyFile(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
  std::lock_guard lock(mutex_);
  const std::string source = Key(from);
  if (blocked_.count(source) != 0) return Refused(source);
  const auto node = Find(source);
  if (!node) return Missing(source);
  const std::string contents = node->data;
  return ReplaceLocked(Key(to), contents);
}

Status FakeFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::lock_guard lock(mutex_);
  const std::string source = Key(from);
  const std::string target = Key(to);
  if (Status status = CheckChange(source, "renaming"); !status.ok()) return status;
  if (blocked_.count(target) != 0) return Refused(target);
  const auto it = files_.find(source);
  if (it == files_.end()) return Missing(source);
  if (fail_renames_) return Status::IoError("Rename failed on demand: " + source);
  if (source == target) return Status::Ok();
  std::shared_ptr<Node> node = it->second;
  files_.erase(it);
  files_[target] = std::move(node);
  return Status::Ok();
}

Status FakeFileSystem::Remove(const std::filesystem::path& path) {
  const auto [lock, key] = Enter(path);
  if (Status status = CheckChange(key, "removing"); !status.ok()) return status;
  return files_.erase(key) == 0 ? Missing(key) : Status::Ok();
}

Status FakeFileSystem::TouchModified(const std::filesystem::path& path) {
  const auto [lock, key] = Enter(path);
  if (Status status = CheckChange(key, "touching"); !status.ok()) return status;
  const auto node = Find(key);
  if (!node) return Missing(key);
  node->stamp = NextStamp();
  return Status::Ok();
}

Status FakeFileSystem::CreateDirectories(const std::filesystem::path& path) {
  const auto [lock, key] = Enter(path);
  if (blocked_.count(key) != 0) return Refused(key);
  for (std::filesystem::path p(key); !p.empty() && p != p.root_path(); p = p.parent_path()) {
    directories_.insert(Key(p));
  }
  return Status::Ok();
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::filesystem::path& directory) {
  const auto [lock, key] = Enter(directory);
  std::vector<std::string> names;
  if (blocked_.count(key) != 0) return names;
  for (const auto& entry : files_) {
    const std::filesystem::path file(entry.first);
    if (Key(file.parent_path()) == key) names.push_back(file.filename().string());
  }
  return names;
}

std::unique_ptr<MappedFile> FakeFileSystem::OpenMapped(const std::filesystem::path& path,
                                                       bool writable, Status* status) {
  const auto [lock, key] = Enter(path);
  const auto node = Find(key);
  if (blocked_.count(key) != 0) {
    *status = Refused(key);
  } else if (fail_map_.exchange(false)) {
    *status = Status::IoError("Map failed on demand: " + key);
  } else if (!node) {
    *status = Missing(key);
  } else {
    *status = Status::Ok();
    return std::make_unique<FakeMappedFile>(*this, node, writable);
  }
  return nullptr;
}

}  // namespace tolvi
