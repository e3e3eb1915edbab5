#include "support/FileNameFunctions.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"

namespace tov {
namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

std::size_t lastSeparator(std::u16string_view name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    if (isSeparator(name[i - 1])) return i - 1;
  }
  return std::u16string_view::npos;
}

std::u16string currentDirectory() {
  std::vector<char> buf(4096);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) throw RuntimeError(fileSystemError(errno));
    buf.resize(buf.size() * 2);
  }
  return platform::fromNativePath(buf.data());
}

}  // namespace

std::u16string asGetFullFileName(std::u16string_view name) {
  std::u16string whole;
  if (name.empty() || !isSeparator(name.front())) {
    whole = currentDirectory();
    whole += u'/';
  }
  whole += name;

  std::vector<std::u16string_view> parts;
  std::u16string_view rest = whole;
  while (!rest.empty()) {
    std::size_t i = 0;
    while (i < rest.size() && !isSeparator(rest[i])) ++i;
    const std::u16string_view part = rest.substr(0, i);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    rest.remove_prefix(i < rest.size() ? i + 1 : i);
  }
  std::u16string out;
  for (const auto& part : parts) {
    out += u'/';
    out += part;
  }
  if (out.empty()) out.push_back(u'/');
  // A name that ends in a separator names a directory; keep that.
  if (!name.empty() && isSeparator(name.back()) && out.size() > 1) out += u'/';
  return out;
}

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
