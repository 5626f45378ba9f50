// Starting Velmora on the demo game folder, headless, against a bare SDL program that opens a
// window and presents once (the floor). Each run is a whole process: exec, dynamic loading,
// start-up, platform start, the first frames, and the end (the demo's script ends at once, so
// the figure is an upper bound of the time to the first presented frame). Printed: both
// medians and their ratio. Aim: at most 3 times the floor.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

double run_once(const std::string& program, const std::vector<std::string>& args,
                const std::string& cwd) {
  std::vector<char*> argv;
  std::string p = program;
  argv.push_back(p.data());
  std::vector<std::string> a = args;
  for (std::string& s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

std::vector<double> g_velmora, g_floor;

void measure(benchmark::State& state, const std::string& program,
             const std::vector<std::string>& args, std::vector<double>* samples) {
  for (auto _ : state) {
    const double ms = run_once(program, args, VELMORA_DEMO_DIR);
    if (ms < 0) {
      state.SkipWithError("the program did not end with exit code 0");
      return;
    }
    samples->push_back(ms);
    state.SetIterationTime(ms / 1000.0);
  }
}

void BM_VelmoraDemoStart(benchmark::State& state) {
  measure(state, VELMORA_DEMO_DIR "/Velmora", {"/DIB"}, &g_velmora);
}
void BM_BareSdlPresentFloor(benchmark::State& state) {
  measure(state, VELMORA_FLOOR_BIN, {}, &g_floor);
}
BENCHMARK(BM_VelmoraDemoStart)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSdlPresentFloor)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double ours = median(g_velmora), floor = median(g_floor);
  if (ours > 0 && floor > 0) {
    std::printf("start-up median: Velmora %.1f ms, bare SDL floor %.1f ms, ratio %.2f (aim <= 3)\n",
                ours, floor, ours / floor);
  }
  return 0;
}
