#include "platform/FileCompression.h"

#include <fcntl.h>
#include <linux/btrfs.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/FileHandle.h"
#include "platform/FileAttributes.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

#ifndef F2FS_SUPER_MAGIC
constexpr long kF2fsMagic = 0xF2F52010;
#else
constexpr long kF2fsMagic = F2FS_SUPER_MAGIC;
#endif

constexpr char kBtrfsCompressionProperty[] = "btrfs.compression";
constexpr std::uint32_t kBtrfsZlib = 1;
constexpr std::uint32_t kBtrfsLzo = 2;
constexpr std::uint32_t kBtrfsZstd = 3;
// Defragmentation that stores the data uncompressed, whatever the file's
// setting was. Kernels before it refuse the flag; there data stored
// compressed stays so until it is written again.
constexpr __u64 kDefragNoCompress = 8;

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

struct Target {
  Descriptor fd;
  struct stat st {};
  bool btrfs = false;
};

// Opens the name for a compression request. Files honour the share modes
// and the read-only attribute of the file layer; directories have no data
// to protect and are opened for reading.
std::uint32_t openTarget(const std::string& path, bool forChange, Target& target) {
  const int probe = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return winErrorFromErrno(errno);
  Descriptor fd(probe);
  if (::fstat(fd.get(), &target.st) != 0) return winErrorFromErrno(errno);
  if (S_ISREG(target.st.st_mode)) {
    const std::uint32_t access = forChange ? kGenericRead | kGenericWrite : kGenericRead;
    const std::uint32_t share = forChange ? kFileShareRead : kFileShareRead | kFileShareWrite | kFileShareDelete;
    if (FileHandle::wouldConflict(path, access, share)) return kErrorSharingViolation;
    if (forChange) {
      // Rewriting the data in place needs a descriptor open for writing,
      // and the read-only attribute holds for administrators too.
      if ((target.st.st_mode & 0222) == 0 || readOnlyInRecord(fd.get())) return kErrorAccessDenied;
      const int rw = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
      if (rw < 0) return winErrorFromErrno(errno);
      fd = Descriptor(rw);
    }
  } else if (!S_ISDIR(target.st.st_mode)) {
    // Pipes, devices and sockets have no compression.
    return kErrorInvalidFunction;
  }
  struct statfs fs {};
  if (::fstatfs(fd.get(), &fs) != 0) return winErrorFromErrno(errno);
  if (fs.f_type == static_cast<decltype(fs.f_type)>(BTRFS_SUPER_MAGIC)) {
    target.btrfs = true;
  } else if (fs.f_type != static_cast<decltype(fs.f_type)>(kF2fsMagic)) {
    return kErrorInvalidFunction;
  }
  target.fd = std::move(fd);
  return kErrorSuccess;
}

// The algorithm a btrfs volume's mount options apply to everything it
// stores ("compress", "compress=zstd:3", "compress-force=lzo"), if any.
// The mount is found by its identifier: btrfs gives each subvolume a
// device number of its own, so device numbers do not match the mount table.
std::optional<std::uint32_t> mountCompression(int fd) {
  struct statx stx {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &stx) != 0 || !(stx.stx_mask & STATX_MNT_ID)) return std::nullopt;
  std::ifstream mounts("/proc/self/mountinfo");
  const std::string id = std::to_string(stx.stx_mnt_id);
  for (std::string line; std::getline(mounts, line);) {
    if (line.compare(0, id.size() + 1, id + " ") != 0) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) return std::nullopt;
    std::istringstream tail(line.substr(dash + 3));
    std::string type, source, options;
    tail >> type >> source >> options;
    std::istringstream list(options);
    for (std::string option; std::getline(list, option, ',');) {
      if (option != "compress" && option != "compress-force" && option.rfind("compress=", 0) != 0 &&
          option.rfind("compress-force=", 0) != 0) {
        continue;
      }
      if (option.find("=no") != std::string::npos) return std::nullopt;
      if (option.find("lzo") != std::string::npos) return kBtrfsLzo;
      if (option.find("zstd") != std::string::npos) return kBtrfsZstd;
      return kBtrfsZlib;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> propertyCompression(int fd) {
  char value[16] = {};
  const ssize_t n = ::fgetxattr(fd, kBtrfsCompressionProperty, value, sizeof value - 1);
  if (n <= 0) return std::nullopt;
  const std::string_view v(value, static_cast<std::size_t>(n));
  if (v.starts_with("lzo")) return kBtrfsLzo;
  if (v.starts_with("zstd")) return kBtrfsZstd;
  if (v.starts_with("zlib")) return kBtrfsZlib;
  return std::nullopt;
}

std::uint32_t readFlags(int fd, int& flags) {
  flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    return errno == ENOTTY ? kErrorInvalidFunction : winErrorFromErrno(errno);
  }
  return kErrorSuccess;
}

