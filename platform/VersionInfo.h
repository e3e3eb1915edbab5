#pragma once
// The version services: the version resource of an executable file (PE32,
// PE32+ or 16-bit NE) read without loading it, queries on it, and the names
// of languages.
//
// The data these hand out is always in the 32-bit layout (VersionTree.h):
// the resource itself for 32-bit images, the converted resource for 16-bit
// ones, so every query answers text in UTF-16 and no text is narrowed to a
// code page on the way. Nothing past the 16-bit length of the root block is
// ever reachable by a query, so no more than that much is read.
//
// Each call sets the thread's last error (kErrorSuccess or the code of the
// failure).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"

namespace tov::platform {

// Reads the version resource of the file once and returns it in `data`.
// Returns kErrorSuccess or the Windows error code: the open's own code for
// a file that cannot be opened, kErrorAccessDenied for a directory,
// kErrorBadFormat for anything that is no executable image (FIFOs and
// devices included, which are not read), a resource error code for an
// image without a version resource.
std::uint32_t readFileVersionInfo(std::u16string_view fileName, ByteVector& data);

// The size of the file's version data, 0 on failure.
std::uint32_t GetFileVersionInfoSizeW(std::u16string_view fileName);
// Copies the version data into `data`, at most its size; the rest of `data`
// is zeroed. False on failure. `handle` is ignored, as it is everywhere.
bool GetFileVersionInfoW(std::u16string_view fileName, std::uint32_t handle, std::span<std::uint8_t> data);

struct VersionValue {
  std::span<const std::uint8_t> bytes;  // inside the block, as far as the block holds it
  std::uint32_t length = 0;             // as the resource states it, cut to `bytes`:
                                        // UTF-16 units for text, bytes otherwise
  bool text = false;
};

// The value at `subBlock` ("\" for the fixed file information,
// "\VarFileInfo\Translation", "\StringFileInfo\<table>\<name>") of version
// data in the 32-bit layout. Unlike the Windows call it is given the
// block's size, so a block whose lengths lie is never read past its end.
// False when the path does not exist (kErrorResourceTypeNotFound) or the
// data is not version data (kErrorInvalidParameter).
bool VerQueryValueW(std::span<const std::uint8_t> block, std::u16string_view subBlock, VersionValue& value);

// Writes the English name of a Windows language identifier into `name`,
// cut to fit and ended by NUL (when `name` has room for anything), and
// returns the length of the whole name. Identifiers not known give
// "Unknown language".
std::uint32_t VerLanguageNameW(std::uint32_t language, std::span<char16_t> name);
std::u16string languageName(std::uint32_t language);

}  // namespace tov::platform
