// The .pac archive layout and the name key under which a member is stored.
//
// An archive holds the files of one folder, named like the folder with ".pac" appended.
// Little-endian throughout:
//   0-11      header, never read
//   12-2051   255 buckets of 8 bytes, one per value 0-254 of a stored name's first byte:
//             i32 index of the bucket's first directory entry, u32 number of entries
//   2052-     directory entries of 40 bytes, entry k at 2052 + 40 k: the 32-byte name key,
//             u32 size, u32 absolute offset of the data
// Within a bucket the entries are sorted by their 32 key bytes as unsigned bytes. A name whose
// first byte is 255 cannot be stored.
//
// Header-only, so that the packer in tools/ writes exactly what the reader expects.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/sjis.h"
#include "shared/byte_codec.h"

namespace pac {

constexpr uint32_t kHeaderSize = 12;
constexpr uint32_t kBucketCount = 255;
constexpr uint32_t kBucketSize = 8;
constexpr uint32_t kEntrySize = 40;
constexpr uint32_t kNameSize = 32;
constexpr uint32_t kDirectoryStart = kHeaderSize + kBucketCount * kBucketSize;
static_assert(kDirectoryStart == 2052, "the bucket table fills bytes 12-2051");
static_assert(kEntrySize == kNameSize + 4 + 4, "an entry is a name key, a size and an offset");

// The longest file-name part that the name normalisation keeps; longer gives an empty name.
constexpr size_t kMaxFileNamePart = 259;

// A bucket of the table and a directory entry, each one field list for the reader and the
// packer (shared/byte_codec.h).
struct Bucket {
  int32_t first;   // index of the bucket's first directory entry
  uint32_t count;  // entries in the bucket
};
struct Entry {
  uint8_t key[kNameSize];
  uint32_t size;
  uint32_t offset;  // from the start of the archive
};

template <class IO>
constexpr void sync(IO& io, Bucket& b) {
  io.i32(b.first);
  io.u32(b.count);
}
template <class IO>
constexpr void sync(IO& io, Entry& e) {
  io.bytes(e.key);
  io.u32(e.size);
  io.u32(e.offset);
}
static_assert(codec::stored_size<Bucket>([](auto& io, auto& r) { sync(io, r); }) == kBucketSize);
static_assert(codec::stored_size<Entry>([](auto& io, auto& r) { sync(io, r); }) == kEntrySize);

// Where the file name and extension of a path begin: everything after the last '\' or '/' (and
// after a drive "X:"), walking two-byte characters whole so that a trail byte 0x5C is not taken for
// a separator. file_name_part is that text, empty when it has more than kMaxFileNamePart bytes.
inline size_t file_name_offset(const char* path) {
  size_t start = (path[0] && path[1] == ':') ? 2 : 0;
  for (size_t i = start; path[i];) {
    if (platform::sjis_is_lead(static_cast<uint8_t>(path[i])) && path[i + 1]) {
      i += 2;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
    ++i;
  }
  return start;
}
inline std::string file_name_part(const char* path) {
  if (!path) return {};
  const char* start = path + file_name_offset(path);
  size_t len = std::strlen(start);
  return len > kMaxFileNamePart ? std::string() : std::string(start, len);
}

// The stored form of a name: its file-name part with 'a'-'z' upper-cased. A byte with its high
// bit set is kept together with the byte after it, unchanged (so the byte after a one-byte
// katakana keeps its case too: archives were written that way).
inline std::string normalize_name(const char* path) {
  std::string name = file_name_part(path);
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c & 0x80) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      name[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return name;
}

// The 32-byte key of a normalised name: its first 32 bytes, zero padded.
inline void name_key(const std::string& normalized, uint8_t key[kNameSize]) {
  std::memset(key, 0, kNameSize);
  std::memcpy(key, normalized.data(),
              normalized.size() < kNameSize ? normalized.size() : kNameSize);
}

}  // namespace pac
