// The frame draw: the one place where the game thread hands a finished frame to the window.
#pragma once

// Draws and presents the active render list; skipped while a full-screen video plays or when
// another thread holds the render lock. Until the render list and the software renderer are
// wired in here, it presents a frame cleared to the clear colour. Game thread.
void frame_draw();
// Window thread: shows the frame that frame_draw handed over.
void frame_present_on_window();
