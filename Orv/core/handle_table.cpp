#include "Orv/core/handle_table.h"

namespace {
constexpr uint32_t kGenerationMask = (1u << (32 - HandleTable::kIndexBits)) - 1;

uint32_t generation_of(uint32_t tag) {
  return tag >> 8;
}
uint32_t make_tag(uint32_t generation, HandleKind kind) {
  return (generation << 8) | static_cast<uint32_t>(kind);
}
}  // namespace

HandleTable::~HandleTable() {
  for (auto& c : chunks_) delete[] c.load();
}

HandleTable::Slot* HandleTable::slot(uint32_t index) const {
  Slot* chunk = chunks_[index / kChunkSize].load(std::memory_order_acquire);
  return chunk ? &chunk[index % kChunkSize] : nullptr;
}

OrvHandle HandleTable::add(HandleKind kind, void* object) {
  if (!object || kind == HandleKind::kNone) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  uint32_t index;
  if (!free_.empty()) {
    index = free_.front();
    free_.pop_front();
  } else {
    if (used_ >= kMaxSlots - 1) return 0;
    index = used_++;
    auto& chunk = chunks_[index / kChunkSize];
    if (!chunk.load(std::memory_order_relaxed))
      chunk.store(new Slot[kChunkSize], std::memory_order_release);
  }
  Slot* s = slot(index);
  // Generations start at 1 and never wrap (remove retires a slot at the last one), so no id
  // is ever 0 and no released id ever finds an object again.
  const uint32_t generation = generation_of(s->tag.load(std::memory_order_relaxed)) + 1;
  s->object.store(object, std::memory_order_relaxed);
  s->tag.store(make_tag(generation, kind), std::memory_order_release);
  live_.fetch_add(1, std::memory_order_relaxed);
  return (generation << kIndexBits) | (index + 1);
}

void* HandleTable::get(OrvHandle id, HandleKind kind) const {
  uint32_t index = (id & (kMaxSlots - 1));
  if (index == 0) return nullptr;
  const Slot* s = slot(index - 1);
  if (!s) return nullptr;
  uint32_t tag = s->tag.load(std::memory_order_acquire);
  if (tag != make_tag(id >> kIndexBits, kind)) return nullptr;
  return s->object.load(std::memory_order_relaxed);
}

void* HandleTable::remove(OrvHandle id, HandleKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  void* object = get(id, kind);
  if (!object) return nullptr;
  uint32_t index = (id & (kMaxSlots - 1)) - 1;
  Slot* s = slot(index);
  // Keep the generation, mark the slot free; the next add bumps the generation.
  s->tag.store(make_tag(id >> kIndexBits, HandleKind::kNone), std::memory_order_release);
  s->object.store(nullptr, std::memory_order_relaxed);
  // A slot that has used up its generations is retired: its ids could only repeat.
  if ((id >> kIndexBits) < kGenerationMask) free_.push_back(index);
  live_.fetch_sub(1, std::memory_order_relaxed);
  return object;
}

HandleTable& orv_handles() {
  static HandleTable table;
  return table;
}
