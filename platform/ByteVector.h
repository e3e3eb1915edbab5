#pragma once
// A byte vector whose resize does not zero-fill, so a whole-file read touches
// fresh memory only once. Large buffers ask for huge pages: filling a
// quarter-gigabyte file buffer then costs a few hundred page faults instead
// of tens of thousands.
#if defined(_WIN32)
#include <malloc.h>
#else
#include <sys/mman.h>
#endif

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tov {

template <typename T>
struct UninitializedAllocator : std::allocator<T> {
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static constexpr std::size_t kHugeThreshold = std::size_t{8} << 20;

  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <typename U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kHugeThreshold) return std::allocator<T>::allocate(n);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
#if defined(_WIN32)
    void* p = _aligned_malloc(rounded, kHugePage);
    if (p == nullptr) throw std::bad_alloc();
#else
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
    madvise(p, rounded, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n * sizeof(T) < kHugeThreshold) {
      std::allocator<T>::deallocate(p, n);
    } else {
#if defined(_WIN32)
      _aligned_free(p);
#else
      std::free(p);
#endif
    }
  }

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
