#include "platform/movie_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <mutex>
#include <new>

#include "platform/dynlib.h"

namespace platform {

namespace {

// The functions of the five libraries that are loaded on first use.
#define MOVIE_AV_FUNCTIONS(X)             \
  X(util, av_channel_layout_default)      \
  X(util, av_frame_alloc)                 \
  X(util, av_frame_free)                  \
  X(util, av_frame_unref)                 \
  X(util, av_free)                        \
  X(util, av_freep)                       \
  X(util, av_log_set_level)               \
  X(util, av_rescale)                     \
  X(util, av_dict_set_int)                \
  X(util, av_dict_free)                   \
  X(util, av_rescale_q)                   \
  X(resample, swr_convert)                \
  X(resample, swr_free)                   \
  X(resample, swr_get_out_samples)        \
  X(resample, swr_init)                   \
  X(util, av_malloc)                      \
  X(resample, swr_alloc_set_opts2)        \
  X(format, avformat_alloc_context)       \
  X(format, avformat_open_input)          \
  X(format, avformat_find_stream_info)    \
  X(format, avformat_close_input)         \
  X(format, av_find_input_format)         \
  X(format, av_read_frame)                \
  X(format, av_seek_frame)                \
  X(format, avio_alloc_context)           \
  X(format, avio_context_free)            \
  X(codec, avcodec_find_decoder)          \
  X(codec, avcodec_alloc_context3)        \
  X(codec, avcodec_parameters_to_context) \
  X(codec, avcodec_open2)                 \
  X(codec, avcodec_send_packet)           \
  X(codec, avcodec_receive_frame)         \
  X(codec, avcodec_flush_buffers)         \
  X(codec, avcodec_free_context)          \
  X(codec, av_packet_alloc)               \
  X(codec, av_packet_free)                \
  X(codec, av_packet_unref)               \
  X(scale, sws_getCachedContext)          \
  X(scale, sws_scale)                     \
  X(scale, sws_freeContext)

struct AvTable {
#define MOVIE_AV_FIELD(lib, name) decltype(&::name) name = nullptr;
  MOVIE_AV_FUNCTIONS(MOVIE_AV_FIELD)
#undef MOVIE_AV_FIELD
};

#define MOVIE_STR2(x) #x
#define MOVIE_STR(x) MOVIE_STR2(x)

struct AvLoader {
  std::mutex mutex;
  bool tried = false, ok = false;
  std::string error;
  DynLib util, resample, format, codec, scale;
  AvTable table;
};

AvLoader& loader() {
  static AvLoader l;
  return l;
}

const AvTable& av() {
  return loader().table;
}

bool load_locked(AvLoader& l) {
  // The libraries below first: the ones above need them.
  l.util = dynlib_open("libavutil.so." MOVIE_STR(LIBAVUTIL_VERSION_MAJOR), true);
  l.resample = dynlib_open("libswresample.so." MOVIE_STR(LIBSWRESAMPLE_VERSION_MAJOR), true);
  l.codec = dynlib_open("libavcodec.so." MOVIE_STR(LIBAVCODEC_VERSION_MAJOR), true);
  l.format = dynlib_open("libavformat.so." MOVIE_STR(LIBAVFORMAT_VERSION_MAJOR), true);
  l.scale = dynlib_open("libswscale.so." MOVIE_STR(LIBSWSCALE_VERSION_MAJOR), true);
  for (DynLib* lib : {&l.util, &l.resample, &l.codec, &l.format, &l.scale}) {
    if (!lib->handle) {
      l.error = "video libraries missing: " + lib->error;
      return false;
    }
  }
#define MOVIE_AV_BIND(lib, name)                                                   \
  l.table.name = reinterpret_cast<decltype(&::name)>(dynlib_symbol(l.lib, #name)); \
  if (!l.table.name) {                                                             \
    l.error = "video libraries lack " #name;                                       \
    return false;                                                                  \
  }
  MOVIE_AV_FUNCTIONS(MOVIE_AV_BIND)
#undef MOVIE_AV_BIND
  return true;
}

int read_packet(void* opaque, uint8_t* buf, int size) {
  auto* s = static_cast<const MovieSource*>(opaque);
  int32_t n = s->read(s->context, buf, size);
  if (n < 0) return AVERROR(EIO);
  return n == 0 ? AVERROR_EOF : n;
}

int64_t seek_packet(void* opaque, int64_t offset, int whence) {
  auto* s = static_cast<const MovieSource*>(opaque);
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) return s->size;
  int64_t target;
  if (whence == SEEK_SET) {
    target = offset;
  } else if (whence == SEEK_END) {
    target = s->size + offset;
  } else {
    return -1;  // SEEK_CUR is resolved by the I/O context itself
  }
  if (target < 0 || target > s->size) return -1;
  return s->seek(s->context, target);
}

}  // namespace

struct MovieDecoder {
  MovieSource source;
  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  int video_index = -1, audio_index = -1;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* sws = nullptr;
  SwrContext* swr = nullptr;
  int swr_rate = 0, swr_format = -1, swr_channels = 0;
  bool draining = false;
  bool video_done = false, audio_done = false;
  int64_t skip_until_ms = -1;
  int64_t last_video_ms = 0;
  int failures = 0;  // consecutive read or decode failures with nothing decoded
};

bool movie_libraries_load(std::string* error) {
  AvLoader& l = loader();
  std::lock_guard<std::mutex> guard(l.mutex);
  if (!l.tried) {
    l.tried = true;
    l.ok = load_locked(l);
    // A damaged file is reported once, in our own words.
    if (l.ok) av().av_log_set_level(AV_LOG_QUIET);
  }
  if (!l.ok && error) *error = l.error;
  return l.ok;
}

bool movie_libraries_loaded() {
  AvLoader& l = loader();
  std::lock_guard<std::mutex> guard(l.mutex);
  return l.ok;
}

namespace {

AVCodecContext* open_codec(AVStream* stream, int64_t max_pixels) {
  const AVCodec* codec = av().avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return nullptr;
  AVCodecContext* c = av().avcodec_alloc_context3(codec);
  if (!c) return nullptr;
  c->thread_count = 1;  // each movie already decodes on a thread of its own
  if (max_pixels > 0) c->max_pixels = max_pixels;
  if (av().avcodec_parameters_to_context(c, stream->codecpar) < 0 ||
      av().avcodec_open2(c, codec, nullptr) < 0) {
    av().avcodec_free_context(&c);
    return nullptr;
  }
  return c;
}

int64_t stream_ms(const MovieDecoder* d, int index, int64_t ts) {
  // Times count from the container's start, which both streams share, so that sound and
  // picture keep their offset.
  const AVStream* s = d->format->streams[index];
  if (ts == AV_NOPTS_VALUE) return -1;
  int64_t ms = av().av_rescale_q(ts, s->time_base, AVRational{1, 1000});
  if (d->format->start_time != AV_NOPTS_VALUE)
    ms -= av().av_rescale(d->format->start_time, 1000, AV_TIME_BASE);
  return ms;
}

MovieStep take_video(MovieDecoder* d, int32_t w, int32_t h, uint32_t* pixels, int64_t* ms) {
  AVFrame* f = d->frame;
  int64_t t = stream_ms(d, d->video_index, f->best_effort_timestamp);
  if (t < 0) t = stream_ms(d, d->video_index, f->pts);
  if (t < 0) {
    // No time stamp: one frame after the last picture (the seek's target after a seek).
    const AVRational rate = d->format->streams[d->video_index]->avg_frame_rate;
    const int64_t step = rate.num > 0 && rate.den > 0 ? int64_t(rate.den) * 1000 / rate.num : 40;
    t = d->last_video_ms < 0 ? std::max<int64_t>(0, d->skip_until_ms) : d->last_video_ms + step;
  }
  d->last_video_ms = t;
  const bool damaged = f->decode_error_flags != 0 || (f->flags & AV_FRAME_FLAG_CORRUPT) ||
                       f->width <= 0 || f->height <= 0;
  if (damaged || (d->skip_until_ms >= 0 && t < d->skip_until_ms)) return MovieStep::kDropped;
  d->skip_until_ms = -1;
  // Every picture is converted to the caller's size, so a stream that changes size never
  // writes past the image.
  // The fast converters write whole blocks of 8 pixels and leave the last columns of other
  // widths unwritten: those widths take the exact path.
  const int flags =
      (w % 16 == 0) ? SWS_BILINEAR : SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT;
  d->sws = av().sws_getCachedContext(d->sws, f->width, f->height, AVPixelFormat(f->format), w, h,
                                     AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
  if (!d->sws) return MovieStep::kDropped;
  uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(pixels), nullptr, nullptr, nullptr};
  int dst_stride[4] = {w * 4, 0, 0, 0};
  if (av().sws_scale(d->sws, f->data, f->linesize, 0, f->height, dst, dst_stride) != h)
    return MovieStep::kDropped;
  *ms = t;
  return MovieStep::kVideo;
}

MovieStep take_audio(MovieDecoder* d, std::vector<int16_t>* out, int64_t* ms) {
  AVFrame* f = d->frame;
  int64_t t = stream_ms(d, d->audio_index, f->best_effort_timestamp);
  // Rates and channel counts no movie has are a damaged stream: a resampler built for a rate
  // of billions spent minutes laying out its filter.
  constexpr int kMinRate = 1000, kMaxRate = 384000, kMaxChannels = 64;
  if (f->nb_samples <= 0 || f->sample_rate < kMinRate || f->sample_rate > kMaxRate ||
      f->ch_layout.nb_channels <= 0 || f->ch_layout.nb_channels > kMaxChannels)
    return MovieStep::kDropped;
  if (d->skip_until_ms >= 0 && t >= 0 &&
      t + int64_t(f->nb_samples) * 1000 / f->sample_rate < d->skip_until_ms)
    return MovieStep::kDropped;
  if (!d->swr || d->swr_rate != f->sample_rate || d->swr_format != f->format ||
      d->swr_channels != f->ch_layout.nb_channels) {
    av().swr_free(&d->swr);
    AVChannelLayout stereo;
    av().av_channel_layout_default(&stereo, 2);
    if (av().swr_alloc_set_opts2(&d->swr, &stereo, AV_SAMPLE_FMT_S16, 44100, &f->ch_layout,
                                 AVSampleFormat(f->format), f->sample_rate, 0, nullptr) < 0 ||
        av().swr_init(d->swr) < 0) {
      av().swr_free(&d->swr);
      return MovieStep::kDropped;
    }
    d->swr_rate = f->sample_rate;
    d->swr_format = f->format;
    d->swr_channels = f->ch_layout.nb_channels;
  }
  const int room = av().swr_get_out_samples(d->swr, f->nb_samples);
  if (room <= 0) return MovieStep::kDropped;
  const size_t at = out->size();
  out->resize(at + size_t(room) * 2);
  uint8_t* dst = reinterpret_cast<uint8_t*>(out->data() + at);
  int got = av().swr_convert(d->swr, &dst, room, const_cast<const uint8_t**>(f->extended_data),
                             f->nb_samples);
  if (got < 0) got = 0;
  out->resize(at + size_t(got) * 2);
  if (got == 0) return MovieStep::kDropped;
  *ms = t < 0 ? 0 : t;
  return MovieStep::kAudio;
}

// One frame from a decoder: 1 got one, 0 wants input, -1 ended.
int receive(MovieDecoder* d, AVCodecContext* c) {
  if (!c) return -1;
  int r = av().avcodec_receive_frame(c, d->frame);
  if (r == 0) return 1;
  if (r == AVERROR(EAGAIN)) return 0;
  return -1;  // AVERROR_EOF after a drain, or a decoder that gave up
}

}  // namespace

MovieDecoder* movie_decoder_open(const MovieSource& source, MovieContainer container,
                                 MovieStreams* streams, std::string* error) {
  std::string why;
  if (!movie_libraries_load(&why)) {
    if (error) *error = why;
    return nullptr;
  }
  auto* d = new (std::nothrow) MovieDecoder;
  if (!d) return nullptr;
  d->source = source;
  auto fail = [&](const char* reason) -> MovieDecoder* {
    if (error) *error = reason;
    movie_decoder_close(d);
    return nullptr;
  };
  const int kBuffer = 32768;
  auto* buffer = static_cast<uint8_t*>(av().av_malloc(kBuffer));
  if (!buffer) return fail("out of memory");
  d->io =
      av().avio_alloc_context(buffer, kBuffer, 0, &d->source, read_packet, nullptr, seek_packet);
  if (!d->io) {
    av().av_free(buffer);
    return fail("out of memory");
  }
  d->format = av().avformat_alloc_context();
  if (!d->format) return fail("out of memory");
  d->format->pb = d->io;
  d->format->flags |= AVFMT_FLAG_CUSTOM_IO;
  const AVInputFormat* input =
      av().av_find_input_format(container == MovieContainer::kAsf ? "asf" : "mpeg");
  if (!input) return fail("the demuxer is missing");
  if (av().avformat_open_input(&d->format, nullptr, input, nullptr) < 0) {
    d->format = nullptr;  // freed by the failed open
    return fail("not a movie of this kind");
  }
  // The stream probe decodes pictures too: it gets the same limit.
  std::vector<AVDictionary*> probe(d->format->nb_streams, nullptr);
  if (source.max_pixels > 0) {
    for (AVDictionary*& o : probe) av().av_dict_set_int(&o, "max_pixels", source.max_pixels, 0);
  }
  const int found = av().avformat_find_stream_info(d->format, probe.data());
  for (AVDictionary*& o : probe) av().av_dict_free(&o);
  if (found < 0) return fail("no streams");
  for (unsigned i = 0; i < d->format->nb_streams; ++i) {
    AVStream* s = d->format->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && d->video_index < 0) {
      if ((d->video = open_codec(s, source.max_pixels))) d->video_index = int(i);
    } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && d->audio_index < 0) {
      if ((d->audio = open_codec(s, source.max_pixels))) d->audio_index = int(i);
    }
  }
  if (!d->video) return fail("no video stream that decodes");
  const AVCodecParameters* vp = d->format->streams[d->video_index]->codecpar;
  if (vp->width <= 0 || vp->height <= 0 || vp->width > kMovieMaxSide || vp->height > kMovieMaxSide)
    return fail("no video size");
  d->packet = av().av_packet_alloc();
  d->frame = av().av_frame_alloc();
  if (!d->packet || !d->frame) return fail("out of memory");
  if (streams) {
    streams->width = vp->width;
    streams->height = vp->height;
    streams->audio = d->audio != nullptr;
    streams->duration_ms =
        d->format->duration > 0 ? av().av_rescale(d->format->duration, 1000, AV_TIME_BASE) : 0;
  }
  d->audio_done = d->audio == nullptr;
  return d;
}

