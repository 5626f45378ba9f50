#include "Orv/core/random_table.h"

#include <algorithm>

#include "Orv/core/memory.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

RandomTable& table() {
  return orv_core().services.random;
}

void fill(RandomTable& t) {
  for (uint32_t i = 0; i < t.size; ++i) t.values[i] = random_next();
  t.index = 0;
}

}  // namespace

void random_seed(uint32_t seed) {
  table().generator.store(seed, std::memory_order_relaxed);
}

int32_t random_next() {
  std::atomic<uint32_t>& state = table().generator;
  uint32_t x = state.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = x * 214013u + 2531011u;
  } while (!state.compare_exchange_weak(x, next, std::memory_order_relaxed));
  return static_cast<int32_t>((next >> 16) & 0x7FFF);
}

bool random_table_create(uint32_t count, bool debug_mode) {
  RandomTable& t = table();
  random_table_destroy();
  // The byte size must fit the allocator's 32-bit size, or the table would be shorter than
  // the count that indexes it.
  if (count > kRandomTableMaxCount) return false;
  random_seed(static_cast<uint32_t>(platform::unix_time_s()));
  if (count > 0) {
    t.values = static_cast<int32_t*>(OrvMemoryAlloc(count * sizeof(int32_t), 0));
    if (!t.values) return false;
  }
  t.size = count;
  t.debug = debug_mode;
  fill(t);
  return true;
}

void random_table_destroy() {
  RandomTable& t = table();
  OrvMemoryFree(t.values);
  t.values = nullptr;
  t.size = 0;
  t.index = 0;
  t.debug = false;
}

extern "C" {

int32_t OrvRandomEx(void) {
  RandomTable& t = table();
  if (t.size == 0) return random_next();
  int32_t value = t.values[t.index];
  if (++t.index >= t.size) t.index = 0;
  return value;
}

int32_t OrvRandom(void) {
  return table().debug ? OrvRandomEx() : random_next();
}

void OrvRandomReset(void) {
  fill(table());
}

void OrvRandomSetSeed(const int32_t* values, int32_t count) {
  RandomTable& t = table();
  if (!values) return;
  std::copy_n(values, std::min(static_cast<uint32_t>(count), t.size), t.values);
  t.index = 0;
}

int32_t OrvRandomGetSeed(int32_t* values, int32_t count) {
  RandomTable& t = table();
  if (!values) return 0;
  uint32_t n = std::min(static_cast<uint32_t>(count), t.size);
  std::copy_n(t.values, n, values);
  return static_cast<int32_t>(n);
}

}  // extern "C"
