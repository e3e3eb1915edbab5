#include "TovcallArguments.h"

#include <cctype>

#include "platform/Utf.h"

namespace tovcall {
namespace {

using tov::automation::Variant;

std::optional<Variant> parseHex(const std::string& digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  tov::ByteVector bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (!std::isxdigit(static_cast<unsigned char>(digits[i])) ||
        !std::isxdigit(static_cast<unsigned char>(digits[i + 1]))) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return Variant::fromBytes(tov::ByteArray(std::move(bytes)));
}

std::optional<Variant> parseValue(const std::string& text, std::string& error) {
  if (text.rfind("hex:", 0) == 0) {
    auto v = parseHex(text.substr(4));
    if (!v) error = "not a hexadecimal byte string: " + text;
    return v;
  }
  return Variant::fromString(tov::platform::fromUtf8(text));
}

}  // namespace

std::optional<Arguments> parseArguments(const std::vector<std::string>& args, std::string& error) {
  Arguments out;
  for (const std::string& arg : args) {
    const std::size_t assign = arg.find(":=");
    const bool named = assign != std::string::npos && assign > 0;
    auto value = parseValue(named ? arg.substr(assign + 2) : arg, error);
    if (!value) return std::nullopt;
    if (named) {
      out.names.push_back(tov::platform::fromUtf8(arg.substr(0, assign)));
      out.namedValues.push_back(std::move(*value));
    } else if (!out.names.empty()) {
      error = "positional argument after a named one: " + arg;
      return std::nullopt;
    } else {
      out.positional.push_back(std::move(*value));
    }
  }
  return out;
}

}  // namespace tovcall
