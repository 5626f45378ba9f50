// An allocator whose memory arrives zeroed (calloc): a big block is fresh pages that the system
// zeroes as they are first touched, so a vector sized with resize(n) or made with (n) is zero
// without a pass over it, and pages nobody writes cost nothing. For big buffers made at
// start-up that are zero at first (the software back buffer, sound buffers).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

template <typename T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <typename U>
  ZeroedAllocator(const ZeroedAllocator<U>&) {}
  T* allocate(std::size_t n) {
    void* p = std::calloc(n, sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
  // Value-less construction leaves the zeroes calloc gave.
  template <typename U>
  void construct(U*) {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const ZeroedAllocator<U>&) const {
    return true;
  }
  template <typename U>
  bool operator!=(const ZeroedAllocator<U>&) const {
    return false;
  }
};
