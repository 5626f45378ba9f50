// Starting Velmora on the demo game folder, headless, to its first presented frame, against a
// bare SDL program that opens a window and presents once (the floor). Each run is a whole
// process: exec, dynamic loading, start-up, platform start and the first frame, timed from the
// spawn to the line each writes once its first frame is shown (Velmora's start-up trace line
// "startup: first frame shown", the floor's "first frame shown"); Velmora's run goes on to the
// first frame the game drew ("startup: first drawn frame shown"), then the process is ended.
// Printed: the medians and their ratios. Aim: the first frame the game drew (not the window's
// clear colour) at most 1.5 times the floor. Also printed: the processor time each process had
// used by then, all its threads together (read from the kernel's per-thread run times when the
// line arrives): on a loaded machine the wall clock mostly counts the waits for a processor,
// the processor time does not.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kMarker = "first frame shown";
constexpr const char* kDrawnMarker = "first drawn frame shown";  // Velmora's only

// Milliseconds the threads of process pid have run on a processor so far (the first field of
// each thread's schedstat, in nanoseconds); -1 when it cannot be read.
double cpu_ms_of(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code ec;
  double ns = 0;
  bool any = false;
  for (const auto& entry : std::filesystem::directory_iterator(tasks, ec)) {
    std::ifstream in(entry.path() / "schedstat");
    double run_ns = 0;
    if (in >> run_ns) {
      ns += run_ns;
      any = true;
    }
  }
  return any ? ns / 1e6 : -1;
}

// Milliseconds from the spawn to the marker on the program's stdout or stderr; -1 when the
// program ends or 20 s pass without it. *cpu_ms gets the processor time used by then. With
// drawn_ms, the reading goes on to the drawn-frame marker, whose time goes there and the
// processor time by then to *drawn_cpu_ms (-1 without).
double run_once(const std::string& program, const std::vector<std::string>& args,
                const std::string& cwd, double* cpu_ms, double* drawn_ms, double* drawn_cpu_ms) {
  std::vector<char*> argv;
  std::string p = program;
  argv.push_back(p.data());
  std::vector<std::string> a = args;
  for (std::string& s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  double ms = -1;
  if (spawned == 0) {
    std::string seen;
    char buf[4096];
    for (;;) {
      pollfd pfd{fds[0], POLLIN, 0};
      if (poll(&pfd, 1, 20000) <= 0) break;
      ssize_t n = read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      seen.append(buf, static_cast<size_t>(n));
      const double now =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      if (ms < 0 && seen.find(kMarker) != std::string::npos) {
        ms = now;
        *cpu_ms = cpu_ms_of(pid);
        if (!drawn_ms) break;
      }
      if (drawn_ms && seen.find(kDrawnMarker) != std::string::npos) {
        *drawn_ms = now;
        *drawn_cpu_ms = cpu_ms_of(pid);
        break;
      }
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
  }
  close(fds[0]);
  return ms;
}

std::vector<double> g_velmora, g_floor, g_velmora_cpu, g_floor_cpu, g_velmora_drawn,
    g_velmora_drawn_cpu;

void measure(benchmark::State& state, const std::string& program,
             const std::vector<std::string>& args, std::vector<double>* samples,
             std::vector<double>* cpu_samples, std::vector<double>* drawn_samples = nullptr,
             std::vector<double>* drawn_cpu_samples = nullptr) {
  for (auto _ : state) {
    double cpu_ms = -1, drawn_ms = -1, drawn_cpu_ms = -1;
    const double ms = run_once(program, args, VELMORA_DEMO_DIR, &cpu_ms,
                               drawn_samples ? &drawn_ms : nullptr, &drawn_cpu_ms);
    if (ms < 0) {
      state.SkipWithError("the program showed no first frame");
      return;
    }
    samples->push_back(ms);
    if (cpu_ms >= 0) cpu_samples->push_back(cpu_ms);
    if (drawn_samples && drawn_ms >= 0) drawn_samples->push_back(drawn_ms);
    if (drawn_cpu_samples && drawn_cpu_ms >= 0) drawn_cpu_samples->push_back(drawn_cpu_ms);
    state.SetIterationTime(ms / 1000.0);
  }
}

void BM_VelmoraDemoStart(benchmark::State& state) {
  measure(state, VELMORA_DEMO_DIR "/Velmora", {"/DIB"}, &g_velmora, &g_velmora_cpu,
          &g_velmora_drawn, &g_velmora_drawn_cpu);
}
void BM_BareSdlPresentFloor(benchmark::State& state) {
  measure(state, VELMORA_FLOOR_BIN, {}, &g_floor, &g_floor_cpu);
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
  setenv("VELMORA_STARTUP_TRACE", "1", 1);
  // A single-instance lock of our own: another copy of the demo running on the machine (a
  // test, a colleague's bench) must not turn our runs away.
  char runtime[] = "/tmp/velmora-startup-XXXXXX";
  const bool own_runtime = mkdtemp(runtime) != nullptr;
  if (own_runtime) setenv("XDG_RUNTIME_DIR", runtime, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double ours = median(g_velmora), floor = median(g_floor);
  if (ours > 0 && floor > 0) {
    std::printf(
        "first frame (clear colour) median: Velmora %.1f ms, bare SDL floor %.1f ms, ratio %.2f\n",
        ours, floor, ours / floor);
  }
  const double drawn = median(g_velmora_drawn);
  if (drawn > 0 && floor > 0) {
    std::printf(
        "first frame the game drew, median: Velmora %.1f ms, ratio to the floor %.2f (aim <= "
        "1.5)\n",
        drawn, drawn / floor);
  }
  const double ours_cpu = median(g_velmora_cpu), floor_cpu = median(g_floor_cpu);
  if (ours_cpu > 0 && floor_cpu > 0) {
    std::printf(
        "processor time by the first frame, median: Velmora %.1f ms, bare SDL floor %.1f ms, "
        "ratio %.2f\n",
        ours_cpu, floor_cpu, ours_cpu / floor_cpu);
  }
  const double drawn_cpu = median(g_velmora_drawn_cpu);
  if (drawn_cpu > 0 && floor_cpu > 0) {
    std::printf(
        "processor time by the first frame the game drew, median: Velmora %.1f ms, "
        "ratio to the floor %.2f\n",
        drawn_cpu, drawn_cpu / floor_cpu);
  }
  if (own_runtime) std::filesystem::remove_all(runtime);
  return 0;
}
