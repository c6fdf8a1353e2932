// FakeFileSystem: an in-memory FileSystem (with MappedFile) for tests, which
// can fail on demand. Files live in a map from normalised path to contents;
// nothing touches the disk.
//
// Semantics worth knowing:
// - WriteFileAtomic and CopyFile replace a file whole (a new "inode"): a
//   MappedFile keeps the contents it was opened on, as with a real rename.
//   Writes through a writable mapping go straight to the file's contents.
//   Every Resize moves the bytes to a new buffer, so a pointer kept across
//   it is caught by the sanitizers.
// - A read-only mapping hands out a private copy; if the code under test
//   writes into it, read_only_writes() counts it when the mapping closes.
// - Directories exist once created (CreateDirectories) or when a file lies
//   in them; writes do not require the directory to exist.
// - Every write and TouchModified gives the file a new, larger stamp.
//
// Failures on demand (each stays armed until it fires or is cleared):
// - FailNextWrite(n): the next WriteFileAtomic, AppendFile or CopyFile fails
//   with IoError after n bytes. The atomic ones leave the target as it was;
//   AppendFile leaves the first n bytes appended (a torn append).
// - FailRenames(true): Rename, and the final rename step of WriteFileAtomic
//   and CopyFile, fail with IoError; the target stays as it was.
// - FailAccess(path): every operation on that path except Exists fails with
//   IoError (a file that cannot be opened, read or written).
// - CrashAtChange(k): the k-th file change from now (WriteFileAtomic,
//   AppendFile, CopyFile, Rename, Remove, TouchModified; 1 = the next) and
//   every change after it fail with nothing changed, as if the program had
//   died just before it. Revive() ends it; change_count() counts changes
//   tried since the fake was made. Writes through a mapping still land, as
//   the dirty pages of a killed process do.
// - FailNextResize(): the next MappedFile::Resize fails, mapping unchanged.
// - FailNextMap(): the next OpenMapped fails with IoError.
//
// WatchAtomicWrites(watcher): the watcher sees the path of every
// WriteFileAtomic before it is made, outside the fake's lock, so a test can
// look at what the code under test holds at that moment.
//
// Thread safety: every FileSystem call and set-up call takes an internal
// lock, so two threads may use one fake. A MappedFile is not locked (its
// owner locks around it, as with the real one).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace tolvi {

class FakeFileSystem final : public FileSystem {
  // Runs f under the lock (first, so the inline members below can use it).
  template <typename F>
  auto Locked(F f) const {
    std::lock_guard lock(mutex_);
    return f();
  }

 public:
  // Set-up and inspection.
  void SetFile(const std::filesystem::path& path, std::string contents);
  std::optional<std::string> GetFile(const std::filesystem::path& path) const;
  // Every file's path, sorted.
  std::vector<std::filesystem::path> AllFiles() const;
  // 0 for a missing file.
  std::uint64_t ModifiedStamp(const std::filesystem::path& path) const;
  std::size_t read_only_writes() const { return read_only_writes_; }

  // Failures on demand (see above).
  void FailNextWrite(std::size_t bytes_before_failure = 0) {
    Locked([&] { fail_write_after_ = bytes_before_failure; });
  }
  void FailRenames(bool fail) { fail_renames_ = fail; }
  void FailAccess(const std::filesystem::path& path, bool fail = true);
  void CrashAtChange(std::size_t k) {
    Locked([&] { dead_from_change_ = changes_ + k; });
  }
  void Revive() {
    Locked([&] { dead_from_change_.reset(); });
  }
  std::size_t change_count() const {
    return Locked([&] { return changes_; });
  }
  void FailNextResize() { fail_resize_ = true; }
  void FailNextMap() { fail_map_ = true; }
  void WatchAtomicWrites(std::function<void(const std::filesystem::path&)> watcher) {
    watcher_ = std::move(watcher);
  }

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

  // Shared between the fake and its mappings; public only for them.
  struct Node {
    std::string data;
    std::uint64_t stamp = 0;
  };

 private:
  friend class FakeMappedFile;

  static std::string Key(const std::filesystem::path& path);
  // The lock and the file's key: how every operation on a path begins.
  std::pair<std::unique_lock<std::mutex>, std::string> Enter(
      const std::filesystem::path& path) const {
    return {std::unique_lock(mutex_), Key(path)};
  }
  // The file at key, or null.
  std::shared_ptr<Node> Find(const std::string& key) const;
  // Refuses a change to key when the fake has "crashed" (counting it) or
  // the path is blocked.
  Status CheckChange(const std::string& key, std::string_view action);
  // Replaces the file whole, honouring FailNextWrite and FailRenames.
  Status ReplaceLocked(const std::string& key, std::string_view contents);
  std::uint64_t NextStamp() { return ++stamp_; }

  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Node>> files_;
  std::set<std::string> directories_;
  std::set<std::string> blocked_;
  std::optional<std::size_t> fail_write_after_;
  std::size_t changes_ = 0;
  std::optional<std::size_t> dead_from_change_;
  std::atomic<bool> fail_renames_ = false;
  std::atomic<bool> fail_resize_ = false;
  std::atomic<bool> fail_map_ = false;
  std::uint64_t stamp_ = 0;
  std::function<void(const std::filesystem::path&)> watcher_;
  std::atomic<std::size_t> read_only_writes_ = 0;
};

}  // namespace tolvi
