// An installed program keeps its files beside it, as Windows programs do;
// the build tree's layout (share/ one level up) is looked at second.
#include "platform/ProgramLocation.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace tov::platform {
namespace {

std::vector<std::filesystem::path> besideProgram(std::initializer_list<const wchar_t*> relatives) {
  std::vector<std::filesystem::path> dirs;
  const std::filesystem::path program = programPath();
  if (program.empty()) return dirs;
  for (const wchar_t* relative : relatives) {
    std::filesystem::path dir = (program.parent_path() / relative).lexically_normal();
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(std::move(dir));
  }
  return dirs;
}

}  // namespace

std::filesystem::path programPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::filesystem::path> programDataDirectories() { return besideProgram({L".", L"..\\share"}); }

std::vector<std::filesystem::path> programModuleDirectories() { return besideProgram({L"."}); }

}  // namespace tov::platform
