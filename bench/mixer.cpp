// Ten seconds of game sound through our mixer: two music streams, eight sound effects and one
// voice, with volumes, pans and the effects and voice at their own rates (so resampled).
// The peer is the floor: the same PCM, already at the output rate, summed by a plain loop.
// Prints the CPU time of both, the real-time factor and the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/mixer.h"

namespace {

constexpr uint32_t kSeconds = 10;
constexpr uint32_t kFrames = platform::kMixRate * kSeconds;
constexpr uint32_t kCallback = 1024;  // frames per output callback, as the device asks

struct Voice {
  uint32_t rate;
  uint16_t channels;
  int32_t volume, pan;
};
const Voice kVoices[] = {
    {44100, 2, 0, 0},        {44100, 2, -600, 0},                          // music
    {22050, 1, -300, -2000}, {44100, 2, -100, 1000}, {48000, 2, -500, 0},  // effects
    {22050, 1, -800, 3000},  {11025, 1, -200, 0},    {44100, 1, -400, -500},
    {32000, 2, -700, 0},     {22050, 2, -100, 500},  {22050, 1, 0, 0},  // voice
};

std::vector<int16_t> tone(uint32_t frames, uint16_t channels, double hz) {
  std::vector<int16_t> s(size_t(frames) * channels);
  for (uint32_t i = 0; i < frames; ++i)
    for (uint16_t c = 0; c < channels; ++c)
      s[size_t(i) * channels + c] = int16_t(3000 * std::sin(i * hz * 0.0001 + c));
  return s;
}

double g_mixer_seconds = 0, g_floor_seconds = 0;

double cpu_seconds() {
  return double(std::clock()) / CLOCKS_PER_SEC;
}

void BM_MixerTenSeconds(benchmark::State& state) {
  platform::Mixer mixer;
  for (const Voice& v : kVoices) {
    platform::WaveFormat f;
    f.channels = v.channels;
    f.samples_per_sec = v.rate;
    f.block_align = uint16_t(v.channels * 2);
    f.avg_bytes_per_sec = v.rate * f.block_align;
    const uint32_t frames = v.rate * 2;  // two seconds, looping
    platform::MixBuffer* b = mixer.create_buffer(f, frames * f.block_align);
    platform::LockedRegion r;
    mixer.lock(b, 0, 0, &r);
    const auto pcm = tone(frames, v.channels, 440.0 * v.channels);
    std::copy_n(reinterpret_cast<const uint8_t*>(pcm.data()), r.bytes1, r.part1);
    mixer.set_volume(b, v.volume);
    mixer.set_pan(b, v.pan);
    mixer.play(b, true);
  }
  std::vector<int16_t> out(kCallback * 2);
  double total = 0;
  for (auto _ : state) {
    const double t0 = cpu_seconds();
    for (uint32_t done = 0; done < kFrames; done += kCallback) mixer.mix(out.data(), kCallback);
    total += cpu_seconds() - t0;
    benchmark::DoNotOptimize(out.data());
  }
  g_mixer_seconds = total / double(state.iterations());
}

void BM_PlainSumFloor(benchmark::State& state) {
  std::vector<std::vector<int16_t>> streams;
  for (size_t i = 0; i < std::size(kVoices); ++i) streams.push_back(tone(kFrames, 2, 440.0 + i));
  std::vector<int16_t> out(kCallback * 2);
  double total = 0;
  for (auto _ : state) {
    const double t0 = cpu_seconds();
    for (uint32_t done = 0; done < kFrames; done += kCallback) {
      const uint32_t n = std::min(kCallback, kFrames - done);
      for (uint32_t i = 0; i < n * 2; ++i) {
        int32_t sum = 0;
        for (const auto& s : streams) sum += s[size_t(done) * 2 + i];
        out[i] = int16_t(std::clamp(sum, -32768, 32767));
      }
      benchmark::DoNotOptimize(out.data());
    }
    total += cpu_seconds() - t0;
  }
  g_floor_seconds = total / double(state.iterations());
}

BENCHMARK(BM_MixerTenSeconds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSumFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_mixer_seconds > 0 && g_floor_seconds > 0) {
    std::printf("\n10 s of output, 11 voices (2 music, 8 effects, 1 voice)\n");
    std::printf("  our mixer       %8.2f ms CPU   real-time factor %7.0fx   %.3f %% of one core\n",
                g_mixer_seconds * 1e3, kSeconds / g_mixer_seconds,
                100.0 * g_mixer_seconds / kSeconds);
    std::printf("  plain-sum floor %8.2f ms CPU   real-time factor %7.0fx   %.3f %% of one core\n",
                g_floor_seconds * 1e3, kSeconds / g_floor_seconds,
                100.0 * g_floor_seconds / kSeconds);
    std::printf("  ratio mixer / floor: %.2f\n", g_mixer_seconds / g_floor_seconds);
  }
  return 0;
}
