#include "platform/pcm_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswresample/version_major.h>
}

#include <dlfcn.h>

#include <new>
#include <vector>

namespace platform {

struct PcmConverter {
  SwrContext* swr = nullptr;  // stereo 16-bit in, stereo 16-bit out: only the rate changes
  uint32_t rate = 0, channels = 0, bits = 0;
  std::vector<int16_t> stereo;  // the input widened to stereo 16-bit
};

namespace {

// libswresample (with libavutil) is loaded on the first converter, not with the program: it
// brings a dozen more libraries (hardware video, OpenCL, OpenMP) whose loading would delay
// every start, and most games resample nothing until their first piece of music.
struct Resampler {
  bool loaded = false;
  decltype(&av_channel_layout_default) channel_layout_default = nullptr;
  decltype(&swr_alloc_set_opts2) alloc_set_opts2 = nullptr;
  decltype(&swr_init) init = nullptr;
  decltype(&swr_free) free_context = nullptr;
  decltype(&swr_convert) convert = nullptr;
  decltype(&swr_get_out_samples) get_out_samples = nullptr;
};

#define PCM_STR2(x) #x
#define PCM_STR(x) PCM_STR2(x)
constexpr const char* kLibrary = "libswresample.so." PCM_STR(LIBSWRESAMPLE_VERSION_MAJOR);

template <typename F>
bool bind(void* lib, const char* name, F* out) {
  *out = reinterpret_cast<F>(dlsym(lib, name));
  return *out != nullptr;
}

// The library's functions, loaded once (thread-safe); loaded is false when it is missing, and
// then no converter can be made.
const Resampler& resampler() {
  static const Resampler r = [] {
    Resampler f;
    void* lib = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return f;  // kept open for the life of the process once found
    f.loaded = bind(lib, "av_channel_layout_default", &f.channel_layout_default) &&
               bind(lib, "swr_alloc_set_opts2", &f.alloc_set_opts2) &&
               bind(lib, "swr_init", &f.init) && bind(lib, "swr_free", &f.free_context) &&
               bind(lib, "swr_convert", &f.convert) &&
               bind(lib, "swr_get_out_samples", &f.get_out_samples);
    return f;
  }();
  return r;
}

void free_context(SwrContext** swr) {
  if (*swr) resampler().free_context(swr);
}

SwrContext* make_context(uint32_t rate) {
  const Resampler& lib = resampler();
  if (!lib.loaded) return nullptr;
  SwrContext* swr = nullptr;
  AVChannelLayout in_layout, out_layout;
  // Mono and 8-bit input is widened by us first: the library's rematrixing would put mono
  // 3 dB lower on each side, as for a centre speaker.
  lib.channel_layout_default(&in_layout, 2);
  lib.channel_layout_default(&out_layout, 2);
  if (lib.alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, 44100, &in_layout,
                          AV_SAMPLE_FMT_S16, int(rate), 0, nullptr) < 0 ||
      !swr || lib.init(swr) < 0) {
    free_context(&swr);
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
  free_context(&c->swr);
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
  const int n = resampler().convert(c->swr, out_planes, int(out_capacity), in ? in_planes : nullptr,
                                    in ? int(in_frames) : 0);
  return n > 0 ? uint32_t(n) : 0;
}

uint32_t pcm_converter_out_bound(PcmConverter* c, uint32_t in_frames) {
  if (!c || !c->swr) return 0;
  const int n = resampler().get_out_samples(c->swr, int(in_frames));
  return n > 0 ? uint32_t(n) : 0;
}

void pcm_converter_reset(PcmConverter* c) {
  if (!c) return;
  free_context(&c->swr);
  c->swr = make_context(c->rate);
}

}  // namespace platform
