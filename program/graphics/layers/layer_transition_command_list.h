// The layer transition commands (group 0x03): a layer fades from its picture to a new one, or
// fades out and is cleared. They prepare the transition in the layer; the next commit starts
// it (run: at once behind the screen transition, run_no_wait: over its own time). While
// skipping, or with screen effects off, the change is made at the commit without a fade.
// Types: 0 and 2 plain, 1 cross-fade.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_TRANSITION_COMMANDS(X)                                             \
  X(0x03000d, "sp_cls_transition", 3, cmd_sp_cls_transition,                     \
    "fades the layer's picture out over ms (type), then clears the layer")       \
  X(0x030032, "sp_set_transition", 4, cmd_sp_set_transition,                     \
    "loads file into the layer and fades from the old picture to it (type, ms)") \
  X(0x030033, "sp_copy_image", 1, cmd_sp_copy_image,                             \
    "keeps the layer's picture aside as the source of the next sp_transition")   \
  X(0x030034, "sp_transition", 3, cmd_sp_transition,                             \
    "fades from the picture kept by sp_copy_image to the layer's picture (type, ms)")
