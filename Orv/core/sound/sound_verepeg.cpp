// VerEpeg stream headers.
#include "Orv/core/sound/sound_source.h"
#include "shared/byte_codec.h"

bool verepeg_read_header(SoundFile* file, VerEpegInfo* info) {
  if (file->size >= 0x100000000ull) return false;
  uint8_t head[36];
  sound_file_seek(file, 0);
  if (sound_file_read(file, head, 36) != 36) return false;
  codec::ByteReader r(head, sizeof head);
  r.skip(4);
  const uint64_t n = r.u32();
  if (n == 0) return false;
  r.seek(24);
  const uint64_t loop_units = r.u32();
  const uint64_t end_units = r.u32();
  const uint64_t v_at = 54 + 8 * n;
  const uint64_t data_start = v_at + 4;
  if (data_start > file->size) return false;
  uint8_t v_bytes[4];
  sound_file_seek(file, v_at);
  if (sound_file_read(file, v_bytes, 4) != 4) return false;
  const uint64_t unit = codec::ByteReader(v_bytes, sizeof v_bytes).u32() / n;
  // Points in units past the data end at the end of the file; units * unit cannot overflow
  // once units <= room / unit.
  const uint64_t room = file->size - data_start;
  auto point = [&](uint64_t units) {
    return unit != 0 && units > room / unit ? file->size : data_start + units * unit;
  };
  const uint64_t end = point(end_units);
  uint64_t loop = point(loop_units);
  if (loop > end) loop = end;
  info->data_start = uint32_t(data_start);
  info->loop = uint32_t(loop);
  info->end = uint32_t(end);
  return true;
}
