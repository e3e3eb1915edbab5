#pragma once
// One entry a search found: the directory entry as the platform listed it,
// the directory it was found in, and for a directory the level of the tree
// below it. Made only by a search (tovFoundedFiles); afterwards it only
// answers questions.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileAttributes.h"
#include "platform/FindFile.h"
#include "support/AutomationDate.h"

namespace ferrule {

class tovFoundedFiles;

class FoundedFile {
 public:
  using SharedText = std::shared_ptr<const std::u16string>;

  // `path` is shared by the entries of one listing.
  FoundedFile(tov::platform::FindData&& entry, SharedText path);
  ~FoundedFile();
  FoundedFile(FoundedFile&&) noexcept;
  FoundedFile& operator=(FoundedFile&&) noexcept;

  // The level below: what the search found inside a directory it entered;
  // an empty level for anything else (made when first asked for).
  tovFoundedFiles& Childs();
  // The directory the entry was found in.
  const std::u16string& Path() const { return *path_; }
  std::uint32_t FileAttributes() const { return attributes_; }
  bool hasAttribute(std::uint32_t bit) const { return (attributes_ & bit) != 0; }
  // Local dates, each with its own offset from UTC; the zero date where the
  // time is not known.
  tov::Date CreationTime() const { return tov::dateFromFileTime(creationTime_); }
  tov::Date LastAccessTime() const { return tov::dateFromFileTime(lastAccessTime_); }
  tov::Date LastWriteTime() const { return tov::dateFromFileTime(lastWriteTime_); }
  // A directory's size is the total of the entries found below it, taken
  // when first asked for and kept, whatever happens below afterwards.
  double FileSize() const;
  double CompressedFileSize() const { return compressedSize_; }
  const std::u16string& FileName() const { return name_; }
  std::u16string AlternateFileName() const { return alternateName_ ? *alternateName_ : std::u16string(); }

  bool isDirectory() const { return hasAttribute(tov::platform::kFileAttributeDirectory); }
  bool isReparsePoint() const { return hasAttribute(tov::platform::kFileAttributeReparsePoint); }
  const tov::platform::FileIdentity& identity() const { return identity_; }
  // The level below if one was made, else null.
  tovFoundedFiles* childsIfMade() const { return childs_.get(); }

 private:
  friend class TreeSearch;
  friend class tovFoundedFiles;

  // Where the listing had no compressed size, the file size stands for it;
  // for a directory that is known once its level below is complete.
  void settleCompressedSize();

  std::uint32_t attributes_ = 0;
  tov::platform::FileTime creationTime_ = 0;
  tov::platform::FileTime lastAccessTime_ = 0;
  tov::platform::FileTime lastWriteTime_ = 0;
  std::uint64_t size_ = 0;
  tov::platform::FileIdentity identity_;
  std::u16string name_;
  std::unique_ptr<std::u16string> alternateName_;  // only when the platform gives one
  SharedText path_;
  std::unique_ptr<tovFoundedFiles> childs_;
  double compressedSize_ = 0;
  mutable double sizeCache_ = -1.0;  // -1: not computed yet
};

}  // namespace ferrule
