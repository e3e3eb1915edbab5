#pragma once
// Permission checks cannot be seen as root, who passes them all: under root
// a check runs in a child process that has become "nobody".
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace tovtest {

// Runs `check` without root's privileges and gives its answer; in a child
// process when the tests run as root. Whatever the check must reach has to
// be readable by others (see openToOthers).
inline bool unprivileged(const std::function<bool()>& check) {
  if (geteuid() != 0) return check();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A private temporary directory made searchable by everyone, for checks
// run by another user.
inline void openToOthers(const std::filesystem::path& directory) {
  std::filesystem::permissions(directory, std::filesystem::perms::others_read | std::filesystem::perms::others_exec |
                                              std::filesystem::perms::group_read | std::filesystem::perms::group_exec,
                               std::filesystem::perm_options::add);
}

}  // namespace tovtest
