// Every command list of the game program, for the script assembler's name table
// (tools/vmasm/command_names.cpp). A subsystem that brings commands adds its list header and
// one line here, beside its line in subsystems.cpp.
//
// Includes are rooted at the source tree so that the assembler, which links none of the game,
// finds them too.
#pragma once

#include "program/commands/access_flag_command_list.h"
#include "program/commands/data_file_command_list.h"
#include "program/commands/debug_command_list.h"
#include "program/commands/file_command_list.h"
#include "program/commands/ini_command_list.h"
#include "program/commands/math_command_list.h"
#include "program/commands/memory_block_command_list.h"
#include "program/commands/string_command_list.h"
#include "program/commands/system_command_list.h"
#include "program/engine/thread_command_list.h"
#include "program/engine/wait_command_list.h"
#include "program/graphics/layers/layer_command_list.h"
#include "program/graphics/layers/run_command_list.h"
#include "program/movie/movie_command_list.h"
#include "program/save/save_command_list.h"
#include "program/text/lines/text_line_command_list.h"
#include "program/text/sound/music_command_list.h"
#include "program/text/sound/sound_command_list.h"
#include "program/text/sound/voice_command_list.h"
#include "program/text/window/text_window_command_list.h"
#include "program/ui/buttons/button_command_list.h"
#include "program/ui/buttons/system_button_command_list.h"
#include "program/ui/choices/select_command_list.h"
#include "program/ui/dialogs/dialog_command_list.h"
#include "program/ui/input/input_command_list.h"
#include "program/ui/name_entry/name_entry_command_list.h"
#include "program/ui/settings/settings_command_list.h"
#include "program/ui/system/skip_mode_command_list.h"

// X(list) for each list macro; list(Y) then expands to Y(id, name, argc, handler, description)
// per command.
// clang-format off
#define VELMORA_COMMAND_LISTS(X) \
  X(WAIT_COMMANDS)               \
  X(DEBUG_COMMANDS)              \
  X(STRING_COMMANDS)             \
  X(FILE_COMMANDS)               \
  X(INI_COMMANDS)                \
  X(DATA_FILE_COMMANDS)          \
  X(ACCESS_FLAG_COMMANDS)        \
  X(SYSTEM_COMMANDS)             \
  X(MEMORY_BLOCK_COMMANDS)       \
  X(MATH_COMMANDS)               \
  X(THREAD_COMMANDS)             \
  X(MESSAGE_COMMANDS)            \
  X(LAYER_COMMANDS)               \
  X(RUN_COMMANDS)                \
  X(MUSIC_COMMANDS)              \
  X(SOUND_COMMANDS)              \
  X(VOICE_COMMANDS)              \
  X(BUTTON_COMMANDS)             \
  X(SYSTEM_BUTTON_COMMANDS)      \
  X(SELECT_COMMANDS)             \
  X(TEXT_WINDOW_COMMANDS)        \
  X(TEXT_LINE_COMMANDS)          \
  X(MOVIE_COMMANDS)              \
  X(SAVE_COMMANDS)               \
  X(SKIP_MODE_COMMANDS)          \
  X(KEY_INPUT_COMMANDS)          \
  X(PLAYER_SETTINGS_COMMANDS)    \
  X(FONT_COMMANDS)               \
  X(MEMORY_STACK_COMMANDS)       \
  X(DIALOG_COMMANDS)             \
  X(NAME_ENTRY_COMMANDS)
// clang-format on
