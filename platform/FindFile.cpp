#include "platform/FindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/FileNamePattern.h"
#include "platform/ListingOrder.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {

struct FindState {
  struct Entry {
    std::string nativeName;
    std::u16string name;
    unsigned char type = DT_UNKNOWN;
  };

  ~FindState() {
    if (fd >= 0) close(fd);
  }

  int fd = -1;  // the listed directory; entries are examined relative to it
  std::vector<Entry> entries;
  std::size_t next = 0;
  std::uint32_t pendingError = kErrorSuccess;  // the listing broke off after `entries`
  bool examineDots = true;
  FileIdentity directory;
};

namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

FileIdentity identityOf(const struct statx& st) {
  return {makedev(st.stx_dev_major, st.stx_dev_minor), st.stx_ino};
}

std::uint64_t bytesOnDisk(const struct statx& st) {
  return S_ISREG(st.stx_mode) ? std::min<std::uint64_t>(st.stx_size, st.stx_blocks * 512) : 0;
}

FileTime fileTimeOf(const struct statx_timestamp& t) { return fileTimeFromUnix(t.tv_sec, t.tv_nsec); }

bool isDotEntry(std::string_view name) { return name == "." || name == ".."; }

enum class Look { Found, Vanished };

// Fills `data` for one entry; an entry that cannot be examined keeps what
// the listing itself told (name and type).
// Each entry is examined once: its name moves into `data`.
Look examine(const FindState& state, FindState::Entry& entry, FindData& data) {
  data = FindData{};
  data.fileName = std::move(entry.name);
  if (!state.examineDots && isDotEntry(entry.nativeName)) {
    data.fileAttributes = kFileAttributeDirectory;
    return Look::Found;
  }
  const char* name = entry.nativeName.c_str();
  struct statx st {};
  if (statx(state.fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
    if (errno == ENOENT) return Look::Vanished;
    data.fileAttributes = entry.type == DT_DIR ? kFileAttributeDirectory : kFileAttributeNormal;
    if (entry.nativeName.size() > 1 && entry.nativeName[0] == '.' && entry.nativeName != "..") {
      data.fileAttributes |= kFileAttributeHidden;
    }
    return Look::Found;
  }
  std::uint64_t recordCreationTime = 0;
  data.fileAttributes = attributesOfEntry(state.fd, name, st.stx_mode, st.stx_attributes & st.stx_attributes_mask,
                                          &recordCreationTime);
  data.lastWriteTime = fileTimeOf(st.stx_mtime);
  data.lastAccessTime = fileTimeOf(st.stx_atime);
  // A creation time a client of a share set wins over the inode's birth:
  // the server shows that one, and a copy keeps the original's date only
  // there.
  if (recordCreationTime != 0) {
    data.creationTime = recordCreationTime;
  } else if (st.stx_mask & STATX_BTIME) {
    data.creationTime = fileTimeOf(st.stx_btime);
  } else {
    data.creationTime = std::min({data.lastWriteTime, data.lastAccessTime, fileTimeOf(st.stx_ctime)});
  }
  const std::uint64_t size = S_ISREG(st.stx_mode) ? st.stx_size : 0;
  data.fileSizeHigh = static_cast<std::uint32_t>(size >> 32);
  data.fileSizeLow = static_cast<std::uint32_t>(size);
  // The query opens what the name leads to: a directory has nothing to
  // measure, and a link would be measured at its target, not here.
  if (!S_ISDIR(st.stx_mode) && !S_ISLNK(st.stx_mode)) data.compressedSize = bytesOnDisk(st);
  data.identity = identityOf(st);
  return Look::Found;
}

// Moves to the next entry that is still there.
bool fillNext(FindState& state, FindData& data) {
  while (state.next < state.entries.size()) {
    if (examine(state, state.entries[state.next++], data) == Look::Found) return true;
  }
  return false;
}

void failWith(std::uint32_t code) { SetLastError(code); }

// Reads every name of the directory that the pattern matches. A read that
// breaks off keeps what it got and notes the error for the listing's end.
void readMatches(FindState& state, const FileNamePattern& pattern, bool root) {
  constexpr std::size_t kBufferSize = 64 * 1024;
  thread_local std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  for (;;) {
    const ssize_t n = getdents64(state.fd, buffer.get(), kBufferSize);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      state.pendingError = winErrorFromErrno(errno);
      break;
    }
    for (ssize_t at = 0; at < n;) {
      const auto* d = reinterpret_cast<const dirent64*>(buffer.get() + at);
      at += d->d_reclen;
      const std::string_view native = d->d_name;
      if (root && isDotEntry(native)) continue;
      std::u16string name = fromNativePath(native);
      if (!pattern.matches(name)) continue;
      state.entries.push_back({std::string(native), std::move(name), d->d_type});
    }
  }
  std::sort(state.entries.begin(), state.entries.end(),
            [](const FindState::Entry& a, const FindState::Entry& b) { return listedBefore(a.name, b.name); });
}

// The root lists no "." and "..", as a drive's root does not.
bool isRootDirectory(const FileIdentity& directory) {
  static const FileIdentity root = [] {
    struct statx st {};
    return statx(AT_FDCWD, "/", 0, STATX_INO, &st) == 0 ? identityOf(st) : FileIdentity{};
  }();
  return directory == root;
}

