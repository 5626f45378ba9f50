// The window procedure: the window thread's handlers of its queue and of the window's events,
// and the end of the program. The messaging between the threads (window_send, window_post,
// game_post_pumping) is in process.h; a send made on the window thread itself runs
// window_message directly.
#pragma once

#include <cstdint>

#include "platform/message_queue.h"

namespace platform {
struct WindowEvent;
}  // namespace platform

// One event of the window (window thread). The pump calls it for SDL's events; tests call it
// with events of their own.
void window_handle_event(const platform::WindowEvent& event);
// The window thread's handler of its queue.
intptr_t window_message(const platform::Message& message);
// Serves the window thread's queue and window events once; when there was nothing, sleeps up
// to wait_ms (kPumpUntilEvent: until an event or a message arrives, or a cursor timer is due).
// Returns false once the window is gone.
constexpr uint32_t kPumpUntilEvent = 0xFFFFFFFFu;
bool window_pump(uint32_t wait_ms);

// Blocks or allows the screen saver by the display flags (window thread).
void window_apply_screensaver();

// The end of the program (window thread): debug windows, cursor, threads, window.
void end_program();
// Stops the work thread and then the game thread, waiting while serving the window queue.
void stop_threads();
