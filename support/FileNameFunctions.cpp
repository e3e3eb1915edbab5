#include "support/FileNameFunctions.h"

#include <string>

#include "platform/FileAttributes.h"

namespace tov {
namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

std::size_t lastSeparator(std::u16string_view name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    if (isSeparator(name[i - 1])) return i - 1;
  }
  return std::u16string_view::npos;
}

}  // namespace

std::u16string asGetFileExtension(std::u16string_view name) {
  const std::size_t sep = lastSeparator(name);
  const std::u16string_view last = sep == std::u16string_view::npos ? name : name.substr(sep + 1);
  const std::size_t dot = last.rfind(u'.');
  if (dot == std::u16string_view::npos) return {};
  return std::u16string(last.substr(dot + 1));
}

std::u16string asGetFilePath(std::u16string_view fullName) {
  const std::size_t sep = lastSeparator(fullName);
  if (sep == std::u16string_view::npos) return {};
  if (sep == 0) return std::u16string(fullName.substr(0, 1));
  return std::u16string(fullName.substr(0, sep));
}

std::u16string asGetFileName(std::u16string_view fullName) {
  const std::size_t sep = lastSeparator(fullName);
  return std::u16string(sep == std::u16string_view::npos ? fullName : fullName.substr(sep + 1));
}

std::u16string asBuildFileName(std::u16string_view directory, std::u16string_view name) {
  if (directory.empty()) return std::u16string(name);
  std::u16string out(directory);
  if (!isSeparator(out.back())) {
    const bool backslashStyle = out.find(u'\\') != std::u16string::npos && out.find(u'/') == std::u16string::npos;
    out += backslashStyle ? u'\\' : u'/';
  }
  out += name;
  return out;
}

bool asIsFileExist(std::u16string_view name) { return platform::fileExists(name); }

std::u16string asTrimEx(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return std::u16string(text.substr(b, e - b));
}

}  // namespace tov
