#include "support/ErrorRecord.h"

#include <cerrno>

#include "platform/Utf.h"

namespace tov {

std::uint32_t ErrorRecord::hresult() const {
  return 0x800A0000u + (static_cast<std::uint32_t>(number) & 0xFFFFu);
}

std::u16string standardDescription(std::int32_t number) {
  switch (number) {
    case 5: return u"Invalid procedure call or argument";
    case 6: return u"Overflow";
    case 7: return u"Out of memory";
    case 9: return u"Subscript out of range";
    case 13: return u"Type mismatch";
    case 28: return u"Out of stack space";
    case 48: return u"Error in loading DLL";
    case 51: return u"Internal error";
    case 52: return u"Bad file name or number";
    case 53: return u"File not found";
    case 54: return u"Bad file mode";
    case 55: return u"File already open";
    case 57: return u"Device I/O error";
    case 58: return u"File already exists";
    case 61: return u"Disk full";
    case 62: return u"Input past end of file";
    case 67: return u"Too many files";
    case 68: return u"Device unavailable";
    case 70: return u"Permission denied";
    case 71: return u"Disk not ready";
    case 75: return u"Path/File access error";
    case 76: return u"Path not found";
    case 91: return u"Object variable or With block variable not set";
    case 94: return u"Invalid use of Null";
    case 326: return u"Resource with identifier not found";
    case 424: return u"Object required";
    case 429: return u"Component can't create object";
    case 430: return u"Class doesn't support Automation or does not support expected interface";
    case 438: return u"Object doesn't support this property or method";
    case 440: return u"Automation error";
    case 445: return u"Object doesn't support this action";
    case 446: return u"Object doesn't support named arguments";
    case 448: return u"Named argument not found";
    case 449: return u"Argument not optional";
    case 450: return u"Wrong number of arguments or invalid property assignment";
    case 453: return u"Specified DLL function not found";
    case 457: return u"This key is already associated with an element of this collection";
    case 481: return u"Invalid picture";
    default: return u"Application-defined or object-defined error";
  }
}

ErrorRecord standardError(std::int32_t number, std::u16string source) {
  ErrorRecord r;
  r.number = number;
  r.source = std::move(source);
  r.description = standardDescription(number);
  return r;
}

ErrorRecord fileSystemError(int err, std::u16string source) {
  std::int32_t number = errors::kDeviceIoError;
  switch (err) {
    case ENOENT:
    case ENOTDIR: number = errors::kPathNotFound; break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: number = errors::kPathFileAccessError; break;
    case EAGAIN:
    case EBUSY: number = errors::kPermissionDenied; break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      number = errors::kDiskFull;
      break;
    case EMFILE:
    case ENFILE: number = errors::kTooManyFiles; break;
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: number = errors::kBadFileNameOrNumber; break;
    case EEXIST: number = errors::kFileAlreadyExists; break;
    case ENOMEM: number = errors::kOutOfMemory; break;
    case EFBIG:
    case EOVERFLOW: number = errors::kOverflow; break;
    default: number = errors::kDeviceIoError; break;
  }
  return standardError(number, std::move(source));
}

RuntimeError::RuntimeError(ErrorRecord record)
    : record_(std::move(record)),
      what_("error " + std::to_string(record_.number) + ": " +
            platform::toUtf8(record_.description)) {}

void raiseError(std::int32_t number, std::u16string source) {
  throw RuntimeError(standardError(number, std::move(source)));
}

}  // namespace tov
