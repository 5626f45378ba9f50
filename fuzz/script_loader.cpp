// Arbitrary Script.src and table bytes into the script loader, then a bounded run of the
// interpreter on both runners with the real command library, confined to a folder of its own.
// Buttons, system buttons and choices take part (a small software renderer holds their
// sprites), so the choice block scan runs over arbitrary code too.
//
// Input: five little-endian u16 lengths (Script.src, File.dat, Text.dat, Mem.dat; Point.dat
// takes the rest), a flag byte (bit 0: give Script.src its magic, so that most inputs load;
// bit 1: a log reader is present, so that every line is formatted, the command-call line of
// each command too), then the bytes.
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "commands/command_paths.h"
#include "commands/library_commands.h"
#include "engine/dispatch.h"
#include "engine/formats/startup_info.h"
#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/script_files.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "ui/buttons/buttons.h"
#include "ui/choices/select.h"
#include "ui/ui_attach.h"

namespace {

using engine::VmContext;

void discard(int, const char*, void*) {}
int32_t quiet_debug(int32_t, const char*, const char*, ...) {
  return 1;
}
int32_t quiet_error(const char*, ...) {
  return 1;
}

bool init() {
  // The machine's lists and memory come from the linked library; the log stays silent and
  // nothing may end the process.
  engine::orv_static_bind();
  engine::library_commands_attach();
  ui::ui_attach();
  // A small screen, for the library and for start-up's choice alike: the commands make
  // screen-sized pictures (a colour button is one), and at the default screen each of them
  // cost milliseconds, so that scripts making many of them ran a hundred inputs a second.
  RenderParams params;
  params.game_width = 64;
  params.game_height = 48;
  engine::startup_settings().nScreenWidth = params.game_width;
  engine::startup_settings().nScreenHeight = params.game_height;
  bool rendering = false;
  render_system_init(params, &rendering);
  orv_core().alive = rendering;
  orv.OrvEnd = nullptr;
  // There is no window thread: its queue stands closed, as after the window has gone, so that
  // a command that sends to the window (the window title) is answered at once, not held.
  orv_process().window_queue.close();
  // The library's logs take every line and show none. Without a log reader, command-call lines
  // are not even formatted: formatting them was half of the time of a run.
  orv.OrvDebugPrintf = quiet_debug;
  orv.OrvErrorLogPrintf = quiet_error;
  // The whole command library runs, in a folder of its own: every file name a script gives is
  // taken below it (absolute names and ".." are refused), and the commands that would reach
  // outside the process or hold it (open a program or page, sleep, a message box) stand down.
  // A memory folder where there is one: saves are flushed to the disk on every write.
  char shm[] = "/dev/shm/velmora-fuzz-XXXXXX";
  char tmp[] = "/tmp/velmora-fuzz-XXXXXX";
  const char* folder = mkdtemp(shm);
  if (!folder) folder = mkdtemp(tmp);
  if (!folder || chdir(folder) != 0) std::abort();
  mkdir("save", 0700);
  platform::file_names_confine(true);
  engine::set_command_program_folder(".");
  engine::set_command_save_folder("save");
  engine::set_command_handler(0x120001, nullptr);  // app_exec
  engine::set_command_handler(0x12007A, nullptr);  // sleep
  engine::set_command_handler(0x0F0001, nullptr);  // debug_messagebox
  return true;
}

int remove_entry(const char* path, const struct stat*, int kind, struct FTW*) {
  if (std::strcmp(path, ".") == 0 || std::strcmp(path, "./save") == 0) return 0;
  if (kind == FTW_DP)
    rmdir(path);
  else
    unlink(path);
  return 0;
}

// Every input starts from the empty folder: files a script wrote (profiles, saves, memory
// files) would otherwise pile up over millions of inputs, so that an input appending to a
// profile grown by all the others ran for seconds, and a finding would not replay on its own.
void empty_folder() {
  nftw(".", remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

// Long runs grew to a gigabyte and slowed by half, with no leak: the live heap stays at some
// tens of megabytes (most of it the fuzzer's own corpus records). The rest was the address
// checker's own keeping: the quarantine of freed blocks, which holds 256 MiB by default, and
// the free blocks of every size it has ever handed out. The commands allocate and free blocks
// of many sizes on every input, so a small quarantine keeps the process at some hundred and
// fifty megabytes and runs a third more inputs a second; 16 MiB still spans many inputs, so a
// block used after it was freed is caught all the same. Allocation stacks of eight frames
// reach from the allocator into the command that asked.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16:malloc_context_size=8";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = init();
  (void)ready;
  if (size < 11) return 0;
  uint32_t lengths[5];
  for (int i = 0; i < 4; ++i) lengths[i] = data[2 * i] | (data[2 * i + 1] << 8);
  const uint8_t flags = data[8];
  data += 9;
  size -= 9;
  std::string parts[5];
  for (int i = 0; i < 5; ++i) {
    const size_t n = i < 4 ? std::min<size_t>(lengths[i], size) : size;
    parts[i].assign(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
  }
  if ((flags & 1) && parts[0].size() >= 4) std::memcpy(parts[0].data(), "Sv20", 4);
  engine::set_log_sink(flags & 2 ? discard : nullptr, nullptr);

  const OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  // One game state for the whole run, made fresh for each input in the same place: a new
  // half-megabyte block per input spent most of the time on new pages.
  static auto* const gs = new engine::GameState();
  std::destroy_at(gs);
  std::construct_at(gs);
  VmContext& vm = gs->vm;
  vm.hReturnStack = engine::orv_list_create();
  vm.seen.hEntryNames = engine::orv_list_create();
  auto span = [](const std::string& s) {
    return engine::ScriptFileBytes::Span{reinterpret_cast<const uint8_t*>(s.data()),
                                         static_cast<uint32_t>(s.size())};
  };
  const engine::ScriptFileBytes bytes{span(parts[0]), span(parts[1]), span(parts[2]),
                                      span(parts[3]), span(parts[4])};
  if (engine::script_files_load(vm, bytes)) {
    engine::seen_flags_fit_tables(vm);
    vm.runner.bStepLimited = 1;
    vm.runner.dwStepsLeft = 2000;
    for (int frame = 0; frame < 4 && vm.runner.dwStepsLeft; ++frame) {
      engine::script_thread_id.store(0);
      engine::script_run(vm);
      if (vm.runner.bAsync.load()) engine::script_run_async(vm);
      engine::script_point_pop(vm);
    }
  }
  ui::btn_release_all(vm);
  ui::select_release(vm);
  ui::button_follow_table_clear(vm);
  sprite_release_all();
  OrvRenderUninit(list);
  engine::return_stack_clear(vm);
  engine::orv_list_release(vm.hReturnStack);
  while (void* e = reinterpret_cast<void*>(engine::orv_list_pop(vm.seen.hEntryNames, 0))) {
    OrvMemoryFree(e);
  }
  engine::orv_list_release(vm.seen.hEntryNames);
  if (vm.seen.lpFileSeen) OrvMemoryFree(vm.seen.lpFileSeen);
  if (vm.seen.lpTextRead) OrvMemoryFree(vm.seen.lpTextRead);
  engine::script_files_free(vm);
  engine::script_profile_clear();
  empty_folder();
  return 0;
}
