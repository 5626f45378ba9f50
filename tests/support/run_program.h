// Runs a built program (the real Velmora, a tool) as a child process and collects its result.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
  int exit_code = -1;        // -1 when it did not end normally (signal, time-out)
  std::string output;        // stdout and stderr together
  int ms_after_signal = -1;  // with RunControl::signal: from the signal to the child's end
};

// A signal sent to the child once its output holds `after_output` (empty: at once) and then
// `after_ms` more have passed; 0: none.
// `probe`, when set, is called with the child's pid just before the signal (it may take its
// time; the child's output waits meanwhile).
struct RunControl {
  int signal = 0;
  std::string after_output;
  int after_ms = 0;
  std::function<void(int pid)> probe;
};

// Runs program with args in folder cwd; env entries are added to (or replace) the current
// environment. Kills the child after timeout_s seconds.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd = {},
                      const std::map<std::string, std::string>& env = {}, int timeout_s = 60,
                      const RunControl& control = {});

}  // namespace testsupport
