// VerEpeg stream headers.
#include "Orv/core/sound/sound_source.h"

namespace {

uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool verepeg_read_header(SoundFile* file, VerEpegInfo* info) {
  if (file->size >= 0x100000000ull) return false;
  uint8_t head[36];
  sound_file_seek(file, 0);
  if (sound_file_read(file, head, 36) != 36) return false;
  const uint64_t n = le32(head + 4);
  if (n == 0) return false;
  const uint64_t loop_units = le32(head + 24);
  const uint64_t end_units = le32(head + 28);
  const uint64_t v_at = 54 + 8 * n;
  const uint64_t data_start = v_at + 4;
  if (data_start > file->size) return false;
  uint8_t v_bytes[4];
  sound_file_seek(file, v_at);
  if (sound_file_read(file, v_bytes, 4) != 4) return false;
  const uint64_t unit = le32(v_bytes) / n;
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
