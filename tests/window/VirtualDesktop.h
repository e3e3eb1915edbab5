#pragma once
// A private X display with a window manager on it, for tests that type into
// real windows through the X server as a user's keyboard does: Xvfb on a
// display number it picks itself, and openbox managing it, so focus,
// activation and popups behave as on a desktop. Both are stopped with the
// object. Tests that need them skip, saying why, where they are missing.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace tovtest {

// The full name of a program found on PATH, or "".
inline std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

class VirtualDesktop {
 public:
  VirtualDesktop() { start(); }
  ~VirtualDesktop() {
    stop(windowManager_);
    stop(server_);
  }
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;

  bool running() const { return problem_.empty(); }
  // Why there is no desktop.
  const std::string& problem() const { return problem_; }
  // ":N"
  const std::string& display() const { return display_; }
  const std::string& xdotool() const { return xdotool_; }

 private:
  void start() {
    const std::string xvfb = findProgram("Xvfb");
    const std::string openbox = findProgram("openbox");
    xdotool_ = findProgram("xdotool");
    std::string missing;
    for (const auto& [name, found] : {std::pair{"Xvfb", xvfb}, {"openbox", openbox}, {"xdotool", xdotool_}}) {
      if (found.empty()) missing += std::string(missing.empty() ? "" : ", ") + name;
    }
    if (!missing.empty()) {
      problem_ = "not installed: " + missing + " (tools/deps.sh installs them)";
      return;
    }
    if (!startServer(xvfb)) return;
    windowManager_ = spawn({openbox, "--sm-disable"}, -1);
    if (windowManager_ <= 0 || !waitForWindowManager()) problem_ = "openbox did not start on " + display_;
  }

  // Xvfb writes the display number it chose to the descriptor it is given.
  bool startServer(const std::string& xvfb) {
    int fds[2];
    if (pipe(fds) != 0) {
      problem_ = "no pipe for Xvfb";
      return false;
    }
    server_ = spawn({xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                    fds[1]);
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c;
    while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (server_ <= 0 || number.empty()) {
      problem_ = "Xvfb did not start";
      return false;
    }
    display_ = ":" + number;
    return true;
  }

  // openbox is ready once it names the current desktop on the root window.
  bool waitForWindowManager() const {
    for (int i = 0; i < 200; ++i) {
      const pid_t probe = spawn({xdotool_, "get_desktop"}, -1);
      int status = 0;
      if (probe > 0 && waitpid(probe, &status, 0) == probe && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  // Runs a program on this desktop, quietly; keep is a descriptor it inherits.
  pid_t spawn(const std::vector<std::string>& args, int keep) const {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    if (keep >= 0) fcntl(keep, F_SETFD, 0);
    if (!display_.empty()) setenv("DISPLAY", display_.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }

  static void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }

  std::string problem_;
  std::string display_;
  std::string xdotool_;
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
};

}  // namespace tovtest
