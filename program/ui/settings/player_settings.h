// The player's settings that a game's configuration screen changes, the mouse cursor, the
// local date and time, and the text renderer's fonts.
//
// The settings live in the game state's SystemSettings and reach system.dat when the game
// writes it (save_system_data, the end of the run); start-up applies the window mode, the
// effects switch and the cursor hide time to the platform again. The fonts belong to the
// platform library and are not saved.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"
#include "platform/local_time.h"

namespace ui {

// get_date_value's and get_time_value's numbers: yyyymmdd and hhmmssmmm.
uint32_t date_value(const platform::LocalTime& t);
uint32_t time_value(const platform::LocalTime& t);

// A font file's name with ".dat" added when its last component has no extension (a '.' not
// followed by a separator or a blank), Shift-JIS aware. A name that would then no longer fit
// a path of 260 bytes is kept as it is.
std::string font_name_with_extension(std::string name);

// The file reference resolved into a name, the File.dat entry marked seen when mark is set.
std::string resolve_file_name(engine::VmContext& vm, uint32_t reference, bool mark);

// Handlers; arguments, results and logs in settings_command_list.h.
uint32_t cmd_auto_set_time(engine::VmContext& vm);
uint32_t cmd_auto_get_time(engine::VmContext& vm);
uint32_t cmd_set_window_mode(engine::VmContext& vm);
uint32_t cmd_set_skip_unread(engine::VmContext& vm);
uint32_t cmd_set_effect_enable(engine::VmContext& vm);
uint32_t cmd_get_window_mode(engine::VmContext& vm);
uint32_t cmd_get_skip_unread(engine::VmContext& vm);
uint32_t cmd_is_effect_enable(engine::VmContext& vm);
// get_local_date (year, month, day variables): the three must be TempMemory indexes; any other
// value logs a key-0 line and nothing is stored.
uint32_t cmd_get_local_date(engine::VmContext& vm);
uint32_t cmd_clear_user_memory(engine::VmContext& vm);
uint32_t cmd_set_cursor(engine::VmContext& vm);
uint32_t cmd_set_hide_cursor_time(engine::VmContext& vm);
uint32_t cmd_get_hide_cursor_time(engine::VmContext& vm);
uint32_t cmd_get_date_value(engine::VmContext& vm);
uint32_t cmd_get_time_value(engine::VmContext& vm);

uint32_t cmd_load_font(engine::VmContext& vm);
uint32_t cmd_unload_font(engine::VmContext& vm);
uint32_t cmd_set_font_type(engine::VmContext& vm);
uint32_t cmd_set_font_color(engine::VmContext& vm);
uint32_t cmd_load_font_ex(engine::VmContext& vm);
uint32_t cmd_set_font_size(engine::VmContext& vm);
uint32_t cmd_get_font_size(engine::VmContext& vm);
uint32_t cmd_get_font_type(engine::VmContext& vm);
uint32_t cmd_set_font_effect(engine::VmContext& vm);
uint32_t cmd_get_font_effect(engine::VmContext& vm);
uint32_t cmd_get_font_color(engine::VmContext& vm);
uint32_t cmd_set_font_mem_type(engine::VmContext& vm);
uint32_t cmd_delete_font_mem_type(engine::VmContext& vm);
uint32_t cmd_delete_all_font_mem_type(engine::VmContext& vm);

extern const engine::CommandList player_settings_commands;
extern const engine::CommandList font_commands;

}  // namespace ui
