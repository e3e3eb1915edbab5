#pragma once
// The command line of tovcall as calls: the member steps after the ProgID
// (split at each "--then"), and each step's words as arguments. A word is
// text converted to its parameter's declared type here, so a value the
// type cannot hold is refused before any call is made: a Boolean is True,
// False, -1, 0 or 1; an integer is a whole decimal number in its type's
// range (an enumeration also takes a member's name); "hex:0A0B..." is a
// byte array; "text:..." is text taken as it is; "Name:=value" names an
// optional argument.
#include <optional>
#include <string>
#include <vector>

#include "automation/TypeDescription.h"
#include "automation/Variant.h"

namespace tovcall {

inline constexpr const char* kThen = "--then";

struct Step {
  std::string member;
  std::vector<std::string> words;
};

// nullopt with `error` set when a member is missing (nothing after
// "--then", or "--then" first).
std::optional<std::vector<Step>> splitSteps(const std::vector<std::string>& words, std::string& error);

struct Arguments {
  std::vector<tov::automation::Variant> positional;
  std::vector<std::u16string> names;
  std::vector<tov::automation::Variant> namedValues;
};

// `member` and `library` describe the member when the object has type
// information (else every text goes as a String, for the object to
// convert). nullopt with `error` set for malformed input: bad hexadecimal,
// a positional argument after a named one, an unknown parameter name, a
// value its parameter's type cannot hold.
std::optional<Arguments> parseArguments(const std::vector<std::string>& words,
                                        const tov::automation::MemberDescription* member,
                                        const tov::automation::TypeLibraryDescription* library, std::string& error);

}  // namespace tovcall
