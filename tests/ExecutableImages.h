#pragma once
// Executable images made byte by byte for the tests: a DOS header with its
// new-header pointer at 0x80, and a PE, NE or LE header there.
#include <cstdint>
#include <vector>

namespace tovtest {

inline void putU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  putU16(b, at, static_cast<std::uint16_t>(v));
  putU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

constexpr std::size_t kNewHeader = 0x80;

// A DOS program: header, then a few bytes of code (mov ah,4Ch; int 21h).
inline std::vector<std::uint8_t> dosImage() {
  std::vector<std::uint8_t> b(kNewHeader, 0);
  b[0] = 'M', b[1] = 'Z';
  putU16(b, 0x02, kNewHeader % 512);  // bytes on the last page
  putU16(b, 0x04, 1);                 // pages
  putU16(b, 0x08, 4);                 // header paragraphs
  putU16(b, 0x18, 0x40);              // relocation table offset: a new-style header follows
  b[0x40] = 0xB4, b[0x41] = 0x4C, b[0x42] = 0xCD, b[0x43] = 0x21;
  return b;
}

inline std::vector<std::uint8_t> withNewHeader(std::size_t size) {
  std::vector<std::uint8_t> b = dosImage();
  putU32(b, 0x3C, kNewHeader);
  b.resize(kNewHeader + size, 0);
  return b;
}

struct PeOptions {
  std::uint16_t subsystem = 2;
  std::uint16_t major = 4;
  std::uint16_t minor = 0;
  std::uint16_t characteristics = 0x0102;  // executable image, 32-bit machine
  std::uint16_t magic = 0;                 // 0: PE32 or PE32+ as pe32plus says
  bool pe32plus = false;
};

inline std::vector<std::uint8_t> peImage(PeOptions o) {
  const std::uint16_t optionalSize = o.pe32plus ? 240 : 224;
  std::vector<std::uint8_t> b = withNewHeader(24 + optionalSize);
  const std::size_t h = kNewHeader;
  b[h] = 'P', b[h + 1] = 'E';
  putU16(b, h + 4, o.pe32plus ? 0x8664 : 0x14C);
  putU16(b, h + 20, optionalSize);
  putU16(b, h + 22, o.characteristics);
  const std::size_t opt = h + 24;
  putU16(b, opt, o.magic ? o.magic : (o.pe32plus ? 0x20B : 0x10B));
  putU16(b, opt + 40, o.major);  // operating system version: not what the shell reports
  putU16(b, opt + 48, o.major);
  putU16(b, opt + 50, o.minor);
  putU16(b, opt + 68, o.subsystem);
  return b;
}

struct NeOptions {
  std::uint8_t targetOs = 2;
  std::uint16_t expectedWindows = 0x030A;
  std::uint16_t flags = 0x0302;  // multiple data segments, protected mode only
};

inline std::vector<std::uint8_t> neImage(NeOptions o) {
  std::vector<std::uint8_t> b = withNewHeader(0x40);
  const std::size_t h = kNewHeader;
  b[h] = 'N', b[h + 1] = 'E';
  b[h + 2] = 5;  // linker version
  putU16(b, h + 0x0C, o.flags);
  b[h + 0x36] = o.targetOs;
  putU16(b, h + 0x3E, o.expectedWindows);
  return b;
}

inline std::vector<std::uint8_t> leImage(std::uint32_t moduleFlags) {
  std::vector<std::uint8_t> b = withNewHeader(0x20);
  const std::size_t h = kNewHeader;
  b[h] = 'L', b[h + 1] = 'E';
  putU16(b, h + 0x08, 2);  // 80386
  putU16(b, h + 0x0A, 1);
  putU32(b, h + 0x10, moduleFlags);
  return b;
}

}  // namespace tovtest
