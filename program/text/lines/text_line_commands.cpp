// The eight line commands: one procedure, told apart by a table of what each does.
#include <cstring>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "shared/sjis_units.h"
#include "text/history/history_write.h"
#include "text/lines/text_async.h"
#include "text/lines/text_line.h"
#include "text/lines/text_line_command_list.h"
#include "text/render/text_render.h"
#include "text/window/reveal.h"
#include "text/window/text_page.h"
#include "text/window/text_settings.h"
#include "text/window/text_wait.h"
#include "text/window/text_window_ops.h"

namespace textlines {
namespace {

using engine::kModeEndWithReveal;
using engine::kModeReveal;
using engine::kModeRevealAtOnce;

// What sets one line command apart.
struct LineKind {
  const char* name;    // for "text initialize error : %s"
  const char* log;     // its line in the log
  uint32_t mode;       // the window's mode word
  bool timed;          // pops a time operand and starts the reveal time from it
  bool backlog;        // writes a backlog entry and the save text
  bool parks;          // the script waits at the next instruction until the line ends
  bool page;           // appended to the page in page mode
  uint32_t latch;      // the advance latch's enabled word (main script only)
  bool async = false;  // loads its voice on the work thread while text_set_async_voice is on
};

constexpr LineKind kText{"text", "text  %s", 0x10001, true, true, true, true, 0, true};
constexpr LineKind kTextW{"text_w", "text_w  %s", 0x20001, true, true, false, true, 1, true};
constexpr LineKind kTextA{"text_a", "text_a  %s", 0x40001, false, true, true, true, 0};
constexpr LineKind kTextWa{"text_wa", "text_wa  %s", 0x60001, false, true, false, true, 1};
constexpr LineKind kTextN{"_text_n", "text_n  %s", 0x80001, true, false, true, false, 1, true};
constexpr LineKind kTextH{"text_h", "text_h  %s", 0x10001, true, false, true, true, 0};
constexpr LineKind kTextWh{"text_wh", "text_wh  %s", 0x20001, true, false, false, true, 1};

// text_h's time for a line shown whole that ends without a click.
constexpr int32_t kAtOnceNoClick = -2;

int32_t pop_i32(VmContext& vm) {
  return static_cast<int32_t>(engine::vm_pop(vm));
}

// Steps every line command begins with: the log of where it stands, the latch, the glyphs of
// an earlier part of the line (kept only by text_cat).
void line_begin(VmContext& vm, uint32_t latch, bool keep_glyphs) {
  engine::vm_log(engine::kLogHistory, "script_point %08x(%08x)", vm.runner.dwPc, vm.dwCurrentPc);
  ret_stack_dump(vm);
  if (engine::script_thread_id.load() == 0) engine::g_advance_latch.bEnabled = latch;
  TextWindow& tw = vm.text;
  tw.bEndOfText[0] = 0;
  tw.bEndOfText[1] = 0;
  if (keep_glyphs) {
    textrender::glyph_rects_append(tw.reveal.keptRects, tw.reveal.lineRects);
  } else {
    textrender::glyph_rects_clear(tw.reveal.keptRects);
  }
}

// The automatic save snapshot: a load shows this line again.
void line_snapshot(VmContext& vm) {
  if (vm.save.bSavePointLock) return;
  vm.save.dwResumePc = vm.runner.dwPc - 12;
  vm.save.dwSnapOffset = 0;
  engine::neighbour_run(engine::neighbours.interaction.save_snapshot_make, vm);
}

void font_colours_read(TextWindow& tw) {
  int32_t colour = 0;
  int32_t shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  tw.dwSavedColor = static_cast<uint32_t>(colour);
  tw.dwSavedShadowColor = static_cast<uint32_t>(shadow);
  tw.dwColor = tw.dwSavedColor;
  tw.dwShadowColor = tw.dwSavedShadowColor;
}

void clear_marked_actions_when_skipping(VmContext& vm) {
  if (engine::get_skip_state(vm) & engine::kSkipAny) {
    engine::neighbour_run(engine::neighbours.layers.action_clear_marked, vm);
  }
}

uint32_t run_line(VmContext& vm, const LineKind& k) {
  line_begin(vm, k.latch, false);
  line_snapshot(vm);
  // A script handed to the work thread loads there anyway, and the runner there does not stop
  // for a pending step: it takes the ordinary path.
  if (k.async && text_async_voice_on() && !(orv.OrvIsWorkThreadId && orv.OrvIsWorkThreadId())) {
    const uint32_t voice = engine::vm_pop(vm);
    const uint32_t name = engine::vm_pop(vm);
    const uint32_t text = engine::vm_pop(vm);
    const int32_t time = pop_i32(vm);
    return text_async_begin(vm, voice, name, text, time, k.mode);
  }
  const uint32_t voice = engine::vm_pop(vm);
  const uint32_t name = engine::vm_pop(vm);
  const uint32_t text = engine::vm_pop(vm);
  TextWindow& tw = vm.text;
  int32_t time = k.timed ? pop_i32(vm) : tw.nTime;
  if (!textwindow::text_window_ready(vm, k.name)) return 0;
  const bool no_click = &k == &kTextH && time == kAtOnceNoClick;
  if (no_click) time = -1;
  tw.dwVoiceId = voice;
  tw.dwNameId = name;
  tw.dwTextId = text;
  tw.nTime = time;
  tw.dwMode = k.mode;
  tw.dwLineFlags = 0;
  tw.bExternal = 0;
  if (scene_skip_stop_at_unread(vm, tw)) return 1;

  if (!k.backlog) vm.history.bDisabled = 1;
  std::memset(tw.szMessage, 0, sizeof tw.szMessage);
  font_colours_read(tw);
  engine::history_write_field(vm, nullptr, engine::kHistoryNewLine);
  text_set_name(vm, tw, name);
  text_set_message(vm, tw, text);
  text_voice_start(vm, tw, voice);
  engine::history_write_field(vm, nullptr, engine::kHistoryCloseAtCommand);
  if (k.backlog) {
    std::memset(vm.save.szSaveText, 0, sizeof vm.save.szSaveText);
    std::memcpy(vm.save.szSaveText, tw.szMessage, strnlen(tw.szMessage, sizeof tw.szMessage - 1));
  }
  tw.dwColor = tw.dwSavedColor;
  tw.dwShadowColor = tw.dwSavedShadowColor;
  orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);

