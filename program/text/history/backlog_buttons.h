// The history window's buttons: a face button (kind 0) and a jump button (kind 1) per page
// line, entered as button `line` of a script button group. They work as every script button:
// the button system hit-tests them and calls their click and hover labels.
//
// Thread: the thread that runs the script, under the render lock.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace backlog {

// Makes button `no` of script group `group` from an image name at (x, y): a button already
// there is deleted first; a graphic.dat record replaces the name by its load name and raises
// the priority (base - no + 4866) by 134 x its priority step; the image is plane record
// group x 128 + no, entered in the group's platform group, given its display defaults and
// shown. Labels are label numbers (0 none). Null when the group or number is out of range, the
// group has not been made, or the picture does not load.
layers::ImageRecord* history_button_create(engine::VmContext& vm, uint32_t group, uint32_t no,
                                           const char* name, int32_t x, int32_t y,
                                           uint32_t click_label, uint32_t hover_label);

// Deletes button `no` of a group; when it is the group's hovered button its leave label runs
// first and the hover ends.
void history_button_delete(engine::VmContext& vm, uint32_t group, uint32_t no);

}  // namespace backlog
