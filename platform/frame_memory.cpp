#include "platform/frame_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

size_t mapped_size(size_t bytes) {
  return (bytes + kLargePage - 1) & ~(kLargePage - 1);
}

}  // namespace

void* frame_memory_alloc(size_t bytes) {
  if (bytes < kLargePage) return std::calloc(1, bytes ? bytes : 1);
  const size_t size = mapped_size(bytes);
  if (size < bytes || size + kLargePage < size) return nullptr;
  // Mapped a large page longer, then trimmed to an aligned block of size bytes.
  void* mapped =
      mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const uintptr_t end = start + size + kLargePage;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  // Only a wish: without large pages the block works page by page as any other.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void frame_memory_free(void* block, size_t bytes) {
  if (!block) return;
  if (bytes < kLargePage) {
    std::free(block);
    return;
  }
  munmap(block, mapped_size(bytes));
}

}  // namespace platform
