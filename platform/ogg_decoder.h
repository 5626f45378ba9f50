// Ogg Vorbis decoding (libvorbisfile) over a file's bytes held in memory.
//
// The whole file (or the archive member) is read into memory at load, so decoding a stream
// never touches the disk; the decoder reads it through callbacks over an OggMemorySource.
// Output is signed 16-bit little-endian PCM, channels interleaved.
//
// Threads: a decoder is used by one thread at a time (the loader, then the sound thread under
// the sound lock).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The file's bytes, their size and the decoder's read position. `release` frees `data` when
// the decoder is closed (may be null when the caller keeps the bytes).
struct OggMemorySource {
  uint8_t* data = nullptr;
  uint64_t size = 0;
  uint64_t position = 0;
  void (*release)(void* data) = nullptr;
};

// The callbacks the decoder reads through, exposed so that their bounds can be tested:
// read copies at most the bytes left and returns whole elements; seek takes an origin of
// 0 (start), 1 (current) or 2 (end; the offset counts back as a negative number) and fails
// with -1 for a position outside 0..size; close releases the bytes; tell gives the position.
size_t ogg_source_read(void* destination, size_t element_size, size_t count, void* source);
int ogg_source_seek(void* source, int64_t offset, int origin);
int ogg_source_close(void* source);
long ogg_source_tell(void* source);

struct OggInfo {
  uint32_t channels = 0;
  uint32_t rate = 0;
  uint64_t total_frames = 0;  // PCM frames of the whole stream
};

struct OggDecoder;  // opaque

// Opens a decoder over `source` (which must outlive it). On failure returns null and the
// bytes stay with the caller (release is not called). On success fills info.
OggDecoder* ogg_decoder_open(OggMemorySource* source, OggInfo* info);
// Decodes up to `bytes` bytes (a multiple of the frame size is best) into destination.
// Returns the bytes written; 0 at the end of the data or when the stream is damaged beyond
// a few holes.
uint32_t ogg_decoder_read(OggDecoder* decoder, uint8_t* destination, uint32_t bytes);
// Seeks to a PCM frame. False when the stream refuses it.
bool ogg_decoder_seek(OggDecoder* decoder, uint64_t frame);
// Closes the decoder; this releases the source's bytes through its release function.
void ogg_decoder_close(OggDecoder* decoder);

}  // namespace platform
