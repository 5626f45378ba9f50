// The frame draw: the one place where the game thread hands a finished frame to the window.
//
// The game thread draws; the window thread shows (all SDL video calls stay on it). A frame's
// pixels are copied into the process record's present buffer and the window thread is asked
// to show them; one present is in flight at most, so a slow window drops frames instead of
// queueing them.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include <atomic>

struct PresentBuffer {
  std::mutex mutex;
  std::vector<uint32_t> pixels;  // top-down ARGB; empty: show the clear colour
  int32_t width = 0, height = 0;
  // One present in flight at most: a slow window thread drops frames instead of queueing them.
  std::atomic<bool> pending{false};
  bool smooth = false;  // stretch smoothly (the renderer's device flag bit 0)

  void reset();
};

// The frame handed over, one member of the library's state record. Any thread, under its
// mutex (pending is atomic).
PresentBuffer& orv_present();

// Draws and presents the active render list; skipped while a full-screen video plays or when
// another thread holds the render lock. Until the render list is wired in here, it presents a
// frame cleared to the clear colour. Game thread.
void frame_draw();
// Hands a drawn frame to the window thread (the renderer's present). False when it cannot be
// shown (no window).
bool frame_present_pixels(const uint32_t* pixels, int32_t width, int32_t height);
// Window thread: shows the frame that was handed over.
void frame_present_on_window();
