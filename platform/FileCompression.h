#pragma once
// The file system's own compression of a file or directory, as the
// compression control requests give it: query the format in use, switch it
// on or off.
//
// Only a file system that really compresses answers: btrfs (and f2fs when
// mounted with compression). ext4 keeps the compression flag without ever
// compressing, so there, as on every other file system, both requests fail
// with kErrorInvalidFunction, the code a Windows file system without the
// requests gives.
//
// On btrfs a file is compressed when its compression flag or its
// compression property is set, or when the volume is mounted to compress
// everything, and its "no compression" flag is not set. Switching on sets
// the flag with the volume's algorithm (LZNT1 does not exist there, and on
// the platform's own file systems it is what the default means) and
// rewrites the data already in a file compressed; switching off clears the
// flag and the property, forbids compression where the volume would
// otherwise apply it, and rewrites the data uncompressed. A query reports
// kCompressionFormatLznt1 for a compressed file, as the platform's file
// systems report the format in use rather than "default".
#include <cstdint>
#include <string_view>

namespace tov::platform {

inline constexpr std::uint16_t kCompressionFormatNone = 0;
inline constexpr std::uint16_t kCompressionFormatDefault = 1;
inline constexpr std::uint16_t kCompressionFormatLznt1 = 2;

// Opens for reading only, so read-only files, read-only mounts and
// directories answer too. Returns kErrorSuccess or the Windows error code.
std::uint32_t queryFileCompression(std::u16string_view name, std::uint16_t& format);

// Opens files for reading and writing, refusing others the right to write
// meanwhile, as a change of the file's content needs; directories are
// opened as they can be. A format other than the three is refused with
// kErrorInvalidParameter before anything is opened.
std::uint32_t changeFileCompression(std::u16string_view name, std::uint16_t format);

}  // namespace tov::platform
