#include "TovcallArguments.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

#include "automation/MemberSignature.h"
#include "automation/VariantCoercion.h"
#include "platform/CaseFold.h"
#include "platform/Utf.h"

namespace tovcall {
namespace {

using namespace tov::automation;
using tov::platform::fromUtf8;
using tov::platform::fromUtf8Escaped;
using tov::platform::toUtf8;

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

std::optional<long long> parseWhole(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  long long v = 0;
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || ptr != last || first == last) return std::nullopt;
  return v;
}

std::optional<Variant> parseBoolean(const std::string& text) {
  const std::u16string wide = fromUtf8(text);
  if (tov::platform::equalsIgnoreCase(wide, u"True") || text == "-1" || text == "1") return Variant::fromBool(true);
  if (tov::platform::equalsIgnoreCase(wide, u"False") || text == "0") return Variant::fromBool(false);
  return std::nullopt;
}

std::optional<Variant> parseInteger(const std::string& text, long long lo, long long hi, bool integer16,
                                    const EnumDescription* enumeration, std::string& why) {
  if (enumeration) {
    for (const auto& [name, value] : enumeration->values) {
      if (tov::platform::equalsIgnoreCase(name, fromUtf8(text))) return Variant::fromLong(value);
    }
  }
  const auto v = parseWhole(text);
  if (!v) {
    why = enumeration ? "a whole number or a member of " + toUtf8(enumeration->name) : "a whole number";
    return std::nullopt;
  }
  if (*v < lo || *v > hi) {
    why = "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    return std::nullopt;
  }
  return integer16 ? Variant::fromInteger(static_cast<std::int16_t>(*v)) : Variant::fromLong(static_cast<std::int32_t>(*v));
}

// The text as the parameter's declared type; `why` says what it should be.
std::optional<Variant> typed(const std::string& text, const ParamDescription& param,
                             const TypeLibraryDescription* library, std::string& why) {
  switch (param.type.kind) {
    case TypeKind::Boolean:
      why = "True, False, -1, 0 or 1";
      return parseBoolean(text);
    case TypeKind::Integer: return parseInteger(text, -32768, 32767, true, nullptr, why);
    case TypeKind::Long: return parseInteger(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), false, nullptr, why);
    case TypeKind::Enum:
      return parseInteger(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), false, library ? library->findEnum(param.type.name) : nullptr,
                          why);
    case TypeKind::Double:
    case TypeKind::Date: {
      Variant out;
      if (succeeded(changeType(Variant::fromString(fromUtf8(text)), varTypeOf(param.type.kind), out))) return out;
      why = param.type.kind == TypeKind::Double ? "a number" : "a date as YYYY-MM-DD or YYYY-MM-DD HH:MM:SS";
      return std::nullopt;
    }
    default: return Variant::fromString(fromUtf8Escaped(text));
  }
}

std::optional<Variant> parseValue(const std::string& text, const ParamDescription* param,
                                  const TypeLibraryDescription* library, std::string& error) {
  if (text.rfind("hex:", 0) == 0) {
    auto v = parseHex(text.substr(4));
    if (!v) error = "not a hexadecimal byte string: " + text;
    return v;
  }
  if (text.rfind("text:", 0) == 0) return Variant::fromString(fromUtf8Escaped(text.substr(5)));
  if (!param) return Variant::fromString(fromUtf8Escaped(text));
  std::string why;
  auto v = typed(text, *param, library, why);
  if (!v) {
    error = "\"" + text + "\" cannot be given as " + toUtf8(param->name) + " (" + toUtf8(typeText(param->type)) +
            "): expected " + why;
  }
  return v;
}

}  // namespace

std::optional<std::vector<Step>> splitSteps(const std::vector<std::string>& words, std::string& error) {
  std::vector<Step> steps;
  bool expectMember = true;
  for (const std::string& word : words) {
    if (word == kThen) {
      if (expectMember) break;
      expectMember = true;
    } else if (expectMember) {
      steps.push_back({word, {}});
      expectMember = false;
    } else {
      steps.back().words.push_back(word);
    }
  }
  if (expectMember) {
    error = steps.empty() ? "no member to call" : std::string("a member must follow ") + kThen;
    return std::nullopt;
  }
  return steps;
}

std::optional<Arguments> parseArguments(const std::vector<std::string>& words, const MemberDescription* member,
                                        const TypeLibraryDescription* library, std::string& error) {
  Arguments out;
  for (const std::string& word : words) {
    const std::size_t assign = word.find(":=");
    const bool named = assign != std::string::npos && assign > 0 && word.rfind("text:", 0) != 0;
    const ParamDescription* param = nullptr;
    if (named && member) {
      const auto index = member->paramIndex(fromUtf8(word.substr(0, assign)));
      if (!index) {
        error = toUtf8(member->name) + " has no parameter " + word.substr(0, assign);
        return std::nullopt;
      }
      param = &member->params[*index];
    } else if (!named && member && out.positional.size() < member->params.size()) {
      param = &member->params[out.positional.size()];
    }
    auto value = parseValue(named ? word.substr(assign + 2) : word, param, library, error);
    if (!value) return std::nullopt;
    if (named) {
      out.names.push_back(fromUtf8(word.substr(0, assign)));
      out.namedValues.push_back(std::move(*value));
    } else if (!out.names.empty()) {
      error = "positional argument after a named one: " + word;
      return std::nullopt;
    } else {
      out.positional.push_back(std::move(*value));
    }
  }
  return out;
}

}  // namespace tovcall
