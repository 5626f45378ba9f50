#include "engine/game_task.h"

#include "engine/formats/startup_info.h"
#include "engine/formats/system_files.h"
#include "engine/frame_procedure.h"
#include "engine/game_files.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/script_files.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {
namespace {

void task_init(void* data) {
  game_task_init(static_cast<GameState*>(data));
}
void task_frame(void* data) {
  game_task_frame(static_cast<GameState*>(data));
}
void task_release(void* data) {
  game_task_release(static_cast<GameState*>(data));
}

}  // namespace

uint32_t StartFunc() {
  void* data = nullptr;
  const OrvHandle task =
      orv_task_create(task_init, task_release, sizeof(GameState), &data, "StartFunc");
  if (!data) return 0;
  orv_task_set_task_data(task);
  return 1;
}

void game_task_init(GameState* gs) {
  if (!system_dat_load(*gs) && !system_dat_create(*gs)) {
    startup_settings().bStartFailed = 1;
    orv_end_program();
    return;
  }
  gs->vm.seen.hEntryNames = orv_list_create();
  access_dat_load(*gs);
  gs->dwBootFlag = startup_boot_word();
  // On failure engine_init has already logged why and asked the program to end.
  if (engine_init(gs->vm) != 0) startup_settings().bStartFailed = 1;
  orv_task_change_next(task_frame);
}

void game_task_frame(GameState* gs) {
  game_frame(*gs);
}

void game_task_release(GameState* gs) {
  VmContext& vm = gs->vm;
  if (vm.runner.dwLastProcess) {
    vm.run.bSceneSkip = 0;
    vm.run.bHistorySkip = 0;
    // The exit label is the game's own last word, also after the script has ended the program;
    // an end inside it stops it again.
    vm.runner.bEndRequested.store(0);
    vm.runner.bEndPollOff = 1;
    data_entry_push(vm, kChannelReturns, vm.runner.dwPc, 2);
    vm.runner.dwPc = vm.runner.dwBase + vm.runner.dwLastProcess;
    script_run(vm);
  }
  engine_shutdown(vm);
  // A start that failed has nothing of the player's to keep, and must not write its defaults
  // (or a stamp of no script) over the files of a good start.
  if (!startup_settings().bStartFailed) {
    system_dat_save(*gs);
    if (!access_dat_save(*gs)) {
      vm_error_log("%s: could not be written",
                   game_file_shown_path(save_folder_file("access.dat")).c_str());
    }
  }
  SeenFlags& seen = vm.seen;
  if (seen.lpTextRead) orv.OrvMemoryFree(seen.lpTextRead);
  if (seen.lpFileSeen) orv.OrvMemoryFree(seen.lpFileSeen);
  seen.lpTextRead = nullptr;
  seen.lpFileSeen = nullptr;
  while (void* e = reinterpret_cast<void*>(orv_list_pop(seen.hEntryNames, 0))) {
    orv.OrvMemoryFree(e);
  }
  orv_list_release(seen.hEntryNames);
  seen.hEntryNames = 0;
}

}  // namespace engine
