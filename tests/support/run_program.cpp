#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace testsupport {

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::map<std::string, std::string>& env,
                      int timeout_s, const RunControl& control) {
  RunResult result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;

  std::map<std::string, std::string> all;
  for (char** e = environ; *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq) all[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
  }
  for (auto& [k, v] : env) all[k] = v;
  std::vector<std::string> env_strings;
  for (auto& [k, v] : all) env_strings.push_back(k + "=" + v);

  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], 1);
    dup2(pipe_fds[1], 2);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  using Clock = std::chrono::steady_clock;
  auto ms_between = [](Clock::time_point a, Clock::time_point b) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count());
  };
  auto deadline = Clock::now() + std::chrono::seconds(timeout_s);
  // The signal's time once its output marker has been seen.
  bool signal_due = false, signalled = false;
  Clock::time_point signal_at{}, signal_sent{};
  auto arm_signal = [&] {
    if (control.signal == 0 || signal_due) return;
    if (!control.after_output.empty() &&
        result.output.find(control.after_output) == std::string::npos) {
      return;
    }
    signal_due = true;
    signal_at = Clock::now() + std::chrono::milliseconds(control.after_ms);
  };
  arm_signal();
  char buf[4096];
  bool killed = false;
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (signal_due && !signalled && now >= signal_at) {
      if (control.probe) control.probe(static_cast<int>(pid));
      kill(pid, control.signal);
      signalled = true;
      signal_sent = Clock::now();
    }
    int left = ms_between(now, deadline);
    if (left <= 0) {
      kill(pid, SIGKILL);
      killed = true;
      break;
    }
    if (signal_due && !signalled) left = std::max(1, std::min(left, ms_between(now, signal_at)));
    pollfd p{pipe_fds[0], POLLIN, 0};
    if (poll(&p, 1, left) <= 0) continue;
    ssize_t n = read(pipe_fds[0], buf, sizeof buf);
    if (n <= 0) break;
    result.output.append(buf, static_cast<size_t>(n));
    arm_signal();
  }
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (signalled) result.ms_after_signal = ms_between(signal_sent, Clock::now());
  if (!killed && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace testsupport
