#include "engine/frame_procedure.h"

#include "engine/thread_commands.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_services.h"

namespace engine {
namespace {

constexpr uint32_t kWindowModeRequest = 8;  // window event word: toggle window mode
constexpr uint32_t kJobShake = 1u << 0;
constexpr uint32_t kJobFlush = 1u << 1;
constexpr uint32_t kJobSnow = 1u << 2;
constexpr uint32_t kJobPetals = 1u << 3;
constexpr uint32_t kJobRaster = 1u << 4;

// An event reaction replaces the main script's slice: the click starts with a fresh latch.
void run_event(VmContext& vm, uint32_t flow) {
  g_advance_latch = AdvanceLatch{0, 0, 1};
  vm.text.bEndOfText[0] = 0;
  vm.text.bEndOfText[1] = 0;
  script_thread_id.store(flow);
  script_run(vm);
}

// Returns true when the flush colour sprite expired: the rest of the script waits for the next
// frame then.
bool screen_effect_jobs(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  const LayerServices& layers = neighbours.layers;
  for (uint32_t bit = 0; bit < 32; ++bit) {
    const uint32_t job = 1u << bit;
    if (!(fx.dwActiveJobs & job)) continue;
    switch (job) {
      case kJobShake:
        if (neighbour_ask(layers.effect_shake_update, vm, true)) fx.dwActiveJobs &= ~job;
        break;
      case kJobFlush:
        if (orv.OrvClockGetTime() - fx.dwFlushStart >= fx.dwFlushLength) {
          if (fx.dwFlushSprite) orv.OrvSpriteRelease(vm.hRender, fx.dwFlushSprite);
          fx.dwFlushSprite = 0;
          fx.dwFlushWord2 = 0;
          fx.dwFlushStart = 0;
          fx.dwFlushLength = 0;
          fx.dwSyncBits &= ~2u;
          script_point_pop(vm);
          fx.dwActiveJobs &= ~job;
          return true;
        }
        break;
      case kJobSnow:
        if (neighbour_ask(layers.effect_snow_update, vm, true)) fx.dwActiveJobs &= ~job;
        break;
      case kJobPetals:
        if (neighbour_ask(layers.effect_sakura_update, vm, true)) fx.dwActiveJobs &= ~job;
        break;
      case kJobRaster:
        if (neighbour_ask(layers.effect_raster_update, vm, true)) fx.dwActiveJobs &= ~job;
        break;
      default:
        break;
    }
  }
  return false;
}

}  // namespace

void script_update(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  const Neighbours& n = neighbours;
  if (AsyncStep step = pending_async_step.load()) {
    step();
    return;
  }
  if (r.bAsync.load()) return;
  script_thread_id.store(0);
  if (screen_effect_jobs(vm)) return;

  if (neighbour_ask(n.layers.action_sync_run, vm, false)) {
    // Only events run beside a synchronous action list; the main script waits for its end.
    const bool transition = neighbour_ask(n.transitions.screen_transition_running, vm, false);
    if (transition || vm.buttons.bRunSkip) return;
    if (neighbour_ask(n.interaction.btn_update, vm, false)) {
      run_event(vm, 2);
    } else if (neighbour_ask(n.interaction.system_btn_update, vm, false)) {
      run_event(vm, 3);
    } else {
      script_thread_id.store(0);
      neighbour_run(n.text.text_update, vm);
    }
    return;
  }
  if (neighbour_ask(n.transitions.screen_transition_running, vm, false)) return;

  ButtonSystem& b = vm.buttons;
  if (b.dwInvalidTime && orv.OrvClockGetTime() - b.dwWaitStart >= b.dwInvalidTime) {
    b.dwInvalidTime = 0;
  }

  ScriptThreadRecord& t = vm.thread;
  if (t.bExists && t.bEnabled) {
    if (t.nRunning == 0) {
      // A new call; an open one (count 1) goes on where its last slice stopped.
      data_entry_push(vm, kChannelReturns, r.dwPc, 3);
      r.dwPc = r.dwBase + t.dwStart;
      ++t.nRunning;
    }
    script_thread_id.store(1);
    if (!script_run(vm)) return;  // handed to the work thread
  }

  if (!vm.buttons.bRunSkip) {
    if (neighbour_ask(n.interaction.btn_update, vm, false)) {
      run_event(vm, 2);
      return;
    }
    if (neighbour_ask(n.interaction.system_btn_update, vm, false)) {
      run_event(vm, 3);
      return;
    }
  }
  script_thread_id.store(0);
  script_run(vm);
  script_thread_id.store(0);
  neighbour_run(n.text.text_update, vm);
}

void game_frame(GameState& gs) {
  VmContext& vm = gs.vm;
  const Neighbours& n = neighbours;
  if (orv.OrvInputGetKeyEx() & kWindowModeRequest) {
    message_post(vm, 0, gs.settings.dwWindowMode == 0 ? 1 : 0);
  }
  MessageBlock& m = vm.messages;
  if (m.dwHandler && m.bPending == 1) {
    data_entry_push(vm, kChannelReturns, vm.runner.dwPc, 2);
    vm.runner.dwPc = vm.runner.dwBase + m.dwHandler;
    m.bPending = 0;
    script_run(vm);
    return;
  }
  if (orv.IsMovie()) return;
  orv.OrvFrameRateSet(get_skip_state(vm) ? -1 : 60);
  vm.run.dwKeyPushLog |= orv.OrvInputGetKeyPush();
  neighbour_run(n.layers.image_action_blocks_clear, vm);
  script_update(vm);
  neighbour_run(n.text.sound_channels_update, vm);
  neighbour_run(n.layers.action_update, vm);
  neighbour_run(n.layers.anim_players_update, vm);
  neighbour_run(n.layers.layers_frame_update, vm);
  neighbour_run(n.interaction.button_follow_update, vm);
  neighbour_run(n.layers.images_apply_all, vm);
}

}  // namespace engine
