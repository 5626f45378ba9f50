#include "ui/choices/select.h"

#include <cstring>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/thread_commands.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/sprite_loader.h"
#include "text/window/text_window_ops.h"
#include "ui/buttons/buttons.h"
#include "ui/buttons/system_buttons.h"
#include "ui/choices/select_command_list.h"
#include "ui/system/skip_modes.h"

namespace ui {

using engine::kLogHistory;
using engine::kLogMain;
using engine::SelectState;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

namespace {

constexpr uint32_t kCallWord = 0x00010017;
constexpr uint32_t kFirstCoreOp = 0x00010001, kLastCoreOp = 0x00010021;
constexpr uint32_t kSelectItem = 0x060002, kEndSelect = 0x060003;
constexpr uint32_t kDecideKeys = 0x800006;  // left button, Space, Enter
constexpr uint32_t kKeyUp = 0x80, kKeyDown = 0x100;
constexpr uint32_t kDecided = 0x200;
constexpr int32_t kMaxPasses = 16;
// Instructions a block may run in all before it counts as a runaway (a jump back into itself).
constexpr uint32_t kMaxBlockSteps = 100000;
constexpr int kLogSelect = 16;

constexpr const char* kTooMany =
    "[%d]select\x96\xBD\x97\xDF\x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7\x81"
    "B";
constexpr const char* kMalformed =
    "[%d]select\x96\xBD\x97\xDF\x82\xCC\x8C`\x8E\xAE\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82"
    "\xE8\x82\xDC\x82\xB7\x81"
    "B";
constexpr const char* kStrayItem =
    "[%d]\x88\xD3\x96\xA1\x82\xCC\x82\xC8\x82\xA2select\x96\xBD\x97\xDF\x82\xAA\x8C\xC4\x82\xD1"
    "\x8Fo\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
constexpr const char* kStrayEnd =
    "[%d]\x88\xD3\x96\xA1\x82\xCC\x82\xC8\x82\xA2"
    "end_select\x96\xBD\x97\xDF\x82\xAA\x8C\xC4\x82\xD1\x8Fo\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82"
    "\xBD\x81"
    "B";
constexpr const char* kTextFailed = "select CreateText \x8E\xB8\x94s[%s]";

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

bool selectable(const SelectState& s, int32_t i) {
  return (s.dwItemFlags[i] & 2) != 0;
}

uint32_t dim(uint32_t colour) {
  return (colour & 0x00FFFFFFu) | 0x7F000000u;
}

// Releases every sprite the menu holds (all 16 slots) and closes it.
void release_all_sprites(SelectState& s) {
  const OrvHandle list = orv.OrvRenderGetActive();
  for (uint32_t i = 0; i < engine::kSelectSlots; ++i) {
    if (s.hImages[i]) orv.OrvSpriteRelease(list, s.hImages[i]);
    if (s.hTexts[i]) orv.OrvSpriteRelease(list, s.hTexts[i]);
    s.hImages[i] = s.hTexts[i] = 0;
  }
  s.nItems = 0;
}

// A label number as a code offset. False for a label outside Point.dat.
bool label_offset(VmContext& vm, uint32_t label, uint32_t* offset) {
  *offset = 0;
  if (label == 0) return true;
  uint32_t pc = 0;
  if (!engine::label_target(vm, label, &pc)) return false;
  *offset = pc - vm.runner.dwBase;
  return true;
}

void gosub(VmContext& vm, uint32_t label) {
  engine::data_entry_push(vm, engine::kChannelReturns, vm.runner.dwPc, 0);
  vm.runner.dwPc = vm.runner.dwBase + label;
}

bool fetch(VmContext& vm, uint32_t* word) {
  const engine::ScriptRunner& r = vm.runner;
  if (r.dwPc > r.dwCodeSize || r.dwCodeSize - r.dwPc < 4) return false;
  std::memcpy(word, r.pCode + r.dwPc, 4);
  vm.runner.dwPc += 4;
  return true;
}

// The menu fails: every sprite made so far goes, the count is 0. Handler result 0.
uint32_t fail(VmContext& vm, const char* format) {
  SelectState& s = vm.select;
  release_all_sprites(s);
  vm_log(kLogMain, format, as_int(vm.runner.dwPc));
  return 0;
}

// Step 1 of a pass: runs the block's own instructions up to the next command call. False for a
// fetch past the end of the code, a word that is no core operation, or a runaway block.
bool run_to_call(VmContext& vm, uint32_t* steps) {
  for (;;) {
    uint32_t word = 0;
    if (!fetch(vm, &word)) return false;
    if (word == kCallWord) return true;
    if (word < kFirstCoreOp || word > kLastCoreOp) return false;
    if (++*steps > kMaxBlockSteps) return false;
    // Tools that bound the instructions of untrusted scripts bound the block's too.
    if (vm.runner.bStepLimited) {
      if (vm.runner.dwStepsLeft == 0) return false;
      --vm.runner.dwStepsLeft;
    }
    engine::run_core_op(vm, word & 0xFFFF);
    if (vm.runner.bFetchFault) return false;
  }
}

// One shown item into slot n; false when its image or text sprite cannot be made.
bool make_item(VmContext& vm, int32_t n, uint32_t text, uint32_t label, int32_t x, int32_t y,
               uint32_t flags, int32_t row) {
  SelectState& s = vm.select;
  const int32_t priority = as_int(vm.run.dwSpritePriorityBase) + 4871;
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, s.dwGraphic, 1);
  name[32] = 0;
  uint32_t sw = 0, sh = 0;
  engine::game_screen_size(&sw, &sh);
  s.hImages[n] = layers::sprite_load_by_name_unlocked(vm, name, as_int(sw), as_int(sh), priority);
  s.dwItemLabels[n] = label;
  s.nItemRows[n] = row;
  s.dwItemFlags[n] = flags;
  // The text reference gives a 4-byte head and then the text.
  uint8_t buffer[4 + engine::kSelectTextBytes] = {};
  engine::get_string_operand(vm, buffer, text, sizeof buffer);
  const char* item_text = reinterpret_cast<const char*>(buffer + 4);
  // The text only (the buffer holds at most 259 bytes of it), always terminated.
  const size_t length = strnlen(item_text, engine::kSelectTextBytes - 1);
  std::memset(s.szItemText[n], 0, engine::kSelectTextBytes);
  std::memcpy(s.szItemText[n], item_text, length);
  if (!s.hImages[n]) return false;
  s.hTexts[n] = orv.OrvSpriteCreateText(orv.OrvRenderGetActive(), item_text, priority, 0xFFFFFFFFu);
  if (!s.hTexts[n]) {
    vm_log(kLogMain, kTextFailed, item_text);
    return false;
  }
  if (flags & 2) {
    orv.OrvSpriteSetColor(s.hImages[n], s.dwColorNormal);
  } else {
    orv.OrvSpriteSetColor(s.hImages[n], dim(s.dwColorNormal));
    orv.OrvSpriteSetColor(s.hTexts[n], 0x7FFFFFFFu);
  }
  orv.OrvSpriteRectSetPos(s.hImages[n], 0, row);
  orv.OrvSpriteSetPos(s.hImages[n], static_cast<float>(x), static_cast<float>(y), 0.0f);
  OrvSpriteInfo ii{}, ti{};
  orv.OrvSpriteGetInfo(s.hImages[n], &ii);
  orv.OrvSpriteGetInfo(s.hTexts[n], &ti);
  const int32_t tx = x + (ii.cell_width >> 1) - (ti.cell_width >> 1);
  const int32_t ty = y + (ii.cell_height >> 1) - (ti.cell_height >> 1);
  orv.OrvSpriteSetPos(s.hTexts[n], static_cast<float>(tx), static_cast<float>(ty), 0.0f);
  orv.OrvSpriteViewCtrl(s.hImages[n], 1);
  orv.OrvSpriteViewCtrl(s.hTexts[n], 1);
  vm_log(kLogHistory, "select[%d] %s, %d, %d", n, s.szItemText[n], x, y);
  return true;
}

// The skips that a menu stops. Reports whether one was running.
bool cancel_skips(VmContext& vm) {
  engine::RunState& run = vm.run;
  if (run.bHistorySkip) {
    vm_log(kLogMain, "cancel history skip select\n pont=%x save=%x", run.dwHistorySkipPc,
           run.dwSavePointMark);
    run.bHistorySkip = 0;
    return true;
  }
  if (run.bSceneSkip) {
    engine::orv_end_update(kLogHistory);
    vm_log(kLogHistory, "cancel scene skip select\n");
    vm_log(kLogMain, "  scene skip time = %d ms", static_cast<int32_t>(scene_skip_elapsed_ms()));
    run.bSceneSkip = 0;
    return true;
  }
  return false;
}

// A snapshot whose resume point is this command, so that loading it builds the menu again.
void snapshot_at_select(VmContext& vm) {
  if (vm.save.bSavePointLock) return;
  vm.save.dwResumePc = vm.runner.dwPc - 12;
  vm.save.dwSnapOffset = 0;
  engine::neighbour_run(engine::neighbours.interaction.save_snapshot_make, vm);
}

uint32_t cmd_select(VmContext& vm) {
  SelectState& s = vm.select;
  const bool skip_stopped = cancel_skips(vm);
  snapshot_at_select(vm);
  if (skip_stopped && engine::neighbours.interaction.save_snapshot_reload) {
    // A skip may have run past what a menu shows (pictures, sounds): the reload puts the machine
    // back as the snapshot holds it and comes back to this command, which then opens the menu
    // without skip.
    engine::neighbours.interaction.save_snapshot_reload(vm);
    return 1;
  }
  const uint32_t window = vm_pop(vm);
  textwindow::text_window_show(vm, vm.text, window != 0);
  release_all_sprites(s);
  int32_t count = 0;
  uint32_t steps = 0;
  for (int32_t pass = 0;; ++pass) {
    if (pass == kMaxPasses) return fail(vm, kTooMany);
    if (!run_to_call(vm, &steps)) return fail(vm, kMalformed);
    uint32_t id = 0, result_register = 0;
    if (!fetch(vm, &id) || !fetch(vm, &result_register)) return fail(vm, kMalformed);
    if (id == kEndSelect) break;
    if (id != kSelectItem) return fail(vm, kMalformed);
    const uint32_t text = vm_pop(vm), label = vm_pop(vm);
    const int32_t x = as_int(vm_pop(vm)), y = as_int(vm_pop(vm));
    const uint32_t flags = vm_pop(vm);
    const int32_t row = as_int(vm_pop(vm));
    uint32_t offset = 0;
    if (!label_offset(vm, label, &offset)) return fail(vm, kMalformed);
    if (!(flags & 1)) continue;  // dropped: consumed, no slot
    s.nItems = count + 1;        // so that a failure releases this slot too
    if (!make_item(vm, count, text, offset, x, y, flags, row)) {
      release_all_sprites(s);
      return 0;
    }
    ++count;
  }
  s.nItems = count;
  s.bVisible = 1;
  s.dwHoverState = 0;
  s.nCursor = -1;
  vm.runner.dwPc -= 12;  // on the end_select call, which waits from now on
  engine::message_post(vm, 2, 0);
  return 1;
}

// Step 6 of end_select: the decision of item i. Returns the new hover value.
uint32_t decide(VmContext& vm, int32_t i) {
  SelectState& s = vm.select;
  vm.runner.dwPc = vm.runner.dwBase + s.dwItemLabels[i];
  const OrvHandle list = orv.OrvRenderGetActive();
  orv.OrvSpriteReleaseArray(list, s.hImages, s.nItems);
  orv.OrvSpriteReleaseArray(list, s.hTexts, s.nItems);
  vm.text.bAdvanceRequest = 0;
  if (engine::get_skip_state(vm) == 0) button_pause(vm, 100);
  system_buttons_choice_enable(vm, true);
  orv.OrvInputClear();
  engine::message_post(vm, 2, 1);
  // The state before the choice (the snapshot select took) becomes the previous data.
  engine::neighbour_run(engine::neighbours.interaction.save_prev_pack, vm);
  vm_log(kLogSelect, "SELECT[%s]", s.szItemText[i]);
  engine::neighbour_run(engine::neighbours.interaction.history_save, vm);
  return static_cast<uint32_t>(i + 1) | kDecided;
}

uint32_t cmd_end_select(VmContext& vm) {
  SelectState& s = vm.select;
  const uint32_t push = engine::orv_input_key_push();
  system_buttons_choice_enable(vm, false);
  if (!(engine::get_skip_state(vm) & engine::kSkipAny)) vm.runner.dwPc -= 12;
  vm.runner.bYield = 1;
  if (!s.bVisible) return 1;
  if (s.nItems <= 0 || s.nItems > static_cast<int32_t>(engine::kSelectSlots)) {
    vm_log(kLogMain, kStrayEnd, as_int(vm.runner.dwPc));
    return 1;
  }
  if (push & (kKeyUp | kKeyDown)) {
    if (push & kKeyUp) {
      s.nCursor = s.nCursor <= 0 ? 0 : s.nCursor - 1;
    } else {
      s.nCursor = s.nCursor < 0 ? 0 : (s.nCursor + 1 < s.nItems ? s.nCursor + 1 : s.nItems - 1);
    }
    OrvSpriteInfo info{};
    if (orv.OrvSpriteGetInfo(s.hImages[s.nCursor], &info)) {
      orv.OrvCursorSetPos(static_cast<int32_t>(info.x) + (info.cell_width >> 1),
                          static_cast<int32_t>(info.y) + (info.cell_height >> 1));
    }
    return 1;
  }
  const int32_t x = orv.OrvInputGetMouseX(), y = orv.OrvInputGetMouseY();
  const uint32_t keys = vm.buttons.bKeyRelease ? engine::orv_input_key_pull() : push;
  uint32_t value = 0;
  for (int32_t i = 0; i < s.nItems; ++i) {
    if (!selectable(s, i)) continue;
    const int32_t row = s.bLock ? 0 : s.nItemRows[i];
    if (orv.OrvSpriteHit(s.hImages[i], x, y, 0)) {
      orv.OrvSpriteSetColor(s.hImages[i], s.dwColorHover);
      orv.OrvSpriteSetColor(s.hTexts[i], s.dwColorHover);
      orv.OrvSpriteRectSetPos(s.hImages[i], 0, row + 1);
      if (keys & kDecideKeys) {
        value = decide(vm, i);
        break;
      }
      value = static_cast<uint32_t>(i + 1);
    } else {
      orv.OrvSpriteSetColor(s.hImages[i], s.dwColorNormal);
      orv.OrvSpriteSetColor(s.hTexts[i], s.dwColorNormal);
      orv.OrvSpriteRectSetPos(s.hImages[i], 0, row);
    }
  }
  const uint32_t old = s.dwHoverState;
  if (value == (old & 0xFFFF)) {
    s.dwHoverState = (old << 16) | value;
    return 1;
  }
  if ((value & kDecided) && s.dwDecideLabel) {
    gosub(vm, s.dwDecideLabel);
  } else if (value && s.dwHoverLabel) {
    gosub(vm, s.dwHoverLabel);
  }
  if ((old & 0xFFFF) && s.dwLeaveLabel) gosub(vm, s.dwLeaveLabel);
  s.dwHoverState = (old << 16) | value;
  return 1;
}

uint32_t cmd_select_item(VmContext& vm) {
  vm_log(kLogMain, kStrayItem, as_int(vm.runner.dwPc));
  return 0;
}

uint32_t cmd_select_init(VmContext& vm) {
  SelectState& s = vm.select;
  const uint32_t graphic = vm_pop(vm);
  const uint32_t normal = vm_pop(vm), hover = vm_pop(vm), third = vm_pop(vm);
  s.dwGraphic = graphic;
  s.dwColorNormal = normal | 0xFF000000u;
  s.dwColorHover = hover | 0xFF000000u;
  s.dwColorThird = third | 0xFF000000u;
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, graphic, 1);
  name[32] = 0;
  vm_log(kLogHistory, "select_init %s, %X, %X, %X", name, normal, hover, third);
  return 1;
}