bool compresses(const Target& target, int flags) {
  if (flags & FS_NOCOMP_FL) return false;
  if (flags & FS_COMPR_FL) return true;
  if (!target.btrfs) return false;
  return propertyCompression(target.fd.get()) || mountCompression(target.fd.get());
}

// Rewrites a btrfs file's data so that what is stored follows its new
// setting; data written afterwards follows it anyway. Best effort: the
// setting itself is what the request changes.
void rewriteData(const Target& target, bool compress) {
  if (!target.btrfs || !S_ISREG(target.st.st_mode) || target.st.st_size == 0) return;
  struct btrfs_ioctl_defrag_range_args args {};
  args.start = 0;
  args.len = static_cast<__u64>(-1);
  args.flags = BTRFS_DEFRAG_RANGE_START_IO | (compress ? BTRFS_DEFRAG_RANGE_COMPRESS : kDefragNoCompress);
  // Every extent, however large, is rewritten.
  args.extent_thresh = static_cast<__u32>(-1);
  if (compress) {
    args.compress_type =
        propertyCompression(target.fd.get()).value_or(mountCompression(target.fd.get()).value_or(kBtrfsZlib));
  }
  if (::ioctl(target.fd.get(), BTRFS_IOC_DEFRAG_RANGE, &args) == 0) ::fsync(target.fd.get());
}

}  // namespace

std::uint32_t queryFileCompression(std::u16string_view name, std::uint16_t& format) {
  format = kCompressionFormatNone;
  Target target;
  std::uint32_t err = openTarget(nativePath(name), false, target);
  int flags = 0;
  if (err == kErrorSuccess) err = readFlags(target.fd.get(), flags);
  if (err == kErrorSuccess) format = compresses(target, flags) ? kCompressionFormatLznt1 : kCompressionFormatNone;
  SetLastError(err);
  return err;
}

std::uint32_t changeFileCompression(std::u16string_view name, std::uint16_t format) {
  if (format > kCompressionFormatLznt1) {
    SetLastError(kErrorInvalidParameter);
    return kErrorInvalidParameter;
  }
  Target target;
  std::uint32_t err = openTarget(nativePath(name), true, target);
  int flags = 0;
  if (err == kErrorSuccess) err = readFlags(target.fd.get(), flags);
  if (err == kErrorSuccess) {
    const bool compress = format != kCompressionFormatNone;
    int wanted = flags & ~(FS_COMPR_FL | FS_NOCOMP_FL);
    if (compress) {
      wanted |= FS_COMPR_FL;
    } else if (target.btrfs) {
      if (::fremovexattr(target.fd.get(), kBtrfsCompressionProperty) != 0 && errno != ENODATA) {
        err = winErrorFromErrno(errno);
      }
      if (mountCompression(target.fd.get())) wanted |= FS_NOCOMP_FL;
    }
    if (err == kErrorSuccess && wanted != flags && ::ioctl(target.fd.get(), FS_IOC_SETFLAGS, &wanted) != 0) {
      err = winErrorFromErrno(errno);
    }
    if (err == kErrorSuccess) rewriteData(target, compress);
  }
  SetLastError(err);
  return err;
}

}  // namespace tov::platform
