// The debug camera tool: in debug mode Ctrl+F11 opens it, and while it runs the keyboard moves
// the camera that the GPU renderer sees its 3D sprites through (Renderer::set_camera) instead
// of reaching the game.
//
// The tool is a blocking task "OrvCameraCtrlTask" linked right after the root task, so it
// stands before the main task and holds the whole game while it runs. Each frame, with the
// held keys and d = 1/600:
//   Shift + Up / Down      eye y + d / - d;       Shift + Left / Right   eye x - d / + d
//   Ctrl + Up / Down       eye z - d / + d
//   Up / Down              eye and rotation base z - d / + d (moving in and out)
//   Left / Right           the angle (512 a turn) one step down / up, wrapped into 0..511; the
//                          target becomes (cos(angle) + base x, its y, base z - sin(angle))
// The rotation base starts as the target. The view is then set from the live eye, target and
// up, and the frame's input words are cleared so that the game does not see the keys. Esc, or
// Ctrl+F11 again, ends the tool; its end sets the camera back to what it was at the start.
// (The tool has no window of numbers beside the game: there is no dialog toolkit here.)
//
// With a renderer that has no camera (the software renderer) the tool does not open.
//
// Thread: the game thread, under the render lock (the toggle takes it).
#pragma once

#include <cstdint>

struct CameraTool {
  float start_eye[3], start_at[3], start_up[3];  // the camera at the start
  float eye[3], at[3], up[3];                    // the live camera
  float base[3];                                 // the rotation base
  float step[3];                                 // (0, 0, d)
  int32_t angle;                                 // 0..511
};

// One frame of the tool's keys (held: the held word, pushed: the pushed word of KeyBits) on
// the live camera; true when Esc was pushed (the tool is to end).
bool camera_tool_apply(CameraTool* tool, uint32_t held, uint32_t pushed);

// The debug control of the window (the request Ctrl+F11 or Shift+F11 makes): when a debug tool
// runs it ends; otherwise `which` 2 opens the camera tool (1, the sprite tool, is not there).
// Takes the render lock. True when a tool was opened or ended.
bool debug_control(int32_t which);
// Whether a debug tool runs now.
bool debug_control_open();
