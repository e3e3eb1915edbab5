#pragma once
// Runs a scenario in a child process on a tiny file system of its own, so a
// test can fill the disk for real. The child gets a private mount
// namespace (and, for an ordinary user, a user namespace), mounts a tmpfs
// of the given size, and can drop to an unprivileged user so directory
// permissions hold. The mount vanishes with the child.
//
// The scenario returns 0 for success and prints what went wrong otherwise;
// runOnSmallDisk returns kSmallDiskUnavailable when no mount was allowed.
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "TempDir.h"

namespace tovtest {

inline constexpr int kSmallDiskUnavailable = 77;

namespace detail {

inline bool writeProcFile(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok;
}

// Gives up every capability, so permissions apply as to any user.
inline bool dropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace detail

// `sizeBytes` of room under the directory handed to `scenario`. With
// `unprivileged`, the scenario runs without any privilege over files (as
// "nobody" when started by root), the directory being its own.
inline int runOnSmallDisk(std::size_t sizeBytes, bool unprivileged,
                          const std::function<int(const std::filesystem::path&)>& scenario) {
  TempDir mountPoint("disk");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return kSmallDiskUnavailable;
  if (pid == 0) {
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (uid != 0) {
      if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) _exit(kSmallDiskUnavailable);
      detail::writeProcFile("/proc/self/setgroups", "deny");
      if (!detail::writeProcFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
          !detail::writeProcFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1")) {
        _exit(kSmallDiskUnavailable);
      }
    } else if (unshare(CLONE_NEWNS) != 0) {
      _exit(kSmallDiskUnavailable);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(kSmallDiskUnavailable);
    const std::string options = "size=" + std::to_string(sizeBytes) + ",mode=0777";
    if (mount("tovtest", mountPoint.path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
      _exit(kSmallDiskUnavailable);
    }
    const std::filesystem::path dir = mountPoint / "d";
    if (mkdir(dir.c_str(), 0755) != 0) _exit(kSmallDiskUnavailable);
    if (unprivileged) {
      if (uid == 0) {
        constexpr uid_t kNobody = 65534;
        if (chown(dir.c_str(), kNobody, kNobody) != 0 || setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
            setresuid(kNobody, kNobody, kNobody) != 0) {
          _exit(kSmallDiskUnavailable);
        }
      } else if (!detail::dropCapabilities()) {
        _exit(kSmallDiskUnavailable);
      }
    }
    // Whatever happens, the child ends here: an exception must not carry
    // it back into the test program to run the remaining tests a second time.
    int verdict = 1;
    try {
      verdict = scenario(dir);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "small-disk scenario raised: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "small-disk scenario raised\n");
    }
    _exit(verdict);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return kSmallDiskUnavailable;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace tovtest
