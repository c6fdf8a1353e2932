#include "platform/win/win_single_instance.h"

#include <windows.h>

#include <thread>
#include <utility>

#include "platform/win/wide_text.h"
#include "platform/win/win_error.h"

namespace tolvi {

class InstanceMutexFactory {
 public:
  static InstanceMutex Make(HANDLE handle) { return InstanceMutex(handle); }
};

InstanceMutex::InstanceMutex(InstanceMutex&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

InstanceMutex& InstanceMutex::operator=(InstanceMutex&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) ::CloseHandle(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

InstanceMutex::~InstanceMutex() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
}

InstanceMutexResult TryAcquireInstanceMutex(const std::string& name) {
  const std::wstring wide_name = WideFromUtf8(name);
  HANDLE handle = ::CreateMutexW(nullptr, TRUE, wide_name.c_str());
  const DWORD error = ::GetLastError();
  if (handle == nullptr) {
    return {InstanceMutexStatus::kUnavailable, std::nullopt,
            "CreateMutex " + name + ": " + SystemErrorText(error)};
  }
  // The name already existed: another copy made it first. Only the first
  // creator counts, so this handle is of no use.
  if (error == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(handle);
    return {InstanceMutexStatus::kHeld, std::nullopt, {}};
  }
  return {InstanceMutexStatus::kAcquired, InstanceMutexFactory::Make(handle), {}};
}

InstanceMutexResult AcquireInstanceMutex(const std::string& name,
                                         const std::function<void()>& wait_before_retry) {
  InstanceMutexResult result = TryAcquireInstanceMutex(name);
  if (result.status != InstanceMutexStatus::kHeld) return result;
  wait_before_retry();
  return TryAcquireInstanceMutex(name);
}

InstanceMutexResult AcquireInstanceMutex(const std::string& name,
                                         std::chrono::milliseconds retry_delay) {
  return AcquireInstanceMutex(name, [retry_delay] { std::this_thread::sleep_for(retry_delay); });
}

}  // namespace tolvi
