// The command groups: one handler array per group, sized to the group's highest index + 1.
// Entries stay null until their command is built; the empty entries of a group (0x03: 0x00,
// 0x01, 0x0A; 0x08: 0x02; 0x0A: 0x12-0x14; 0x11: 0x16; 0x12: 0x00) stay null for good.
// A command's owner fills its entries from its command list at start-up (engine/command_list.h).
#include "engine/dispatch.h"

namespace engine {
namespace {

CommandHandler g02_text[0x44];
CommandHandler g03_layers[0x7E];
CommandHandler g04_music[0x1D];
CommandHandler g05_sound_effects[0x13];
CommandHandler g06_choices[0x0B];
CommandHandler g07_waits[0x0D];
CommandHandler g08_buttons[0x31];
CommandHandler g09_settings[0x45];
CommandHandler g0a_save[0x29];
CommandHandler g0b_movies[0x0E];
CommandHandler g0c_system_buttons[0x03];
CommandHandler g0d_voices[0x22];
CommandHandler g0e_backlog[0x1A];
CommandHandler g0f_debug[0x0E];
CommandHandler g10_screen_effects[0x06];
CommandHandler g11_actions[0x31];
CommandHandler g12_system[0xA6];
CommandHandler g13_layer_shaders[0x05];
CommandHandler g14_math[0x0F];
CommandHandler g15_script_thread[0x05];
CommandHandler g16_run[0x03];
CommandHandler g17_messages[0x03];

template <size_t N>
constexpr CommandGroup group(CommandHandler (&handlers)[N]) {
  return CommandGroup{handlers, static_cast<uint32_t>(N)};
}

}  // namespace

const CommandGroup command_group_table[kCommandGroupCount] = {
    {nullptr, 0},
    {nullptr, 0},
    group(g02_text),
    group(g03_layers),
    group(g04_music),
    group(g05_sound_effects),
    group(g06_choices),
    group(g07_waits),
    group(g08_buttons),
    group(g09_settings),
    group(g0a_save),
    group(g0b_movies),
    group(g0c_system_buttons),
    group(g0d_voices),
    group(g0e_backlog),
    group(g0f_debug),
    group(g10_screen_effects),
    group(g11_actions),
    group(g12_system),
    group(g13_layer_shaders),
    group(g14_math),
    group(g15_script_thread),
    group(g16_run),
    group(g17_messages),
};

}  // namespace engine
