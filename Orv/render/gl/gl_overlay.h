// The library's edit boxes and dialogs (Orv/core/widgets/widgets.h) over the frame the GL peer
// shows.
//
// The widgets draw themselves into straight-alpha pictures; the GL peer lays them over the
// window's framebuffer after the game picture, before the swap. Each picture is a texture of
// its own, uploaded again only when its widget drew a new picture: a frame with no widget shown
// uploads and draws nothing (and the textures are let go).
//
// A modal dialog run by a script command holds the game thread, which is the thread that shows
// GL frames; while it waits for the player (OrvWidgetWait) it shows the last frame again with
// the widgets over it, through gl_show_widgets_now, and again at each change of their
// pictures. A dialog waited for on the work thread (whose script holds the render lock, so that
// no frame is drawn) is shown by the game thread's frame draw through
// gl_show_widgets_over_held_frame.
//
// Thread: the game thread, with the GL peer's context current; the widgets' records are read
// under their own lock.
#pragma once

#include <cstdint>

struct GlRenderer;

// Draws the shown widgets' pictures, bottom first, over the window's framebuffer (bound, width x
// height pixels, row 0 the bottom), each blended by its straight alpha at its place in the
// client area.
void gl_draw_overlays(GlRenderer* gl, int32_t width, int32_t height);

// Forgets the widgets' textures at the peer's close, deleting them when its context is current
// here (otherwise they went, or go, with the context).
void gl_overlays_release(GlRenderer* gl);

// Shows the last frame again with the widgets over it and swaps. False (nothing done) on a
// thread where the GL peer does not draw, without the GL peer, after a failed present, or while
// another thread holds the render lock.
bool gl_show_widgets_now();

// The same for the frame draw while another thread holds the render lock because it waits in a
// dialog (RenderState::dialog_waits_locked): that thread changes nothing meanwhile, so the last
// frame is shown without the lock.
bool gl_show_widgets_over_held_frame();
