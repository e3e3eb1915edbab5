// Listings are the system's own (FindFirstFileExW, FindNextFileW): its
// pattern matching, attributes, times and sizes. This unit reads a listing
// whole, closes the system's handle at once (a directory is not held open
// against deletion while a walk is below it) and gives the entries in the
// same order as on every other system.
#include "platform/FindFile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/ListingOrder.h"
#include "platform/WinError.h"
#include "platform/win32/WideText.h"

namespace tov::platform {

struct FindState {
  std::wstring directory;  // the listed directory's full path, for listings below it
  std::vector<FindData> entries;
  std::size_t next = 0;
  std::uint32_t pendingError = kErrorSuccess;  // the listing broke off after `entries`
  bool examineDots = true;
  FileIdentity identity;
};

namespace {

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

FileTime fileTimeOf(const FILETIME& t) {
  return (static_cast<FileTime>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Volume serial number and file index: one file, whatever name leads to it.
std::optional<FileIdentity> identityOfPath(const std::wstring& path, bool followLink) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  const HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = ::GetFileInformationByHandle(h, &info) != FALSE;
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (!ok) {
    ::SetLastError(error);
    return std::nullopt;
  }
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::wstring childPath(const std::wstring& directory, std::u16string_view name) {
  std::wstring path = directory;
  if (!path.empty() && !isSeparator(path.back())) path += L'\\';
  path += win32::wide(name);
  return path;
}

bool isDotName(std::u16string_view name) { return name == u"." || name == u".."; }

// What the listing did not tell: the identity a walk needs against loops
// (of directories and reparse points only: a file is never entered, and
// opening each one would double the cost of a listing), and the bytes on
// disk of a file the system stores compressed or sparse (any other file
// occupies its size, as the system itself would answer).
void examine(const FindState& state, FindData& data) {
  const bool dot = isDotName(data.fileName);
  if (dot && !state.examineDots) {
    const std::u16string name = std::move(data.fileName);
    data = FindData{};
    data.fileName = name;
    data.fileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    return;
  }
  const std::uint32_t attributes = data.fileAttributes;
  const std::wstring path = childPath(state.directory, data.fileName);
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (dot) {
      if (data.fileName == u".") data.identity = state.identity;
      else if (auto id = identityOfPath(path, true)) data.identity = *id;
    } else if (auto id = identityOfPath(path, false)) {
      data.identity = *id;
    }
    return;
  }
  const std::uint64_t size = (static_cast<std::uint64_t>(data.fileSizeHigh) << 32) | data.fileSizeLow;
  if (!(attributes & (FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE))) {
    data.compressedSize = size;
    return;
  }
  DWORD high = 0;
  ::SetLastError(ERROR_SUCCESS);
  const DWORD low = ::GetCompressedFileSizeW(path.c_str(), &high);
  if (low != INVALID_FILE_SIZE || ::GetLastError() == ERROR_SUCCESS) {
    data.compressedSize = (static_cast<std::uint64_t>(high) << 32) | low;
  }
}

bool fillNext(FindState& state, FindData& data) {
  if (state.next >= state.entries.size()) return false;
  data = std::move(state.entries[state.next++]);
  examine(state, data);
  return true;
}

FindData entryOf(const WIN32_FIND_DATAW& found) {
  FindData data;
  data.fileAttributes = found.dwFileAttributes;
  data.creationTime = fileTimeOf(found.ftCreationTime);
  data.lastAccessTime = fileTimeOf(found.ftLastAccessTime);
  data.lastWriteTime = fileTimeOf(found.ftLastWriteTime);
  data.fileSizeHigh = found.nFileSizeHigh;
  data.fileSizeLow = found.nFileSizeLow;
  data.fileName = win32::fromWide(found.cFileName);
  return data;
}

// Reads the whole listing of `pattern`; the system's error when nothing
// could be listed.
std::uint32_t readListing(FindState& state, const std::wstring& pattern) {
  WIN32_FIND_DATAW found{};
  const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError();
  do {
    state.entries.push_back(entryOf(found));
  } while (::FindNextFileW(find, &found));
  const DWORD end = ::GetLastError();
  ::FindClose(find);
  if (end != ERROR_NO_MORE_FILES) state.pendingError = end;
  std::sort(state.entries.begin(), state.entries.end(),
            [](const FindData& a, const FindData& b) { return listedBefore(a.fileName, b.fileName); });
  return kErrorSuccess;
}

// The full path of a pattern's directory part: "" is the current
// directory, "X:" the current directory of drive X.
std::wstring fullPathOf(const std::wstring& directory) {
  const std::wstring name = directory.empty() ? std::wstring(L".") : directory;
  const DWORD needed = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  const DWORD got = ::GetFullPathNameW(name.c_str(), needed, full.data(), nullptr);
  if (got == 0 || got >= needed) return {};
  full.resize(got);
  return full;
}

// `base`: the full path the pattern's directory part is relative to, or
// empty for a pattern that stands on its own.
FindHandle findFirst(const std::wstring* base, std::u16string_view pattern, FindData& data, bool followLink,
                     bool examineDots) {
  data = FindData{};
  if (pattern.find(u'\0') != std::u16string_view::npos) {
    ::SetLastError(ERROR_INVALID_NAME);
    return {};
  }
  const std::wstring text = win32::wide(pattern);
  std::size_t sep = text.size();
  while (sep > 0 && !isSeparator(text[sep - 1])) --sep;
  // "X:name" lists the current directory of drive X.
  if (sep == 0 && !base && text.size() >= 2 && text[1] == L':') sep = 2;
  const std::wstring name = text.substr(sep);
  if (name.empty()) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return {};
  }
  std::size_t end = sep;
  while (end > 1 && isSeparator(text[end - 1]) && !(end == 3 && text[1] == L':')) --end;
  std::wstring directory = text.substr(0, end);
  if (base) directory = directory.empty() ? *base : childPath(*base, win32::fromWide(directory));
  auto state = std::make_unique<FindState>();
  state->examineDots = examineDots;
  state->directory = fullPathOf(directory);
  if (state->directory.empty()) return {};
  // A directory part that is a link or junction is no directory to a
  // walk that was told not to follow it.
  if (!followLink) {
    const DWORD attributes = ::GetFileAttributesW(state->directory.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ::SetLastError(ERROR_PATH_NOT_FOUND);
      return {};
    }
  }
  if (const std::uint32_t error = readListing(*state, childPath(state->directory, win32::fromWide(name)))) {
    ::SetLastError(error);
    return {};
  }
  if (auto id = identityOfPath(state->directory, followLink)) state->identity = *id;
  if (!fillNext(*state, data)) {
    ::SetLastError(state->pendingError != kErrorSuccess ? state->pendingError : ERROR_FILE_NOT_FOUND);
    return {};
  }
  ::SetLastError(ERROR_SUCCESS);
  return FindHandle(std::move(state));
}

}  // namespace

FindHandle::FindHandle() = default;
FindHandle::FindHandle(std::unique_ptr<FindState> state) : state_(std::move(state)) {}
FindHandle::~FindHandle() = default;
FindHandle::FindHandle(FindHandle&&) noexcept = default;
FindHandle& FindHandle::operator=(FindHandle&&) noexcept = default;

FileIdentity FindHandle::directory() const { return state_ ? state_->identity : FileIdentity{}; }
std::size_t FindHandle::remaining() const { return state_ ? state_->entries.size() - state_->next : 0; }

FindHandle FindFirstFileW(std::u16string_view pattern, FindData& data) {
  return findFirst(nullptr, pattern, data, true, true);
}

FindHandle FindFirstFileBelow(const FindHandle& base, std::u16string_view relativePattern, FindData& data,
                              bool followLink, bool examineDots) {
  if (!base.valid()) {
    data = FindData{};
    ::SetLastError(ERROR_INVALID_HANDLE);
    return {};
  }
  return findFirst(&base.state()->directory, relativePattern, data, followLink, examineDots);
}

bool FindNextFileW(FindHandle& handle, FindData& data) {
  FindState* state = handle.state();
  if (!state) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (fillNext(*state, data)) {
    ::SetLastError(ERROR_SUCCESS);
    return true;
  }
  data = FindData{};
  // The entries are done with; the handle may still serve as a base.
  state->entries = {};
  ::SetLastError(state->pendingError != kErrorSuccess ? state->pendingError : ERROR_NO_MORE_FILES);
  return false;
}

void FindClose(FindHandle& handle) { handle = FindHandle(); }

std::uint32_t GetCompressedFileSizeW(std::u16string_view name, std::uint32_t* high) {
  if (name.empty()) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return kInvalidFileSize;
  }
  if (name.find(u'\0') != std::u16string_view::npos) {
    ::SetLastError(ERROR_INVALID_NAME);
    return kInvalidFileSize;
  }
  DWORD upper = 0;
  ::SetLastError(ERROR_SUCCESS);
  const DWORD low = ::GetCompressedFileSizeW(win32::wide(name).c_str(), &upper);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != ERROR_SUCCESS) return kInvalidFileSize;
  if (high) *high = upper;
  ::SetLastError(ERROR_SUCCESS);
  return low;
}

