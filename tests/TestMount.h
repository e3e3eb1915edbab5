#pragma once
// A file system mounted for one test: a loop image made with mkfs (btrfs,
// ext4) or a memory file system (ramfs), unmounted and removed afterwards.
// Mounting needs root and a kernel that lets this process mount; where it
// cannot, ok() is false and reason() says why, for the test to skip with.
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TempDir.h"

namespace tovtest {

class TestMount {
 public:
  // `type` "btrfs" or "ext4" for a 200 MB loop image, "ramfs" for memory.
  explicit TestMount(const std::string& type, const std::string& options = "") : dir_("mount-" + type) {
    if (geteuid() != 0) {
      reason_ = "mounting a " + type + " file system needs root";
      return;
    }
    std::filesystem::create_directory(point());
    if (type == "ramfs") {
      if (!run("mount -t ramfs ramfs " + point().string())) {
        reason_ = "mounting ramfs was refused";
        return;
      }
    } else {
      const std::string mkfs = type == "btrfs" ? "mkfs.btrfs -q" : "mkfs." + type + " -q -F";
      const std::string image = (dir_ / "fs.img").string();
      if (!run("command -v mkfs." + type)) {
        reason_ = "mkfs." + type + " is not installed (tools/deps.sh installs it)";
        return;
      }
      if (!run("truncate -s 200M " + image) || !run(mkfs + " " + image)) {
        reason_ = "making a " + type + " image failed";
        return;
      }
      if (!run("mount -o loop" + (options.empty() ? "" : "," + options) + " " + image + " " + point().string())) {
        reason_ = "mounting a " + type + " loop image was refused";
        return;
      }
    }
    mounted_ = true;
  }
  ~TestMount() {
    if (mounted_ && ::umount2(point().c_str(), 0) != 0) ::umount2(point().c_str(), MNT_DETACH);
  }
  TestMount(const TestMount&) = delete;
  TestMount& operator=(const TestMount&) = delete;

  bool ok() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  std::filesystem::path point() const { return dir_ / "mnt"; }
  std::filesystem::path operator/(const std::string& name) const { return point() / name; }

  // Mounts again with other options ("ro", "compress=zstd").
  bool remount(const std::string& options) { return run("mount -o remount," + options + " " + point().string()); }

 private:
  static bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

  TempDir dir_;
  std::string reason_;
  bool mounted_ = false;
};

}  // namespace tovtest
