// The spectrum analyser: band values of silence and of a sine worked out by hand, the mapping
// of a band's level to the value the script reads, mono sounds and the commands' refusals.
#include <cmath>
#include <cstring>

#include "fake_sound.h"
#include "text/sound/spectrum.h"

namespace soundtest {
namespace {

constexpr uint32_t kCreate = 0x040015;
constexpr uint32_t kSetParam = 0x040016;
constexpr uint32_t kSetSound = 0x040017;
constexpr uint32_t kUpdate = 0x040018;
constexpr uint32_t kGetBand = 0x040019;
constexpr uint32_t kDelete = 0x04001a;

// What the stand-in's play cursor gives, and the channel count of its format.
inline std::vector<int16_t> g_cursor;
inline uint16_t g_channels = 2;

// `frames` frames of a full-scale sine of `hz` at 44,100 Hz, `channels` samples each.
std::vector<int16_t> sine(double hz, int channels, int frames = 4096) {
  std::vector<int16_t> out;
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(std::lround(32767.0 * std::sin(2 * M_PI * hz * i / 44100)));
    for (int c = 0; c < channels; ++c) out.push_back(v);
  }
  return out;
}

class SpectrumTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    saved_ = orv;
    g_cursor.clear();
    g_channels = 2;
    orv.OrvGetSoundBufferFormat = [](uint32_t h, void* out) -> OrvBool {
      if (!h) return 0;
      std::memset(out, 0, 18);
      std::memcpy(static_cast<uint8_t*>(out) + 2, &g_channels, 2);
      return 1;
    };
    orv.OrvSoundGetPlayCursorToBuffer = [](uint32_t, void* to, uint32_t bytes) -> OrvBool {
      const size_t n = std::min<size_t>(bytes, g_cursor.size() * 2);
      if (n) std::memcpy(to, g_cursor.data(), n);  // an empty cursor has no data pointer
      return 1;
    };
  }
  void TearDown() override {
    engine::spectrum_delete();
    std::fill(std::begin(engine::spectrum_band_values), std::end(engine::spectrum_band_values), 0);
    orv = saved_;
    SoundTest::TearDown();
  }
  uint32_t handler_of(uint32_t id, std::vector<uint32_t> args) {
    uint32_t r = 7;
    call(id, std::move(args), &r);
    return r;
  }

 private:
  OrvApi saved_;
};

TEST_F(SpectrumTest, BandLevelsBecomeTheValuesTheScriptReads) {
  struct Case {
    float db;
    float value;
  };
  // (level + 60) / 60 x 100; 30 or more lifted by 28, at most 100.
  const Case cases[] = {{-100, 0}, {-60, 0}, {-45, 25}, {-30, 78}, {-24, 88}, {-12, 100}, {0, 100}};
  for (const Case& c : cases) EXPECT_NEAR(engine::spectrum_band_value(c.db), c.value, 1e-4) << c.db;
}

TEST_F(SpectrumTest, SineLightsItsBandAsWorkedOutByHand) {
  call(kCreate, {0, 0});
  EXPECT_EQ(handler_of(kSetSound, {0x20000001}), 1u);
  // Silence: every band at -60 dB, value 0.
  call(kUpdate, {0x20000001});
  for (float v : engine::spectrum_band_values) EXPECT_EQ(v, 0.0f);

  // A full-scale 1 kHz sine lands in band 17 (884..1104 Hz, bins 82..102). Windowed, its power
  // over the positive bins is N/4 x sum(w^2) = 1024 x 1056.6 (sum(w^2) = N x 0.25796); divided
  // by N^2 for the magnitudes and by the 21 bins: 0.003071, RMS 0.05542, -25.13 dB, so
  // (60 - 25.13) / 60 x 100 = 58.1, lifted by 28: 86.
  g_cursor = sine(1000, 2);
  call(kUpdate, {0x20000001});
  EXPECT_EQ(call(kGetBand, {17, 0}), 86u);
  for (int b : {0, 5, 10, 25, 30}) EXPECT_EQ(call(kGetBand, {static_cast<uint32_t>(b), 0}), 0u);

  // A mono sound gives the same: each sample counts as both channels.
  g_channels = 1;
  EXPECT_EQ(handler_of(kSetSound, {0x20000001}), 1u);
  EXPECT_EQ(engine::spectrum_analyzer->samples.size(), 4096u);
  g_cursor = sine(1000, 1);
  call(kUpdate, {0x20000001});
  EXPECT_EQ(call(kGetBand, {17, 0}), 86u);
}

TEST_F(SpectrumTest, CommandsWithoutAnAnalyserOrOutsideTheBandsRefuse) {
  EXPECT_EQ(handler_of(kUpdate, {0x20000001}), 0u);
  EXPECT_EQ(handler_of(kSetParam, {10}), 0u);
  EXPECT_EQ(handler_of(kSetSound, {0x20000001}), 0u);
  EXPECT_EQ(handler_of(kGetBand, {0, 0}), 0u);
  EXPECT_EQ(call(kCreate, {0, 0}), 1u);
  EXPECT_EQ(handler_of(kSetSound, {0}), 0u);
  EXPECT_EQ(handler_of(kUpdate, {0}), 0u);
  EXPECT_EQ(call(kGetBand, {31, 0}), 0u);
  EXPECT_EQ(handler_of(kGetBand, {31, 0}), 0u);
  EXPECT_EQ(handler_of(kGetBand, {0xFFFFFFFF, 0}), 0u);
  // More bands than values: the ones beyond 31 are still refused.
  call(kSetParam, {40});
  EXPECT_EQ(handler_of(kGetBand, {35, 0}), 0u);
  call(kSetParam, {4});
  EXPECT_EQ(handler_of(kGetBand, {5, 0}), 0u);
  EXPECT_EQ(handler_of(kGetBand, {3, 0}), 1u);
  // An update before any sound was set reads two channels' worth, silence where none came.
  g_cursor = sine(1000, 2, 100);
  EXPECT_EQ(handler_of(kUpdate, {0x20000001}), 1u);
  call(kDelete, {});
  EXPECT_EQ(engine::spectrum_analyzer, nullptr);
  EXPECT_EQ(handler_of(kUpdate, {0x20000001}), 0u);
}

}  // namespace
}  // namespace soundtest
