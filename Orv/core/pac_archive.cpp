#include "Orv/core/pac_archive.h"

#include <cstring>
#include <vector>

bool pac_find(const PacSource& source, const uint8_t key[pac::kNameSize], PacMember* out,
              uint64_t whole_bucket_limit) {
  const uint32_t bucket_index = key[0];
  if (bucket_index >= pac::kBucketCount) return false;  // a first byte of 255 is never stored
  uint8_t bucket[pac::kBucketSize];
  const uint64_t bucket_pos = pac::kHeaderSize + uint64_t{bucket_index} * pac::kBucketSize;
  if (source.read(source.context, bucket, sizeof bucket, bucket_pos) != sizeof bucket) return false;
  const int64_t first = static_cast<int32_t>(pac::read_u32(bucket));
  const uint32_t bucket_count = pac::read_u32(bucket + 4);
  if (bucket_count == 0 || first < 0) return false;

  // The entries the bucket claims that the file really holds.
  const uint64_t start = pac::kDirectoryStart + static_cast<uint64_t>(first) * pac::kEntrySize;
  if (start >= source.size) return false;
  uint64_t available = (source.size - start) / pac::kEntrySize;
  if (available > bucket_count) available = bucket_count;
  if (available == 0) return false;

  std::vector<uint8_t> whole;
  if (available * pac::kEntrySize <= whole_bucket_limit) {
    whole.resize(available * pac::kEntrySize);
    uint32_t got =
        source.read(source.context, whole.data(), static_cast<uint32_t>(whole.size()), start);
    available = got / pac::kEntrySize;
  }

  uint8_t single[pac::kEntrySize];
  int64_t probe = bucket_count / 2;  // relative to first
  uint32_t count = bucket_count;
  for (;;) {
    // A probe outside the entries that exist cannot hold this bucket's name.
    if (probe < 0 || static_cast<uint64_t>(probe) >= available) return false;
    const uint8_t* entry;
    if (!whole.empty()) {
      entry = whole.data() + static_cast<uint64_t>(probe) * pac::kEntrySize;
    } else {
      if (source.read(source.context, single, sizeof single,
                      start + static_cast<uint64_t>(probe) * pac::kEntrySize) != sizeof single) {
        return false;
      }
      entry = single;
    }
    int cmp = std::memcmp(key, entry, pac::kNameSize);
    if (cmp == 0) {
      const uint32_t size = pac::read_u32(entry + pac::kNameSize);
      const uint32_t offset = pac::read_u32(entry + pac::kNameSize + 4);
      // The data must lie wholly inside the archive, and its end must fit the 32-bit range
      // that callers are given (the sum is taken in 64 bits: it may wrap in 32).
      const uint64_t end = uint64_t{offset} + size;
      if (end > source.size || end > UINT32_MAX) return false;
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
