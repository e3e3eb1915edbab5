// Compression members of tovFSO.
#include "fileio/tovFSO.h"
#include "platform/FileCompression.h"
#include "platform/WinError.h"

namespace ferrule {
namespace {

namespace platform = tov::platform;

void report(std::int32_t* lpErrorCode, std::uint32_t code) {
  if (lpErrorCode) *lpErrorCode = static_cast<std::int32_t>(code);
}

}  // namespace

bool tovFSO::SetFileCompression(std::u16string_view FileName, std::int32_t CompressionFormat,
                                std::int32_t* lpErrorCode) {
  // Only the three formats exist; anything else would reach the file system
  // cut to its low 16 bits (65536 switching compression off, 65537 on) and
  // report success for a request nobody made.
  if (CompressionFormat < cfNone || CompressionFormat > cfLZNT1) {
    report(lpErrorCode, platform::kErrorInvalidParameter);
    return false;
  }
  const std::uint32_t err =
      platform::changeFileCompression(FileName, static_cast<std::uint16_t>(CompressionFormat));
  report(lpErrorCode, err);
  return err == platform::kErrorSuccess;
}

std::int32_t tovFSO::GetFileCompression(std::u16string_view FileName, std::int32_t* lpErrorCode) {
  std::uint16_t format = platform::kCompressionFormatNone;
  const std::uint32_t err = platform::queryFileCompression(FileName, format);
  report(lpErrorCode, err);
  return err == platform::kErrorSuccess ? std::int32_t{format} : std::int32_t{cfError};
}

}  // namespace ferrule
