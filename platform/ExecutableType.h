#pragma once
// The kind of program a file holds, told from its headers the way the shell
// reports it to SHGetFileInfo(SHGFI_EXETYPE): the low word is the signature
// ("MZ", "NE" or "PE" as a little-endian word), the high word the Windows
// version a GUI program asks for (major in the high byte), 0 otherwise.
//
//   PE GUI program          0x04004550  "PE", subsystem version 4.0
//   PE console program      0x00004550
//   NE Windows program      0x030A454E  "NE", expected Windows 3.10
//   MS-DOS program          0x00005A4D  (also LE/LX-extended DOS programs)
//   .bat or .cmd file       0x00004550  (what the shell answers for scripts)
//   anything else           0           (DLLs, drivers, OS/2 programs, ELF...)
//
// Every offset comes from an untrusted file: each is checked against the
// bytes the file holds before it is followed, so a truncated or lying header
// reads as "not a program", never as a read outside the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ImageBytes.h"

namespace tov::platform {

inline constexpr std::uint16_t kExeSignatureMz = 0x5A4D;
inline constexpr std::uint16_t kExeSignatureNe = 0x454E;
inline constexpr std::uint16_t kExeSignaturePe = 0x4550;

// The shell's value for an image; the file name's extension (".com",
// ".bat", ".cmd", any case) decides for files without a program header.
std::uint32_t executableType(ImageBytes& image, std::string_view fileName);

// The same for a file by its native path: 0 when it is not a regular file
// or cannot be read. Opening never blocks (FIFOs and devices are refused).
std::uint32_t executableTypeOfFile(const std::string& nativePath);

}  // namespace tov::platform
