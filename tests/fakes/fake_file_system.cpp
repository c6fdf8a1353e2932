#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tolvi {

class FakeMappedFile final : public MappedFile {
 public:
  FakeMappedFile(FakeFileSystem& owner, std::shared_ptr<FakeFileSystem::Node> node, bool writable)
      : owner_(owner), node_(std::move(node)), writable_(writable) {
    if (!writable_) private_copy_ = node_->data;
  }
  ~FakeMappedFile() override {
    if (!writable_ && private_copy_ != node_->data) owner_.NoteReadOnlyWrite();
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
    if (owner_.TakeResizeFailure()) return Status::IoError("Resize failed on demand");
    // Always move the bytes, as a real remap may: a pointer kept across a
    // Resize then points into freed memory, which the sanitizers report.
    std::string moved(static_cast<std::size_t>(new_size), '\0');
    std::copy_n(node_->data.begin(), std::min(moved.size(), node_->data.size()), moved.begin());
    node_->data.swap(moved);
    return Status::Ok();
  }

  Status Flush() override {
    if (owner_.TakeFlushFailure()) return Status::IoError("Flush failed on demand");
    owner_.NoteFlush();
    return Status::Ok();
  }

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

FakeFileSystem::FakeFileSystem() = default;
FakeFileSystem::~FakeFileSystem() = default;

std::string FakeFileSystem::Key(const std::filesystem::path& path) {
  std::string key = path.lexically_normal().generic_string();
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  return key;
}

bool FakeFileSystem::Blocked(const std::string& key) const {
  return blocked_.count(key) != 0;
}

void FakeFileSystem::SetFile(const std::filesystem::path& path, std::string contents) {
  std::lock_guard lock(mutex_);
  files_[Key(path)] = std::make_shared<Node>(Node{std::move(contents), NextStamp()});
}

std::optional<std::string> FakeFileSystem::GetFile(const std::filesystem::path& path) const {
  std::lock_guard lock(mutex_);
  const auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second->data;
}

std::vector<std::filesystem::path> FakeFileSystem::AllFiles() const {
  std::lock_guard lock(mutex_);
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : files_) paths.emplace_back(entry.first);
  return paths;
}

std::uint64_t FakeFileSystem::ModifiedStamp(const std::filesystem::path& path) const {
  std::lock_guard lock(mutex_);
  const auto it = files_.find(Key(path));
  return it == files_.end() ? 0 : it->second->stamp;
}

std::size_t FakeFileSystem::read_only_writes() const {
  std::lock_guard lock(mutex_);
  return read_only_writes_;
}

std::size_t FakeFileSystem::flush_count() const {
  std::lock_guard lock(mutex_);
  return flush_count_;
}

void FakeFileSystem::FailNextWrite(std::size_t bytes_before_failure) {
  std::lock_guard lock(mutex_);
  fail_write_after_ = bytes_before_failure;
}

void FakeFileSystem::FailRenames(bool fail) {
  std::lock_guard lock(mutex_);
  fail_renames_ = fail;
}

void FakeFileSystem::FailAccess(const std::filesystem::path& path, bool fail) {
  std::lock_guard lock(mutex_);
  if (fail) {
    blocked_.insert(Key(path));
  } else {
    blocked_.erase(Key(path));
  }
}

void FakeFileSystem::CrashAtChange(std::size_t k) {
  std::lock_guard lock(mutex_);
  dead_from_change_ = changes_ + k;
}

void FakeFileSystem::Revive() {
  std::lock_guard lock(mutex_);
  dead_from_change_.reset();
}

std::size_t FakeFileSystem::change_count() const {
  std::lock_guard lock(mutex_);
  return changes_;
}

bool FakeFileSystem::CountChangeDead() {
  ++changes_;
  return dead_from_change_ && changes_ >= *dead_from_change_;
}

void FakeFileSystem::FailNextResize() {
  std::lock_guard lock(mutex_);
  fail_resize_ = true;
}

void FakeFileSystem::FailNextMap() {
  std::lock_guard lock(mutex_);
  fail_map_ = true;
}

void FakeFileSystem::FailNextFlush() {
  std::lock_guard lock(mutex_);
  fail_flush_ = true;
}

bool FakeFileSystem::TakeResizeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(fail_resize_, false);
}

bool FakeFileSystem::TakeFlushFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(fail_flush_, false);
}

