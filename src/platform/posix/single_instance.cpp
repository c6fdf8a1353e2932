#include "platform/posix/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace tolvi {

class InstanceLockFactory {
 public:
  static InstanceLock Make(int fd) { return InstanceLock(fd); }
};

namespace {

constexpr mode_t kLockFileMode = 0600;

std::string ErrorText(const char* what, const std::filesystem::path& path) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

}  // namespace

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::filesystem::path DefaultInstanceLockPath() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr) {
    const std::filesystem::path directory(runtime);
    if (directory.is_absolute()) return directory / kInstanceLockFileName;
  }
  return std::filesystem::path("/tmp") / ("tolvi-" + std::to_string(::getuid()) + ".lock");
}

InstanceResult TryLockInstance(const std::filesystem::path& lock_file) {
  // No symlinks (a shared /tmp), and the descriptor is not inherited: a
  // child such as a document viewer must not keep the lock alive.
  const int fd =
      ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kLockFileMode);
  if (fd < 0) {
    return InstanceResult{InstanceStatus::kUnavailable, std::nullopt, ErrorText("open", lock_file)};
  }
  InstanceLock lock = InstanceLockFactory::Make(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    return InstanceResult{InstanceStatus::kUnavailable, std::nullopt,
                          "not a lock file of this user: " + lock_file.string()};
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return InstanceResult{InstanceStatus::kHeld, std::nullopt, {}};
    return InstanceResult{InstanceStatus::kUnavailable, std::nullopt,
                          ErrorText("flock", lock_file)};
  }
  return InstanceResult{InstanceStatus::kAcquired, std::move(lock), {}};
}

InstanceResult AcquireSingleInstance(const std::filesystem::path& lock_file,
                                     const std::function<void()>& wait_before_retry) {
  InstanceResult result = TryLockInstance(lock_file);
  if (result.status != InstanceStatus::kHeld) return result;
  wait_before_retry();
  return TryLockInstance(lock_file);
}

InstanceResult AcquireSingleInstance(const std::filesystem::path& lock_file,
                                     std::chrono::milliseconds retry_delay) {
  return AcquireSingleInstance(lock_file,
                               [retry_delay] { std::this_thread::sleep_for(retry_delay); });
}

}  // namespace tolvi