void movie_decoder_close(MovieDecoder* d) {
  if (!d) return;
  if (d->packet) av().av_packet_free(&d->packet);
  if (d->frame) av().av_frame_free(&d->frame);
  if (d->video) av().avcodec_free_context(&d->video);
  if (d->audio) av().avcodec_free_context(&d->audio);
  if (d->sws) av().sws_freeContext(d->sws);
  av().swr_free(&d->swr);
  if (d->format) av().avformat_close_input(&d->format);
  if (d->io) {
    av().av_freep(&d->io->buffer);
    av().avio_context_free(&d->io);
  }
  delete d;
}

MovieStep movie_decoder_step(MovieDecoder* d, int32_t width, int32_t height, uint32_t* pixels,
                             std::vector<int16_t>* audio, int64_t* time_ms) {
  if (!d || width <= 0 || height <= 0 || !pixels || !audio || !time_ms) return MovieStep::kError;
  constexpr int kMaxFailures = 64;
  for (;;) {
    if (!d->video_done) {
      int r = receive(d, d->video);
      if (r > 0) {
        d->failures = 0;
        MovieStep s = take_video(d, width, height, pixels, time_ms);
        av().av_frame_unref(d->frame);
        return s;
      }
      if (r <= 0 && d->draining) d->video_done = true;
    }
    if (!d->audio_done) {
      int r = receive(d, d->audio);
      if (r > 0) {
        d->failures = 0;
        MovieStep s = take_audio(d, audio, time_ms);
        av().av_frame_unref(d->frame);
        return s;
      }
      if (r <= 0 && d->draining) d->audio_done = true;
    }
    if (d->draining) {
      if (d->video_done && d->audio_done) return MovieStep::kEnd;
      continue;
    }
    int r = av().av_read_frame(d->format, d->packet);
    if (r == AVERROR_EOF || (r < 0 && d->format->pb && d->format->pb->eof_reached)) {
      // Drain what the decoders still hold.
      d->draining = true;
      av().avcodec_send_packet(d->video, nullptr);
      if (d->audio) av().avcodec_send_packet(d->audio, nullptr);
      continue;
    }
    if (r < 0) {
      if (++d->failures > kMaxFailures) return MovieStep::kError;
      continue;
    }
    AVCodecContext* c = d->packet->stream_index == d->video_index   ? d->video
                        : d->packet->stream_index == d->audio_index ? d->audio
                                                                    : nullptr;
    if (c && av().avcodec_send_packet(c, d->packet) < 0 && ++d->failures > kMaxFailures) {
      av().av_packet_unref(d->packet);
      return MovieStep::kError;
    }
    av().av_packet_unref(d->packet);
  }
}

bool movie_decoder_seek(MovieDecoder* d, int64_t ms) {
  if (!d || ms < 0) return false;
  AVStream* s = d->format->streams[d->video_index];
  int64_t start = 0;
  if (d->format->start_time != AV_NOPTS_VALUE)
    start = av().av_rescale(d->format->start_time, 1000, AV_TIME_BASE);
  int64_t ts = av().av_rescale_q(ms + start, AVRational{1, 1000}, s->time_base);
  if (av().av_seek_frame(d->format, d->video_index, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
      av().av_seek_frame(d->format, d->video_index, ts, AVSEEK_FLAG_ANY) < 0)
    return false;
  av().avcodec_flush_buffers(d->video);
  if (d->audio) av().avcodec_flush_buffers(d->audio);
  if (d->swr) av().swr_free(&d->swr);
  d->draining = false;
  d->video_done = false;
  d->audio_done = d->audio == nullptr;
  d->skip_until_ms = ms;
  d->last_video_ms = -1;
  d->failures = 0;
  return true;
}

}  // namespace platform
