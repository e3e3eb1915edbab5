#pragma once
// Finding a resource in an executable image: PE32 and PE32+ (resource
// directory of three levels: type, name, language) and 16-bit NE (resource
// table of types, each with its resources). Only what the image states is
// used; nothing is loaded or run.
//
// Every offset and count comes from an untrusted file: each is checked
// against the image before it is followed, so a bad image gives an error
// code, never a read outside it or a loop.
#include <cstdint>
#include <span>

#include "platform/ImageBytes.h"

namespace tov::platform {

enum class ImageFormat : std::uint8_t { Pe, Ne };

struct ResourceLocation {
  ImageFormat format = ImageFormat::Pe;
  std::uint64_t offset = 0;  // in the file
  std::uint32_t size = 0;    // bytes present in the file, at most what the image states
};

// Integer identifiers of resource types and names.
inline constexpr std::uint16_t kResourceTypeVersion = 16;
inline constexpr std::uint16_t kVersionResourceName = 1;

// Finds the resource of that integer type and name. In a PE image, which
// carries one copy per language, `languages` says which to take, first
// match first; with none of them present the first copy is taken. Returns
// kErrorSuccess or a Windows error code: kErrorBadFormat for a file that is
// no such image, kErrorResourceDataNotFound for an image without resources,
// kErrorResourceTypeNotFound or kErrorResourceNameNotFound.
std::uint32_t findResource(ImageBytes& image, std::uint16_t type, std::uint16_t name,
                           std::span<const std::uint16_t> languages, ResourceLocation& found);

// The same inside a PE or NE image whose new header starts at `headerOffset`.
std::uint32_t findPeResource(ImageBytes& image, std::uint64_t headerOffset, std::uint16_t type, std::uint16_t name,
                             std::span<const std::uint16_t> languages, ResourceLocation& found);
std::uint32_t findNeResource(ImageBytes& image, std::uint64_t headerOffset, std::uint16_t type, std::uint16_t name,
                             ResourceLocation& found);

}  // namespace tov::platform
