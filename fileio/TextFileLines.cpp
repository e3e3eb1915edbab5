#include "fileio/TextFileLines.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fileio/tovFSO.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"

namespace ferrule {
namespace {

namespace platform = tov::platform;

// Files are measured in 32-bit signed lengths, as the whole-file members
// measure them; a longer file would not fit in memory as text anyway.
constexpr std::int64_t kMaxTextFileLength = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kChunk = 64 * 1024;

[[noreturn]] void raise(std::int32_t number) { tov::raiseError(number, kLibrarySource); }
[[noreturn]] void raiseFileError(int err) { throw tov::RuntimeError(tov::fileSystemError(err, kLibrarySource)); }

bool isDirectory(const std::string& path) { return platform::fileStatus(path).directory; }

// A missing file is "file not found" only where its directory exists;
// otherwise the path itself is missing.
[[noreturn]] void raiseMissing(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  const std::string parent = slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
  raise(isDirectory(parent) ? tov::errors::kFileNotFound : tov::errors::kPathNotFound);
}

[[noreturn]] void raiseOpenFailure(const std::string& path, int err) {
  if (err == ENOENT) raiseMissing(path);
  if (err == ENOTDIR) raise(tov::errors::kPathNotFound);
  raiseFileError(err);
}

// Only a regular file is read: opening a device can have effects of its own,
// and a device or pipe may never end.
void checkRegular(const platform::FileStatus& status) {
  if (!status.regular) raise(tov::errors::kPathFileAccessError);
  if (status.size > kMaxTextFileLength) raise(tov::errors::kOutOfMemory);
}

platform::FileHandle openTextFile(const std::string& path) {
  platform::FileStatus status = platform::fileStatus(path);
  if (!status.exists) raiseOpenFailure(path, status.error);
  checkRegular(status);
  auto file = platform::FileHandle::openNative(path, platform::kGenericRead, platform::kFileShareRead,
                                               platform::CreateDisposition::OpenExisting);
  if (!file.valid()) raiseOpenFailure(path, file.error());
  // The name may have been replaced by something else since the check.
  status = platform::fileStatus(file);
  if (!status.exists) raiseFileError(status.error);
  checkRegular(status);
  return file;
}

}  // namespace

TextLineSplitter::TextLineSplitter(const platform::CodePage& page, LineHandler onLine)
    : page_(page), onLine_(std::move(onLine)) {}

void TextLineSplitter::feed(std::span<const std::uint8_t> bytes) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    if (b != '\r' && b != '\n') continue;
    // The LF of a CR LF pair whose CR ended the previous line, in this
    // piece or at the end of the last one.
    const bool secondHalfOfPair = b == '\n' && afterCr_ && i == start;
    afterCr_ = b == '\r';
    if (!secondHalfOfPair) endLine(bytes.subspan(start, i - start));
    start = i + 1;
  }
  if (start < bytes.size()) {
    afterCr_ = false;
    pending_.insert(pending_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
    partial_ = true;
  }
}

void TextLineSplitter::finish() {
  if (partial_) endLine({});
}

void TextLineSplitter::endLine(std::span<const std::uint8_t> tail) {
  std::span<const std::uint8_t> bytes = tail;
  if (partial_) {
    pending_.insert(pending_.end(), tail.begin(), tail.end());
    bytes = pending_;
  }
  line_.resize(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) line_[i] = page_.decode(bytes[i]);
  pending_.clear();
  partial_ = false;
  onLine_(line_);
}

void readTextFileLines(std::u16string_view fileName, const platform::CodePage& page, const LineHandler& onLine) {
  // A NUL would end the name early for the system, naming another file.
  if (fileName.empty() || fileName.find(u'\0') != std::u16string_view::npos) raise(tov::errors::kBadFileNameOrNumber);
  const std::string path = platform::nativePath(fileName);
  platform::FileHandle file = openTextFile(path);
  TextLineSplitter lines(page, onLine);
  // The whole file in the first read where its size is known, so no line
  // is copied to be joined; files that tell no size come in chunks.
  const std::int64_t size = file.size();
  const auto firstRead = static_cast<std::size_t>(std::max<std::int64_t>(kChunk, size + 1));
  tov::ByteVector chunk;
  for (std::int64_t offset = 0;; offset += static_cast<std::int64_t>(chunk.size())) {
    if (!file.readAt(offset, offset == 0 ? firstRead : kChunk, chunk)) raiseFileError(file.error());
    if (chunk.empty()) break;
    // A file that grows while it is read is held to the same limit.
    if (offset + static_cast<std::int64_t>(chunk.size()) > kMaxTextFileLength) raise(tov::errors::kOutOfMemory);
    lines.feed(chunk);
  }
  lines.finish();
}

}  // namespace ferrule
