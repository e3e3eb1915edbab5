#pragma once
// Runs a program the way a user's shell would, without a display and with
// stdin at end of file, and collects what it printed and how it ended.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tovtest {

struct ProgramRun {
  int status = -1;     // exit status, -1 when it did not exit normally
  std::string output;  // what it wrote to stderr (and stdout when asked)
};

struct ProgramRunOptions {
  std::vector<std::string> env;    // NAME=value set on top of the caller's
  std::vector<std::string> unset;  // names taken out of the caller's
  std::string directory;           // working directory; "" keeps the caller's
  bool withStdout = false;         // collect stdout as well as stderr
};

inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const ProgramRunOptions& options = {}) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(options.withStdout ? fds[1] : null, 1);
    dup2(fds[1], 2);
    close(fds[0]);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    for (const std::string& name : options.unset) unsetenv(name.c_str());
    for (const std::string& e : options.env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  ProgramRun run;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) run.output.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tovtest
