// The full reset of the script machine.
#include <cstring>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

void vm_reset(VmContext& vm) {
  orv_end_update(kLogHistory);

  RunState& run = vm.run;
  run.bSceneSkip = 0;
  run.bHistorySkip = 0;
  run.bAuto = 0;
  run.bSkip = 0;
  run.dwSpritePriorityBase = 0;
  run.dwKeyCancel[0] = 0;
  run.dwBeginSkipMode = 0;
  run.dwBeginSkipKeys = 0;
  g_advance_latch = AdvanceLatch{0, 0, 1};

  neighbour_run(neighbours.layers.anim_release_all, vm);
  neighbour_run(neighbours.layers.layer_shader_pool_clear, vm);
  neighbour_run(neighbours.text.text_window_free, vm);
  neighbour_run(neighbours.interaction.btn_release_all, vm);

  vm.save.nLoadAfterLabel = -1;
  vm.save.bSnapValid = 0;
  vm.save.bSavePointLock = 0;
  vm.save.bThumbEnabled = 1;

  neighbour_run(neighbours.text.se_release_all, vm);
  neighbour_run(neighbours.text.bgm_release_all, vm);
  neighbour_run(neighbours.text.voice_release_all, vm);
  neighbour_run(neighbours.layers.layers_clear_all, vm);
  neighbour_run(neighbours.interaction.select_release, vm);
  neighbour_run(neighbours.layers.action_uninit_all, vm);

  neighbour_run(neighbours.text.history_reset, vm);
  vm.thread = ScriptThreadRecord{};

  neighbour_run(neighbours.layers.screen_effects_release, vm);
  if (vm.screenEffects.dwSyncBits && !(get_skip_state(vm) & kSkipAny)) script_point_pop(vm);
  vm.screenEffects = ScreenEffectState{};

  if (vm.playerName.bWindow) neighbour_run(neighbours.interaction.player_name_window_destroy, vm);

  vm.wait = WaitState{};
  vm.movieWait = MovieWait{};
  std::memset(vm.runner.dwPointStack, 0, sizeof vm.runner.dwPointStack);
  vm.runner.dwPointCount = 0;
  vm.nArgCount = 0;
  vm.frame = FrameStack{};
  std::memset(&vm.memStack, 0, sizeof vm.memStack);
  std::memset(vm.argStack, 0, sizeof vm.argStack);
  std::memset(vm.reg, 0, sizeof vm.reg);
  std::memset(vm.userMem, 0, sizeof vm.userMem);

  vm.messages.bPending = 0;
  for (MessageSlot& slot : vm.messages.slots) slot = MessageSlot{};

  neighbour_run(neighbours.interaction.button_follow_table_clear, vm);
  vm.playerName = PlayerNameBlock{};

  return_stack_clear(vm);
}

}  // namespace engine
