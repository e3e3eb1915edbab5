// Windows locks no directory, so the lock is a named mutex of the
// directory's full name (in capitals, as the file system compares names),
// seen by every process of the session. Shared and exclusive holders are
// not told apart: readers wait for one another too, which costs them
// nothing that matters.
#include "platform/DirectoryLock.h"

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

std::wstring mutexName(std::u16string_view directory) {
  std::wstring dir = directory.empty() ? std::wstring(L".") : win32::wide(directory);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetFullPathNameW(dir.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) {
      full = dir;
      break;
    }
    if (n < full.size()) {
      full.resize(n);
      break;
    }
    full.resize(n);
  }
  for (wchar_t& c : full) {
    if (c == L'/') c = L'\\';
  }
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  std::wstring upper(full.size(), L'\0');
  if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(), static_cast<int>(full.size()),
                      upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0) > 0) {
    full = std::move(upper);
  }
  // Backslashes would name a namespace of kernel objects.
  for (wchar_t& c : full) {
    if (c == L'\\') c = L'|';
  }
  // Kernel object names are limited in length: a long one goes by its hash.
  if (full.size() > 200) {
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : full) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    full = std::to_wstring(hash);
  }
  return L"Local\\TOVapps.DirectoryLock." + full;
}

}  // namespace

DirectoryLock::DirectoryLock(std::u16string_view directory, Mode) {
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, mutexName(directory).c_str());
  if (!mutex) return;
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  const DWORD waited = ::WaitForSingleObject(mutex, 5000);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

DirectoryLock::~DirectoryLock() {
  if (handle_ == -1) return;
  const HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  if (held_) ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

}  // namespace tov::platform
