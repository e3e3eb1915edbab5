#include "fileio/FoundedFile.h"

#include "fileio/tovFoundedFiles.h"

namespace ferrule {

FoundedFile::FoundedFile(tov::platform::FindData&& entry, SharedText path)
    : attributes_(entry.fileAttributes),
      creationTime_(entry.creationTime),
      lastAccessTime_(entry.lastAccessTime),
      lastWriteTime_(entry.lastWriteTime),
      size_((static_cast<std::uint64_t>(entry.fileSizeHigh) << 32) | entry.fileSizeLow),
      identity_(entry.identity),
      name_(std::move(entry.fileName)),
      path_(std::move(path)) {
  if (!entry.alternateFileName.empty()) {
    alternateName_ = std::make_unique<std::u16string>(std::move(entry.alternateFileName));
  }
  if (entry.compressedSize) {
    compressedSize_ = static_cast<double>(*entry.compressedSize);
  } else if (!isDirectory()) {
    compressedSize_ = FileSize();
  } else {
    compressedSize_ = -1.0;  // settled once the level below is known
  }
}

FoundedFile::~FoundedFile() = default;
FoundedFile::FoundedFile(FoundedFile&&) noexcept = default;
FoundedFile& FoundedFile::operator=(FoundedFile&&) noexcept = default;

tovFoundedFiles& FoundedFile::Childs() {
  if (!childs_) childs_ = std::make_unique<tovFoundedFiles>();
  return *childs_;
}

double FoundedFile::FileSize() const {
  if (sizeCache_ == -1.0) {
    if (isDirectory()) {
      sizeCache_ = childs_ ? childs_->Size() : 0.0;
    } else {
      sizeCache_ = static_cast<double>(size_);
    }
  }
  return sizeCache_;
}

void FoundedFile::settleCompressedSize() {
  if (compressedSize_ < 0) compressedSize_ = FileSize();
}

}  // namespace ferrule
