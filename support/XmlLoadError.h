#pragma once
// Why an XML file did not load: a system error, an unsupported file, or a
// parse error with the line and column where the parser stopped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tov {

class XmlLoadError {
 public:
  // No error: the last load succeeded (or none was made).
  XmlLoadError() = default;

  // A failed system call on the file, from its errno value.
  static XmlLoadError fromSystemError(int err);
  static XmlLoadError fromReason(std::u16string reason);
  // A parse error. `text` is the UTF-8 text the parser was given and
  // `offset` the byte offset where it stopped; the position is reported in
  // characters, so it is the same whatever encoding the file was stored in.
  static XmlLoadError fromParseError(std::string_view description, std::string_view text, std::size_t offset);

  bool IsError() const { return !reason_.empty(); }
  const std::u16string& ReasonText() const { return reason_; }
  // 1-based position of a parse error; 0 for other errors.
  std::int64_t Line() const { return line_; }
  std::int64_t Column() const { return column_; }

 private:
  std::u16string reason_;
  std::int64_t line_ = 0;
  std::int64_t column_ = 0;
};

}  // namespace tov
