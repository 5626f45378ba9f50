#include "platform/pcm_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <new>
#include <vector>

namespace platform {

struct PcmConverter {
  SwrContext* swr = nullptr;  // stereo 16-bit in, stereo 16-bit out: only the rate changes
  uint32_t rate = 0, channels = 0, bits = 0;
  std::vector<int16_t> stereo;  // the input widened to stereo 16-bit
};

namespace {

SwrContext* make_context(uint32_t rate) {
  SwrContext* swr = nullptr;
  AVChannelLayout in_layout, out_layout;
  // Mono and 8-bit input is widened by us first: the library's rematrixing would put mono
  // 3 dB lower on each side, as for a centre speaker.
  av_channel_layout_default(&in_layout, 2);
  av_channel_layout_default(&out_layout, 2);
  if (swr_alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, 44100, &in_layout,
                          AV_SAMPLE_FMT_S16, int(rate), 0, nullptr) < 0 ||
      !swr || swr_init(swr) < 0) {
    swr_free(&swr);
    return nullptr;
  }
  return swr;
}

}  // namespace

PcmConverter* pcm_converter_create(uint32_t rate, uint32_t channels, uint32_t bits) {
  if (channels < 1 || channels > 2 || (bits != 8 && bits != 16) || rate < 100 || rate > 384000)
    return nullptr;
  auto* c = new (std::nothrow) PcmConverter;
  if (!c) return nullptr;
  c->rate = rate;
  c->channels = channels;
  c->bits = bits;
  c->swr = make_context(rate);
  if (!c->swr) {
    delete c;
    return nullptr;
  }
  return c;
}

void pcm_converter_destroy(PcmConverter* c) {
  if (!c) return;
  swr_free(&c->swr);
  delete c;
}

uint32_t pcm_converter_run(PcmConverter* c, const uint8_t* in, uint32_t in_frames, uint8_t* out,
                           uint32_t out_capacity) {
  if (!c || !c->swr || !out || out_capacity > 0x1FFFFFFFu || in_frames > 0x1FFFFFFFu) return 0;
  if (in && (c->channels != 2 || c->bits != 16)) {
    c->stereo.resize(size_t(in_frames) * 2);
    for (uint32_t i = 0; i < in_frames; ++i) {
      for (uint32_t ch = 0; ch < 2; ++ch) {
        const uint32_t src = c->channels == 2 ? ch : 0;
        int16_t v;
        if (c->bits == 8) {
          v = int16_t((int(in[i * c->channels + src]) - 128) * 256);
        } else {
          const uint8_t* p = in + (size_t(i) * c->channels + src) * 2;
          v = int16_t(uint16_t(p[0] | p[1] << 8));
        }
        c->stereo[size_t(i) * 2 + ch] = v;
      }
    }
    in = reinterpret_cast<const uint8_t*>(c->stereo.data());
  }
  const uint8_t* in_planes[1] = {in};
  uint8_t* out_planes[1] = {out};
  const int n = swr_convert(c->swr, out_planes, int(out_capacity), in ? in_planes : nullptr,
                            in ? int(in_frames) : 0);
  return n > 0 ? uint32_t(n) : 0;
}

uint32_t pcm_converter_out_bound(PcmConverter* c, uint32_t in_frames) {
  if (!c || !c->swr) return 0;
  const int n = swr_get_out_samples(c->swr, int(in_frames));
  return n > 0 ? uint32_t(n) : 0;
}

void pcm_converter_reset(PcmConverter* c) {
  if (!c) return;
  swr_free(&c->swr);
  c->swr = make_context(c->rate);
}

}  // namespace platform
