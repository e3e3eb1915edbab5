#pragma once
// A byte vector whose resize does not zero-fill, so a whole-file read touches
// fresh memory only once.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tov {

template <typename T>
struct UninitializedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <typename U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;  // default-init: leaves bytes as they are
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using ByteVector = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

}  // namespace tov
