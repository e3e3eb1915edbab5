#pragma once
// Converting a Variant to the type a parameter declares, the way automation
// converts late-bound arguments: numbers, Booleans, strings and dates
// convert among each other where the value allows; anything else is a type
// mismatch.
#include <string>

#include "automation/Variant.h"

namespace tov::automation {

// Sets `out` to `in` (by-reference values followed) converted to `to`.
// kDispETypeMismatch when the types do not convert, kDispEOverflow when the
// value does not fit the target type. VarType::Variant takes any value.
HResult changeType(const Variant& in, VarType to, Variant& out);

// The text form of values, locale-independent: numbers as the runtime
// writes them ("0.5", "1E+20"), Booleans "True"/"False", dates
// "YYYY-MM-DD HH:MM:SS" (date or time alone when the other part is zero).
std::u16string formatDouble(double v);
std::u16string formatDate(Date d);

}  // namespace tov::automation
