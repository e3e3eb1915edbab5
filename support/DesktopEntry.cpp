#include "support/DesktopEntry.h"

namespace tov {
namespace {

constexpr std::string_view kMainGroup = "[Desktop Entry]";

bool hasControlCharacter(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::size_t lineEnd(const std::string& text, std::size_t at) {
  const std::size_t nl = text.find('\n', at);
  return nl == std::string::npos ? text.size() : nl + 1;
}

std::string_view lineAt(const std::string& text, std::size_t at) {
  std::string_view line(text.data() + at, lineEnd(text, at) - at);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// "Key=value" or "Key = value" for exactly this key (not "Key[ru]").
std::optional<std::size_t> valueStart(std::string_view line, std::string_view key) {
  if (!line.starts_with(key)) return std::nullopt;
  std::size_t i = key.size();
  while (i < line.size() && line[i] == ' ') ++i;
  if (i >= line.size() || line[i] != '=') return std::nullopt;
  ++i;
  while (i < line.size() && line[i] == ' ') ++i;
  return i;
}

}  // namespace

std::optional<std::pair<std::size_t, std::size_t>> DesktopEntry::mainGroup() const {
  std::optional<std::size_t> begin;
  for (std::size_t at = 0; at < text_.size(); at = lineEnd(text_, at)) {
    const std::string_view line = lineAt(text_, at);
    if (!line.starts_with('[')) continue;
    if (begin) return std::make_pair(*begin, at);
    if (line == kMainGroup) begin = lineEnd(text_, at);
  }
  if (begin) return std::make_pair(*begin, text_.size());
  return std::nullopt;
}

std::optional<std::string> DesktopEntry::value(std::string_view key) const {
  const auto group = mainGroup();
  if (!group) return std::nullopt;
  for (std::size_t at = group->first; at < group->second; at = lineEnd(text_, at)) {
    const std::string_view line = lineAt(text_, at);
    if (const auto start = valueStart(line, key)) return std::string(line.substr(*start));
  }
  return std::nullopt;
}

void DesktopEntry::setValue(std::string_view key, std::string_view rawValue) {
  const std::string line = std::string(key) + "=" + std::string(rawValue) + "\n";
  auto group = mainGroup();
  if (!group) {
    if (!text_.empty() && text_.back() != '\n') text_ += '\n';
    text_ += std::string(kMainGroup) + "\n";
    group = std::make_pair(text_.size(), text_.size());
  }
  for (std::size_t at = group->first; at < group->second; at = lineEnd(text_, at)) {
    if (valueStart(lineAt(text_, at), key)) {
      text_.replace(at, lineEnd(text_, at) - at, line);
      return;
    }
  }
  // After the group's last line that holds anything, so blank lines that
  // part it from the next group stay where they are.
  std::size_t insertAt = group->first;
  for (std::size_t at = group->first; at < group->second; at = lineEnd(text_, at)) {
    if (!lineAt(text_, at).empty()) insertAt = lineEnd(text_, at);
  }
  if (insertAt > 0 && text_[insertAt - 1] != '\n') {
    text_.insert(insertAt, "\n");
    ++insertAt;
  }
  text_.insert(insertAt, line);
}

std::optional<std::string> DesktopEntry::stringValue(std::string_view path) {
  if (hasControlCharacter(path)) return std::nullopt;
  std::string out;
  for (char c : path) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::optional<std::string> DesktopEntry::execArgument(std::string_view path) {
  if (hasControlCharacter(path)) return std::nullopt;
  constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool quote = path.find_first_of(reserved) != std::string_view::npos;
  std::string arg;
  if (quote) arg += '"';
  for (char c : path) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
    if (c == '%') arg += '%';
    arg += c;
  }
  if (quote) arg += '"';
  return stringValue(arg);
}

}  // namespace tov
