// The one table that turns the library's objects into 32-bit handles.
//
// An id is (generation << kIndexBits) | (slot + 1): never 0, and a slot that was released and
// reused gets a new generation, so an old id stops matching. Released slots are reused oldest
// first, so a slot comes back only after every other free one has; a slot whose generations
// are used up is retired for good rather than wrapped, so a released id never finds an object
// again (at the cost of one slot per 4,095 reuses of it). Each slot also records the kind
// of object, so a sprite id passed where a task is expected finds nothing.
//
// Lookups take no lock: slots live in chunks that never move, and a slot's generation and
// pointer are atomics. Taking and releasing slots is serialised by a mutex. A lookup that
// races with a release of the same id may still return the pointer; callers that release
// objects other threads use hold the lock that guards that object (for sprites and render
// nodes, the render lock), exactly as the original pointer handles required.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "orv/types.h"

enum class HandleKind : uint8_t {
  kNone = 0,
  kTask,
  kList,
  kListNode,
  kSprite,
  kRenderNode,
  kRenderList,
  kFont,
  kTransition,
  kEffect,
  kMovie,
  kCursor,
  kButton,
  kAnime,
  kMemory,
  kOther,
  kWidget,
};

class HandleTable {
 public:
  static constexpr uint32_t kIndexBits = 20;  // about a million live objects
  static constexpr uint32_t kChunkSize = 4096;
  static constexpr uint32_t kMaxSlots = 1u << kIndexBits;

  // Registers an object; returns its id, or 0 when the table is full or object is null.
  OrvHandle add(HandleKind kind, void* object);
  // The object behind id when it is live and of that kind, else null.
  void* get(OrvHandle id, HandleKind kind) const;
  template <typename T>
  T* get_as(OrvHandle id, HandleKind kind) const {
    return static_cast<T*>(get(id, kind));
  }
  // Forgets id; returns the object it named, or null when id was not live with that kind.
  void* remove(OrvHandle id, HandleKind kind);
  // Number of live ids (for leak checks in tests).
  uint32_t live_count() const { return live_.load(std::memory_order_relaxed); }

  HandleTable() = default;
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;
  ~HandleTable();

 private:
  struct Slot {
    std::atomic<uint32_t> tag{0};  // generation << 8 | kind; kind 0 = free
    std::atomic<void*> object{nullptr};
  };
  Slot* slot(uint32_t index) const;

  static constexpr uint32_t kChunks = kMaxSlots / kChunkSize;
  std::atomic<Slot*> chunks_[kChunks] = {};
  std::mutex mutex_;
  std::deque<uint32_t> free_;  // released slot indexes, reused first-in first-out
  uint32_t used_ = 0;          // slots handed out so far
  std::atomic<uint32_t> live_{0};
};

// The process-wide table of the library's handles. It exists from the first call on, so that
// handles work before OrvInit (lists, files and memory are used before it).
HandleTable& orv_handles();