uint32_t cmd_select_clear(VmContext& vm) {
  SelectState& s = vm.select;
  const int32_t n = s.nItems < 0 ? 0
                    : s.nItems > static_cast<int32_t>(engine::kSelectSlots)
                        ? static_cast<int32_t>(engine::kSelectSlots)
                        : s.nItems;
  const OrvHandle list = orv.OrvRenderGetActive();
  orv.OrvSpriteReleaseArray(list, s.hImages, n);
  orv.OrvSpriteReleaseArray(list, s.hTexts, n);
  vm_log(kLogHistory, "select_clear");
  return 1;
}

uint32_t cmd_select_set_offset(VmContext& vm) {
  const uint32_t item = vm_pop(vm);
  const int32_t offset = as_int(vm_pop(vm));
  vm_log(kLogHistory, "select_set_offset %d, %d", as_int(item), offset);
  if (item >= engine::kSelectSlots) {
    vm_log(kLogMain, "select_set_offset %d: item outside 0-15", as_int(item));
    return 1;
  }
  vm.select.nItemRows[item] = 3 * offset;
  return 1;
}

uint32_t cmd_select_set_process(VmContext& vm) {
  SelectState& s = vm.select;
  const uint32_t hover = vm_pop(vm), leave = vm_pop(vm), decide_label = vm_pop(vm);
  label_offset(vm, hover, &s.dwHoverLabel);
  label_offset(vm, leave, &s.dwLeaveLabel);
  label_offset(vm, decide_label, &s.dwDecideLabel);
  vm_log(kLogHistory, "select_set_process %d, %d, %d", as_int(hover), as_int(leave),
         as_int(decide_label));
  return 1;
}

