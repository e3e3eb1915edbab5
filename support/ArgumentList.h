#pragma once
// The program's command-line arguments, split the way Windows programs split
// their command line.
//
// Splitting rules (those of the current C runtime):
//  - arguments are separated by blanks and tabs;
//  - double quotes group blanks and tabs into an argument and are removed;
//  - 2n backslashes followed by a quote give n backslashes, and the quote
//    opens or closes a quoted part;
//  - 2n+1 backslashes followed by a quote give n backslashes and a literal
//    quote;
//  - backslashes not followed by a quote are literal;
//  - inside a quoted part, "" gives a literal quote and the part stays
//    quoted (the rule of runtimes since 2008; older ones ended the part);
//  - "" on its own is an empty argument.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tov {

class ArgumentList {
 public:
  // The arguments this process was started with, without its own name.
  ArgumentList();

  // Replaces the arguments with those split from `text`, which holds
  // arguments only (no program name). The flag has no effect.
  void ParseText(std::u16string_view text, bool flag = true);

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // Argument `index`, from 0; raises error 9 outside 0..Count()-1.
  const std::u16string& Item(std::int32_t index) const;

  // The process's arguments as one command-line text, each quoted where
  // needed so that ParseText gives them back unchanged.
  static std::u16string CommandLineText();

  // The splitting and its inverse on their own.
  static std::vector<std::u16string> split(std::u16string_view text);
  static std::u16string join(const std::vector<std::u16string>& arguments);

 private:
  std::vector<std::u16string> items_;
};

}  // namespace tov
