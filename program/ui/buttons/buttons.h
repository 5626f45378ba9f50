// Script buttons: 16 groups of up to 128 buttons on the platform's button groups.
//
// A button is a plane image (record 144 + 128 g + n) entered into its group's platform button
// group, which does the hit test, the hover and pressed cells and the sounds. This side keeps
// the labels a click, a hover and a leave call, turns the platform's per-frame report into
// script calls, and holds the group locks, the shared reaction pause, sliders and followers.
//
// Labels are code offsets; a call pushes a return entry {pc, kind} on channel 2 of the return
// stack (kind 1 for a click, 0 for a hover or leave) and moves the pc to the label.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// Followers, indexed by group x 128 + child number; cleared by the script reset.
extern engine::ButtonFollow button_follow_table[engine::kButtonGroups * engine::kButtonsPerGroup];

// The per-frame reaction: true when a click finished or is still in progress this frame (the
// caller then runs the script as a button event). Hover and leave labels are entered but do
// not count. Nothing happens while the reaction pause runs.
bool btn_update(engine::VmContext& vm);
// Enters the leave label of an entry, when it has one.
void btn_off_mouse_run(engine::VmContext& vm, engine::ButtonEntry& entry);
// True when this frame's decide click lies on a switched-on button of any group.
bool btn_any_hit(engine::VmContext& vm);
// The text window's calls: shows or hides button no (-1 all) of a group (0 for a bad group);
// switches a button on or off at a cell row; resets a button (disabled, row 3). A missing
// button does nothing.
int32_t btn_view_ctrl(engine::VmContext& vm, int32_t group, int32_t no, int32_t show);
void btn_ctrl_set_pos(engine::VmContext& vm, int32_t group, int32_t no, int32_t on, int32_t row);
void btn_reset(engine::VmContext& vm, int32_t group, int32_t no);
// Shows button no of a group from base cell row `row` on (the skip and auto switches light
// their buttons this way). False, with nothing changed, when the button has no image.
bool btn_set_base_row(engine::VmContext& vm, int32_t group, int32_t no, int32_t row);
// The button number registered for a style in a group, -1 for none or a style without field.
int32_t btn_style_get(engine::VmContext& vm, int32_t group, int32_t style);
// Releases every group with its images and sounds; clears the run-skip flag.
void btn_release_all(engine::VmContext& vm);
// Followers take their parents' transforms (once per frame, after the layer update).
void button_follow_update(engine::VmContext& vm);
void button_follow_table_clear(engine::VmContext& vm);
// The commit of a queued button request (0x80003 show on set and start the image's waiting
// animation, 0x80004 hide, 0x80005 show, 0x8000d toggle row).
void button_display_op(engine::VmContext& vm, uint32_t id, const uint32_t* args);

// Starts the reaction pause of the buttons and system buttons.
void button_pause(engine::VmContext& vm, uint32_t ms);

extern const engine::CommandList button_commands;

}  // namespace ui
