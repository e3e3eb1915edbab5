// The profile functions are the system's own; these wrappers only size the
// buffers and take the names as the rest of the code hands them over.
#include "platform/PrivateProfile.h"

#include <windows.h>

#include <vector>

#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

using win32::wide;

// Reads with a buffer that grows until the whole result fits: the call
// fills it to one (or, for lists, two) characters short when it is cut.
template <typename Read>
std::wstring readGrowing(Read read, DWORD slack) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    const DWORD got = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got + slack < buffer.size()) return std::wstring(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

bool holdsNul(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

// The system reads every argument up to its first NUL: a file name holding
// one would reach another file, a section or key another entry, and a
// value would lose its end. Such arguments are refused before the call.
bool refused(std::u16string_view section, std::optional<std::u16string_view> key,
             std::optional<std::u16string_view> value, std::u16string_view fileName) {
  if (holdsNul(fileName)) {
    ::SetLastError(ERROR_INVALID_NAME);
    return true;
  }
  if (holdsNul(section) || (key && holdsNul(*key)) || (value && holdsNul(*value))) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return true;
  }
  return false;
}

}  // namespace

std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view defaultValue, std::u16string_view fileName) {
  if (refused(section, key, std::nullopt, fileName)) return std::u16string(defaultValue);
  const std::wstring s = wide(section), k = wide(key), d = wide(defaultValue), f = wide(fileName);
  return win32::fromWide(readGrowing(
      [&](wchar_t* out, DWORD size) { return ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), out, size, f.c_str()); },
      1));
}

std::int32_t GetPrivateProfileIntW(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                                   std::u16string_view fileName) {
  if (refused(section, key, std::nullopt, fileName)) return defaultValue;
  return static_cast<std::int32_t>(::GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(), defaultValue,
                                                           wide(fileName).c_str()));
}

bool WritePrivateProfileStringW(std::u16string_view section, std::optional<std::u16string_view> key,
                                std::optional<std::u16string_view> value, std::u16string_view fileName) {
  if (refused(section, key, value, fileName)) return false;
  const std::wstring s = wide(section), f = wide(fileName);
  const std::wstring k = key ? wide(*key) : std::wstring(), v = value ? wide(*value) : std::wstring();
  return ::WritePrivateProfileStringW(s.c_str(), key ? k.c_str() : nullptr, key && value ? v.c_str() : nullptr,
                                      f.c_str()) != FALSE;
}

// The section's key names, compared the way the profile functions compare
// them: without letter case.
bool isProfileKeyPresent(std::u16string_view section, std::u16string_view key, std::u16string_view fileName) {
  if (refused(section, key, std::nullopt, fileName)) return false;
  const std::wstring s = wide(section), k = wide(key), f = wide(fileName);
  const std::wstring names = readGrowing(
      [&](wchar_t* out, DWORD size) { return ::GetPrivateProfileStringW(s.c_str(), nullptr, L"", out, size, f.c_str()); },
      2);
  for (std::size_t start = 0; start < names.size();) {
    const std::size_t end = names.find(L'\0', start);
    const std::wstring_view name(names.data() + start, (end == std::wstring::npos ? names.size() : end) - start);
    if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), k.data(), static_cast<int>(k.size()),
                               TRUE) == CSTR_EQUAL) {
      return true;
    }
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return false;
}

}  // namespace tov::platform
