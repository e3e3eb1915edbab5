#include "platform/PrivateProfile.h"

#include "platform/Path.h"
#include "platform/ProfileFile.h"

namespace tov::platform {
namespace {

ProfileFile windowsProfile(std::u16string_view fileName) { return ProfileFile(nativePath(fileName)); }

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 99;
}

std::int32_t parseProfileInt(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  // Unsigned arithmetic wraps like the Windows conversion instead of
  // overflowing.
  std::uint32_t result = 0;
  for (; i < text.size() && static_cast<unsigned>(digitValue(text[i])) < base; ++i)
    result = result * base + static_cast<std::uint32_t>(digitValue(text[i]));
  if (negative) result = 0u - result;
  return static_cast<std::int32_t>(result);
}

}  // namespace

std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view defaultValue, std::u16string_view fileName) {
  if (std::optional<std::u16string> found = windowsProfile(fileName).value(section, key)) return *found;
  while (!defaultValue.empty() && (defaultValue.back() == u' ' || defaultValue.back() == u'\t'))
    defaultValue.remove_suffix(1);
  return std::u16string(defaultValue);
}

std::int32_t GetPrivateProfileIntW(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                                   std::u16string_view fileName) {
  const std::optional<std::u16string> found = windowsProfile(fileName).value(section, key);
  if (!found || found->empty()) return defaultValue;
  return parseProfileInt(*found);
}

bool WritePrivateProfileStringW(std::u16string_view section, std::optional<std::u16string_view> key,
                                std::optional<std::u16string_view> value, std::u16string_view fileName) {
  ProfileFile file = windowsProfile(fileName);
  if (!key) return file.removeSection(section);
  if (!value) return file.removeKey(section, *key);
  return file.setValue(section, *key, *value);
}

bool isProfileKeyPresent(std::u16string_view section, std::u16string_view key, std::u16string_view fileName) {
  return windowsProfile(fileName).hasKey(section, key);
}

}  // namespace tov::platform
