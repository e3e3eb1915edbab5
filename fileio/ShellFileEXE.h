#pragma once
// What the shell says about a program file: the signature of its header
// ("PE", "NE" or "MZ"; empty for anything that is not a program) and the
// Windows version it asks for. Filled once by the object that makes it and
// never changed.
#include <cstdint>
#include <string>

namespace ferrule {

class ShellFileEXE {
 public:
  // Empty signature, versions 0.
  ShellFileEXE() = default;
  // InitFromExeType: the value the shell returns for SHGFI_EXETYPE; the
  // signature in the low word (its low byte first, each byte a character of
  // the ANSI code page), the version in the high word (major in its high byte).
  static ShellFileEXE fromExeType(std::uint32_t exeType);

  const std::u16string& Signature() const { return signature_; }
  std::int32_t OSVersionMajor() const { return major_; }
  std::int32_t OSVersionMinor() const { return minor_; }

 private:
  std::u16string signature_;
  std::int32_t major_ = 0;
  std::int32_t minor_ = 0;
};

}  // namespace ferrule
