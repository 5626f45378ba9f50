#include "text/lines/text_async.h"

#include <cstring>
#include <string>

#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/history/history_write.h"
#include "text/lines/text_line.h"
#include "text/sound/sound_load.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voice_load_async.h"
#include "text/sound/voice_mix_list.h"
#include "text/sound/voices.h"
#include "text/window/text_page.h"
#include "text/window/text_wait.h"
#include "text/window/text_window_ops.h"

namespace textlines {
namespace {

using engine::TextWindow;
using engine::VmContext;

// The operands of the line being loaded.
struct AsyncTextArgs {
  VmContext* vm;
  uint32_t voice;
  uint32_t name;
  uint32_t text;
  int32_t time;
  uint32_t mode;
};

uint32_t g_async_voice = 0;  // text_set_async_voice
AsyncTextArgs g_args{};
char g_skip_voice[32] = {};  // a voice passed over while skipping: the line still names it

void copy_field(char* field, size_t size, const std::string& text) {
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

std::string voice_name_of(VmContext& vm, uint32_t operand) {
  uint8_t buffer[260] = {};
  engine::get_file_name_operand(vm, buffer, sizeof buffer, operand, 1);
  const char* resolved = reinterpret_cast<const char*>(buffer);
  return std::string(resolved, strnlen(resolved, engine::kTextVoiceBytes));
}

void voice_cut_rule(VmContext& vm) {
  if (vm.sound.bVoiceCut) engine::line_voices_clear(vm);
}

// Ends the previous line's voices and posts the load of this one; false when nothing is loaded
// (no voice, a prefix-rule voice without its file, or a voice passed over while skipping).
bool text_voice_start_async(VmContext& vm, TextWindow& tw, uint32_t voice) {
  std::memset(g_skip_voice, 0, sizeof g_skip_voice);
  std::memset(tw.szVoice, 0, sizeof tw.szVoice);
  if (voice == engine::kNoText) {
    voice_cut_rule(vm);
    return false;
  }
  const std::string name = voice_name_of(vm, voice);
  const size_t prefix = sizeof engine::kVoicePrefix - 1;
  if (name.compare(0, prefix, engine::kVoicePrefix) == 0 && !vm.sound.bVoicePrefixPresent) {
    voice_cut_rule(vm);
    return false;
  }
  engine::line_voices_clear(vm);
  vm.sound.dwVoiceWaitMask = 0;
  if (name.empty()) {
    voice_cut_rule(vm);
    return false;
  }
  if (engine::get_skip_state(vm) & engine::kSkipSkipping) {
    if (engine::voice_check_word(vm)) {
      std::vector<std::string> entries;
      engine::voice_mix_list_read(name, &entries);  // read through, nothing loaded
    }
    copy_field(g_skip_voice, sizeof g_skip_voice, name);
    return false;
  }
  engine::voice_async_load_start(vm, name);
  return true;
}

// The line's speaker and message, drawn once the voice is there (or at once without one).
void draw_line(VmContext& vm, TextWindow& tw) {
  std::memset(tw.szMessage, 0, sizeof tw.szMessage);
  font_colours_read(tw);
  if (g_args.mode & engine::kModeNoClickLine) vm.history.bDisabled = 1;
  engine::history_write_field(vm, nullptr, engine::kHistoryNewLine);
  text_set_name(vm, tw, g_args.name);
  text_set_message(vm, tw, g_args.text);
}

// The voice is named in the window and the backlog, and the voice calls see it.
void name_voice(VmContext& vm, TextWindow& tw, const char* log) {
  engine::voice_call_begin(vm);
  if (tw.szVoice[0] == 0) return;
  engine::history_write_field(vm, tw.szVoice, engine::kHistoryVoice);
  engine::vm_log(engine::kLogHistory, log, tw.szVoice);
  tw.dwLineFlags |= engine::kLineHasVoice;
}

// The end of the line procedure on this path.
void text_async_finish(VmContext& vm, TextWindow& tw) {
  tw.dwMode = g_args.mode;
  const bool backlog = !(g_args.mode & engine::kModeNoClickLine);
  if (backlog) {
    engine::history_write_field(vm, nullptr, engine::kHistoryCloseAtCommand);
    std::memset(vm.save.szSaveText, 0, sizeof vm.save.szSaveText);
    std::memcpy(vm.save.szSaveText, tw.szMessage, strnlen(tw.szMessage, sizeof tw.szMessage - 1));
  }
  tw.dwColor = tw.dwSavedColor;
  tw.dwShadowColor = tw.dwSavedShadowColor;
  orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
  textwindow::text_set_reveal_time(vm, tw, g_args.time);
  tw.bAdvanceRequest = 0;
  if (!backlog) vm.history.bDisabled = 0;  // history is on again, whatever it was
  textwindow::text_window_show(vm, tw, true);
  engine::vm_log(engine::kLogHistory, "text*  %s", tw.szMessage);
  clear_marked_actions_when_skipping(vm);
  if (!(g_args.mode & engine::kModeNoWaitLine)) engine::script_point_push(vm);
  if (backlog && tw.dwTextMode == 1) textwindow::text_page_append(vm, tw);
  textwindow::text_icons_place(vm, tw);
  vm.runner.bYield = 1;
}

// The pending step: once the voice has loaded, the line is drawn, its voice starts and the
// line finishes.
void text_async_poll() {
  if (!engine::voice_async_load_done()) return;  // frames go on; the script waits
  engine::pending_async_step.store(nullptr);
  VmContext& vm = *g_args.vm;
  TextWindow& tw = vm.text;
  draw_line(vm, tw);
  const std::string name = voice_name_of(vm, g_args.voice);
  vm.sound.bVoiceUpdateSuspended = 0;
  if (engine::voice_async_load_result() == engine::kVoicePlayed) {
    engine::voice_async_loaded_start(vm);
    copy_field(tw.szVoice, sizeof tw.szVoice, name);
    name_voice(vm, tw, "text : voice %s");
  }
  text_async_finish(vm, tw);
}

}  // namespace

bool text_async_voice_on() {
  return g_async_voice != 0;
}

uint32_t text_async_begin(VmContext& vm, uint32_t voice, uint32_t name, uint32_t text, int32_t time,
                          uint32_t mode) {
  engine::vm_log(engine::kLogHistory, "script_point %08x(%08x)", vm.runner.dwPc, vm.dwCurrentPc);
  ret_stack_dump(vm);
  g_args = {&vm, voice, name, text, time, mode};
  engine::pending_async_step.store(nullptr);
  TextWindow& tw = vm.text;
  if (!vm.text.bInit) {
    engine::vm_log(engine::kLogMain, "text initialize error : %s", "text*");
    return 0;
  }
  tw.dwNameId = name;
  tw.dwTextId = text;
  tw.dwVoiceId = voice;
  tw.nTime = time;
  tw.dwLineFlags = 0;
  tw.bExternal = 0;
  // The scene skip's stop puts the operands back by the line's own kind (the time with them);
  // the window waits on nothing while the voice loads.
  tw.dwMode = mode;
  if (scene_skip_stop_at_unread(vm, tw)) return 1;
  tw.dwMode = 0;
  vm.sound.bVoiceUpdateSuspended = 1;
  if (text_voice_start_async(vm, tw, voice)) {
    // No yield: the interpreter stops at once on the pending step.
    engine::pending_async_step.store(text_async_poll);
    return 1;
  }
  vm.sound.bVoiceUpdateSuspended = 0;
  draw_line(vm, tw);
  std::memcpy(tw.szVoice, g_skip_voice, std::min(sizeof tw.szVoice, sizeof g_skip_voice));
  tw.szVoice[sizeof tw.szVoice - 1] = 0;
  name_voice(vm, tw, "text* : voice %s");
  text_async_finish(vm, tw);
  return 1;
}

uint32_t cmd_text_set_async_voice(VmContext& vm) {
  const uint32_t previous = g_async_voice;
  g_async_voice = engine::vm_pop(vm) != 0 ? 1 : 0;
  engine::vm_set_result(vm, previous);
  return 1;
}

}  // namespace textlines
