#pragma once
// The wildcards of a directory search, matched the way Windows matches them,
// so a script's masks select the same names here:
//
//   *   any run of characters, also none;
//   ?   one character other than a dot; where the name has a dot or has
//       ended, a run of "?" matches nothing, so "file?.txt" finds
//       "file.txt" and "a??" finds "a";
//   .   before a wildcard or at the end of the pattern: a "." or the end of
//       the name, so "*.*" finds names without a dot and "*." finds only
//       those;
//   *   before a "." stops at the name's last dot, so "*.txt" does not
//       match "a.txt.bak" through its first dot.
//
// Letters compare without case (as platform/CaseFold folds them). Names
// here have no 8.3 short form, so a pattern never matches through one.
#include <string>
#include <string_view>
#include <vector>

namespace tov::platform {

class FileNamePattern {
 public:
  explicit FileNamePattern(std::u16string_view pattern);

  bool matches(std::u16string_view name) const;
  // True when every name matches ("*", "*.*"), so a listing need not test.
  bool matchesEverything() const { return everything_; }
  bool hasWildcards() const { return wildcards_; }

  static bool holdsWildcards(std::u16string_view text);

 private:
  enum class Kind : unsigned char { Literal, Star, DosStar, DosAny, DosDot };
  struct Token {
    Kind kind;
    char16_t c;  // folded, for literals
  };

  std::vector<Token> tokens_;
  bool everything_ = false;
  bool wildcards_ = false;
};

}  // namespace tov::platform