std::optional<FileIdentity> fileIdentity(std::u16string_view name) {
  if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return identityOfPath(win32::wide(name), true);
}

// Besides the separators alone: a drive's root ("C:\") and a share's
// ("\\server\share", with or without its final separator).
bool PathIsRootW(std::u16string_view path) {
  auto separator = [](char16_t c) { return c == u'/' || c == u'\\'; };
  if (path.empty()) return false;
  if (std::all_of(path.begin(), path.end(), separator)) return true;
  if (path.size() >= 3 && path[1] == u':' && std::all_of(path.begin() + 2, path.end(), separator)) {
    return (path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z';
  }
  if (path.size() < 3 || !separator(path[0]) || !separator(path[1]) || separator(path[2])) return false;
  std::u16string_view rest = path.substr(2);
  const std::size_t serverEnd = std::find_if(rest.begin(), rest.end(), separator) - rest.begin();
  if (serverEnd == rest.size()) return false;  // "\\server" names no directory
  rest = rest.substr(serverEnd + 1);
  if (rest.empty() || separator(rest[0])) return false;
  const std::size_t shareEnd = std::find_if(rest.begin(), rest.end(), separator) - rest.begin();
  return std::all_of(rest.begin() + static_cast<std::ptrdiff_t>(shareEnd), rest.end(), separator);
}

}  // namespace tov::platform