// The listing of `pattern`, its directory part taken from `baseFd`
// (AT_FDCWD for a path of its own).
FindHandle findFirst(int baseFd, std::u16string_view pattern, FindData& data, bool followLink, bool examineDots) {
  data = FindData{};
  std::size_t sep = pattern.size();
  while (sep > 0 && !isSeparator(pattern[sep - 1])) --sep;
  const std::u16string_view namePart = pattern.substr(sep);
  if (namePart.empty()) {
    failWith(kErrorFileNotFound);
    return {};
  }
  // Without its final separator, which would make the last part of the
  // directory follow a link whatever the caller asked.
  std::size_t end = sep;
  while (end > 1 && isSeparator(pattern[end - 1])) --end;
  const std::string directory = sep == 0 ? std::string(".") : nativePath(pattern.substr(0, end));
  const std::string nativeName = nativePath(namePart);
  // A name cut short at a NUL would list or find another file.
  if (!isUsablePath(directory) || !isUsablePath(nativeName)) {
    failWith(kErrorInvalidName);
    return {};
  }
  const int noFollow = followLink ? 0 : O_NOFOLLOW;
  const FileNamePattern names(namePart);
  auto state = std::make_unique<FindState>();
  state->examineDots = examineDots;

  state->fd = openat(baseFd, directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | noFollow);
  // A plain name needs no reading of its directory, which may be one the
  // caller can search but not read.
  if (state->fd < 0 && errno == EACCES && !names.hasWildcards()) {
    state->fd = openat(baseFd, directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | noFollow);
  }
  if (state->fd < 0) {
    failWith(errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : winErrorFromErrno(errno));
    return {};
  }
  struct statx dir {};
  if (statx(state->fd, "", AT_EMPTY_PATH, STATX_INO, &dir) == 0) state->directory = identityOf(dir);

  struct statx exact {};
  if (!names.hasWildcards() && !isDotEntry(nativeName) &&
      statx(state->fd, nativeName.c_str(), AT_SYMLINK_NOFOLLOW, 0, &exact) == 0) {
    state->entries.push_back({nativeName, std::u16string(namePart), DT_UNKNOWN});
  } else {
    readMatches(*state, names, isRootDirectory(state->directory));
  }
  if (!fillNext(*state, data)) {
    failWith(state->pendingError != kErrorSuccess ? state->pendingError : kErrorFileNotFound);
    return {};
  }
  SetLastError(kErrorSuccess);
  return FindHandle(std::move(state));
}

}  // namespace

FindHandle::FindHandle() = default;
FindHandle::FindHandle(std::unique_ptr<FindState> state) : state_(std::move(state)) {}
FindHandle::~FindHandle() = default;
FindHandle::FindHandle(FindHandle&&) noexcept = default;
FindHandle& FindHandle::operator=(FindHandle&&) noexcept = default;

FileIdentity FindHandle::directory() const { return state_ ? state_->directory : FileIdentity{}; }
std::size_t FindHandle::remaining() const { return state_ ? state_->entries.size() - state_->next : 0; }

FindHandle FindFirstFileW(std::u16string_view pattern, FindData& data) {
  return findFirst(AT_FDCWD, pattern, data, true, true);
}

FindHandle FindFirstFileBelow(const FindHandle& base, std::u16string_view relativePattern, FindData& data,
                              bool followLink, bool examineDots) {
  if (!base.valid()) {
    data = FindData{};
    failWith(kErrorInvalidHandle);
    return {};
  }
  return findFirst(base.state()->fd, relativePattern, data, followLink, examineDots);
}

bool FindNextFileW(FindHandle& handle, FindData& data) {
  FindState* state = handle.state();
  if (!state) {
    failWith(kErrorInvalidHandle);
    return false;
  }
  if (fillNext(*state, data)) {
    SetLastError(kErrorSuccess);
    return true;
  }
  data = FindData{};
  // The names are done with; the handle may still serve as a base.
  state->entries = {};
  if (state->pendingError != kErrorSuccess) {
    failWith(state->pendingError);
    return false;
  }
  // A directory removed while it was listed has no links left: what was
  // read of it is not a whole listing.
  struct statx st {};
  if (statx(state->fd, "", AT_EMPTY_PATH, STATX_NLINK, &st) == 0 && st.stx_nlink == 0) {
    failWith(kErrorPathNotFound);
    return false;
  }
  failWith(kErrorNoMoreFiles);
  return false;
}

void FindClose(FindHandle& handle) { handle = FindHandle(); }

std::uint32_t GetCompressedFileSizeW(std::u16string_view name, std::uint32_t* high) {
  const std::string path = nativePath(name);
  struct statx st {};
  if (!isUsablePath(path)) {
    failWith(kErrorInvalidName);
    return kInvalidFileSize;
  }
  if (path.empty() || statx(AT_FDCWD, path.c_str(), 0, STATX_SIZE | STATX_BLOCKS | STATX_TYPE, &st) != 0) {
    failWith(path.empty() ? kErrorFileNotFound : winErrorFromErrno(errno));
    return kInvalidFileSize;
  }
  // Opening a directory as a file is refused on Windows.
  if (S_ISDIR(st.stx_mode)) {
    failWith(kErrorAccessDenied);
    return kInvalidFileSize;
  }
  const std::uint64_t onDisk = bytesOnDisk(st);
  if (high) *high = static_cast<std::uint32_t>(onDisk >> 32);
  SetLastError(kErrorSuccess);
  return static_cast<std::uint32_t>(onDisk);
}

std::optional<FileIdentity> fileIdentity(std::u16string_view name) {
  const std::string path = nativePath(name);
  struct statx st {};
  if (path.empty() || !isUsablePath(path) || statx(AT_FDCWD, path.c_str(), 0, STATX_INO, &st) != 0) {
    return std::nullopt;
  }
  return identityOf(st);
}

bool PathIsRootW(std::u16string_view path) {
  return !path.empty() && std::all_of(path.begin(), path.end(), isSeparator);
}

}  // namespace tov::platform