void FakeFileSystem::NoteFlush() {
  std::lock_guard lock(mutex_);
  ++flush_count_;
}

void FakeFileSystem::NoteReadOnlyWrite() {
  std::lock_guard lock(mutex_);
  ++read_only_writes_;
}

bool FakeFileSystem::Exists(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (files_.count(key) != 0 || directories_.count(key) != 0) return true;
  const std::string prefix = key + "/";
  const auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::uint64_t> FakeFileSystem::FileSize(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  const auto it = files_.find(key);
  if (it == files_.end() || Blocked(key)) return std::nullopt;
  return it->second->data.size();
}

Status FakeFileSystem::ReadFile(const std::filesystem::path& path, std::string* contents) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (Blocked(key)) return Refused(key);
  const auto it = files_.find(key);
  if (it == files_.end()) return Missing(key);
  *contents = it->second->data;
  return Status::Ok();
}

Status FakeFileSystem::ReplaceLocked(const std::string& key, std::string_view contents) {
  if (CountChangeDead()) return Status::IoError("Crashed before replacing " + key);
  if (Blocked(key)) return Refused(key);
  if (fail_write_after_) {
    fail_write_after_.reset();
    return Status::IoError("Write failed on demand: " + key);
  }
  if (fail_renames_) return Status::IoError("Rename failed on demand: " + key);
  files_[key] = std::make_shared<Node>(Node{std::string(contents), NextStamp()});
  return Status::Ok();
}

void FakeFileSystem::WatchAtomicWrites(std::function<void(const std::filesystem::path&)> watcher) {
  watcher_ = std::move(watcher);
}

Status FakeFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                       std::string_view contents) {
  if (watcher_) watcher_(path);
  std::lock_guard lock(mutex_);
  return ReplaceLocked(Key(path), contents);
}

Status FakeFileSystem::AppendFile(const std::filesystem::path& path, std::string_view contents) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (CountChangeDead()) return Status::IoError("Crashed before appending to " + key);
  if (Blocked(key)) return Refused(key);
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
  if (Blocked(source)) return Refused(source);
  const auto it = files_.find(source);
  if (it == files_.end()) return Missing(source);
  const std::string contents = it->second->data;
  return ReplaceLocked(Key(to), contents);
}

Status FakeFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::lock_guard lock(mutex_);
  const std::string source = Key(from);
  const std::string target = Key(to);
  if (CountChangeDead()) return Status::IoError("Crashed before renaming " + source);
  if (Blocked(source)) return Refused(source);
  if (Blocked(target)) return Refused(target);
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
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (CountChangeDead()) return Status::IoError("Crashed before removing " + key);
  if (Blocked(key)) return Refused(key);
  if (files_.erase(key) == 0) return Missing(key);
  return Status::Ok();
}

Status FakeFileSystem::TouchModified(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (CountChangeDead()) return Status::IoError("Crashed before touching " + key);
  if (Blocked(key)) return Refused(key);
  const auto it = files_.find(key);
  if (it == files_.end()) return Missing(key);
  it->second->stamp = NextStamp();
  return Status::Ok();
}

Status FakeFileSystem::CreateDirectories(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (Blocked(key)) return Refused(key);
  for (std::filesystem::path p(key); !p.empty() && p != p.root_path(); p = p.parent_path()) {
    directories_.insert(Key(p));
  }
  return Status::Ok();
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::filesystem::path& directory) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(directory);
  std::vector<std::string> names;
  if (Blocked(key)) return names;
  for (const auto& entry : files_) {
    const std::filesystem::path file(entry.first);
    if (Key(file.parent_path()) == key) names.push_back(file.filename().string());
  }
  return names;
}

std::unique_ptr<MappedFile> FakeFileSystem::OpenMapped(const std::filesystem::path& path,
                                                       bool writable, Status* status) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (Blocked(key)) {
    *status = Refused(key);
    return nullptr;
  }
  if (std::exchange(fail_map_, false)) {
    *status = Status::IoError("Map failed on demand: " + key);
    return nullptr;
  }
  const auto it = files_.find(key);
  if (it == files_.end()) {
    *status = Missing(key);
    return nullptr;
  }
  *status = Status::Ok();
  return std::make_unique<FakeMappedFile>(*this, it->second, writable);
}

}  // namespace tolvi
