#include "support/IconFile.h"

#include <cerrno>
#include <filesystem>

#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"
#include "support/IconFormats.h"

namespace tov {
namespace {

// No icon file is this large; anything larger is not read into memory.
constexpr std::int64_t kMaxIconFileBytes = std::int64_t{16} << 20;

bool directoryExists(std::u16string_view fileName) {
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(platform::nativePath(fileName)).parent_path();
  return std::filesystem::is_directory(parent.empty() ? std::filesystem::path(".") : parent, ec);
}

}  // namespace

IconImage loadIconFile(std::u16string_view iconFile) {
  platform::FileHandle file =
      platform::FileHandle::open(iconFile, platform::kGenericRead, platform::kFileShareRead,
                                 platform::CreateDisposition::OpenExisting);
  if (!file.valid()) {
    // Missing in a directory that exists is "File not found"; a missing
    // directory stays "Path not found".
    if (file.error() == ENOENT && directoryExists(iconFile)) raiseError(errors::kFileNotFound);
    throw RuntimeError(fileSystemError(file.error()));
  }
  // A device or a pipe reports no size: it reads as no image, never blocks.
  const std::int64_t size = file.size();
  if (size <= 0 || size > kMaxIconFileBytes) raiseError(errors::kInvalidPicture);
  ByteVector bytes;
  if (!file.readAt(0, static_cast<std::size_t>(size), bytes)) throw RuntimeError(fileSystemError(errno));
  return decodePng(bytes);
}

}  // namespace tov
