// The LZ scheme that packs GE pictures of types 1-3 and VKX difference rectangles.
//
// Stream: a control byte whose bits, from bit 0 up, say what each of the next eight tokens is;
// then the tokens; then the next control byte. Bit 0: a literal run (a count byte c, then c
// bytes). Bit 1: a back-reference as a little-endian word w, distance w >> 4; when bit 3 of w
// is set the length is (w & 7) + 4, else a third byte b follows and the length is
// (((w & 7) << 8) | b) + 4. Copies go one byte at a time, so a reference may overlap the
// bytes it produces.
#pragma once

#include <cstddef>
#include <cstdint>

// Unpacks `in` (in_size bytes) into exactly `unpacked` bytes at `out`. Returns 1 when the
// stream produced exactly that many bytes; 0 for a corrupt stream: a token that would write
// past `unpacked`, a back-reference of distance 0 or reaching before the start of the output,
// or token bytes missing at the end of the input. A control byte that lies past the end of
// the input reads as zero, because valid streams may end right after a control byte's eighth
// token. Never reads or writes outside the two buffers. Thread-safe (no state).
int GeLzDecode(uint8_t* out, uint32_t unpacked, const uint8_t* in, size_t in_size);

// The most bytes a stream of in_size bytes can unpack to: a long reference gives at most 2,051
// bytes for its three. A caller checks a declared unpacked size against it before sizing
// anything from the declaration.
inline uint64_t GeLzMostUnpacked(size_t in_size) {
  return static_cast<uint64_t>(in_size) * 684;
}
