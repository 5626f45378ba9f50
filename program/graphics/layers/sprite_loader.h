// Loading a sprite from an image name without extension, or from a colour name "#AARRGGBB".
//
// A colour name gives a width x height sprite filled with the colour. Any other name is tried
// with the extensions ".vkx", ".mpg", ".tga", ".bmp", ".png", ".jpg" in this order; the first
// file found wins. While a scene or history skip runs nothing is decoded: the names become
// pixel-less sprite records that keep only the size (from the platform's sprite-info cache
// when it has the name).
//
// Result: the sprite id, or 0 after the line "sprite load error [name]" (or, when a difference
// image was found but not its base, "sprite base load error [base]"), debug log key 0.
// Thread: the game thread, or the work thread (see the unlocked variant).
#pragma once

#include <cstdint>

namespace engine {
struct VmContext;
}

namespace layers {

uint32_t sprite_load_by_name(engine::VmContext& vm, const char* name, int32_t width, int32_t height,
                             int32_t priority);
// The same with the skip state given (true: pixel-less records); touches no script state, so
// the asynchronous loader calls it on the work thread.
uint32_t sprite_load_by_name_as(const char* name, int32_t width, int32_t height, int32_t priority,
                                bool skipping);
// On the platform work thread, leaves the render lock around the load so that frames go on
// while the file is read and decoded; elsewhere the same as sprite_load_by_name.
uint32_t sprite_load_by_name_unlocked(engine::VmContext& vm, const char* name, int32_t width,
                                      int32_t height, int32_t priority);

// The colour of a colour text: hexadecimal digits, either case, until the first other byte.
uint32_t parse_color(const char* text);

}  // namespace layers
