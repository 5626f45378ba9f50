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
#include "program/graphics/actions/action_command_list.h"
#include "program/graphics/animations/anim_command_list.h"
#include "program/graphics/effects/layer_shader_command_list.h"
#include "program/graphics/effects/screen_effect_command_list.h"
#include "program/graphics/layers/image_file_command_list.h"
#include "program/graphics/layers/image_op_command_list.h"
#include "program/graphics/layers/layer_attr_command_list.h"
#include "program/graphics/layers/layer_command_list.h"
#include "program/graphics/layers/layer_effect_command_list.h"
#include "program/graphics/layers/layer_text_command_list.h"
#include "program/graphics/layers/layer_transition_command_list.h"
#include "program/graphics/layers/pixel_command_list.h"
#include "program/graphics/layers/run_command_list.h"
#include "program/graphics/particles/particle_command_list.h"
#include "program/movie/movie_command_list.h"
#include "program/save/save_command_list.h"
#include "program/text/history/backlog_command_list.h"
#include "program/text/lines/set_history_command_list.h"
#include "program/text/lines/text_line_command_list.h"
#include "program/text/sound/bgv_command_list.h"
#include "program/text/sound/music_command_list.h"
#include "program/text/sound/se_command_list.h"
#include "program/text/sound/sound_command_list.h"
#include "program/text/sound/spectrum_command_list.h"
#include "program/text/sound/voice_command_list.h"
#include "program/text/tips/favourite_command_list.h"
#include "program/text/tips/tips_command_list.h"
#include "program/text/tips/tips_dictionary_command_list.h"
#include "program/text/window/text_settings_command_list.h"
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
  X(LAYER_ATTR_COMMANDS)         \
  X(IMAGE_OP_COMMANDS)           \
  X(LAYER_TRANSITION_COMMANDS)   \
  X(PIXEL_COMMANDS)              \
  X(LAYER_EFFECT_COMMANDS)       \
  X(IMAGE_FILE_COMMANDS)         \
  X(LAYER_SHADER_COMMANDS)       \
  X(LAYER_TEXT_COMMANDS)         \
  X(RUN_COMMANDS)                \
  X(ACTION_COMMANDS)             \
  X(ANIM_LAYER_COMMANDS)         \
  X(SCREEN_EFFECT_COMMANDS)      \
  X(PARTICLE_COMMANDS)           \
  X(MUSIC_COMMANDS)              \
  X(SOUND_COMMANDS)              \
  X(SPECTRUM_COMMANDS)           \
  X(VOICE_COMMANDS)              \
  X(BGV_COMMANDS)                \
  X(SE_COMMANDS)                 \
  X(BUTTON_COMMANDS)             \
  X(SYSTEM_BUTTON_COMMANDS)      \
  X(SELECT_COMMANDS)             \
  X(TEXT_WINDOW_COMMANDS)        \
  X(TEXT_SETTINGS_COMMANDS)      \
  X(TIPS_COMMANDS)               \
  X(TIPS_DICTIONARY_COMMANDS)    \
  X(FAVOURITE_COMMANDS)          \
  X(TEXT_LINE_COMMANDS)          \
  X(SET_HISTORY_COMMANDS)        \
  X(BACKLOG_COMMANDS)            \
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
