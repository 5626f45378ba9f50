// The drawing of each transition type, and the helpers the exports share with it.
#pragma once

#include <cstdint>
#include <vector>

#include "Orv/render/transition/screen_transition.h"

// The callback of a type: 1 fade, 2 soft fade, 3 box, 5 white, 6 mosaic, 10..99 mask; null for
// the others (they end on the next frame).
TransitionCallback transition_callback(int32_t type);

int32_t TransitionFade(ScreenTransition* t);
int32_t TransitionSoftFade(ScreenTransition* t);
int32_t TransitionBox(ScreenTransition* t);
int32_t TransitionWhite(ScreenTransition* t);
int32_t TransitionMosaic(ScreenTransition* t);
int32_t TransitionMask(ScreenTransition* t);

// The mosaic's block size at progress p (0..1): 1 at both ends, 129 in the middle.
int32_t mosaic_block(double p);

// Copies the frame as drawn so far into the capture (alpha made 255: the screen is opaque).
// Nothing when the frame and the capture differ in size.
void screen_transition_capture(ScreenTransition* t);

// A VKX mask: its base picture read and decoded, the difference applied. Null (one line on
// stderr naming the file) when any of that fails.
ImageObject* load_vkx_mask(const char* name, const std::vector<uint8_t>& bytes);
