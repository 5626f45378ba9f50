#include "platform/address_space.h"

#include <sys/mman.h>

namespace platform {

void* reserve_address_space(size_t size) {
  if (size == 0) return nullptr;
  // MAP_NORESERVE: the buffer is mostly untouched, so it must not count against overcommit.
  void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return base == MAP_FAILED ? nullptr : base;
}

void release_address_space(void* base, size_t size) {
  if (base) munmap(base, size);
}

}  // namespace platform
