#pragma once
// A POSIX locale name taken apart: language[_territory][.codeset][@modifier],
// e.g. "ru_RU.UTF-8", "de_DE@euro", "sr_RS@latin". Hyphenated tags with a
// script ("sr-Latn-RS") are understood as well.
#include <initializer_list>
#include <string>
#include <string_view>

namespace tov::platform {

class LocaleName {
 public:
  // C, POSIX and anything that does not start with a 2-3 letter language
  // give an empty language, which callers treat as "no particular locale".
  static LocaleName parse(std::string_view name);

  // The locale of a category the way POSIX resolves it: the first of the
  // variables that is set to a non-empty value.
  static LocaleName fromEnvironment(std::initializer_list<const char*> variables);

  const std::string& language() const { return language_; }    // "sr"
  const std::string& script() const { return script_; }        // "Latn", "" when not named
  const std::string& territory() const { return territory_; }  // "RS"

 private:
  void takeSubtag(std::string_view subtag);
  void takeModifier(std::string_view modifier);

  std::string language_;
  std::string script_;
  std::string territory_;
};

}  // namespace tov::platform
