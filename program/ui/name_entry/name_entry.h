// Player-name entry: a text box over the game picture in which the player types the hero's
// name, checked by the script and kept in the game state's PlayerNameBlock (saved with every
// save; the text puts it where a line names the player).
//
// The script opens the box at a place and size of its own screen (player_name_set_begin), asks
// for the entry to be checked (player_name_set_check: full-width characters only, not only
// blanks, at most the 32 bytes the name holds) and closes it (player_name_set_end), which keeps
// an accepted entry as the name. The box follows the window: player_name_relayout places it
// again after the window's size or mode changed.
//
// The box itself is a NameBoxHost, a table of functions: by default the library's edit box over
// the game picture (OrvWidgetCreate); tests put in their own. Creating, moving and destroying it
// run on the window thread (OrvAttachProcess).
//
// Thread: the thread that runs the script (the host's window calls as said above).
#pragma once

#include <cstdint>
#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// A box's rectangle and font size, in window pixels.
struct NameBoxPlace {
  int32_t x, y, width, height, font_size;
};

struct NameBoxHost {
  // Makes the box (hidden, empty) with a bold face: Mincho for font type 1, else Gothic; full-
  // width Japanese input on. 0 when it cannot be made. Window thread.
  uint32_t (*create)(const NameBoxPlace& place, int32_t font_type);
  // Window thread, or the thread of a script reset or shutdown.
  void (*destroy)(uint32_t box);
  // Moves the box and makes its font again for the new size. Window thread.
  void (*move)(uint32_t box, const NameBoxPlace& place, int32_t font_type);
  void (*set_text)(uint32_t box, const std::string& sjis);
  // The box's text, at most max bytes, Shift-JIS.
  std::string (*get_text)(uint32_t box, size_t max);
  // Shows the box and gives it the keyboard focus.
  void (*show)(uint32_t box);
  void (*beep)();
};
extern NameBoxHost name_box_host;

// The open box.
struct NameEditWindow {
  uint32_t hBox;
  uint32_t dwState;  // 1 open, 2 entry accepted
  int32_t nRefWidth, nRefHeight;
  uint32_t dwRefMode;  // 1 full screen, 0 window
  NameBoxPlace given;  // as the script gave it, in screen coordinates
  NameBoxPlace placed;
};
constexpr uint32_t kNameBoxOpen = 1;
constexpr uint32_t kNameBoxAccepted = 2;

// The open box of the machine, null when none.
NameEditWindow* name_edit_window(engine::VmContext& vm);

// Places the box again for the window's client size and mode; false when they are those of the
// last placement. sx = client width / screen width, sy likewise (32-bit floats); in full screen
// the picture's origin is added.
bool name_box_place(NameEditWindow& w, int32_t screen_width, int32_t screen_height);

// Whether a checked entry is accepted: two-byte characters only (lead bytes 0x81-0x9F,
// 0xE0-0xFC), not empty, not only full-width blanks, at most 32 bytes.
bool player_name_acceptable(const std::string& text);

// Closes an open box at once on the calling thread (script reset, shutdown).
void player_name_window_destroy(engine::VmContext& vm);

uint32_t cmd_player_name_set_begin(engine::VmContext& vm);
uint32_t cmd_player_name_set_check(engine::VmContext& vm);
uint32_t cmd_player_name_set_end(engine::VmContext& vm);
uint32_t cmd_player_name_reset(engine::VmContext& vm);
uint32_t cmd_player_name_relayout(engine::VmContext& vm);
uint32_t cmd_player_name_set_direct(engine::VmContext& vm);
uint32_t cmd_is_playername(engine::VmContext& vm);
uint32_t cmd_player_name_get_str(engine::VmContext& vm);

extern const engine::CommandList name_entry_commands;

}  // namespace ui
