#include "text/sound/spectrum.h"

#include <algorithm>
#include <cmath>

namespace engine {

SpectrumAnalyzer* spectrum_analyzer = nullptr;
float spectrum_band_values[kSpectrumBands] = {};

void spectrum_delete() {
  if (!spectrum_analyzer) return;
  kiss_fftr_free(spectrum_analyzer->fft);
  delete spectrum_analyzer;
  spectrum_analyzer = nullptr;
}

void spectrum_create() {
  spectrum_delete();
  auto* a = new SpectrumAnalyzer{};
  a->fft = kiss_fftr_alloc(kSpectrumSize, 0, nullptr, nullptr);
  for (int i = 0; i < kSpectrumSize; ++i) {
    const float t = static_cast<float>(i) * 6.2831855f / 4095.0f;
    a->window[i] = 0.35875f - 0.48829f * std::cos(t) + 0.14128f * std::cos(2.0f * t) -
                   0.01168f * std::cos(3.0f * t);
  }
  for (int i = 0; i <= kSpectrumBands; ++i) {
    a->edges[i] = 20.0f * std::pow(1000.0f, static_cast<float>(i) / 31.0f);
  }
  a->bandCount = kSpectrumBands;
  a->channels = 2;
  spectrum_analyzer = a;
}

float spectrum_band_value(float level_db) {
  const float value = (std::clamp(level_db, -60.0f, 0.0f) + 60.0f) / 60.0f * 100.0f;
  return value >= 30.0f ? std::min(value + 28.0f, 100.0f) : value;
}

void spectrum_analyse(SpectrumAnalyzer& a) {
  constexpr float kScale = 3.0517578e-5f;  // 1 / 32768
  const size_t stride = static_cast<size_t>(std::max(a.channels, 1));
  const size_t right = a.channels > 1 ? 1 : 0;
  a.samples.resize(kSpectrumSize * stride);  // never read past what the sound gave
  for (size_t i = 0; i < kSpectrumSize; ++i) {
    const int16_t* frame = &a.samples[i * stride];
    a.input[i] = (frame[right] * kScale + frame[0] * kScale) * 0.5f * a.window[i];
  }
  if (!a.fft) return;
  kiss_fftr(a.fft, a.input, a.spectrum);
  static constexpr int kLastBin = kSpectrumSize / 2;
  auto bin = [](float hz) {
    const int k = static_cast<int>(hz / static_cast<float>(kSpectrumRate) * kSpectrumSize);
    return std::clamp(k, 0, kLastBin);
  };
  for (int b = 0; b < kSpectrumBands; ++b) {
    const int lo = bin(a.edges[b]);
    const int hi = bin(a.edges[b + 1]);
    const int n = hi < lo ? 1 : hi - lo + 1;
    float sum = 0.0f;
    for (int k = lo; k <= hi; ++k) {
      const float m =
          std::sqrt(a.spectrum[k].r * a.spectrum[k].r + a.spectrum[k].i * a.spectrum[k].i) /
          static_cast<float>(kSpectrumSize);
      sum += m * m;
    }
    const float level = 20.0f * std::log10(std::sqrt(sum / static_cast<float>(n)) + 1e-12f);
    spectrum_band_values[b] = spectrum_band_value(level);
  }
}

}  // namespace engine
