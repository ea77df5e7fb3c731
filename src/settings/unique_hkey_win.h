#pragma once

#include <windows.h>

#include <utility>

namespace parvel {

// Owns an open registry key and closes it when it goes out of scope.
class UniqueHkey {
 public:
  UniqueHkey() = default;
  explicit UniqueHkey(HKEY key) noexcept : key_(key) {}
  UniqueHkey(UniqueHkey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueHkey& operator=(UniqueHkey&& other) noexcept {
    reset(std::exchange(other.key_, nullptr));
    return *this;
  }
  ~UniqueHkey() { reset(); }

  HKEY get() const noexcept { return key_; }
  // For the out parameter of RegCreateKeyEx and RegOpenKeyEx.
  HKEY* put() noexcept {
    reset();
    return &key_;
  }
  void reset(HKEY key = nullptr) noexcept {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = key;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace parvel
