#pragma once
// The only two ways the INI code touches a file: read it whole, replace it
// whole. Keeping them here lets the file layer later route names such as
// "file.txt:Zone.Identifier" to a stream without the INI code knowing.
#include <cstdint>
#include <span>
#include <string>

#include "platform/ByteVector.h"

namespace tov::platform {

// Reads the whole file into `out`. Returns kErrorSuccess or the Windows
// error code (kErrorFileNotFound for a missing file).
std::uint32_t readProfileBytes(const std::string& path, ByteVector& out);

// Replaces the file's content in one step: a new file is written beside it
// and renamed over it, carrying over the old file's permissions and user
// extended attributes (DOS attributes, alternate streams). A symbolic link
// is followed, not replaced. A read-only file, a directory, or a file held
// open by someone who refuses writers is refused. Returns kErrorSuccess or
// the Windows error code; on failure the old file is untouched.
std::uint32_t replaceProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tov::platform
