#include "platform/ogg_decoder.h"

#include <vorbis/vorbisfile.h>

#include <cstring>
#include <new>

namespace platform {

struct OggDecoder {
  OggVorbis_File file;
  uint32_t channels;
};

size_t ogg_source_read(void* destination, size_t element_size, size_t count, void* source) {
  auto* s = static_cast<OggMemorySource*>(source);
  if (!s || !s->data || element_size == 0 || s->position >= s->size) return 0;
  uint64_t want = uint64_t(element_size) * count;
  if (count && want / count != element_size) want = s->size;  // overflow: as much as there is
  const uint64_t left = s->size - s->position;
  uint64_t copy = want < left ? want : left;
  copy -= copy % element_size;  // only whole elements
  std::memcpy(destination, s->data + s->position, size_t(copy));
  s->position += copy;
  return size_t(copy / element_size);
}

int ogg_source_seek(void* source, int64_t offset, int origin) {
  auto* s = static_cast<OggMemorySource*>(source);
  if (!s) return -1;
  int64_t base;
  switch (origin) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = int64_t(s->position);
      break;
    case SEEK_END:
      base = int64_t(s->size);
      break;
    default:
      return -1;
  }
  // The end origin counts back with a negative offset: size + offset, not size - offset.
  if ((offset > 0 && base > INT64_MAX - offset)) return -1;
  const int64_t target = base + offset;
  if (target < 0 || uint64_t(target) > s->size) return -1;
  s->position = uint64_t(target);
  return 0;
}

int ogg_source_close(void* source) {
  auto* s = static_cast<OggMemorySource*>(source);
  if (!s) return 0;
  if (s->release && s->data) s->release(s->data);
  s->data = nullptr;
  return 0;
}

long ogg_source_tell(void* source) {
  auto* s = static_cast<OggMemorySource*>(source);
  return s ? long(s->position) : -1;
}

namespace {
int seek_thunk(void* source, ogg_int64_t offset, int origin) {
  return ogg_source_seek(source, int64_t(offset), origin);
}
}  // namespace

OggDecoder* ogg_decoder_open(OggMemorySource* source, OggInfo* info) {
  if (!source || !source->data) return nullptr;
  auto* d = new (std::nothrow) OggDecoder;
  if (!d) return nullptr;
  ov_callbacks callbacks{&ogg_source_read, &seek_thunk, &ogg_source_close, &ogg_source_tell};
  source->position = 0;
  if (ov_open_callbacks(source, &d->file, nullptr, 0, callbacks) != 0) {
    // ov_open_callbacks does not call close on failure; the bytes stay with the caller.
    delete d;
    return nullptr;
  }
  vorbis_info* vi = ov_info(&d->file, -1);
  const ogg_int64_t total = ov_pcm_total(&d->file, -1);
  // The decoder is set up now, not at the first read: when its codebooks cannot be built,
  // libvorbis keeps them half made, and a later seek would set up again over them and decode
  // with a zeroed book (a division by zero that ends the process). Such a stream is refused.
  if (!vi || vi->channels < 1 || vi->channels > 255 || vi->rate < 1 || total < 0 ||
      ov_pcm_seek(&d->file, 0) != 0) {
    // Do not let ov_clear release the caller's bytes on this failure.
    auto release = source->release;
    source->release = nullptr;
    ov_clear(&d->file);
    source->release = release;
    delete d;
    return nullptr;
  }
  d->channels = uint32_t(vi->channels);
  if (info) {
    info->channels = uint32_t(vi->channels);
    info->rate = uint32_t(vi->rate);
    info->total_frames = uint64_t(total);
  }
  return d;
}

uint32_t ogg_decoder_read(OggDecoder* d, uint8_t* destination, uint32_t bytes) {
  if (!d || !destination) return 0;
  uint32_t done = 0;
  int holes = 0;
  while (done < bytes) {
    int section = 0;
    const uint32_t want = bytes - done > 0x40000000u ? 0x40000000u : bytes - done;
    const long got = ov_read(&d->file, reinterpret_cast<char*>(destination + done), int(want),
                             0 /*little-endian*/, 2, 1, &section);
    if (got == OV_HOLE && ++holes <= 8) continue;  // a gap in the data: go on a few times
    if (got <= 0) break;                           // the end, or damage we cannot get past
    done += uint32_t(got);
  }
  return done;
}

bool ogg_decoder_seek(OggDecoder* d, uint64_t frame) {
  return d && ov_pcm_seek(&d->file, ogg_int64_t(frame)) == 0;
}

void ogg_decoder_close(OggDecoder* d) {
  if (!d) return;
  ov_clear(&d->file);
  delete d;
}

}  // namespace platform
