// The pixel access commands (group 0x03): single pixels, a tint of a rectangle, and raw access
// to a layer's locked pixels (4 bytes a pixel: blue, green, red, alpha; rows of width x 4).
// sp_lock_pixels hands out a buffer value for the layer; the peek, poke and copy commands take
// it back with a byte offset and stay inside that layer's locked pixels. Nothing here is
// recorded: a loaded game shows the layer's picture without these changes.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define PIXEL_COMMANDS(X)                                                                   \
  X(0x030040, "sp_get_pixel", 3, cmd_sp_get_pixel, "the ARGB of pixel x, y (0 outside)")    \
  X(0x030041, "sp_set_pixel", 4, cmd_sp_set_pixel, "sets pixel x, y to an ARGB colour")     \
  X(0x03004b, "sp_peek8", 3, cmd_sp_peek8, "the byte at buffer + offset of a locked layer") \
  X(0x03004c, "sp_peek32", 3, cmd_sp_peek32, "the 32-bit word at buffer + offset")          \
  X(0x03004d, "sp_poke8", 4, cmd_sp_poke8, "writes a byte at buffer + offset")              \
  X(0x03004e, "sp_poke32", 4, cmd_sp_poke32, "writes a 32-bit word at buffer + offset")     \
  X(0x03004f, "sp_memcpy", 7, cmd_sp_memcpy,                                                \
    "copies bytes between two locked layers: layer, buffer, offset for each side, count")   \
  X(0x030050, "sp_lock_pixels", 3, cmd_sp_lock_pixels,                                      \
    "locks the layer's pixels: buffer value and width into two TempMemory cells")           \
  X(0x030051, "sp_unlock_pixels", 1, cmd_sp_unlock_pixels, "unlocks the layer's pixels")    \
  X(0x030056, "sp_memcpy_channel", 7, cmd_sp_memcpy_channel,                                \
    "copies one byte per pixel (the offset picks the channel), wrapping the source")        \
  X(0x03005d, "sp_update_argb", 6, cmd_sp_update_argb,                                      \
    "multiplies the pixels of rectangle x, y, w, h by an ARGB factor")
