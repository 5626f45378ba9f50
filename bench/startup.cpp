// Starting Velmora on the demo game folder, headless, to its first presented frame, against a
// bare SDL program that opens a window and presents once (the floor). Each run is a whole
// process: exec, dynamic loading, start-up, platform start and the first frame, timed from the
// spawn to the line each writes once its first frame is shown (Velmora's start-up trace line
// "startup: first frame shown", the floor's "first frame shown"); Velmora's run goes on to the
// first frame the game drew ("startup: first drawn frame shown"), then the process is ended.
// The programs take turns: each round runs each once, in an order that turns from round to
// round, so that a change of the machine's load falls on all alike (31 rounds; --rounds=N).
// Printed: the medians and their ratios, and the median of each round's own ratio. Aim: the
// first frame the game drew (not the window's clear colour) at most 1.5 times the floor. Also
// printed: the processor time each process had used by then, all its threads together (read from
// the kernel's per-thread run times when the line arrives): on a loaded machine the wall clock
// mostly counts the waits for a processor, the processor time does not.
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
#include <cstring>
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

// One program's samples over the rounds (-1 where a run gave no figure).
struct Samples {
  std::vector<double> first_ms, first_cpu_ms, drawn_ms, drawn_cpu_ms;
};

// Runs program once in folder cwd and appends its figures; false when it showed no frame.
bool sample(const std::string& program, const std::string& cwd, bool drawn, Samples* out) {
  double cpu_ms = -1, drawn_ms = -1, drawn_cpu_ms = -1;
  const std::vector<std::string> args =
      drawn ? std::vector<std::string>{"/DIB"} : std::vector<std::string>{};
  const double ms =
      run_once(program, args, cwd, &cpu_ms, drawn ? &drawn_ms : nullptr, &drawn_cpu_ms);
  if (ms < 0) return false;
  out->first_ms.push_back(ms);
  out->first_cpu_ms.push_back(cpu_ms);
  out->drawn_ms.push_back(drawn_ms);
  out->drawn_cpu_ms.push_back(drawn_cpu_ms);
  return true;
}

double median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The median of the ratios a[i] / b[i] of the same rounds: each ratio compares runs made
// next to each other, under the same load.
double median_ratio(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> r;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] > 0 && b[i] > 0) r.push_back(a[i] / b[i]);
  return median(r);
}

void print_program(const char* name, const Samples& v, const Samples& floor) {
  const double first = median(v.first_ms), drawn = median(v.drawn_ms);
  const double f = median(floor.first_ms), f_cpu = median(floor.first_cpu_ms);
  std::printf(
      "%s, first frame (clear colour): median %.1f ms, ratio to the floor %.2f (of "
      "each round's pair: %.2f)\n",
      name, first, first / f, median_ratio(v.first_ms, floor.first_ms));
  std::printf(
      "%s, first frame the game drew: median %.1f ms, ratio to the floor %.2f (of "
      "each round's pair: %.2f; aim <= 1.5)\n",
      name, drawn, drawn / f, median_ratio(v.drawn_ms, floor.first_ms));
  std::printf(
      "%s, processor time by the first frame: median %.1f ms, ratio %.2f; by the first "
      "frame the game drew: %.1f ms, ratio %.2f\n",
      name, median(v.first_cpu_ms), median(v.first_cpu_ms) / f_cpu, median(v.drawn_cpu_ms),
      median(v.drawn_cpu_ms) / f_cpu);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 31;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) rounds = std::max(1, std::atoi(argv[i] + 9));
  }
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("VELMORA_STARTUP_TRACE", "1", 1);
  // A single-instance lock of our own: another copy of the demo running on the machine (a
  // test, a colleague's bench) must not turn our runs away.
  char runtime[] = "/tmp/velmora-startup-XXXXXX";
  const bool own_runtime = mkdtemp(runtime) != nullptr;
  if (own_runtime) setenv("XDG_RUNTIME_DIR", runtime, 1);
  // VELMORA_STARTUP_BEFORE: the Velmora program of another build, in a copy of the demo
  // folder, run in the same rounds (a before / after comparison under the same load).
  const char* before_env = std::getenv("VELMORA_STARTUP_BEFORE");
  const std::string before = before_env ? before_env : "";
  const std::string before_dir = std::filesystem::path(before).parent_path().string();

  // Each round runs every program once, the order turning from round to round, so that a
  // change of the machine's load falls on all of them alike.
  struct Entry {
    const char* name;
    std::string program, cwd;
    bool drawn;
    Samples samples;
  };
  std::vector<Entry> entries = {
      {"bare SDL floor", VELMORA_FLOOR_BIN, VELMORA_DEMO_DIR, false, {}},
      {"Velmora", VELMORA_DEMO_DIR "/Velmora", VELMORA_DEMO_DIR, true, {}},
  };
  if (!before.empty()) entries.push_back({"Velmora before", before, before_dir, true, {}});
  int failed = 0;
  for (int round = 0; round < rounds; ++round) {
    std::vector<Entry*> order;
    for (Entry& e : entries) order.push_back(&e);
    std::rotate(order.begin(), order.begin() + round % order.size(), order.end());
    if (round / order.size() % 2) std::reverse(order.begin(), order.end());
    bool ok = true;
    std::vector<Samples> round_samples(order.size());
    for (size_t i = 0; i < order.size() && ok; ++i)
      ok = sample(order[i]->program, order[i]->cwd, order[i]->drawn, &round_samples[i]);
    if (!ok) {
      ++failed;  // a round with a failed run counts for nobody
      continue;
    }
    for (size_t i = 0; i < order.size(); ++i) {
      Samples& to = order[i]->samples;
      to.first_ms.push_back(round_samples[i].first_ms[0]);
      to.first_cpu_ms.push_back(round_samples[i].first_cpu_ms[0]);
      to.drawn_ms.push_back(round_samples[i].drawn_ms[0]);
      to.drawn_cpu_ms.push_back(round_samples[i].drawn_cpu_ms[0]);
    }
  }
  if (own_runtime) std::filesystem::remove_all(runtime);
  const Samples& floor = entries[0].samples;
  if (floor.first_ms.empty()) {
    std::printf("startup: no round completed (%d failed)\n", failed);
    return 1;
  }
  std::printf(
      "%zu rounds (%d failed); bare SDL floor: first frame median %.1f ms (%.1f-%.1f), "
      "processor time %.1f ms\n",
      floor.first_ms.size(), failed, median(floor.first_ms),
      *std::min_element(floor.first_ms.begin(), floor.first_ms.end()),
      *std::max_element(floor.first_ms.begin(), floor.first_ms.end()), median(floor.first_cpu_ms));
  for (size_t i = 1; i < entries.size(); ++i)
    print_program(entries[i].name, entries[i].samples, floor);
  return 0;
}
