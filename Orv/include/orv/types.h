// Value types shared by the platform library and the game program.
//
// Handles are 32-bit: every object that Orv gives out and the game may keep (tasks, lists,
// sprites, render nodes, fonts, ...) is named by a nonzero id from one generation-checked
// table (Orv/core/handle_table.h). A stale or foreign id finds nothing, so a call with it
// fails like a call with a null handle; it never reaches freed memory. Sound handles are
// encoded numbers (group in the top four bits, channel index below) and are not table ids.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orv/start_params.h"

using OrvHandle = uint32_t;  // 0 is the null handle
using OrvBool = int32_t;     // nonzero for success, 0 for failure

// A Win32-style file handle: a file descriptor of our platform layer, -1 when invalid.
using OrvFileHandle = int32_t;
constexpr OrvFileHandle kOrvInvalidFile = -1;

// A Win32 RECT: left, top, right, bottom; right and bottom are exclusive.
struct OrvRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
static_assert(sizeof(OrvRect) == 16, "a RECT is four 32-bit edges");

// Step and end functions of a task; they receive the task's data block.
using OrvTaskProc = void (*)(void* data);

// Called by OrvFileFind for each entry found: its name (Shift-JIS, valid during the call) and
// whether it is a folder.
using OrvFileFindProc = void (*)(const char* name, int32_t is_folder, void* context);

// Where a file's data lies inside the handle that OrvFileCreate returned: 0..size for a loose
// file, the member's place for a file inside a .pac archive. All fields are bytes.
struct FileRange {
  uint32_t offset;  // absolute position of the data in the opened file
  uint32_t end;     // offset + size
  uint32_t size;    // size of the data
};
// A game pad's state as XInput reports it: button bits (0x0001 pad up, 0x0002 down, 0x0004
// left, 0x0008 right, 0x0010 start, 0x0020 back, 0x0040 left stick, 0x0080 right stick, 0x0100
// left shoulder, 0x0200 right shoulder, 0x1000 A, 0x2000 B, 0x4000 X, 0x8000 Y), triggers
// 0-255 and sticks -32768..32767 with up and right positive.
struct OrvPadState {
  uint16_t wButtons;
  uint8_t bLeftTrigger;
  uint8_t bRightTrigger;
  int16_t sThumbLX;
  int16_t sThumbLY;
  int16_t sThumbRX;
  int16_t sThumbRY;
};
static_assert(sizeof(OrvPadState) == 12, "XINPUT_GAMEPAD's layout");

#include "orv/animation_types.h"
#include "orv/button_types.h"
#include "orv/render_types.h"
#include "orv/sound_types.h"
