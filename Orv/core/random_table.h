// The random table: pseudo-random values filled once at start and dealt in a cycle.
//
// Because the table can be read out and put back (OrvRandomGetSeed, OrvRandomSetSeed, which
// also restarts the cycle), a caller can save the random state and replay the same sequence.
// The values come from the library's own generator, which gives the same sequence on every
// platform for the same seed: x := x * 214013 + 2531011 (mod 2^32), value (x >> 16) & 0x7FFF.
//
// An empty table (a random count of 0) deals straight from the generator instead of from a
// table, so OrvRandomEx never reads outside the table.
//
// Exports (orv/exports.h, "random numbers"):
//
//   int32_t OrvRandomEx(void)     the value at the index (0..32767); the index moves on by one
//                                 and wraps at the size. Without a table: the next generator value.
//   int32_t OrvRandom(void)       debug mode: as OrvRandomEx; otherwise (and before the core
//                                 exists) the next generator value; the index does not move.
//   void OrvRandomReset(void)     refills the whole table from the generator; index 0.
//   void OrvRandomSetSeed(const int32_t* values, int32_t count)
//                                 copies min(count, size) values into the table from its start
//                                 (count compared as unsigned: negative copies the whole table);
//                                 index 0. The size does not change.
//   int32_t OrvRandomGetSeed(int32_t* values, int32_t count)
//                                 copies min(count, size) values out from the table's start;
//                                 returns the number copied (0 for null values).
//
// No lock: the game program deals values on the game thread or under the render lock. The
// generator itself is safe from any thread.
#pragma once

#include <atomic>
#include <cstdint>

// Largest random count whose table fits a 32-bit byte size.
constexpr uint32_t kRandomTableMaxCount = 0x3FFFFFFF;

struct RandomTable {
  int32_t* values = nullptr;  // counted block; null while there is no table
  uint32_t size = 0;
  uint32_t index = 0;
  bool debug = false;                  // debug mode: OrvRandom deals from the table
  std::atomic<uint32_t> generator{1};  // the generator's state (seed 1 until seeded)
};

// The system init's step: seeds the generator with the current time and fills a table of count
// values. False (nothing allocated) when count is above kRandomTableMaxCount or memory cannot
// be had. A count of 0 makes an empty table.
bool random_table_create(uint32_t count, bool debug_mode);
// OrvUninit's step: frees the table.
void random_table_destroy();

// The generator: seed it, draw the next value (0..32767). Any thread.
void random_seed(uint32_t seed);
int32_t random_next();
