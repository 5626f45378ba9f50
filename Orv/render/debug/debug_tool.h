// The debug tools of the window and what they share.
//
// In debug mode Ctrl+F11 opens the camera tool (debug_camera.h) and Shift+F11 the sprite tool
// (debug_sprite.h); either again, or Esc inside a tool, ends it. A tool is a blocking task
// linked right after the root task, so it stands before the main task and holds the whole game
// while it runs; each frame it takes the frame's input for itself and clears it, so the game
// never reacts to the keys used. At most one tool runs at a time. Each has a window of numbers
// over the corner of the game picture (debug_dialog.h, debug_panels.h).
//
// Thread: the game thread, under the render lock (debug_control takes it).
//
// Exports (orv/exports.h, "debug"; debug_exports.cpp), which belong with these tools and have
// nothing to do:
//   void OrvSpriteDebugList(void)     does nothing.
//   int32_t OrvSaveScreenShot(void)   writes nothing and returns 0.
#pragma once

#include <cstdint>

#include "orv/types.h"

// Which tool debug_control opens.
constexpr int32_t kDebugToolSprite = 1, kDebugToolCamera = 2;

// The debug control of the window (the request Ctrl+F11 or Shift+F11 makes): when a debug tool
// runs it ends; otherwise `which` opens that tool. Takes the render lock. True when a tool was
// opened or ended.
bool debug_control(int32_t which);
// Whether a debug tool runs now.
bool debug_control_open();

// For the tools themselves:
// Creates the tool's task in front of the game (data_size bytes of zeroed data, *data set) and
// records it as the running tool; 0 when it cannot be made.
OrvHandle debug_tool_start(void (*init)(void*), void (*end)(void*), uint32_t data_size,
                           const char* name, void** data);
// Called by a tool's end function: forgets the tool when it ended some other way than through
// debug_control (a task reset).
void debug_tool_ended(const void* data);
// The data of the running tool when it is the task named `name` (the pointer the tool was
// created with), else null.
void* debug_tool_data(const char* name);
