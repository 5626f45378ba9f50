// Reading and writing the little-endian records of stored files.
//
// ByteReader walks a byte range that it does not own. Every read is bounded: a read that would
// pass the end yields zeros (a value of 0, a zero-filled field, an empty view), moves the
// cursor to the end and sets a failure flag that stays set, so a caller reads a whole field
// list and checks failed() once at the end. Nothing is ever read outside the range.
//
// ByteWriter appends to a byte vector that the caller owns (StringByteWriter to a string).
//
// ByteCounter only counts, so a record's stored size can be checked at compile time.
//
// A stored record is written once, as one field list that serves both directions:
//
//   template <class IO>
//   constexpr void sync(IO& io, Record& r) {
//     io.u32(r.flags);
//     io.i32(r.x);
//     io.bytes(r.name);  // a fixed char/uint8_t array, stored as it is
//   }
//
// With a ByteReader the fields receive what the bytes hold; with a ByteWriter (which never
// writes through the reference) or a ByteCounter they are stored or counted. The reader's
// field methods take the exact type, so a signed field listed as unsigned does not compile.
//
// All three are plain values; one object belongs to one thread at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace codec {

// Unchecked loads for inner loops over pixels or table entries whose whole block the caller
// has bounded once (with a ByteReader's take(), say). Headers go through ByteReader.
inline uint16_t load_u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t load_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
// The same for a word kept in place inside a stored block.
inline void store_u32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
  explicit ByteReader(std::span<const uint8_t> bytes) : ByteReader(bytes.data(), bytes.size()) {}

  // Values at the cursor; the cursor steps over them. 0 past the end.
  uint8_t u8() { return static_cast<uint8_t>(load(1)); }
  uint16_t u16() { return static_cast<uint16_t>(load(2)); }
  uint32_t u32() { return static_cast<uint32_t>(load(4)); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  float f32() { return std::bit_cast<float>(u32()); }  // IEEE single, bits as a u32
  // Big-endian values, for the few outside formats that store them so.
  uint16_t u16be() { return static_cast<uint16_t>(swap(load(2), 2)); }
  uint32_t u32be() { return swap(load(4), 4); }

  // The same as fields of a record (see sync above).
  void u8(uint8_t& v) { v = u8(); }
  void u16(uint16_t& v) { v = u16(); }
  void u32(uint32_t& v) { v = u32(); }
  void i16(int16_t& v) { v = i16(); }
  void i32(int32_t& v) { v = i32(); }
  void f32(float& v) { v = f32(); }
  // n words into out (zeros past the end).
  void u32s(uint32_t* out, size_t n);
  // n raw bytes into out; past the end out is zero-filled.
  void bytes(void* out, size_t n);
  template <size_t N>
  void bytes(char (&a)[N]) {
    bytes(a, N);
  }
  template <size_t N>
  void bytes(uint8_t (&a)[N]) {
    bytes(a, N);
  }
  // A block stored as a 32-bit byte count and the bytes. A count that runs past the end is an
  // overrun (v is left empty): a damaged count never sizes an allocation.
  void sized_bytes(std::vector<uint8_t>& v);

  // A view of the next n bytes (inside the reader's range), stepping over them; empty past
  // the end.
  std::span<const uint8_t> take(size_t n);
  void skip(size_t n) { (void)take(n); }
  // Moves the cursor to offset from the start. An offset past the end is an overrun; the end
  // itself is not.
  void seek(size_t offset);

  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return size_ - pos_; }
  const uint8_t* data() const { return data_; }
  // True once any read or seek went past the end (or fail() was called).
  bool failed() const { return failed_; }
  bool ok() const { return !failed_; }
  // Marks the reader failed, for a value that the caller finds out of range.
  void fail() { overrun(); }

 private:
  uint32_t load(size_t n) {
    if (size_ - pos_ < n) {
      overrun();
      return 0;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
  }
  static uint32_t swap(uint32_t v, size_t n) {
    uint32_t out = 0;
    for (size_t i = 0; i < n; ++i) out |= ((v >> (8 * i)) & 0xFF) << (8 * (n - 1 - i));
    return out;
  }
  void overrun() {
    pos_ = size_;
    failed_ = true;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool failed_ = false;
};

// Bytes is std::vector<uint8_t> (ByteWriter) or std::string (StringByteWriter, for tools
// that build files in strings).
template <class Bytes>
class BasicByteWriter {
 public:
  // Appends to *out, which must outlive the writer.
  explicit BasicByteWriter(Bytes* out) : out_(out) {}

  void u8(uint8_t v) { out_->push_back(static_cast<Byte>(v)); }
  void u16(uint16_t v) { store(v, 2); }
  void u32(uint32_t v) { store(v, 4); }
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
  void u32s(const uint32_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) u32(p[i]);
  }
  void bytes(const void* p, size_t n) {
    const Byte* b = static_cast<const Byte*>(p);
    out_->insert(out_->end(), b, b + n);
  }
  template <size_t N>
  void bytes(const char (&a)[N]) {
    bytes(a, N);
  }
  template <size_t N>
  void bytes(const uint8_t (&a)[N]) {
    bytes(a, N);
  }
  // The byte count as a 32-bit word, then the bytes.
  void sized_bytes(const std::vector<uint8_t>& v) {
    u32(static_cast<uint32_t>(v.size()));
    bytes(v.data(), v.size());
  }
  void zeros(size_t n) { out_->insert(out_->end(), n, Byte{0}); }

  // Bytes in the output (including what it held before the writer began).
  size_t size() const { return out_->size(); }
  bool failed() const { return false; }

 private:
  using Byte = typename Bytes::value_type;
  static_assert(sizeof(Byte) == 1);

  void store(uint32_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) out_->push_back(static_cast<Byte>(v >> (8 * i)));
  }

  Bytes* out_;
};

using ByteWriter = BasicByteWriter<std::vector<uint8_t>>;
using StringByteWriter = BasicByteWriter<std::string>;

// Counts the bytes a field list stores; usable in constant expressions.
class ByteCounter {
 public:
  constexpr void u8(const uint8_t&) { size_ += 1; }
  constexpr void u16(const uint16_t&) { size_ += 2; }
  constexpr void u32(const uint32_t&) { size_ += 4; }
  constexpr void i16(const int16_t&) { size_ += 2; }
  constexpr void i32(const int32_t&) { size_ += 4; }
  constexpr void f32(const float&) { size_ += 4; }
  constexpr void u32s(const uint32_t*, size_t n) { size_ += 4 * n; }
  constexpr void bytes(const void*, size_t n) { size_ += n; }
  template <size_t N>
  constexpr void bytes(const char (&)[N]) {
    size_ += N;
  }
  template <size_t N>
  constexpr void bytes(const uint8_t (&)[N]) {
    size_ += N;
  }
  constexpr void sized_bytes(const std::vector<uint8_t>& v) { size_ += 4 + v.size(); }
  constexpr size_t size() const { return size_; }
  constexpr bool failed() const { return false; }

 private:
  size_t size_ = 0;
};

// The stored size of a default Record through a field list, for static_asserts:
//   static_assert(codec::stored_size<Record>([](auto& io, auto& r) { sync(io, r); }) == 816);
template <class Record, class Sync>
constexpr size_t stored_size(Sync sync) {
  ByteCounter c;
  Record r{};
  sync(c, r);
  return c.size();
}

}  // namespace codec
