// Screen transitions: the capture of the whole screen drawn over the next scene while it fades,
// softens, shrinks, whitens, pixelates or is wiped away through a grey mask picture.
//
// One transition runs at a time; its state is the ScreenTransition record of the render state
// (orv_render().transition), made by the system initialisation (screen_transition_create).
// OrvEffectEx runs on the script's thread and takes the render lock; the per-frame step runs
// on the game thread inside the frame draw, under the render lock. All drawing goes through
// the renderer table: the capture is read from the frame (read_back) and drawn as a plain
// picture (draw_sprite, blend 1).
//
// Exports (orv/exports.h, "effects, filters and transitions"):
//   OrvEffectEx(type, duration ms, skippable, wait) -> 1 when started or when transitions are
//     off or type is 0 (nothing starts); 0 for a type outside 0..99, while one runs, or before
//     the record exists. Types: 1 fade, 2 soft fade, 3 shrinking box, 5 white, 6 mosaic,
//     10..99 mask wipe with "Mask\Mask<type - 10>" (".bmp", ".png", ".vkx", ".tga" tried in
//     this order); 4 and 7..9 end on the next frame. With wait, a never-ending wait task
//     (OrvWait(-1)) holds the tasks after the current one until the transition is over.
//   OrvEffect(type, duration) = OrvEffectEx(type, duration, 0, 0).
//   OrvEffectEnable(flag) / OrvEffectEnableIs(): the switch (on at start).
//   OrvEffectIs(): 1 from the start until the frame after its last picture.
//
// Per frame, with e = min(duration, frame time - start) (e = duration when skippable and a
// push of any input bit 0x800006 arrives) and p = e / duration (1 for a duration of 0 or
// less): fade alpha trunc((1 - p) 255); white alpha trunc(p 255) over a capture made white on
// the first frame; box width trunc((1 - p) game width) centred; mosaic blocks
// ((256 - trunc((1 - sin(pi k / 256)) 255)) >> 1) + 1 with k = trunc(p 256), the new scene
// captured once past half; mask alpha 255 where the mask byte m < a, (a + 31 - m) 8 where
// a <= m < a + 31 (255 for a > 224), else 0, with a = trunc((1 - p) 255). A callback reports
// the end when e reaches the duration; the next frame resets the record and frees the wait
// task. A mask that is missing or does not decode ends the transition on its first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "orv/types.h"

struct ImageObject;
struct ScreenTransition;

// Draws one frame of a transition; 1 when it has shown its last picture.
using TransitionCallback = int32_t (*)(ScreenTransition* t);

struct ScreenTransition {
  bool started = false;  // set by the callback's first call
  int32_t running = 0;
  int32_t enabled = 1;
  int32_t skippable = 0;
  OrvHandle wait_task = 0;
  TransitionCallback callback = nullptr;
  uint32_t colour = 0xFFFFFFFFu;
  int32_t duration = 0;  // ms
  uint32_t start_time = 0;
  int32_t type = -1;
  int32_t x = 0, y = 0;
  // The effect surface, the capture's size: the game size, each side raised to a power of two
  // while images are stored in power-of-two sizes (OrvSetPow); set by the reset. The game
  // picture lies in its top-left corner.
  int32_t width = 0, height = 0;
  ImageObject* capture = nullptr;
  // State of the types that keep some between frames.
  bool recaptured = false;      // mosaic: the new scene was captured
  ImageObject* mask = nullptr;  // mask wipe: the decoded mask
  std::vector<uint32_t> saved;  // mosaic: the capture kept while it is pixelated
  std::vector<uint32_t> small;  // mosaic: the capture scaled down
};

// Makes the record and its capture (the effect surface), and hooks the step into the frame draw.
// False when the capture cannot be made (the system initialisation then stops with its box).
bool screen_transition_create();
// Releases the capture and the mask and the record; the frame draw no longer steps it.
void screen_transition_destroy();
// The record, or null before create.
ScreenTransition* screen_transition();

// The frame draw's step (game thread, render lock held).
void screen_transition_frame();
// Clears the running state: flags, type and colour -1 (all bits), per-type state released; the
// effect surface takes the size of the moment (the capture is made again when it changes).
void screen_transition_reset(ScreenTransition* t);
// A window-mode change: a running transition ends at its next step (its duration becomes
// 1 ms). Takes the render lock.
void screen_transition_mode_changed();

// Sets the alpha of each capture pixel that has a mask pixel at the same place from the mask's
// first byte m against threshold a (0..255): 255 when m < a, (c - m) x 8 when a <= m < c with
// c = a + 31 (255 when a > 224), else 0. Pixels outside the mask keep their alpha.
void MaskThresholdAlpha(uint32_t* capture, int32_t width, int32_t height, int32_t pitch,
                        const uint32_t* mask, int32_t mask_width, int32_t mask_height,
                        int32_t mask_pitch, int32_t threshold);
