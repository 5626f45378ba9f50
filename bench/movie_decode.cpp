// Movie decoding: decode + convert to BGRA per frame of a 1280 x 720 MPEG-1 clip (made here
// with the ffmpeg command line), beside the floor: the ffmpeg command line decoding the same
// clip to raw BGRA with one thread (-benchmark). Also the hand-over copy per frame (the queued
// picture into a sprite image, as the draw callback does it).
//
//   bench/movie_decode [SECONDS]      (clip length, default 8)
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/movie_decoder.h"

namespace {

constexpr int kW = 1280, kH = 720;

std::string run(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

std::string read_all(const std::string& path) {
  std::string s;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return s;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  std::fclose(f);
  return s;
}

struct Memory {
  const std::string* bytes;
  int64_t position = 0;
};

int32_t memory_read(void* c, uint8_t* out, int32_t n) {
  auto* m = static_cast<Memory*>(c);
  const int64_t left = int64_t(m->bytes->size()) - m->position;
  const int32_t k = int32_t(left < n ? left : n);
  if (k <= 0) return 0;
  std::memcpy(out, m->bytes->data() + m->position, size_t(k));
  m->position += k;
  return k;
}

int64_t memory_seek(void* c, int64_t at) {
  auto* m = static_cast<Memory*>(c);
  if (at < 0 || at > int64_t(m->bytes->size())) return -1;
  m->position = at;
  return at;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 8;
  const std::string clip = "/tmp/velmora-bench-movie-" + std::to_string(getpid()) + ".mpg";
  const std::string make = "ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=s=1280x720:r=25:d=" +
                           std::to_string(seconds) + " -c:v mpeg1video -q:v 4 -an -f mpeg " + clip +
                           " 2>&1";
  const std::string made = run(make);
  const std::string bytes = read_all(clip);
  if (bytes.empty()) {
    std::fprintf(stderr, "could not make the clip with ffmpeg: %s\n", made.c_str());
    return 1;
  }

  // Ours: the same decoder and converter the movie player's thread runs.
  Memory memory{&bytes};
  platform::MovieSource source{&memory, memory_read, memory_seek, int64_t(bytes.size())};
  std::string why;
  platform::MovieStreams streams;
  if (!platform::movie_libraries_load(&why)) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  platform::MovieDecoder* d =
      platform::movie_decoder_open(source, platform::MovieContainer::kMpegProgram, &streams, &why);
  if (!d) {
    std::fprintf(stderr, "open: %s\n", why.c_str());
    return 1;
  }
  std::vector<uint32_t> picture(size_t(kW) * kH);
  std::vector<int16_t> sound;
  int64_t ms = 0;
  int frames = 0;
  for (;;) {
    const platform::MovieStep s =
        platform::movie_decoder_step(d, kW, kH, picture.data(), &sound, &ms);
    if (s == platform::MovieStep::kVideo) ++frames;
    if (s == platform::MovieStep::kEnd || s == platform::MovieStep::kError) break;
  }
  const double ours = seconds_since(start);
  platform::movie_decoder_close(d);

  // The hand-over: the picture copied row by row into an image of the same size.
  std::vector<uint32_t> image(size_t(kW) * kH);
  const int copies = 200;
  const auto copy_start = std::chrono::steady_clock::now();
  for (int i = 0; i < copies; ++i) {
    picture[0] = uint32_t(i);
    for (int y = 0; y < kH; ++y) {
      std::memcpy(image.data() + size_t(y) * kW, picture.data() + size_t(y) * kW, kW * 4);
    }
  }
  const double copy = seconds_since(copy_start) / copies;

  // The floor: ffmpeg decoding the same clip to raw BGRA with one thread.
  const std::string floor_out = run("ffmpeg -nostdin -benchmark -threads 1 -i " + clip +
                                    " -sws_flags bilinear -f rawvideo -pix_fmt bgra -y /dev/null 2>&1");
  std::remove(clip.c_str());
  double rtime = 0;
  const size_t at = floor_out.find("rtime=");
  if (at != std::string::npos) rtime = std::atof(floor_out.c_str() + at + 6);
  if (frames == 0 || rtime <= 0) {
    std::fprintf(stderr, "no frames or no floor figure\n%s\n", floor_out.c_str());
    return 1;
  }
  const double ours_ms = 1000.0 * ours / frames, floor_ms = 1000.0 * rtime / frames;
  std::printf("movie decode + convert, 1280x720 MPEG-1, %d frames, one thread\n", frames);
  std::printf("  ours (decoder + BGRA)     %8.3f ms/frame\n", ours_ms);
  std::printf("  floor (ffmpeg -benchmark) %8.3f ms/frame (whole process, rtime)\n", floor_ms);
  std::printf("  ratio                     %8.2f\n", ours_ms / floor_ms);
  std::printf("  hand-over copy            %8.3f ms/frame\n", 1000.0 * copy);
  return 0;
}
