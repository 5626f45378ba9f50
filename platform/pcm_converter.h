// Conversion of PCM in any playable format (8- or 16-bit, mono or stereo, any rate) to the
// format of the music stream buffers: 44,100 Hz, stereo, signed 16-bit (libswresample).
//
// Threads: one converter is used by one thread at a time.
#pragma once

#include <cstdint>

namespace platform {

struct PcmConverter;  // opaque

// Null when the input format is not one we convert (channels 1-2, bits 8 or 16, 100-384000 Hz).
PcmConverter* pcm_converter_create(uint32_t rate, uint32_t channels, uint32_t bits);
void pcm_converter_destroy(PcmConverter* converter);
// Converts `in_frames` input frames (null and 0 to drain what the converter holds) into at most
// `out_capacity` output frames (4 bytes each). Input that does not fit the output stays inside
// the converter for the next call. Returns the frames written (0 on error).
uint32_t pcm_converter_run(PcmConverter* converter, const uint8_t* in, uint32_t in_frames,
                           uint8_t* out, uint32_t out_capacity);
// Output frames the converter would give for `in_frames` more input (an upper bound).
uint32_t pcm_converter_out_bound(PcmConverter* converter, uint32_t in_frames);
// Forgets what the converter holds (after a seek of its input).
void pcm_converter_reset(PcmConverter* converter);

}  // namespace platform
