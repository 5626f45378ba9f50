#include "graphics/layers/display_ops.h"

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/run_command_list.h"

namespace layers {
namespace {

constexpr const char* kGoneLayer =
    "run error : \x8A\xF9\x82\xC9\x8F\xC1\x82\xB3\x82\xEA\x82\xBD\x83\x8C\x83\x43\x83\x84\x81"
    "\x5B\x82\xF0\x95\x5C\x8E\xA6\x82\xB5\x82\xE6\x82\xA4\x82\xC6\x82\xB5\x82\xC4\x82\xA2\x82"
    "\xDC\x82\xB7\x81\x42";

// The batch of run_stack: [0] open, [1] pending kind (1 run, 2 run_no_wait), [2..4] the
// recorded effect, time and skippable flag of a run.
uint32_t& batch_open(engine::VmContext& vm) {
  return vm.run.dwRunStack[0];
}
uint32_t& pending_kind(engine::VmContext& vm) {
  return vm.run.dwRunStack[1];
}

// A layer emptied between its request and the commit: the error names the layer and the line
// of dialogue the script was at.
void report_gone_layer(engine::VmContext& vm, const char* what, uint32_t layer) {
  engine::vm_log(engine::kLogMain, "%s%s = %d", kGoneLayer, what, static_cast<int32_t>(layer));
  engine::neighbour_run(engine::neighbours.text.text_line_report, vm);
}

void show_layer(engine::VmContext& vm, const engine::DisplayOp& op) {
  if (op.args[0] >= kLayers || !vm.layers[op.args[0]].lpImage) {
    report_gone_layer(vm, "drawlayer", op.args[0]);
    return;
  }
  const ImageRecord& image = *vm.layers[op.args[0]].lpImage;
  // A face belongs to the text window and appears only with it.
  const bool visible = op.dwId != kOpShowFace ||
                       engine::neighbour_ask(engine::neighbours.text.text_window_visible, vm, true);
  orv.OrvSpriteViewCtrl(image.hSprite, visible ? 1 : 0);
  animations::AdvAnimStart(vm, image.dwAnimeNo);
}

void start_layer_transition(engine::VmContext& vm, const engine::DisplayOp& op) {
  if (op.args[0] >= kLayers) return;
  engine::LayerSlot& slot = vm.layers[op.args[0]];
  if (!slot.dwTransState) return;
  if (!slot.lpImage) {
    report_gone_layer(vm, "tran layer", op.args[0]);
  } else {
    if (op.dwId == kOpTransition) {
      orv.OrvSpriteViewCtrl(slot.lpImage->hSprite, 1);
      animations::AdvAnimStart(vm, slot.lpImage->dwAnimeNo);
    }
    if (!g_run_no_wait) slot.nTransTime = 0;
    const uint32_t duration = g_run_no_wait ? static_cast<uint32_t>(slot.nTransTime) : 0;
    orv.OrvSpriteSetTransition(orv.OrvRenderGetActive(), slot.hTransIn, slot.hTransOut,
                               slot.nTransKind, orv.OrvtimeGetTime(), duration,
                               layer_transition_handle(slot));
  }
  slot.bTransQueued = 0;
  slot.hTransIn = 0;
  slot.hTransOut = 0;
}

void apply(engine::VmContext& vm, const engine::DisplayOp& op) {
  switch (op.dwId) {
    case kOpShowSet:
    case kOpShowSetEx:
    case kOpShowFace:
    case kOpShowText:
    case kOpShowDraw:
    case 0xa0005:
    case 0xa0006:
    case 0xa000d:
    case 0xa000e:
    case 0xa0010:
      show_layer(vm, op);
      break;
    case kOpReleaseSprite:
      if (op.args[0]) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), op.args[0]);
      break;
    case kOpViewOn:
    case kOpViewOff:
      orv.OrvSpriteViewCtrl(op.args[0], static_cast<int32_t>(op.args[1]));
      break;
    case kOpClsTransition:
    case kOpTransition:
      start_layer_transition(vm, op);
      break;
    case kOpAnimStart:
      if (animations::anim_generation(op.args[0]) == op.args[1]) {
        animations::AdvAnimStart(vm, op.args[0]);
      }
      break;
    default:
      // The buttons' own requests go to the button subsystem; other kinds are dropped.
      if ((op.dwId >> 16) == 0x8 && engine::neighbours.interaction.button_display_op) {
        engine::neighbours.interaction.button_display_op(vm, op.dwId, op.args);
      }
      break;
  }
}

