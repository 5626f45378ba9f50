// The script interpreter's inner loop against Lua 5.4's: a counted loop of add, compare and
// conditional jump, about 10^8 script instructions; and the same loop calling one command per
// iteration (abs of the counter into a register), against Lua calling math.abs. Lua runs the
// same loops as `while` in the `lua5.4` program (a child process that times its own loop, so its
// start-up is not counted). Prints instructions per second, loop iterations per second for
// both, and the ratios; each figure is the median of five runs.
// Aim: at least Lua's loop iterations per second, and 0.9 of them with the call.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands/math_commands.h"
#include "engine/command_list.h"
#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/orv_static_bind.h"
#include "engine/script_files.h"
#include "vmasm/assembler.h"

namespace {

constexpr uint32_t kIterations = 25'000'000;
constexpr double kInstructionsPerIteration = 4;  // add, mov, ge, jz

// Seconds for one run of the script's loop (with one command call per iteration when
// with_call); -1 when it could not be assembled or loaded.
double run_script(bool with_call) {
  const std::string source = std::string("  mov r1, 0\n") +
                             "loop:\n"
                             "  add r1, 1\n" +
                             (with_call ? "  call abs(r1) -> r3\n" : "") +
                             "  mov r2, r1\n"
                             "  ge r2, " +
                             std::to_string(kIterations) +
                             "\n"
                             "  jz loop, r2\n";
  vmasm::ScriptFiles files;
  std::string error;
  if (!vmasm::assemble(source, &files, &error)) {
    std::fprintf(stderr, "assemble: %s\n", error.c_str());
    return -1;
  }
  auto gs = std::make_unique<engine::GameState>();
  engine::VmContext& vm = gs->vm;
  auto span = [](const std::string& s) {
    return engine::ScriptFileBytes::Span{reinterpret_cast<const uint8_t*>(s.data()),
                                         static_cast<uint32_t>(s.size())};
  };
  const engine::ScriptFileBytes bytes{span(files.script), span(files.file), span(files.text),
                                      span(files.mem), span(files.point)};
  if (!engine::script_files_load(vm, bytes)) return -1;
  const auto start = std::chrono::steady_clock::now();
  engine::script_run(vm);  // nothing yields: the whole loop is one slice
  const auto end = std::chrono::steady_clock::now();
  const bool done = vm.reg[1] == kIterations;
  engine::script_files_free(vm);
  if (!done) {
    std::fprintf(stderr, "the script stopped at r1 = %u\n", vm.reg[1]);
    return -1;
  }
  return std::chrono::duration<double>(end - start).count();
}

// Seconds for Lua's loop, as the child reports it; -1 when lua5.4 cannot be run.
double run_lua(bool with_call) {
  const std::string body = with_call ? "i = i + 1 local x = abs(i)" : "i = i + 1";
  const std::string command =
      "lua5.4 -e \"local abs = math.abs local n = " + std::to_string(kIterations) +
      " local i = 0 local t = os.clock() while i < n do " + body +
      " end io.write(string.format('%.6f', os.clock() - t))\" 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[64] = {};
  const size_t got = std::fread(buffer, 1, sizeof buffer - 1, pipe);
  const int status = pclose(pipe);
  if (status != 0 || got == 0) return -1;
  return std::strtod(buffer, nullptr);
}

// The median of runs timings of f(with_call); -1 when one run failed.
double median_of(double (*f)(bool), bool with_call, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double t = f(with_call);
    if (t < 0) return -1;
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// One comparison: ours and Lua's timings of the same loop, one line each and the ratio.
bool compare(const char* name, bool with_call, double aim) {
  const double ours = median_of(run_script, with_call, 5);
  const double lua = median_of(run_lua, with_call, 5);
  if (ours < 0) {
    std::printf("vm_loop: the script could not run\n");
    return false;
  }
  const double iterations = kIterations;
  const double instructions = kInstructionsPerIteration + (with_call ? 2 : 0);  // push, call
  std::printf("%-34s %8.3f s  %8.1f M instructions/s  %8.1f M iterations/s\n", name, ours,
              iterations * instructions / ours / 1e6, iterations / ours / 1e6);
  if (lua < 0) {
    std::printf("lua5.4: not available, no comparison\n");
    return true;
  }
  std::printf("%-34s %8.3f s  %8s                  %8.1f M iterations/s\n",
              with_call ? "Lua 5.4 (while loop, math.abs)" : "Lua 5.4 (while loop)", lua, "",
              iterations / lua / 1e6);
  std::printf("ratio: our iterations/s are %.2f of Lua's (aim: at least %.2f)\n", lua / ours, aim);
  return true;
}

}  // namespace

int main() {
  engine::orv_static_bind();
  if (!engine::command_list_install(engine::math_commands)) {
    std::printf("vm_loop: the math commands could not be installed\n");
    return 1;
  }
  if (!compare("interpreter (script)", false, 1.0)) return 1;
  if (!compare("interpreter (script, abs call)", true, 0.9)) return 1;
  return 0;
}
