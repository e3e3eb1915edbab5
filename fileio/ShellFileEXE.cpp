#include "fileio/ShellFileEXE.h"

#include "support/SystemFunctions.h"
#include "support/TextConversions.h"

namespace ferrule {

ShellFileEXE ShellFileEXE::fromExeType(std::uint32_t exeType) {
  ShellFileEXE exe;
  const std::uint16_t version = tov::asHiWord(exeType);
  const std::uint16_t signature = tov::asLoWord(exeType);
  exe.major_ = tov::asHiByte(version);
  exe.minor_ = tov::asLoByte(version);
  // No signature is what the shell answers for a file that is not a program.
  if (signature != 0) {
    const tov::ByteArray bytes{tov::asLoByte(signature), tov::asHiByte(signature)};
    exe.signature_ = tov::asStrConvW(bytes);
  }
  return exe;
}

}  // namespace ferrule
