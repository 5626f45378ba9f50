// Runs a built program (the real Velmora, a tool) as a child process and collects its result.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
  int exit_code = -1;  // -1 when it did not end normally (signal, time-out)
  std::string output;  // stdout and stderr together
};

// Runs program with args in folder cwd; env entries are added to (or replace) the current
// environment. Kills the child after timeout_s seconds.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd = {},
                      const std::map<std::string, std::string>& env = {}, int timeout_s = 60);

}  // namespace testsupport
