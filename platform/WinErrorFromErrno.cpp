// The Windows error code for an errno value, on both systems: the POSIX
// layer reports its failures this way, and the Windows one maps the C
// runtime's errno values through the same table.
#include "platform/WinError.h"

#include <cerrno>

namespace tov::platform {

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
    case ENOSPC: return kErrorDiskFull;
#if defined(EDQUOT)
    case EDQUOT: return kErrorDiskFull;
#endif
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

}  // namespace tov::platform
