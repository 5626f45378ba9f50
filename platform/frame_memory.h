// Frame-sized buffers (the back buffer, the frames handed to the window) on large pages.
//
// A fresh 720p frame is 3.6 MB: written for the first time it takes some 900 page faults, and
// in a virtual machine each costs tens of microseconds, so a buffer made at start-up delays
// the first picture by tens of milliseconds. Blocks of 2 MiB and more are aligned to 2 MiB and
// asked for large pages (where the system grants them: a few faults per frame); smaller ones
// come from calloc. Either way the memory arrives zeroed without a pass over it.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace platform {

// bytes zeroed bytes (aligned as malloc's, large blocks to 2 MiB); null when memory is out.
// Any thread.
void* frame_memory_alloc(size_t bytes);
// Gives back a block; bytes exactly as asked for. Null does nothing.
void frame_memory_free(void* block, size_t bytes);

// An allocator on frame_memory_alloc, for vectors: resize(n) leaves the zeroes in place.
template <typename T>
struct FrameAllocator {
  using value_type = T;
  FrameAllocator() = default;
  template <typename U>
  FrameAllocator(const FrameAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = frame_memory_alloc(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) { frame_memory_free(p, n * sizeof(T)); }
  // Value-less construction leaves the zeroes.
  template <typename U>
  void construct(U*) {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const FrameAllocator<U>&) const {
    return true;
  }
  template <typename U>
  bool operator!=(const FrameAllocator<U>&) const {
    return false;
  }
};

}  // namespace platform
