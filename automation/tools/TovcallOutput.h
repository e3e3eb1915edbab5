#pragma once
// How tovcall prints a result for shell scripts: text as UTF-8, numbers in
// decimal, Booleans as True or False, dates as YYYY-MM-DD HH:MM:SS, byte
// arrays as one line of lower-case hexadecimal (xxd -r -p reads it back),
// a collection as its members one per line, nothing for no result.
#include <cstdio>

#include "automation/Variant.h"

namespace tovcall {

// False when a member of an enumerated collection failed to print.
bool printResult(const tov::automation::Variant& value, std::FILE* out);

}  // namespace tovcall
