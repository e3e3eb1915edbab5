#pragma once
// The text of one INI file held as its lines, read and edited with the
// Windows profile rules.
//
// Every line keeps the bytes it was read with; an edit touches only the
// lines it must, so comments, blank lines, odd spacing, lines that are no
// key at all and bytes that do not decode come back out unchanged.
//
// Rules: section and key names compare case-insensitively and with their
// surrounding blanks trimmed; the first matching section and the first
// matching key in it win; keys before the first section header belong to
// the section "" (empty name); ";" starts a comment line; a line without
// "=" is not a key; a value in matching double or single quotes is read
// without them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteVector.h"
#include "platform/ProfileEncoding.h"

namespace tov::platform {

class IniDocument {
 public:
  // `plainEncoding` applies to text without a byte-order mark (and to an
  // empty document); `newLineEnd` ends new lines when the text has no line
  // break yet to copy.
  static IniDocument fromBytes(std::span<const std::uint8_t> bytes, ProfileEncoding plainEncoding,
                               std::u16string_view newLineEnd);
  ByteVector toBytes() const;

  ProfileEncoding encoding() const { return encoding_; }

  std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;

  // Names and values that would read back differently, or break the lines
  // around them, cannot be stored: line breaks and NUL anywhere, "=" in a
  // key or a key starting with ";" or "[", "]" in a section name.
  static bool isStorableSection(std::u16string_view section);
  static bool isStorableKey(std::u16string_view key);
  static bool isStorableValue(std::u16string_view value);
  // The form to store so that value() returns `value` exactly: in double
  // quotes when reading would otherwise trim its blanks or strip its quotes.
  static std::u16string exactValueText(std::u16string_view value);

  // The edits return true when the text changed. setValue replaces the
  // first matching key's value, or adds the key after the last key of its
  // section, or adds the section at the end; its arguments must be storable.
  bool setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  // Removes every line of the key in the section, so no later duplicate
  // shows through; the section header stays.
  bool removeKey(std::u16string_view section, std::u16string_view key);
  // Removes every section of that name with all its lines. For "" only the
  // keys go: the lines before the first header usually describe the file.
  bool removeSection(std::u16string_view section);

 private:
  enum class LineKind { Blank, Comment, Section, Key, Other };

  struct Line {
    std::u16string text;    // decoded, without the line break
    std::u16string ending;  // "\r\n", "\n", "\r", or "" on an unterminated last line
    ByteVector raw;         // the bytes as read, line break included; empty once changed
    LineKind kind = LineKind::Other;
    std::u16string name;        // section or key name, trimmed
    std::size_t valueStart = 0;  // keys: where the value's text begins
  };

  // Lines [first, end) below a header, or before the first header for "".
  struct SectionRange {
    std::size_t first;
    std::size_t end;
  };

  static Line makeLine(std::u16string text, std::u16string ending, ByteVector raw);
  static void classify(Line& line);

  std::size_t nextHeader(std::size_t from) const;
  std::optional<SectionRange> findSection(std::u16string_view section) const;
  std::optional<std::size_t> findKey(const SectionRange& range, std::u16string_view key) const;
  std::size_t insertionPoint(const SectionRange& range) const;
  void insertLine(std::size_t at, std::u16string text);
  bool replaceValue(std::size_t at, std::u16string_view value);

  ProfileEncoding encoding_ = ProfileEncoding::Ansi;
  ByteVector bom_;
  std::u16string lineEnd_;
  std::vector<Line> lines_;
};

}  // namespace tov::platform
