// Looking a member up in a .pac archive (layout in pac_format.h).
//
// The reader trusts nothing it reads: a bucket whose entries lie outside the file, a probe that
// leaves its bucket, a short read, or a member whose data does not lie wholly inside the
// archive all mean "not in this archive", never a crash or a read past a buffer. Only the
// bucket table may stay in memory between lookups (PacBuckets, kept by the caller); the
// directory is read where a lookup probes it.
#pragma once

#include <cstdint>

#include "Orv/core/files/pac_format.h"

// Where the archive's bytes come from: an open file in the library, memory in the fuzz target.
struct PacSource {
  void* context;
  uint64_t size;  // the archive's size in bytes
  // Reads up to size bytes at pos into buf; returns the count read (less at the end, 0 on error).
  uint32_t (*read)(void* context, void* buf, uint32_t size, uint64_t pos);
};

struct PacMember {
  uint32_t offset;  // absolute position of the data in the archive
  uint32_t size;
};

// Finds the member whose 32-byte key is key (pac::name_key). The search is the archive's own
// binary probe within the bucket of the key's first byte: first probe at first + count / 2,
// then steps of half the remaining count. True with *out filled when found.
// Entries are read in pieces of at most window_limit bytes: a small bucket whole, a large one
// probe by probe until the entries the remaining probes can reach fit one piece. The answer is
// the same for any limit (the fuzz target checks it against 0, one read per probe).
constexpr uint64_t kPacWindowLimit = 8 * 1024;
// When the lookup met bytes that cannot be right, *damage (when given) receives what was wrong
// in a few words, else null; the answer is then "not found", or a member that is intact.
bool pac_find(const PacSource& source, const uint8_t key[pac::kNameSize], PacMember* out,
              uint64_t window_limit = kPacWindowLimit, const char** damage = nullptr);

// The bucket table, read once for many lookups in the same archive.
struct PacBuckets {
  pac::Bucket bucket[pac::kBucketCount];
};
// Reads the table; false with *damage (when given) set when the file is shorter than it.
bool pac_read_buckets(const PacSource& source, PacBuckets* out, const char** damage = nullptr);
// pac_find with the table read before (from the same bytes): the same answer and damage, one
// read fewer.
bool pac_find_in(const PacSource& source, const PacBuckets& buckets,
                 const uint8_t key[pac::kNameSize], PacMember* out,
                 uint64_t window_limit = kPacWindowLimit, const char** damage = nullptr);
