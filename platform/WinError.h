#pragma once
// Windows error codes handed to callers, so scripts see the same numbers on
// every system, and their mapping from errno.
#include <cstdint>

namespace tov::platform {

enum WinError : std::uint32_t {
  kErrorSuccess = 0,
  kErrorInvalidFunction = 1,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorBadFormat = 11,
  kErrorNoMoreFiles = 18,
  kErrorWriteProtect = 19,
  kErrorSeek = 25,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorGenFailure = 31,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleEof = 38,
  kErrorHandleDiskFull = 39,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorBrokenPipe = 109,
  kErrorDiskFull = 112,
  kErrorInsufficientBuffer = 122,
  kErrorInvalidName = 123,
  kErrorDirNotEmpty = 145,
  kErrorBusy = 170,
  kErrorAlreadyExists = 183,
  kErrorFilenameExcedRange = 206,
  kErrorFileTooLarge = 223,
  kErrorDirectory = 267,
  kErrorIoDevice = 1117,
  kErrorResourceDataNotFound = 1812,
  kErrorResourceTypeNotFound = 1813,
  kErrorResourceNameNotFound = 1814,
  kErrorResourceLangNotFound = 1815,
  kErrorCantResolveFilename = 1921,
};

// The Windows code for an errno value (0 gives kErrorSuccess).
std::uint32_t winErrorFromErrno(int err);

// The calling thread's last platform error, as GetLastError/SetLastError.
std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

}  // namespace tov::platform
