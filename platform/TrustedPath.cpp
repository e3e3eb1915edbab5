#include "platform/TrustedPath.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace tov::platform {
namespace {

namespace fs = std::filesystem;

bool trustedOwner(uid_t owner) { return owner == 0 || owner == ::geteuid(); }

std::string groupName(gid_t gid) {
  const group* gr = ::getgrgid(gid);
  return gr && gr->gr_name ? gr->gr_name : std::to_string(gid);
}

// The user is the group's only member, whether through the supplementary
// list or as somebody's primary group.
bool isPrivateGroup(gid_t gid) {
  const uid_t me = ::geteuid();
  const passwd* mine = ::getpwuid(me);
  const std::string myName = mine && mine->pw_name ? mine->pw_name : "";
  const group* gr = ::getgrgid(gid);
  if (!gr) return false;
  std::vector<std::string> listed;
  for (char** m = gr->gr_mem; m && *m; ++m) listed.emplace_back(*m);
  for (const auto& name : listed) {
    if (name != myName) return false;
  }
  bool member = !listed.empty();
  ::setpwent();
  while (const passwd* pw = ::getpwent()) {
    if (pw->pw_gid != gid) continue;
    if (pw->pw_uid != me) {
      ::endpwent();
      return false;
    }
    member = true;
  }
  ::endpwent();
  return member;
}

std::string checkEntry(const fs::path& path, const struct stat& st) {
  if (!trustedOwner(st.st_uid)) {
    return path.string() + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
  }
  // Nobody may rename or remove another's entry in a sticky directory.
  const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
  if (sticky) return {};
  if (st.st_mode & S_IWOTH) return path.string() + " is writable by other users";
  if ((st.st_mode & S_IWGRP) && !isPrivateGroup(st.st_gid)) {
    return path.string() + " is writable by group " + groupName(st.st_gid) + ", which has other members";
  }
  return {};
}

// The entry itself (followed if a link) and every directory above it.
std::string checkChain(fs::path p) {
  for (;;) {
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) {
      if (std::string why = checkEntry(p, st); !why.empty()) return why;
    } else if (errno != ENOENT && errno != ENOTDIR) {
      return p.string() + " cannot be examined: " + std::strerror(errno);
    }
    if (!p.has_relative_path()) return {};
    p = p.parent_path();
  }
}

}  // namespace

std::string whyUntrusted(const std::string& path) {
  if (path.empty()) return "no file named";
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  if (ec) return path + " cannot be examined: " + ec.message();
  if (std::string why = checkChain(absolute); !why.empty()) return why;
  // Through links: the directories the file really lives in count too.
  char resolved[PATH_MAX];
  if (::realpath(absolute.c_str(), resolved) && fs::path(resolved) != absolute) return checkChain(resolved);
  return {};
}

}  // namespace tov::platform
