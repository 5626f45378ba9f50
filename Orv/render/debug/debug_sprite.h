// The debug sprite tool: in debug mode Shift+F11 opens it (debug_tool.h says how the tools
// stand in front of the game). It lets the developer pick the front-most sprite under the mouse
// and move, rotate and scale it by hand while its window (102) shows the numbers.
//
// The tool is the task "OrvSpriteCtrlTask". Each frame:
// - Nothing picked: a left-button push picks the front-most visible sprite under the mouse
//   (OrvSpriteGetForeground, rectangle test) and takes its name, priority, position, colour,
//   rotation and scale as the base; the cursor becomes the hand while the tool runs.
// - Picked: the sprite blinks (alpha sin(pi * (phase mod 256) / 256) * 255 over the colour it
//   had, phase + 2 a frame). Moving the mouse with the left button held drags it. With Shift:
//   A / D turn it about z (+1 / -1), U / O about x, J / L about y, each offset kept modulo the
//   sprite's rotation unit (512 when that is 0), and Up / Down move it in z (-1 / +1); without
//   Shift Up / Down / Left / Right move it a pixel. The wheel scales it by 0.01 a notch (towards
//   the user larger). The sprite's position is base + offset (its render node follows the
//   depth), both scales the scale. A right-button push gives the sprite its colour back, clears
//   the offsets and lets go of it where it stands.
// - Esc, or Shift+F11 again, ends the tool: a sprite still held gets its colour back and the
//   library's own cursor returns.
// The frame's input words are cleared every frame, so the game does not react to the keys.
//
// Thread: the game thread, under the render lock.
#pragma once

#include <cstdint>

#include "Orv/render/debug/debug_dialog.h"
#include "Orv/render/debug/debug_tool.h"
#include "orv/types.h"

struct SpriteTool {
  OrvHandle sprite;      // the picked sprite, 0 when none
  uint32_t phase;        // blink phase
  uint32_t saved_color;  // ARGB the sprite had when picked
  int32_t base[3];       // position when picked (truncated)
  int32_t move[3];       // offsets added by the tool
  int32_t rotation[3];   // rotation when picked (truncated)
  int32_t turn[3];       // rotation offsets
  float scale;
  int32_t priority;
  char name[260];
  bool hand;  // the hand cursor is shown
};

// Fills the tool's window: mouse 1001-1002, base position 1003, 1004, 1010, offsets 1005,
// 1006, 1011, their sums 1007, 1008, 1012, scale x 100 1009, name 1013, priority 1016, base
// rotation 1018-1020 and its offsets 1021-1023. Without a picked sprite only the mouse is
// given, unless `all` (the window's first filling). Returns the number of fields (at most 20).
constexpr int32_t kSpriteToolFields = 20;
int32_t sprite_tool_fields(const SpriteTool& tool, int32_t mouse_x, int32_t mouse_y, bool all,
                           DebugDialogField* fields);

// Opens the tool (debug_control does, under the render lock); false when its task cannot be
// made.
bool open_sprite_tool();
