// The frame draw: the one place where the game thread hands a finished frame to the window.
//
// The game thread draws; the window thread shows (all SDL video calls stay on it). Three
// frame stores take turns so that neither thread waits on the other's copy: the game thread
// copies a finished frame into its own store and swaps it with the ready one under the mutex;
// the window thread swaps the ready one with the one it shows, under the same mutex, and then
// scales and copies it into the window without holding anything. One present is in flight at
// most, so a slow window drops frames instead of queueing them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/frame_memory.h"

// Gives back a frame store (platform::frame_memory_alloc, of bytes).
struct FrameStoreFree {
  size_t bytes = 0;
  void operator()(uint32_t* pixels) const { platform::frame_memory_free(pixels, bytes); }
};

// One frame's pixels: top-down ARGB, width x height (0 x 0: none). The store is grown, never
// cleared: each frame overwrites all of it that is shown. It is frame memory: on large pages,
// so that the first frame copied into it does not wait for some 900 page faults.
struct PresentFrame {
  std::unique_ptr<uint32_t[], FrameStoreFree> pixels;
  size_t capacity = 0;  // pixels the store holds
  int32_t width = 0, height = 0;
};

struct PresentBuffer {
  std::mutex mutex;               // held only across the swaps of `ready`, never across a copy
  PresentFrame ready;             // the newest handed-over frame not yet taken by the window thread
  bool fresh = false;             // `ready` holds a frame the window has not taken yet
  bool any = false;               // a frame was handed over since the reset
  int32_t width = 0, height = 0;  // the size of the newest handed-over frame
  PresentFrame filling;           // the game thread's own store (it draws under the render lock)
  PresentFrame shown;             // the window thread's own store: what the window shows
  // One present in flight at most: a slow window thread drops frames instead of queueing them.
  std::atomic<bool> pending{false};
  bool smooth = false;  // stretch smoothly (the renderer's device flag bit 0)
  // Start-up trace: when the library started (platform counter, ns) and whether the first
  // frame (the clear colour included) and the first frame the game drew have been shown since.
  uint64_t started_ns = 0;
  bool first_shown = false;
  bool first_drawn_shown = false;
  std::atomic<bool> gl_first_posted{false};  // the GL renderer's first frame was reported

  void reset();
};

// The frame handed over, one member of the library's state record. The shared fields under
// its mutex (pending is atomic); `filling` is the game thread's, `shown` the window thread's.
PresentBuffer& orv_present();

// Draws and presents the active render list; skipped while a full-screen video plays or when
// another thread holds the render lock. Until the render list is wired in here, it presents a
// frame cleared to the clear colour. Game thread.
void frame_draw();
// Hands a drawn frame to the window thread (the renderer's present). False when it cannot be
// shown (no window).
bool frame_present_pixels(const uint32_t* pixels, int32_t width, int32_t height);
// Window thread: shows the newest frame that was handed over (the clear colour before the
// first; OrvRun shows that at once, so the window is painted from its start). With
// VELMORA_STARTUP_TRACE set, the first frame shown (the clear colour included) writes one line
// with the time since the library started ("startup: first frame shown after N ms"), and the
// first frame the game drew another ("startup: first drawn frame shown after N ms"). The work
// that waits for the first drawn frame starts with it: the face lookup and the pads.
void frame_present_on_window();
// Window thread: a renderer that presents by itself (GL) has shown its first frame; as the
// first drawn frame above.
void frame_shown_by_renderer();
