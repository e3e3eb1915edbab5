#include "platform/WinError.h"

#include <cerrno>

namespace tov::platform {
namespace {
thread_local std::uint32_t t_lastError = kErrorSuccess;
}

std::uint32_t winErrorFromErrno(int err) {
  switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM: return kErrorAccessDenied;
    case EROFS: return kErrorWriteProtect;
    case EEXIST: return kErrorFileExists;
    case EISDIR: return kErrorAccessDenied;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EBADF: return kErrorInvalidHandle;
    case EINVAL: return kErrorInvalidParameter;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case EBUSY: return kErrorBusy;
    case EAGAIN: return kErrorLockViolation;
    case EFBIG: return kErrorFileTooLarge;
    case EPIPE: return kErrorBrokenPipe;
    case ELOOP: return kErrorCantResolveFilename;
    case EIO: return kErrorIoDevice;
    case ENOTSUP: return kErrorNotSupported;
#if defined(ENOTTY)
    case ENOTTY: return kErrorNotSupported;
#endif
#if defined(ENODATA)
    case ENODATA: return kErrorFileNotFound;
#endif
    default: return kErrorGenFailure;
  }
}

std::uint32_t GetLastError() { return t_lastError; }
void SetLastError(std::uint32_t code) { t_lastError = code; }

}  // namespace tov::platform
