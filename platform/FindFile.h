#pragma once
// Directory listings as FindFirstFile and FindNextFile give them: a pattern
// "directory/name-with-wildcards" (see FileNamePattern), one entry record at
// a time.
//
// - Entries come sorted by name without letter case, "." and ".." first
//   (the root has neither), so a listing does not depend on the order the
//   directory happens to keep.
// - Attributes are those of GetFileAttributes (FileAttributes.h): a
//   symbolic link is a reparse point, with the directory bit when it leads
//   to a directory; times and sizes are the link's own.
// - Times are file times (UTC). Where the file system keeps no birth time,
//   the creation time is the earliest of the modification, change and
//   access times.
// - Directories, links, devices and pipes have size 0, as Windows lists
//   them.
// - A name that vanishes between the listing and its examination is left
//   out; one that cannot be examined (a directory that may be listed but
//   not searched) is given with its name, its directory bit and nothing
//   else.
// - A listing ends with kErrorNoMoreFiles; any other error, including the
//   directory being removed while it was listed, says the listing is not
//   whole.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace tov::platform {

struct FindData {
  std::uint32_t fileAttributes = 0;
  FileTime creationTime = 0;
  FileTime lastAccessTime = 0;
  FileTime lastWriteTime = 0;
  std::uint32_t fileSizeHigh = 0;
  std::uint32_t fileSizeLow = 0;
  std::u16string fileName;
  // The 8.3 short name: the file systems here keep none, so always empty.
  std::u16string alternateFileName;

  // What GetCompressedFileSize reports for the entry, taken in the same look
  // as the fields above; empty where that query would fail or would look
  // elsewhere: for a directory, for a link, and for an entry that could not
  // be examined.
  std::optional<std::uint64_t> compressedSize;
  // Device and inode of the entry itself (of a link, not of its target).
  // On Windows (volume serial number and file index) only directories and
  // reparse points carry it, as a walk needs it for those alone; a file's
  // is zero there.
  struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
  } identity;
};

using FileIdentity = FindData::Identity;

struct FindState;

class FindHandle {
 public:
  FindHandle();
  ~FindHandle();
  FindHandle(FindHandle&&) noexcept;
  FindHandle& operator=(FindHandle&&) noexcept;

  bool valid() const { return state_ != nullptr; }
  // The directory this listing reads, for a walk that must not enter a
  // directory that is already on its way down.
  FileIdentity directory() const;
  // How many entries the listing may still give (some may vanish before
  // they are examined), for a caller that keeps them all.
  std::size_t remaining() const;

  // For the find functions themselves: the listing's state is theirs.
  explicit FindHandle(std::unique_ptr<FindState> state);
  FindState* state() const { return state_.get(); }

 private:
  std::unique_ptr<FindState> state_;
};

// The first matching entry. On failure the handle is invalid and the last
// error says why: kErrorFileNotFound when nothing matches (also for a
// pattern that ends in a separator), kErrorPathNotFound when the directory
// does not exist, kErrorAccessDenied when it may not be read.
FindHandle FindFirstFileW(std::u16string_view pattern, FindData& data);
// The same listing with the pattern's directory part taken from the
// directory `base` lists, so a walk down a tree does not resolve its long
// paths again at each level ("name/*" lists base/name). With `followLink`
// false a directory part that ends in a symbolic link is not followed: it
// is no directory (kErrorPathNotFound). `base` must be a handle
// that FindFirstFile gave and FindClose has not ended; it may have reached
// the end of its own listing. With `examineDots` false, "." and ".." come
// with their names and the directory bit only, for a walk that passes over
// them and should not pay for looking at them.
FindHandle FindFirstFileBelow(const FindHandle& base, std::u16string_view relativePattern, FindData& data,
                              bool followLink = true, bool examineDots = true);
// The next entry; false at the end (last error kErrorNoMoreFiles) or when
// the listing failed (any other last error).
bool FindNextFileW(FindHandle& handle, FindData& data);
// Ends the listing; the handle is invalid afterwards.
void FindClose(FindHandle& handle);

// The bytes a file occupies on disk: its allocated blocks, never more than
// its size (a file stored whole reports its size, a compressed or sparse
// one less); 0 for devices and pipes. A link is followed; a directory is
// refused (kErrorAccessDenied), as a directory cannot be opened as a file.
// kInvalidFileSize on failure, with the last error set; *high receives the
// upper 32 bits.
inline constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFFu;
std::uint32_t GetCompressedFileSizeW(std::u16string_view name, std::uint32_t* high);

// Device and inode of what the name leads to (a link is followed).
std::optional<FileIdentity> fileIdentity(std::u16string_view name);

// True for a path that names the root itself ("/", "\", "//").
bool PathIsRootW(std::u16string_view path);

}  // namespace tov::platform
