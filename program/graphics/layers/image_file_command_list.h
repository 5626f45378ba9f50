// The image-file commands (group 0x12): a layer's picture written to an image file, or an
// image file painted into it, by a path the script gives (relative to the program folder).
// The painted file is not remembered: a loaded game shows the layer's own file again.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define IMAGE_FILE_COMMANDS(X)                                                               \
  X(0x12002b, "save_jpeg", 2, cmd_save_jpeg, "writes the layer's picture as a JPEG file")    \
  X(0x12002d, "save_png", 2, cmd_save_png, "writes the layer's picture as a PNG with alpha") \
  X(0x120030, "load_file_texture", 2, cmd_load_file_texture,                                 \
    "paints an image file from the disk into the layer's picture; 1 done, 0 not")            \
  X(0x120087, "save_png24", 2, cmd_save_png24, "writes the layer's picture as a PNG without alpha")
