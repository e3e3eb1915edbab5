// Alternate data streams are the file system's own here: "file:stream"
// opens the stream itself, so these calls only apply the colon rule and
// read or write the stream as a file.
#include "platform/AlternateStream.h"

#include <windows.h>

#include <cerrno>
#include <string_view>

#include "platform/CaseFold.h"
#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "platform/win32/SystemErrors.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

constexpr std::string_view kSuffix = ":$DATA";

bool endsWithDataType(std::string_view text) {
  if (text.size() < kSuffix.size()) return false;
  return equalsIgnoreCase(fromNativePath(text.substr(text.size() - kSuffix.size())), u":$DATA");
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Where the last part of the name starts: after the last separator, or
// after a drive ("C:name" names name in the drive's current folder).
std::size_t lastPartStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return slash + 1;
  if (path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z')) return 2;
  return 0;
}

std::wstring streamName(const StreamPath& path) {
  return win32::wideFromNative(path.file + ":" + path.stream + std::string(kSuffix));
}

}  // namespace

int resolveStreamPath(const std::string& path, StreamPath& out) {
  out = StreamPath{path, {}};
  if (!isUsablePath(path)) return EINVAL;
  const std::size_t start = lastPartStart(path);
  const std::size_t colon = path.find(':', start);
  if (colon == std::string::npos) return 0;
  std::string stream = path.substr(colon + 1);
  const bool typed = endsWithDataType(stream);
  if (typed) stream.resize(stream.size() - kSuffix.size());
  if (colon == start || stream.find(':') != std::string::npos || (stream.empty() && !typed)) return EINVAL;
  // Separators cannot follow the stream's name: "a:b\c" names nothing.
  for (char c : stream) {
    if (isSeparator(c)) return EINVAL;
  }
  out.file = path.substr(0, colon);
  out.stream = std::move(stream);
  return 0;
}

int readStream(const StreamPath& path, ByteVector& out) {
  out.clear();
  FileHandle stream = FileHandle::open(win32::fromWide(streamName(path)), kGenericRead,
                                       kFileShareRead | kFileShareWrite, CreateDisposition::OpenExisting);
  if (!stream.valid()) return stream.error();
  if (!stream.readToEnd(out)) return stream.error();
  return 0;
}

bool streamExists(const StreamPath& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::wideFromNative(path.file).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const HANDLE h = ::CreateFileW(streamName(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

int writeStream(const StreamPath& path, std::span<const std::uint8_t> bytes, StreamWrite how) {
  // A stream never creates the file it belongs to.
  const DWORD attributes = ::GetFileAttributesW(win32::wideFromNative(path.file).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return win32::errnoFromWinError(::GetLastError());
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_READONLY)) return EACCES;
  // Writers of one stream take turns through its share mode: a second
  // writer waits while the first holds it, so concurrent appends are all
  // kept. A holder that keeps it far longer is not one of ours, and
  // waiting for it is given up.
  const std::u16string name = win32::fromWide(streamName(path));
  FileHandle stream;
  for (int attempt = 0; attempt < 2000; ++attempt) {
    stream = FileHandle::open(name, kGenericRead | kGenericWrite, kFileShareRead, CreateDisposition::OpenAlways);
    if (stream.valid() || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
    ::Sleep(1);
  }
  if (!stream.valid()) return ::GetLastError() == ERROR_SHARING_VIOLATION ? EBUSY : stream.error();
  std::int64_t at = 0;
  if (how == StreamWrite::Append) {
    at = stream.size();
    if (at < 0) return stream.error();
  }
  if (!stream.writeAt(at, bytes)) return stream.error();
  if (how == StreamWrite::Replace && !stream.truncate(static_cast<std::int64_t>(bytes.size()))) return stream.error();
  if (!stream.close()) return stream.error();
  return 0;
}

}  // namespace tov::platform
