#include "platform/ExecutableType.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>


namespace tov::platform {
namespace {

// The fixed part of the MS-DOS header every program loader reads.
constexpr std::uint64_t kDosHeaderSize = 0x1C;
constexpr std::uint64_t kNewHeaderPointer = 0x3C;

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kLeSignature = 0x454C;      // "LE"
constexpr std::uint16_t kLxSignature = 0x584C;      // "LX"

// PE: file header fields after the signature, optional header fields.
constexpr std::uint64_t kPeFileHeader = 4;
constexpr std::uint64_t kPeOptionalHeader = kPeFileHeader + 20;
constexpr std::uint16_t kPeExecutableImage = 0x0002;
constexpr std::uint16_t kPeDll = 0x2000;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kPeSubsystemVersion = 48;  // major, then minor, one word each
constexpr std::uint64_t kPeSubsystem = 68;
constexpr std::uint16_t kSubsystemWindowsGui = 2;

// NE: the header is 0x40 bytes.
constexpr std::uint64_t kNeHeaderSize = 0x40;
constexpr std::uint64_t kNeFlags = 0x0C;
constexpr std::uint16_t kNeLibrary = 0x8000;
constexpr std::uint64_t kNeTargetOs = 0x36;
constexpr std::uint64_t kNeExpectedWindows = 0x3E;  // minor byte, then major byte
constexpr std::uint8_t kNeOsUnknown = 0;
constexpr std::uint8_t kNeOsWindows = 2;
constexpr std::uint8_t kNeOsWindows386 = 4;

// LE/LX: the module type sits in the module flags.
constexpr std::uint64_t kLeModuleFlags = 0x10;
constexpr std::uint32_t kLeModuleTypeMask = 0x38000;

std::uint32_t exeType(std::uint16_t signature, std::uint16_t version) {
  return signature | (static_cast<std::uint32_t>(version) << 16);
}

// A version word whose bytes are the major and minor numbers. A header may
// claim numbers above 255; they are held at 255 rather than spilling into
// the other byte.
std::uint16_t versionWord(std::uint32_t major, std::uint32_t minor) {
  return static_cast<std::uint16_t>((std::min<std::uint32_t>(major, 255) << 8) | std::min<std::uint32_t>(minor, 255));
}

std::uint32_t peType(ImageBytes& image, std::uint64_t header) {
  const auto characteristics = image.u16(header + kPeFileHeader + 18);
  const auto optionalSize = image.u16(header + kPeFileHeader + 16);
  if (!characteristics || !optionalSize) return 0;
  // Object files and DLLs are not programs one starts.
  if (!(*characteristics & kPeExecutableImage) || (*characteristics & kPeDll)) return 0;
  const std::uint64_t optional = header + kPeOptionalHeader;
  if (*optionalSize < kPeSubsystem + 2) return 0;
  const auto magic = image.u16(optional);
  const auto major = image.u16(optional + kPeSubsystemVersion);
  const auto minor = image.u16(optional + kPeSubsystemVersion + 2);
  const auto subsystem = image.u16(optional + kPeSubsystem);
  if (!magic || !major || !minor || !subsystem) return 0;
  if (*magic != kPe32Magic && *magic != kPe32PlusMagic) return 0;
  if (*subsystem != kSubsystemWindowsGui) return exeType(kExeSignaturePe, 0);
  return exeType(kExeSignaturePe, versionWord(*major, *minor));
}

std::uint32_t neType(ImageBytes& image, std::uint64_t header) {
  if (!image.contains(header, kNeHeaderSize)) return 0;
  const auto flags = image.u16(header + kNeFlags);
  const auto targetOs = image.u16(header + kNeTargetOs);
  const auto expected = image.u16(header + kNeExpectedWindows);
  if (!flags || !targetOs || !expected) return 0;
  if (*flags & kNeLibrary) return 0;  // DLLs, drivers and fonts
  const std::uint8_t os = static_cast<std::uint8_t>(*targetOs & 0xFF);
  // Programs for Windows 1.x and 2.x often leave the target unset but name
  // the Windows version they expect; OS/2 programs name none.
  const bool windows = os == kNeOsWindows || os == kNeOsWindows386 || (os == kNeOsUnknown && *expected != 0);
  if (!windows) return 0;
  return exeType(kExeSignatureNe, versionWord(*expected >> 8, *expected & 0xFF));
}

// LE images are DOS-extended programs (started through their DOS stub) and
// virtual device drivers; only the programs are something one runs.
std::uint32_t leType(ImageBytes& image, std::uint64_t header) {
  const auto flags = image.u32(header + kLeModuleFlags);
  if (!flags) return 0;
  return (*flags & kLeModuleTypeMask) == 0 ? exeType(kExeSignatureMz, 0) : 0;
}

std::string_view extensionOf(std::string_view fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : base.substr(dot);
}

bool extensionIs(std::string_view extension, std::string_view wanted) {
  return extension.size() == wanted.size() &&
         std::equal(extension.begin(), extension.end(), wanted.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

// Files the shell treats as programs by their name alone.
std::uint32_t typeByExtension(std::string_view fileName) {
  const std::string_view extension = extensionOf(fileName);
  if (extensionIs(extension, ".com")) return exeType(kExeSignatureMz, 0);
  if (extensionIs(extension, ".bat") || extensionIs(extension, ".cmd")) return exeType(kExeSignaturePe, 0);
  return 0;
}

}  // namespace

std::uint32_t executableType(ImageBytes& image, std::string_view fileName) {
  if (image.u16(0) != kExeSignatureMz || !image.contains(0, kDosHeaderSize)) return typeByExtension(fileName);
  // A DOS program whose header stops before the new-header pointer, or
  // whose pointer leads nowhere, is a plain DOS program.
  const auto header = image.u32(kNewHeaderPointer);
  if (!header) return exeType(kExeSignatureMz, 0);
  if (image.u32(*header) == kPeSignature) return peType(image, *header);
  const auto signature = image.u16(*header);
  if (signature == kExeSignatureNe) return neType(image, *header);
  if (signature == kLeSignature) return leType(image, *header);
  if (signature == kLxSignature) return 0;  // OS/2 2.x and later
  return exeType(kExeSignatureMz, 0);
}

std::uint32_t executableTypeOfFile(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  // A script or a .com file the caller may not read is still one by name.
  if (fd < 0) return typeByExtension(nativePath);
  std::uint32_t type = 0;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    FileImageBytes image(fd, static_cast<std::uint64_t>(st.st_size));
    type = executableType(image, nativePath);
  }
  ::close(fd);
  return type;
}

}  // namespace tov::platform
