#pragma once
// The arguments of tovcall as the call receives them: text as String (the
// frame converts it to the declared type), "hex:0A0B..." as a byte array,
// and "Name:=value" as a named argument.
#include <optional>
#include <string>
#include <vector>

#include "automation/Variant.h"

namespace tovcall {

struct Arguments {
  std::vector<tov::automation::Variant> positional;
  std::vector<std::u16string> names;
  std::vector<tov::automation::Variant> namedValues;
};

// nullopt with `error` set for malformed input (bad hexadecimal, a
// positional argument after a named one).
std::optional<Arguments> parseArguments(const std::vector<std::string>& args, std::string& error);

}  // namespace tovcall
