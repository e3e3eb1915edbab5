#include "support/XmlLoadError.h"

#include <cerrno>
#include <system_error>

#include "platform/Utf.h"

namespace tov {
namespace {

// The wording users know from the system's own messages.
std::u16string systemReason(int err) {
  switch (err) {
    case ENOENT:
      return u"The system cannot find the file specified.";
    case ENOTDIR:
      return u"The system cannot find the path specified.";
    case EACCES:
    case EPERM:
      return u"Access is denied.";
    case EISDIR:
      return u"The name is a folder, not a file.";
    case ENAMETOOLONG:
      return u"The file name is too long.";
    case EINVAL:
      return u"The file name is not valid: no file can have it.";
    case ENOMEM:
      return u"Not enough memory to load the file.";
    default:
      return u"The file cannot be read: " + platform::fromUtf8(std::generic_category().message(err)) + u".";
  }
}

bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

XmlLoadError XmlLoadError::fromSystemError(int err) { return fromReason(systemReason(err)); }

XmlLoadError XmlLoadError::fromReason(std::u16string reason) {
  XmlLoadError error;
  error.reason_ = std::move(reason);
  return error;
}

XmlLoadError XmlLoadError::fromParseError(std::string_view description, std::string_view text,
                                          std::size_t offset) {
  std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  const std::size_t end = offset < text.size() ? offset : text.size();
  std::int64_t line = 1;
  std::int64_t column = 1;
  // CR LF, a lone CR and LF each end one line, as the parser reads them.
  for (; i < end; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n' || (byte == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if (byte != '\r' && !isUtf8Continuation(byte)) {
      ++column;
    }
  }
  XmlLoadError error;
  error.line_ = line;
  error.column_ = column;
  error.reason_ = platform::fromUtf8(description) + u" at line " + platform::fromUtf8(std::to_string(line)) +
                  u", column " + platform::fromUtf8(std::to_string(column)) + u".";
  return error;
}

}  // namespace tov
