// Saving and loading a full snapshot: the snapshot of a game state with a thumbnail
// of 1.7 MB and a full backlog, written to its slot file (through a temporary file, flushed and
// renamed), and loaded back (read, checked whole, reset and restored). The floor is a plain
// write + fsync of the same bytes to a file. The aims: save within 1.5 times the floor, load
// below it.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>

#include "commands/command_paths.h"
#include "engine/game_state.h"
#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_commands.h"
#include "save/save_files.h"
#include "save/save_load.h"
#include "save/save_snapshot.h"
#include "subsystems.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 30;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

template <class F>
double time_ms(F f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

}  // namespace

int main() {
  attach_subsystems();
  engine::orv_static_bind();
  engine::set_log_sink([](int, const char*, void*) {}, nullptr);
  char pattern[] = "/tmp/velmora-bench-save-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string folder = pattern;
  engine::set_command_save_folder(folder);

  auto gs = std::make_unique<engine::GameState>();
  engine::VmContext& vm = gs->vm;
  std::vector<uint8_t> code(4096);
  vm.runner.pCode = code.data();
  vm.runner.dwCodeSize = static_cast<uint32_t>(code.size());
  vm.runner.dwBase = 12;
  vm.hReturnStack = engine::orv_list_create();
  engine::SaveStream& s = vm.save;
  s.nLoadAfterLabel = -1;
  s.dwThumbWidth = s.dwThumbHeight = 1;
  s.dwThumbSize = 4;
  if (!engine::save_stream_init(s) || !engine::save_thumbnail_resize(s, 660, 660)) return 1;
  s.bThumbEnabled = 0;  // no screen here; the pixels are the test's
  for (uint32_t i = 0; i < s.dwThumbSize; ++i) s.lpThumbPixels[i] = static_cast<uint8_t>(i * 31);
  for (uint32_t i = 0; i < engine::kUserMemoryCells; ++i) vm.userMem[i] = i * 2654435761u;
  vm.history.nEntryCount = engine::kHistoryEntries;
  for (auto& e : vm.history.entries) std::memset(&e, 0x41, sizeof e);

  const std::string path = save::slot_path(1);
  std::vector<double> save_ms, load_ms, floor_ms, snap_ms;
  uint32_t bytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    double snap = 0;
    save_ms.push_back(time_ms([&] {
      s.dwResumePc = 12;
      s.dwSnapOffset = 0;
      snap = time_ms([&] { save::save_snapshot_make(vm); });
      if (!s.bSnapValid || !save::save_file_write(vm, path)) std::abort();
    }));
    snap_ms.push_back(snap);
    bytes = s.dwSnapLength;
    load_ms.push_back(time_ms([&] {
      std::vector<uint8_t> image;
      if (save::file_read_whole(path, &image, engine::kSaveBufferBytes) != save::ReadResult::kOk ||
          !save::save_image_load(vm, image.data(), image.size(), path, save::LoadMode{})) {
        std::abort();
      }
    }));
    const std::vector<uint8_t> copy(s.lpSnapshot->begin(), s.lpSnapshot->begin() + bytes);
    const std::string plain = folder + "/plain.dat";
    floor_ms.push_back(time_ms([&] {
      const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::write(fd, copy.data(), copy.size()) != static_cast<ssize_t>(copy.size()) ||
          ::fsync(fd) != 0) {
        std::abort();
      }
      ::close(fd);
    }));
  }
  const double save = median(save_ms), load = median(load_ms), floor = median(floor_ms);
  std::printf("snapshot of %u bytes (thumbnail 660 x 660), median of %d rounds\n", bytes, kRounds);
  std::printf("save (snapshot + slot file)        %8.3f ms  %.2fx the floor (aim <= 1.5)\n", save,
              save / floor);
  std::printf("load (read, check, reset, restore) %8.3f ms  %.2fx the floor (aim < 1)\n", load,
              load / floor);
  std::printf("floor (write + fsync)              %8.3f ms\n", floor);
  // The rest of a save is the file: a temporary file, its fsync, the rename and the folder's
  // fsync that makes the rename last.
  std::printf("of the save, the snapshot itself   %8.3f ms\n", median(snap_ms));
  engine::vm_reset(vm);
  engine::return_stack_clear(vm);
  engine::orv_list_release(vm.hReturnStack);
  engine::save_stream_free(s);
  std::filesystem::remove_all(folder);
  return 0;
}
