// Sound data: the readers of WAV, VerEpeg and Ogg Vorbis files and the PCM source a channel
// plays from.
//
// A SoundSource is what a loaded channel reads: the open file (WAV, VerEpeg) or the Ogg
// decoder with the file's bytes in memory. A music source whose data is not 44,100 Hz stereo
// 16-bit carries a converter, so that what it gives is always in the stream buffer's format;
// positions of such a source count bytes of that converted PCM.
//
// Every reader checks each size and offset against the file and refuses what does not fit.
// Threads: a source is used by one thread at a time (the loader, then the sound thread under
// the sound lock).
#pragma once

#include <cstdint>
#include <vector>

#include "Orv/core/sound/sound_file.h"
#include "platform/mixer.h"
#include "platform/ogg_decoder.h"
#include "platform/pcm_converter.h"

// ---- RIFF WAVE ----
struct WavInfo {
  platform::WaveFormat format;
  uint64_t data_offset = 0;  // first sample, from the start of the file
  uint64_t data_bytes = 0;   // sample bytes that are really there (the chunk's size clamped)
};
// Walks the chunks of a RIFF WAVE file from its start: needs "RIFF", "WAVE", a "fmt " chunk
// of at least 16 bytes describing PCM with 1-2 channels of 8 or 16 bits (plain, or the
// extensible form whose sub-format is PCM with all bits valid), and a "data" chunk
// after it. Other chunks ("fact", "LIST", ...) are skipped. False for anything else.
bool wav_read_header(SoundFile* file, WavInfo* info);

// ---- VerEpeg streams (raw 44,100 Hz stereo 16-bit PCM behind a header) ----
struct VerEpegInfo {
  uint32_t data_start = 0;  // file offsets
  uint32_t loop = 0;
  uint32_t end = 0;
};
// Reads the header: refuses a count N of 0, a header that does not fit the file and files of
// 4 GiB or more; the end is clamped to the data and the loop point to the end.
bool verepeg_read_header(SoundFile* file, VerEpegInfo* info);

// ---- Ogg Vorbis ----
// One per Ogg sound, allocated through OrvMemoryAlloc; owns the file's bytes.
struct OggStream {
  platform::OggDecoder* decoder;
  platform::OggInfo info;
  platform::OggMemorySource source;
  uint64_t total_bytes;  // decoded PCM bytes of the whole stream (16-bit samples)
};
// Reads the whole file into memory and opens the decoder. Null on failure, with the error
// log line that names the failing step. The file is left open for the caller to close.
OggStream* ogg_stream_open(SoundFile* file, const char* name);
void ogg_stream_close(OggStream* stream);

// ---- the source a channel reads ----
enum class SoundSourceKind { kWav, kVerEpeg, kOgg };

struct SoundSource {
  SoundSourceKind kind = SoundSourceKind::kWav;
  SoundFile file;               // WAV and VerEpeg
  OggStream* ogg = nullptr;     // Ogg
  platform::WaveFormat format;  // the data's own format
  uint64_t data_offset = 0;     // WAV: samples in the file
  uint64_t data_bytes = 0;
  uint64_t raw_position = 0;  // WAV and Ogg: bytes of samples read so far
  // A loop of the input itself, in the data's own bytes (converted music): reading wraps from
  // raw_loop_end to raw_loop_from, so the converter sees one unbroken stream and never starts
  // over at the loop point.
  bool raw_loop = false;
  uint64_t raw_loop_from = 0, raw_loop_end = 0;
  // Conversion to the stream buffer's format (music only).
  platform::PcmConverter* converter = nullptr;
  std::vector<uint8_t> raw;      // one chunk of input
  std::vector<uint8_t> pending;  // converted output not yet given out
  uint32_t pending_at = 0, pending_bytes = 0;
  bool drained = false;
};

SoundSource* sound_source_new(SoundSourceKind kind);
// Closes the file or the decoder (freeing the file's bytes) and frees the source.
void sound_source_close(SoundSource* source);
// Attaches a converter when the data is not 44,100 Hz stereo 16-bit. False when it cannot.
bool sound_source_convert_to_stream(SoundSource* source);
bool sound_source_converts(const SoundSource* source);
// Bytes of the data's own PCM expressed in the bytes the source gives (whole frames).
uint64_t sound_source_to_output_bytes(const SoundSource* source, uint64_t own_bytes);
// Total bytes the source gives from its start, at most 0xFFFFFFFC.
uint32_t sound_source_total_bytes(const SoundSource* source);
// Reads up to n bytes of PCM as the source gives it; returns the count, 0 at the end.
uint32_t sound_source_read(SoundSource* source, uint8_t* destination, uint32_t n);
// Moves to a byte position of what the source gives (VerEpeg: a file offset).
void sound_source_seek(SoundSource* source, uint64_t position);
// Converted music that loops: makes the input loop over [loop, end) of the output's bytes
// (the positions in the data's own frames that give them), or stops the input's loop when
// loop is off. True when the source now loops by itself, so that reaching `end` needs no seek.
// Cheap; the sound thread calls it before each read.
bool sound_source_loop_input(SoundSource* source, bool loop, uint32_t loop_pos, uint32_t end);
