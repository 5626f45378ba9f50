#include "Orv/core/work_pool.h"

#include <algorithm>
#include <atomic>

#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/address_space.h"

struct ThreadWorkPool {
  std::atomic<void*> base{nullptr};
  bool registered = false;  // listed in WorkPools::pools; guarded by its mutex

  ~ThreadWorkPool() {
    WorkPools& pools = orv_core().services.work_pools;
    std::lock_guard<std::mutex> lock(pools.mutex);
    platform::release_address_space(base.exchange(nullptr), kWorkPoolSize);
    if (registered) std::erase(pools.pools, this);
  }
};

namespace {

thread_local ThreadWorkPool t_pool;

void* this_thread_pool() {
  if (void* base = t_pool.base.load(std::memory_order_acquire)) return base;
  void* base = platform::reserve_address_space(kWorkPoolSize);
  if (!base) return nullptr;
  WorkPools& pools = orv_core().services.work_pools;
  std::lock_guard<std::mutex> lock(pools.mutex);
  t_pool.base.store(base, std::memory_order_release);
  if (!t_pool.registered) {
    pools.pools.push_back(&t_pool);
    t_pool.registered = true;
  }
  return base;
}

}  // namespace

void work_pools_release_all() {
  WorkPools& pools = orv_core().services.work_pools;
  std::lock_guard<std::mutex> lock(pools.mutex);
  for (ThreadWorkPool* pool : pools.pools) {
    platform::release_address_space(pool->base.exchange(nullptr), kWorkPoolSize);
    pool->registered = false;
  }
  pools.pools.clear();
}

size_t work_pools_live_count() {
  WorkPools& pools = orv_core().services.work_pools;
  std::lock_guard<std::mutex> lock(pools.mutex);
  return pools.pools.size();
}

extern "C" {

void* GetMemoryPool(uint32_t* size) {
  void* base = this_thread_pool();
  if (size) *size = base ? kWorkPoolSize : 0;
  return base;
}

void* OrvGetlpPool(void) {
  return this_thread_pool();
}

}  // extern "C"
