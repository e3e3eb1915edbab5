#pragma once
// Changes to a compiled type library (the binary form the interface
// compiler writes) for what the compiler cannot state itself.
#include <cstdint>
#include <span>

#include "automation/TypeDescription.h"

namespace tov::automation {

// The type flag of a class whose instance a client language makes by itself.
inline constexpr std::uint32_t kTypeFlagPredeclared = 0x8;

// Adds `flags` to the type flags of the type whose identifier is `guid`.
// False, with the bytes unchanged, when they are no type library or hold no
// such type.
bool addTypeFlags(std::span<std::uint8_t> library, const Guid& guid, std::uint32_t flags);

// Marks every class the description declares predeclared. False when one
// of them is missing from the compiled library.
bool markPredeclaredClasses(std::span<std::uint8_t> library, const TypeLibraryDescription& description);

}  // namespace tov::automation