uint32_t cmd_select_lock(VmContext& vm) {
  vm.select.bLock = vm_pop(vm);
  vm_log(kLogHistory, "select_lock %d", as_int(vm.select.bLock));
  return 1;
}

uint32_t cmd_get_select_on_key(VmContext& vm) {
  const int32_t v = as_int(vm.select.dwHoverState & 0xFF) - 1;
  engine::vm_set_result(vm, static_cast<uint32_t>(v));
  vm_log(kLogHistory, "[%d]get_select_on_key", v);
  return 1;
}

uint32_t cmd_get_select_pull_key(VmContext& vm) {
  const int32_t v = as_int((vm.select.dwHoverState >> 16) & 0xFF) - 1;
  engine::vm_set_result(vm, static_cast<uint32_t>(v));
  vm_log(kLogHistory, "[%d]get_select_pull_key", v);
  return 1;
}

uint32_t cmd_get_select_push_key(VmContext& vm) {
  const uint32_t h = vm.select.dwHoverState;
  const int32_t v = (h & kDecided) ? as_int(h & 0xFF) - 1 : -1;
  engine::vm_set_result(vm, static_cast<uint32_t>(v));
  vm_log(kLogHistory, "[%d]get_select_push_key", v);
  return 1;
}

}  // namespace

void select_show(VmContext& vm, int32_t on) {
  SelectState& s = vm.select;
  const int32_t n = s.nItems < static_cast<int32_t>(engine::kSelectSlots)
                        ? s.nItems
                        : static_cast<int32_t>(engine::kSelectSlots);
  s.bVisible = on ? 1 : 0;
  for (int32_t i = 0; i < n; ++i) {
    if (!on) {
      if (s.hImages[i]) orv.OrvSpriteSetColor(s.hImages[i], 0);
      if (s.hTexts[i]) orv.OrvSpriteSetColor(s.hTexts[i], 0);
      continue;
    }
    const bool sel = selectable(s, i);
    if (s.hImages[i]) {
      orv.OrvSpriteSetColor(s.hImages[i], sel ? s.dwColorNormal : dim(s.dwColorNormal));
    }
    if (s.hTexts[i]) orv.OrvSpriteSetColor(s.hTexts[i], sel ? 0xFFFFFFFFu : 0x7FFFFFFFu);
  }
}

void select_release(VmContext& vm) {
  release_all_sprites(vm.select);
  std::memset(static_cast<void*>(&vm.select), 0, sizeof vm.select);
}

bool select_close(VmContext& vm) {
  SelectState& s = vm.select;
  if (!s.hImages[0] && !s.hTexts[0]) return false;
  const int32_t n = s.nItems < static_cast<int32_t>(engine::kSelectSlots)
                        ? s.nItems
                        : static_cast<int32_t>(engine::kSelectSlots);
  const OrvHandle list = orv.OrvRenderGetActive();
  orv.OrvSpriteReleaseArray(list, s.hImages, n);
  orv.OrvSpriteReleaseArray(list, s.hTexts, n);
  return true;
}

const engine::CommandEntry select_command_entries[] = {SELECT_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList select_commands = engine::command_list(select_command_entries);

}  // namespace ui
