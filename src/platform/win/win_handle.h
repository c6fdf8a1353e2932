// WinHandle: owns a kernel handle (file, mapping, mutex) and closes it once.
// Move-only; the thread that owns the object uses it.
#pragma once

#include <windows.h>

#include <utility>

namespace tolvi {

class WinHandle {
 public:
  WinHandle() = default;
  explicit WinHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~WinHandle() { Reset(); }
  WinHandle(WinHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  WinHandle& operator=(WinHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  WinHandle(const WinHandle&) = delete;
  WinHandle& operator=(const WinHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr; }
  // Closes now, reporting whether the close succeeded.
  bool Close() {
    const bool closed = handle_ == nullptr || ::CloseHandle(handle_) != 0;
    handle_ = nullptr;
    return closed;
  }

 private:
  void Reset() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
    handle_ = nullptr;
  }
  HANDLE handle_ = nullptr;
};

}  // namespace tolvi
