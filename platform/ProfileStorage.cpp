#include "platform/ProfileStorage.h"

#include <cerrno>

#include "platform/AlternateStream.h"
#include "platform/AtomicFileWriter.h"
#include "platform/FileHandle.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

// The Windows code for a failed profile access: a name the platform cannot
// take is an invalid name, a file held against writers a sharing violation.
std::uint32_t profileError(int err) {
  if (err == EINVAL) return kErrorInvalidName;
  if (err == EBUSY) return kErrorSharingViolation;
  return winErrorFromErrno(err);
}

}  // namespace

std::uint32_t readProfileBytes(const std::string& path, ByteVector& out) {
  out.clear();
  StreamPath target;
  if (const int err = resolveStreamPath(path, target); err != 0) return profileError(err);
  if (target.isStream()) return profileError(readStream(target, out));
  FileHandle file = FileHandle::openNative(target.file, kGenericRead, kShareAll, CreateDisposition::OpenExisting);
  if (!file.valid()) return profileError(file.error());
  if (!file.readToEnd(out)) return profileError(file.error());
  return kErrorSuccess;
}

std::uint32_t replaceProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  StreamPath target;
  if (const int err = resolveStreamPath(path, target); err != 0) return profileError(err);
  if (target.isStream()) return profileError(writeStream(target, bytes, StreamWrite::Replace));
  const int err = AtomicFileWriter::replace(target.file, bytes, AtomicFileWriter::Keep::PermissionsAndAttributes);
  // The temporary file is created first, so a missing name means a missing folder.
  if (err == ENOENT) return kErrorPathNotFound;
  return profileError(err);
}

}  // namespace tov::platform
