#pragma once
// The only two ways the INI code touches a file: read it whole, replace it
// whole. A name such as "file.txt:Zone.Identifier" reaches the file's
// stream here, so the INI code reads and writes streams like files.
#include <cstdint>
#include <span>
#include <string>

#include "platform/ByteVector.h"

namespace tov::platform {

// Reads the whole file (or stream) into `out`. Returns kErrorSuccess or the
// Windows error code (kErrorFileNotFound for a missing file or stream).
std::uint32_t readProfileBytes(const std::string& path, ByteVector& out);

// Replaces the content in one step, the way AtomicFileWriter does, keeping
// the file's permissions and user extended attributes (DOS attributes,
// alternate streams); a stream is one attribute write. Returns kErrorSuccess
// or the Windows error code; on failure the old content is untouched.
std::uint32_t replaceProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tov::platform
