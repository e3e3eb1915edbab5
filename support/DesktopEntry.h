#pragma once
// The text of a desktop entry file (the .desktop files menus and file
// managers read), edited key by key in its main group so that everything
// else in it (translations, comments, other groups) stays as written.
#include <optional>
#include <string>
#include <string_view>

namespace tov {

class DesktopEntry {
 public:
  explicit DesktopEntry(std::string text) : text_(std::move(text)) {}

  const std::string& text() const { return text_; }

  // The raw value of a key of the [Desktop Entry] group, if present.
  std::optional<std::string> value(std::string_view key) const;
  // Replaces the key's value (raw, already escaped), or adds the key at the
  // end of the group.
  void setValue(std::string_view key, std::string_view rawValue);

  // A file name as a value of type string: backslashes doubled. Nothing
  // when the name holds a line break or another control character, which a
  // one-line value cannot carry.
  static std::optional<std::string> stringValue(std::string_view path);
  // A program's file name as the first word of an Exec value: quoted when
  // it holds a character the Exec syntax reserves (blank, quote, "$", ...),
  // "%" doubled, then escaped as a string value.
  static std::optional<std::string> execArgument(std::string_view path);

 private:
  // Where the group's lines are: [begin, end) in text_; nothing without the group.
  std::optional<std::pair<std::size_t, std::size_t>> mainGroup() const;

  std::string text_;
};

}  // namespace tov
