// One line of dialogue: the commands of group 0x02 that show a line (text and its seven
// siblings) and the steps they share. A line command takes the automatic save snapshot, stores
// its operands in the text window, stops a scene skip at unread text, draws speaker and message,
// marks the text read, starts the voice, writes the backlog entry and the save text, starts the
// reveal, shows the window and parks the script at its own return address. It never blocks:
// the window's per-frame update (text/window/text_wait.h) reveals the text, waits for the click
// and lets the script go on.
//
// Operands: voice a file reference (0x0FFFFFFF none); name and text text references (a Text.dat
// offset, whose entry's 4-byte head is the text's read id, or a string slot with id 0;
// 0x0FFFFFFF none); time ms (0 from the message speed, negative at once).
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace textlines {

using engine::TextWindow;
using engine::VmContext;

// The speaker of a name operand (at most 252 bytes): empty for none (0x0FFFFFFF or an empty
// text). Applies the speaker's name colour first, then replaces a name beginning with "/n" by
// the player's name.
std::string speaker_name_resolve(VmContext& vm, TextWindow& tw, uint32_t name_operand);
// The first used name-colour entry whose stored length and name equal name's gives the window's
// colour pair and the font colours. A stored length beyond the 32-byte name never matches.
void name_colour_apply(VmContext& vm, TextWindow& tw, const std::string& name);

// The font's colours become the window's saved and current colour pair.
void font_colours_read(TextWindow& tw);
// During a scene or history skip, ends the action slots marked to end under it.
void clear_marked_actions_when_skipping(VmContext& vm);

// Draws the speaker into the name sprite and writes it into the backlog (no speaker: the
// backlog's no-speaker name).
void text_set_name(VmContext& vm, TextWindow& tw, uint32_t name_operand);
// Draws the message (expanded) into the message sprite, marks it read, captures the reveal and
// writes the backlog text.
void text_set_message(VmContext& vm, TextWindow& tw, uint32_t text_operand);
// Starts the line's voice by the line-voice rules; a voice that plays, or that a character's
// setting keeps silent, is named in the window and the backlog.
void text_voice_start(VmContext& vm, TextWindow& tw, uint32_t voice_operand);
// Read flag of the window from the text's read bit, setting the bit. An unread text while
// skipping (with skip-unread off) posts script message 1 so the script can end the skip.
void text_mark_read(VmContext& vm, TextWindow& tw, uint32_t id);
// During a scene skip without target, an unread text stops the skip: the operands go back on the
// argument stack and the script is restored from a fresh snapshot at the command, which then
// shows the line normally. True when it stopped the command.
bool scene_skip_stop_at_unread(VmContext& vm, TextWindow& tw);
// Logs every entry of the return stack's call channel ("ret stack %08x %d/%d", key 10).
void ret_stack_dump(VmContext& vm);

// The read id of a text operand (0 for a string slot or none).
uint32_t text_id_of(VmContext& vm, uint32_t text_operand);

extern const engine::CommandList text_line_commands;
// set_history, set_history_ex and enable_history (set_history_command_list.h).
extern const engine::CommandList set_history_commands;

// Installs the line commands, the backlog-line commands and the window's voice name for the voice
// calls.
void text_lines_attach();

}  // namespace textlines
