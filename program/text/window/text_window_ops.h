// What the text window does for the other parts of the game: create and release its sprites,
// show and hide it, switch and place the waiting icons, and log the current line.
//
// Images: the window uses the system image records (graphics/layers/image_record.h) 0 base
// image, 1-3 the icons (click wait, skip, auto), 4 message, 5 name, 6 page.
//
// Thread: the thread that runs the script, under the render lock like every sprite call.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace textwindow {

using engine::TextWindow;
using engine::VmContext;

constexpr uint32_t kImageBase = 0;
constexpr uint32_t kImageIcon0 = 1;
constexpr uint32_t kImageMessage = 4;
constexpr uint32_t kImageName = 5;
constexpr uint32_t kImagePage = 6;

// A size rounded up to the next power of two (0 stays 0; sizes above 2^30 stay as they are).
int32_t pow2_up(int32_t n);

// Makes the message image (system image 4, (width + char size + pitch) x height, each side
// raised to a power of two, at the text priority) and the name image (system image 5,
// 1024 x 64) anew, hidden, at the window's positions. False when a sprite cannot be made (the
// slot then stays empty).
bool text_window_sprites_create(VmContext& vm, TextWindow& tw);

// Loads the base image (slot 0) or icon slot - 1 (slots 1-3) from a file operand at (x, y)
// (both 0x0FFFFFFF: the position kept in the picture) as the window's base image or icon. The
// slot's old image is released first. False when the picture does not load (the slot is then
// empty).
bool text_window_image_load(VmContext& vm, TextWindow& tw, uint32_t slot, uint32_t file, int32_t x,
                            int32_t y);

// text_uninit: every image released at the next commit, the time-check task ended, the reveal
// buffers freed and the whole record cleared (the button group then reads 0).
void text_window_uninit(VmContext& vm);
// Script reset and shutdown: the same with the images released at once, and the button group
// set to none afterwards.
void text_window_free(VmContext& vm);

// Shows or hides the window: message, name (not in text mode 2), page and base sprites, the
// face layers, the current icon (shown only while the line waits for a click).
void text_window_show(VmContext& vm, TextWindow& tw, bool on);

// Makes `icon` the current waiting icon and shows it by the wait's state. Nothing changes
// (not even the number) while the current icon's slot is empty.
void text_icon_select(VmContext& vm, TextWindow& tw, uint32_t icon);

// Places the icons after the text (icon layout mode 1) or at their own places (mode 0); stops
// at the first empty slot; nothing while a scene or history skip runs.
void text_icons_place(VmContext& vm, TextWindow& tw);

// Shows or hides one icon's sprite (a slot without an image is left alone).
void text_icon_view(TextWindow& tw, uint32_t icon, bool on);

// The waiting icons' cell animations: each icon with an image steps through the cells across
// its sheet, made with the icon, restarted by the click that advances the text, and released
// with the icon. A stored time of 0 (saves made before the time was kept) means the default.
constexpr uint32_t kIconAnimationTime = 100;  // ms per cell
void text_icon_animation_create(engine::TextIcon& icon, uint32_t ms = kIconAnimationTime);
void text_icon_animation_reset(engine::TextIcon& icon);
void text_icon_animation_release(engine::TextIcon& icon);
// ms per cell of the icon's animation, 0 without one (the save block's value).
uint32_t text_icon_animation_time(const engine::TextIcon& icon);

// Starts the image's .ani slot when graphic.dat gave it one.
void text_image_ani_start(VmContext& vm, const layers::ImageRecord& image);

// The style buttons of the bound button group follow the line (name, voice).
void text_window_buttons_update(VmContext& vm, TextWindow& tw);

// True when the window has been made; else logs "text initialize error : <command>" (key 0),
// the refusal of every command that needs the window.
bool text_window_ready(VmContext& vm, const char* command);

// Logs "name=%s / voice=%s / %s" (key 0) with the current line; for script errors elsewhere.
void debug_print_current_line(VmContext& vm);

// A sprite of the window, 0 when the image is missing.
uint32_t text_sprite(const layers::ImageRecord* image);

}  // namespace textwindow