  if (no_click) {
    tw.dwMode = kModeRevealAtOnce | kModeEndWithReveal | kModeReveal;
    tw.nTotalTime = -1;
    tw.dwStartTime = orv.OrvClockGetTime();
    tw.dwWaitTime = 0;
  } else if (k.timed) {
    textwindow::text_set_reveal_time(vm, tw, time);
  }
  tw.bAdvanceRequest = 0;
  textwindow::text_window_show(vm, tw, true);
  clear_marked_actions_when_skipping(vm);
  if (k.page && !no_click && tw.dwTextMode == 1) textwindow::text_page_append(vm, tw);
  textwindow::text_icons_place(vm, tw);
  if (k.parks) engine::script_point_push(vm);
  if (!k.backlog) vm.history.bDisabled = 0;  // history is on again, whatever it was
  vm.runner.bYield = 1;
  engine::vm_log(engine::kLogHistory, k.log, tw.szMessage);
  return 1;
}

// text_cat: the text is drawn on after the line on screen, which stays revealed.
uint32_t cmd_text_cat(VmContext& vm) {
  line_begin(vm, 0, true);
  const uint32_t voice = engine::vm_pop(vm);
  const uint32_t name = engine::vm_pop(vm);
  const uint32_t text = engine::vm_pop(vm);
  const int32_t time = pop_i32(vm);
  if (!textwindow::text_window_ready(vm, "text_cat")) return 0;
  TextWindow& tw = vm.text;
  tw.dwNameId = name;
  tw.dwVoiceId = voice;
  tw.nTime = time;
  tw.dwMode = kText.mode;
  tw.bExternal = 0;
  tw.dwTextId = tw.dwBacklogTextId;
  vm.history.bDisabled = 1;
  font_colours_read(tw);
  text_set_name(vm, tw, name);
  const int32_t before = tw.nRenderedLength;

  // The continuation of the message.
  char buffer[textrender::kTextBufferBytes] = {};
  engine::get_string_operand(vm, reinterpret_cast<uint8_t*>(buffer), text, sizeof buffer);
  text_mark_read(vm, tw, codec::load_u32(reinterpret_cast<const uint8_t*>(buffer)));
  uint32_t colour = tw.dwColor;
  uint32_t shadow = tw.dwShadowColor;
  const bool read_colours = engine::text_settings.bReadColor && tw.bRead;
  if (read_colours) {
    colour = engine::text_settings.dwReadColor;
    shadow = engine::text_settings.dwReadShadowColor;
    orv.OrvFontSetColor(colour, shadow);
  }
  char expanded[textrender::kTextBufferBytes] = {};
  textrender::text_expand(vm, expanded, sizeof expanded, buffer + 4);
  tw.nRenderedLength += textrender::draw_text_tagged(
      vm, engine::text_settings.render, textwindow::text_sprite(tw.lpMessage), expanded, &tw.nEndX,
      &tw.nEndY, tw.nWidth, tw.nHeight, tw.nCharSize, tw.nRubySize, colour, shadow, &tw.reveal);
  if (read_colours) orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
  const bool skipping = (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
  textwindow::reveal_capture(textwindow::text_sprite(tw.lpMessage), tw.reveal,
                             textwindow::reveal_ordering(engine::text_settings.render),
                             orv.OrvFontGetEffect ? orv.OrvFontGetEffect() : 0, skipping);
  // The message field keeps what it holds: the continuation is cut on a character to fit.
  const size_t held = strnlen(tw.szMessage, sizeof tw.szMessage);
  const size_t room = sizeof tw.szMessage - 1 - held;
  const size_t n = sjis_fit(kSjisRendererUnits, expanded, std::strlen(expanded), room);
  std::memcpy(tw.szMessage + held, expanded, n);
  tw.szMessage[held + n] = 0;

  tw.dwColor = tw.dwSavedColor;
  tw.dwShadowColor = tw.dwSavedShadowColor;
  orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
  textwindow::text_set_reveal_time(vm, tw, time);
  // The line wipe resumes where the old text ended.
  if (textwindow::reveal_ordering(engine::text_settings.render) ==
          textwindow::RevealOrdering::kLineWipe &&
      time != 0 && tw.nRenderedLength != 0) {
    tw.dwRevealOffset = static_cast<uint32_t>(
        static_cast<int32_t>(static_cast<float>(before) / static_cast<float>(tw.nRenderedLength) *
                             static_cast<float>(time)));
  }
  tw.bAdvanceRequest = 0;
  vm.history.bDisabled = 0;
  textwindow::text_reveal_step(vm, tw, 0);
  textwindow::text_window_show(vm, tw, true);
  clear_marked_actions_when_skipping(vm);
  textwindow::text_icons_place(vm, tw);
  engine::script_point_push(vm);
  vm.runner.bYield = 1;
  engine::vm_log(engine::kLogHistory, "text_cat  %s", tw.szMessage);
  return 1;
}

uint32_t cmd_text(VmContext& vm) {
  return run_line(vm, kText);
}
uint32_t cmd_text_w(VmContext& vm) {
  return run_line(vm, kTextW);
}
uint32_t cmd_text_a(VmContext& vm) {
  return run_line(vm, kTextA);
}
uint32_t cmd_text_wa(VmContext& vm) {
  return run_line(vm, kTextWa);
}
uint32_t cmd_text_n(VmContext& vm) {
  return run_line(vm, kTextN);
}
uint32_t cmd_text_h(VmContext& vm) {
  return run_line(vm, kTextH);
}
uint32_t cmd_text_wh(VmContext& vm) {
  return run_line(vm, kTextWh);
}

const engine::CommandEntry kLineCommands[] = {TEXT_LINE_COMMANDS(COMMAND_ENTRY)};

const char* window_voice_name(VmContext& vm) {
  return vm.text.szVoice;
}

}  // namespace

const engine::CommandList text_line_commands = engine::command_list(kLineCommands);

void text_lines_attach() {
  engine::command_list_install(text_line_commands);
  engine::command_list_install(set_history_commands);
  engine::TextSoundServices& t = engine::neighbours.text;
  t.text_voice_name = window_voice_name;
  t.ret_stack_dump = ret_stack_dump;
}

}  // namespace textlines
