#include "platform/LocaleName.h"

#include <algorithm>
#include <cstdlib>

namespace tov::platform {
namespace {

// ASCII only on purpose: the C library's case functions follow the very
// locale being parsed.
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char toLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char toUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool allOf(std::string_view s, bool (*pred)(char)) {
  return !s.empty() && std::all_of(s.begin(), s.end(), pred);
}

std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), toLower);
  return out;
}

std::string uppered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), toUpper);
  return out;
}

// Splits at the first of the separators; the separator is dropped.
std::string_view takeUntil(std::string_view& rest, std::string_view separators) {
  const std::size_t at = rest.find_first_of(separators);
  std::string_view head = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
  return head;
}

}  // namespace

LocaleName LocaleName::parse(std::string_view name) {
  LocaleName result;
  const std::size_t at = name.find('@');
  std::string_view base = name.substr(0, at);
  base = base.substr(0, base.find('.'));  // the codeset says nothing about the language

  std::string_view language = takeUntil(base, "_-");
  if (language.size() < 2 || language.size() > 3 || !allOf(language, isAsciiLetter)) {
    return result;
  }
  result.language_ = lowered(language);
  while (!base.empty()) result.takeSubtag(takeUntil(base, "_-"));
  if (at != std::string_view::npos) result.takeModifier(name.substr(at + 1));
  return result;
}

void LocaleName::takeSubtag(std::string_view subtag) {
  if (subtag.size() == 4 && allOf(subtag, isAsciiLetter)) {
    script_ = uppered(subtag.substr(0, 1)) + lowered(subtag.substr(1));
  } else if ((subtag.size() == 2 && allOf(subtag, isAsciiLetter)) ||
             (subtag.size() == 3 && allOf(subtag, isAsciiDigit))) {
    territory_ = uppered(subtag);
  }
  // Anything else (variants, stray text) does not change the choice of
  // language or code page, so it is ignored.
}

void LocaleName::takeModifier(std::string_view modifier) {
  // glibc names the script of a locale in its modifier; other modifiers
  // ("euro", "valencia") keep the language's usual script.
  const std::string m = lowered(modifier.substr(0, modifier.find('.')));
  if (m == "latin") script_ = "Latn";
  else if (m == "cyrillic") script_ = "Cyrl";
}

LocaleName LocaleName::fromEnvironment(std::initializer_list<const char*> variables) {
  for (const char* variable : variables) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return parse(value);
  }
  return LocaleName();
}

}  // namespace tov::platform
