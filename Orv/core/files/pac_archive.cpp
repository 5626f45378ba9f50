#include "Orv/core/files/pac_archive.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kShortTable = "the file is shorter than its bucket table";

// The search within one bucket (b, read from the archive's table).
bool find_in_bucket(const PacSource& source, const pac::Bucket& b,
                    const uint8_t key[pac::kNameSize], PacMember* out, uint64_t window_limit,
                    const char** damage) {
  const int64_t first = b.first;
  const uint32_t bucket_count = b.count;
  if (bucket_count == 0) return false;
  if (first < 0) {
    *damage = "a bucket begins at a negative entry";
    return false;
  }

  // The entries the bucket claims that the file really holds. A probe that reaches past them
  // ends the search; members the probes meet before that are still found.
  const uint64_t start = pac::kDirectoryStart + static_cast<uint64_t>(first) * pac::kEntrySize;
  uint64_t available = start < source.size ? (source.size - start) / pac::kEntrySize : 0;
  if (available < bucket_count) *damage = "a bucket lists entries past the end of the file";
  if (available > bucket_count) available = bucket_count;
  if (available == 0) return false;

  // Entries [window_lo, window_hi) of the bucket, read in one piece: the whole bucket when it
  // is small, else the stretch that the remaining probes can still reach once that is small.
  std::vector<uint8_t> window;
  int64_t window_lo = 0, window_hi = 0;
  auto load = [&](int64_t lo, int64_t hi) {
    lo = lo < 0 ? 0 : lo;
    hi = hi > static_cast<int64_t>(available) ? static_cast<int64_t>(available) : hi;
    window.resize(static_cast<size_t>(hi - lo) * pac::kEntrySize);
    uint32_t got = source.read(source.context, window.data(), static_cast<uint32_t>(window.size()),
                               start + static_cast<uint64_t>(lo) * pac::kEntrySize);
    window_lo = lo;
    window_hi = lo + got / pac::kEntrySize;
  };
  if (available * pac::kEntrySize <= window_limit) load(0, static_cast<int64_t>(available));

  uint8_t single[pac::kEntrySize];
  int64_t probe = bucket_count / 2;  // relative to first
  uint32_t count = bucket_count;
  for (;;) {
    // A probe outside the entries that exist cannot hold this bucket's name.
    if (probe < 0 || static_cast<uint64_t>(probe) >= available) return false;
    // Every later probe lies within count (+2 for the last steps of 1) of this one.
    const uint64_t reach = uint64_t{count} + 2;
    if ((probe < window_lo || probe >= window_hi) &&
        (2 * reach + 1) * pac::kEntrySize <= window_limit) {
      load(probe - static_cast<int64_t>(reach), probe + static_cast<int64_t>(reach) + 1);
    }
    const uint8_t* entry;
    if (probe >= window_lo && probe < window_hi) {
      entry = window.data() + static_cast<uint64_t>(probe - window_lo) * pac::kEntrySize;
    } else {
      if (source.read(source.context, single, sizeof single,
                      start + static_cast<uint64_t>(probe) * pac::kEntrySize) != sizeof single) {
        return false;
      }
      entry = single;
    }
    int cmp = std::memcmp(key, entry, pac::kNameSize);
    if (cmp == 0) {
      pac::Entry e;
      codec::ByteReader entry_reader(entry, pac::kEntrySize);
      sync(entry_reader, e);
      const uint32_t size = e.size;
      const uint32_t offset = e.offset;
      // The data must lie wholly inside the archive, and its end must fit the 32-bit range
      // that callers are given (the sum is taken in 64 bits: it may wrap in 32).
      const uint64_t end = uint64_t{offset} + size;
      if (end > source.size || end > UINT32_MAX) {
        *damage = "a member's data lies past the end of the file";
        return false;
      }
      out->offset = offset;
      out->size = size;
      return true;
    }
    const uint32_t half = count / 2;
    count = half ? count - half : count - 1;
    if (count == 0) return false;
    const uint32_t step = count / 2 ? count / 2 : 1;
    probe += cmp < 0 ? -int64_t{step} : int64_t{step};
  }
}

}  // namespace

bool pac_find(const PacSource& source, const uint8_t key[pac::kNameSize], PacMember* out,
              uint64_t window_limit, const char** damage) {
  const char* ignored;
  if (!damage) damage = &ignored;
  *damage = nullptr;
  const uint32_t bucket_index = key[0];
  if (bucket_index >= pac::kBucketCount) return false;  // a first byte of 255 is never stored
  uint8_t bucket[pac::kBucketSize];
  const uint64_t bucket_pos = pac::kHeaderSize + uint64_t{bucket_index} * pac::kBucketSize;
  if (source.read(source.context, bucket, sizeof bucket, bucket_pos) != sizeof bucket) {
    *damage = kShortTable;
    return false;
  }
  pac::Bucket b;
  codec::ByteReader bucket_reader(bucket, sizeof bucket);
  sync(bucket_reader, b);
  return find_in_bucket(source, b, key, out, window_limit, damage);
}

bool pac_read_buckets(const PacSource& source, PacBuckets* out, const char** damage) {
  if (damage) *damage = nullptr;
  uint8_t table[pac::kBucketCount * pac::kBucketSize];
  if (source.read(source.context, table, sizeof table, pac::kHeaderSize) != sizeof table) {
    if (damage) *damage = kShortTable;
    return false;
  }
  codec::ByteReader reader(table, sizeof table);
  for (pac::Bucket& b : out->bucket) sync(reader, b);
  return true;
}

bool pac_find_in(const PacSource& source, const PacBuckets& buckets,
                 const uint8_t key[pac::kNameSize], PacMember* out, uint64_t window_limit,
                 const char** damage) {
  const char* ignored;
  if (!damage) damage = &ignored;
  *damage = nullptr;
  const uint32_t bucket_index = key[0];
  if (bucket_index >= pac::kBucketCount) return false;
  return find_in_bucket(source, buckets.bucket[bucket_index], key, out, window_limit, damage);
}
