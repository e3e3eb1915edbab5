#pragma once
// How tovcall prints a result for shell scripts: text as UTF-8, whole (an
// embedded NUL included), numbers in decimal, Booleans as True or False,
// dates as YYYY-MM-DD HH:MM:SS, byte arrays as one line of lower-case
// hexadecimal (xxd -r -p reads it back), nothing for no result. An object
// prints as the value of its default member when that needs no argument,
// otherwise as a list, one member per line, when it can be enumerated, and
// otherwise as "[object Interface]".
#include <cstdio>

#include "automation/TypeDescription.h"
#include "automation/Variant.h"

namespace tovcall {

// False when the result, or a member of an enumerated one, cannot be
// printed.
bool printResult(const tov::automation::Variant& value, std::FILE* out);

// The members of an interface, one per line with their signatures, the
// help text (if any) indented below.
void printMembers(const tov::automation::InterfaceDescription& iface, std::FILE* out);

}  // namespace tovcall
