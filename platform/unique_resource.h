#pragma once
// A move-only owner of one OS resource: the one place that frees it. The Win32 handle types
// in win32_handles.h are aliases of this template.
#include <utility>

template <typename T>
constexpr T nullResource() {
  return T{};
}

// `Invalid` is a function giving the empty value (null by default, -1 for file handles).
template <typename T, auto Close, auto Invalid = &nullResource<T>>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid(); }

  // Gives up ownership without freeing.
  T release() { return std::exchange(value_, Invalid()); }

  void reset(T value = Invalid()) {
    T old = std::exchange(value_, value);
    if (old != Invalid()) Close(old);
  }

 private:
  T value_ = Invalid();
};
