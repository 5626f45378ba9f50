// The work pool: a large scratch buffer into which whole files are read before they are decoded.
//
// Each thread has a pool of its own, so the game thread and the work thread can load at the
// same time without handing one buffer back and forth. A thread's pool is reserved the first
// time that thread asks for it; it is address space that takes memory only as it is written,
// so a thread that never loads anything costs nothing and one that loads small files costs
// little. The pool is not zeroed between uses and has no owner within its thread: a user reads
// a whole file into it and decodes it before the next user on that thread takes it.
//
// A pool lives until its thread exits or until OrvUninit releases every pool
// (work_pools_release_all); a thread that asks again after that gets a fresh one.
//
// Exports (orv/exports.h, "memory and lists"):
//
//   void* GetMemoryPool(uint32_t* size)
//     the calling thread's pool, reserved on first use; stores its size (kWorkPoolSize)
//     through size when given. Null (and size 0) when the address space cannot be had.
//
//   void* OrvGetlpPool(void)
//     the calling thread's pool, as GetMemoryPool.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// Bytes in every pool: files up to 128 MiB are read in one call.
constexpr uint32_t kWorkPoolSize = 0x8000001;

struct ThreadWorkPool;

// The registry of live pools in CoreRecord, so that OrvUninit can give them all back.
struct WorkPools {
  std::mutex mutex;
  std::vector<ThreadWorkPool*> pools;  // threads that hold a reservation now
};

// Gives back every thread's pool (OrvUninit, on the window thread once the other threads
// have stopped). Threads that ask afterwards reserve a new pool.
void work_pools_release_all();

// Number of pools currently reserved (for leak checks in tests).
size_t work_pools_live_count();
