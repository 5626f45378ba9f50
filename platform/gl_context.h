// An OpenGL 3.3 core context over SDL, for the GL renderer.
//
// The context is created on the window thread (the thread that made the window), released
// there, and made current on the drawing thread for as long as it draws; a GL call on a thread
// where it is not current is a fault (gl_context_current_here checks it in debug builds). With
// no 3.3 core context to be had (SDL's dummy driver, an old driver) creation fails with SDL's
// reason and the caller draws in software.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct Window;
struct GlContext;

// A 3.3 core context on `window`, which must have been made with GL (WindowDesc::try_gl and
// *with_gl true). Left current on the calling thread. Null with the reason in *error.
GlContext* gl_context_create(Window* window, std::string* error);
// A context on a hidden window of its own of width x height pixels, for tests and tools that
// draw without a game window (video must be started: video_init). Null with the reason.
GlContext* gl_context_create_hidden(int32_t width, int32_t height, std::string* error);
// Deletes the context (and the hidden window of gl_context_create_hidden). Call it on the
// thread where the context is current, or where none is. Null does nothing.
void gl_context_destroy(GlContext* context);

// Makes the context current on the calling thread (false with SDL's reason when it cannot), or
// releases it from the calling thread.
bool gl_context_make_current(GlContext* context, std::string* error);
void gl_context_release(GlContext* context);
// Whether `context` is current on the calling thread.
bool gl_context_current_here(const GlContext* context);

// Shows the default framebuffer (the window's back buffer). Drawing thread.
void gl_context_swap(GlContext* context);
// Waits for the display's refresh on each swap (interval 1) or not (0). False when the driver
// refuses. Drawing thread.
bool gl_context_set_swap_interval(GlContext* context, int32_t interval);
// The window's drawable in pixels (the default framebuffer's size).
void gl_context_drawable_size(GlContext* context, int32_t* width, int32_t* height);

// The GL_VERSION, GL_RENDERER strings of the current context, for the log.
std::string gl_context_description();

}  // namespace platform
