// The demo's music, made from sine tones: a one-beat lead-in and a four-note phrase that loops.
// Two pieces, for a cross-fade.
#pragma once

#include <cstdint>
#include <string>

namespace tonewriter {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBeatFrames = kRate / 2;  // half a second per note
// The loop point: the phrase starts after the lead-in, in bytes of 16-bit stereo PCM.
constexpr uint32_t kLoopByte = kBeatFrames * 4;

// A piece as a RIFF WAVE file (44,100 Hz, stereo, 16-bit): the lead-in, then the phrase.
// Each note starts and ends at zero so that the loop joins without a click. Piece 0 rises in
// C major, piece 1 falls in A minor.
std::string tone_wav(int piece = 0);

}  // namespace tonewriter
