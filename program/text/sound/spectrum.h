// The music spectrum analyser: the 4096 sample frames at a sound's play cursor, mixed to mono,
// windowed (Blackman-Harris) and put through a real FFT of 4096 points; the power of 31
// logarithmic bands from 20 Hz to 20 kHz becomes band values 0..100 for a level meter.
//
// One analyser at most exists (spectrum_analyzer, null when none); the band values outlive it.
// The sample rate is taken as 44,100 Hz whatever the sound's format says.
//
// Thread: the thread that runs the script.
#pragma once

#include <kiss_fftr.h>

#include <cstdint>
#include <vector>

#include "engine/command_list.h"

namespace engine {

constexpr int32_t kSpectrumSize = 4096;
constexpr int32_t kSpectrumBands = 31;
constexpr int32_t kSpectrumRate = 44100;  // the rate the bands are laid out for

struct SpectrumAnalyzer {
  kiss_fftr_cfg fft;
  float window[kSpectrumSize];
  float input[kSpectrumSize];
  kiss_fft_cpx spectrum[kSpectrumSize / 2 + 1];
  float edges[kSpectrumBands + 1];  // 20 x 1000^(i / 31) Hz
  int32_t bandCount;                // bounds spectrum_get_band only
  int32_t channels;                 // interleaved channels of the samples
  std::vector<int16_t> samples;     // kSpectrumSize frames of `channels` samples
};

extern SpectrumAnalyzer* spectrum_analyzer;
extern float spectrum_band_values[kSpectrumBands];

// Deletes an existing analyser and makes a new one (31 bands, 2 channels, no samples).
void spectrum_create();
void spectrum_delete();

// Analyses the analyser's samples (4096 frames of `channels` interleaved 16-bit samples; a
// mono frame counts as both channels, and only the first two of more are heard) into the band
// values.
void spectrum_analyse(SpectrumAnalyzer& a);

// A band's level in dB (-60..0) as the value the script reads: (level + 60) / 60 x 100, and a
// value of 30 or more lifted by 28, at most 100.
float spectrum_band_value(float level_db);

// The spectrum analyser's commands of group 0x04.
extern const CommandList spectrum_commands;

}  // namespace engine