// A commit under a screen transition: the run itself or the closing run_stack.
void start_screen_transition(engine::VmContext& vm, int32_t effect, int32_t time, int32_t skippable,
                             bool stacked) {
  if (engine::get_skip_state(vm)) {
    engine::vm_log(engine::kLogHistory, stacked ? "run_stack[1][skip]" : "run  skip");
  } else {
    vm.buttons.dwWaitStart = orv.OrvtimeGetTime();
    vm.buttons.dwInvalidTime = 100;
    orv.OrvEffectEx(effect, time, skippable, 0);
    if (stacked) {
      engine::vm_log(engine::kLogHistory, "run_stack[1][%d][%d][%d]", effect, time, skippable);
    } else {
      engine::vm_log(engine::kLogHistory, "run  %d, %d", effect, time);
    }
  }
  vm.runner.bYield = 1;
}

uint32_t cmd_run(engine::VmContext& vm) {
  const uint32_t effect = engine::vm_pop(vm);
  const uint32_t time = engine::vm_pop(vm);
  const uint32_t skippable = engine::vm_pop(vm);
  if (effect > 100) {
    engine::vm_log(engine::kLogMain,
                   "run error : \x94\xCD\x88\xCD\x8A\x4F\x82\xCC\x92\x6C\x82\xF0\x8E\x77\x92\xE8"
                   "\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42no = %d",
                   static_cast<int32_t>(effect));
    return 0;
  }
  orv.OrvUpdateTime();
  if (batch_open(vm)) {
    vm.run.dwRunStack[2] = effect;
    vm.run.dwRunStack[3] = time;
    vm.run.dwRunStack[4] = skippable;
    pending_kind(vm) = 1;
    return 1;
  }
  display_ops_commit(vm);
  start_screen_transition(vm, static_cast<int32_t>(effect), static_cast<int32_t>(time),
                          static_cast<int32_t>(skippable), false);
  return 1;
}

uint32_t cmd_run_no_wait(engine::VmContext& vm) {
  if (batch_open(vm)) {
    pending_kind(vm) = 2;
    return 1;
  }
  g_run_no_wait = 1;
  engine::vm_log(engine::kLogHistory, "run_no_wait");
  display_ops_commit(vm);
  return 1;
}

uint32_t cmd_run_stack(engine::VmContext& vm) {
  const uint32_t open = engine::vm_pop(vm);
  if (open) {
    batch_open(vm) = 1;
    pending_kind(vm) = 0;
    return 1;
  }
  batch_open(vm) = 0;
  const uint32_t kind = pending_kind(vm);
  if (kind == 2) {
    g_run_no_wait = 1;
    engine::vm_log(engine::kLogHistory, "run_stack[2]");
    display_ops_commit(vm);
  } else if (kind == 1) {
    display_ops_commit(vm);
    start_screen_transition(vm, static_cast<int32_t>(vm.run.dwRunStack[2]),
                            static_cast<int32_t>(vm.run.dwRunStack[3]),
                            static_cast<int32_t>(vm.run.dwRunStack[4]), true);
  }
  pending_kind(vm) = 0;
  return 1;
}

constexpr engine::CommandEntry kRunEntries[] = {RUN_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList run_commands = engine::command_list(kRunEntries);

uint32_t display_op_queue(engine::VmContext& vm, uint32_t kind, uint32_t a1, uint32_t a2) {
  engine::DisplayOp op{};
  op.dwId = kind;
  op.args[0] = a1;
  op.args[1] = a2;
  return engine::display_op_push(vm, op);
}

uint32_t display_op_queue_anim_start(engine::VmContext& vm, uint32_t no) {
  return display_op_queue(vm, kOpAnimStart, no, animations::anim_generation(no));
}

void display_ops_commit(engine::VmContext& vm) {
  engine::DisplayOp op;
  while (engine::display_op_pop(vm, &op)) apply(vm, op);
  vm.text.bAdvanceRequest = 0;
  g_run_no_wait = 0;
}

}  // namespace layers
