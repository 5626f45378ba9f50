// The script interpreter's inner loop against Lua 5.4's: a counted loop of add, compare and
// conditional jump, about 10^8 script instructions; and the same loop calling one command per
// iteration (abs of the counter into a register), against Lua calling math.abs. Lua runs the
// same loops as `while` in the `lua5.4` program (a child process that times its own loop, so its
// start-up is not counted). Both sides time processor time (ours with std::clock, Lua with
// os.clock, the same clock): on a loaded machine the time a process waits for a processor
// counts on neither side. Prints instructions per second, loop iterations per second for
// both, and the ratios; each figure is the median of five runs, ours and Lua's taking turns.
// Aim: at least Lua's loop iterations per second, and 0.9 of them with the call.
#include <algorithm>
#include <cstdio>
#include <ctime>
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
  const std::clock_t start = std::clock();
  engine::script_run(vm);  // nothing yields: the whole loop is one slice
  const std::clock_t end = std::clock();
  const bool done = vm.reg[1] == kIterations;
  engine::script_files_free(vm);
  if (!done) {
    std::fprintf(stderr, "the script stopped at r1 = %u\n", vm.reg[1]);
    return -1;
  }
  return static_cast<double>(end - start) / CLOCKS_PER_SEC;
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

// The medians of runs timings of ours and Lua's loop, taking turns (*lua is -1 when lua5.4
// cannot be run); false when our script could not run.
bool medians(bool with_call, int runs, double* ours, double* lua) {
  std::vector<double> t[2];
  bool lua_ok = true;
  for (int i = 0; i < runs; ++i) {
    const double o = run_script(with_call);
    if (o < 0) return false;
    t[0].push_back(o);
    if (lua_ok) {
      const double l = run_lua(with_call);
      lua_ok = l >= 0;
      t[1].push_back(l);
    }
  }
  for (auto& v : t) std::sort(v.begin(), v.end());
  *ours = t[0][t[0].size() / 2];
  *lua = lua_ok ? t[1][t[1].size() / 2] : -1;
  return true;
}

// One comparison: ours and Lua's timings of the same loop, one line each and the ratio.
bool compare(const char* name, bool with_call, double aim) {
  double ours = -1, lua = -1;
  if (!medians(with_call, 5, &ours, &lua)) {
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
