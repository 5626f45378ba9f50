// A hundred layer loads and commits in the real Velmora (headless, software renderer, 1280 x 720
// at 60 fps): each load of a 1280 x 720 PNG is started, six frames run while it is read and
// decoded, then the layer is drawn and committed (sp_draw, run_no_wait). The script times
// every frame on the program's millisecond clock and keeps the gaps in its system memory,
// which system.dat holds when it ends. Loads in the background (mode 0: decoded on the work
// thread, only the hand-over under the render lock) beside loads on the game thread (mode 1),
// the peer that stalls a frame per load, and the same frames with no loads at all (the floor:
// what the machine itself does to the frame times). The aim: no background-load frame longer
// than 1.5 frame periods (25 ms).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pacpack/pac_writer.h"
#include "platform/image_codec.h"
#include "vmasm/assembler.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

constexpr int kLoads = 100, kFramesPerLoad = 6;
constexpr size_t kSystemMemoryAt = 3770;  // s[0] in system.dat

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A 1280 x 720 picture with detail everywhere (gradients and noise), which PNG cannot shrink
// much, so that decoding costs what a real background costs.
std::string big_picture() {
  const int32_t w = 1280, h = 720;
  std::vector<uint32_t> px(size_t(w) * h);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const uint32_t noise = (seed >> 16) & 0x1F;
      const uint32_t r = (x * 255 / w + noise) & 0xFF, g = (y * 255 / h + noise) & 0xFF,
                     b = ((x + y) / 8 + noise) & 0xFF;
      px[size_t(y) * w + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  std::vector<uint8_t> png;
  platform::png_encode(px.data(), w, h, false, &png);
  return std::string(png.begin(), png.end());
}

// mode -1: the same frames and commits without loading anything.
std::string script(int mode) {
  return "  mov r1, 0\n"
         "  mov r2, " +
         std::to_string(kLoads) +
         "\n"
         "  call time_get_time -> r3\n"
         "load:\n" +
         (mode < 0 ? std::string("  mov r7, 0\n")
                   : "  call sp_load(file\"BIG\", 1, " + std::to_string(mode) + ")\n") +
         "  mov r4, " + std::to_string(kFramesPerLoad) +
         "\n"
         "frames:\n"
         "  call wait_frame\n"
         "  call time_get_time -> r5\n"
         "  mov r6, r5\n"
         "  sub r6, r3\n"
         "  mov r3, r5\n"
         "  mov s[r1], r6\n"
         "  add r1, 1\n"
         "  sub r4, 1\n"
         "  jz commit, r4\n"
         "  jmp frames\n"
         "commit:\n"
         "  call sp_draw(1)\n"
         "  call run_no_wait\n"
         "  sub r2, 1\n"
         "  jz done, r2\n"
         "  jmp load\n"
         "done:\n"
         "  end\n";
}

// Builds the game folder, runs it and returns the frame gaps in ms (empty on failure).
std::vector<uint32_t> run(const std::string& root, int mode, const std::string& picture) {
  fs::remove_all(root);
  fs::create_directories(root + "/data");
  fs::copy_file(VELMORA_BIN_DIR "/Velmora", root + "/Velmora");
  fs::copy(VELMORA_BIN_DIR "/dll", root + "/dll", fs::copy_options::recursive);
  const std::string product =
      "VelmoraBenchLoads" + std::to_string(getpid()) + "_" + std::to_string(mode);
  write_file(root + "/Velmora.version", "CompanyName=Bench Works\nProductName=" + product +
                                            "\nOriginalFilename=Velmora\nComments=\n");
  write_file(root + "/data/archive.dat", "scene");
  write_file(root + "/data/BIG.png", picture);
  vmasm::ScriptFiles f;
  std::string error, archive;
  bool built = vmasm::assemble(script(mode), &f, &error);
  if (built) {
    std::vector<pacpack::Member> members(5);
    members[0] = {"Script.src", f.script};
    members[1] = {"File.dat", f.file};
    members[2] = {"Text.dat", f.text};
    members[3] = {"Mem.dat", f.mem};
    members[4] = {"Point.dat", f.point};
    built = pacpack::build_archive(members, &archive, &error);
  }
  if (!built) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return {};
  }
  write_file(root + "/scene.pac", archive);

  const std::vector<std::string> env_text = {
      "SDL_VIDEODRIVER=dummy",          "SDL_AUDIODRIVER=dummy",   "XDG_DATA_HOME=" + root + "/x",
      "XDG_CONFIG_HOME=" + root + "/x", "XDG_RUNTIME_DIR=" + root, "VELMORA_DESKTOP_SIZE=1920x1080",
      "VELMORA_MSGBOX_ANSWERS=7"};
  std::vector<char*> envp;
  for (const std::string& e : env_text) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string program = root + "/Velmora";
  char dib[] = "/DIB";
  char* argv[] = {const_cast<char*>(program.c_str()), dib, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, root.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
  pid_t pid = 0;
  const bool spawned =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (!spawned || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "Velmora did not run to its end (mode %d)\n", mode);
    return {};
  }
  std::ifstream in(root + "/save/system.dat", std::ios::binary);
  std::string sys((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint32_t> gaps;
  for (int i = 0; i < kLoads * kFramesPerLoad; ++i) {
    const size_t at = kSystemMemoryAt + size_t(i) * 4;
    if (at + 4 > sys.size()) return {};
    gaps.push_back(uint32_t(uint8_t(sys[at])) | uint32_t(uint8_t(sys[at + 1])) << 8 |
                   uint32_t(uint8_t(sys[at + 2])) << 16 | uint32_t(uint8_t(sys[at + 3])) << 24);
  }
  return gaps;
}

void print(const char* name, std::vector<uint32_t> gaps) {
  if (gaps.empty()) {
    std::printf("  %-28s no figures\n", name);
    return;
  }
  // The first frame of the run follows the start-up's own frames: leave it out.
  gaps.erase(gaps.begin());
  uint64_t sum = 0;
  size_t over = 0;
  for (uint32_t g : gaps) {
    sum += g;
    over += g > 25 ? 1 : 0;
  }
  if (std::getenv("LAYER_LOADS_LIST")) {
    for (size_t i = 0; i < gaps.size(); ++i)
      if (gaps[i] > 25) std::printf("    frame %zu: %u ms\n", i + 1, gaps[i]);
  }
  std::vector<uint32_t> sorted = gaps;
  std::sort(sorted.begin(), sorted.end());
  std::printf(
      "  %-28s mean %5.1f ms  median %3u  p99 %3u  longest %3u ms  frames > 25 ms: %zu of %zu\n",
      name, double(sum) / double(gaps.size()), sorted[sorted.size() / 2],
      sorted[sorted.size() * 99 / 100], sorted.back(), over, gaps.size());
}

}  // namespace

int main() {
  char folder[] = "/tmp/velmora-bench-loads-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string root = folder;
  const std::string picture = big_picture();
  std::printf(
      "%d loads of a 1280 x 720 PNG (%zu bytes), each committed after %d frames, 60 fps "
      "(period 16.7 ms, aim: longest <= 25 ms in the background):\n",
      kLoads, picture.size(), kFramesPerLoad);
  print("no loads (the floor)", run(root + "/none", -1, picture));
  print("background loads (mode 0)", run(root + "/async", 0, picture));
  print("game-thread loads (mode 1)", run(root + "/sync", 1, picture));
  fs::remove_all(root);
  return 0;
}
