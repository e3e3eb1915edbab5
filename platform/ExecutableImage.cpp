#include "platform/ExecutableImage.h"

#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;   // "PE\0\0"
constexpr std::uint16_t kNeSignature = 0x454E;       // "NE"
constexpr std::uint64_t kNewHeaderPointer = 0x3C;

}  // namespace

std::uint32_t findResource(ImageBytes& image, std::uint16_t type, std::uint16_t name,
                           std::span<const std::uint16_t> languages, ResourceLocation& found) {
  if (image.u16(0) != kDosSignature) return kErrorBadFormat;
  const std::optional<std::uint32_t> header = image.u32(kNewHeaderPointer);
  if (!header) return kErrorBadFormat;
  if (image.u32(*header) == kPeSignature) return findPeResource(image, *header, type, name, languages, found);
  if (image.u16(*header) == kNeSignature) return findNeResource(image, *header, type, name, found);
  return kErrorBadFormat;
}

}  // namespace tov::platform
