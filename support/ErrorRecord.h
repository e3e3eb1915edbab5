#pragma once
// The error value that crosses every boundary of the system: a number with
// its source, description and help reference. Raised as RuntimeError.
#include <cstdint>
#include <exception>
#include <string>

namespace tov {

struct ErrorRecord {
  std::int32_t number = 0;
  std::u16string source;
  std::u16string description;
  std::u16string helpFile;
  std::int32_t helpContext = 0;

  // The HRESULT a client sees for this error: 0x800A0000 + number.
  std::uint32_t hresult() const;
  bool operator==(const ErrorRecord&) const = default;
};

// The automation runtime's standard error numbers the system raises.
namespace errors {
constexpr std::int32_t kOverflow = 6;
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kSubscriptOutOfRange = 9;
constexpr std::int32_t kBadFileNameOrNumber = 52;
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kDeviceIoError = 57;
constexpr std::int32_t kFileAlreadyExists = 58;
constexpr std::int32_t kDiskFull = 61;
constexpr std::int32_t kTooManyFiles = 67;
constexpr std::int32_t kPermissionDenied = 70;
constexpr std::int32_t kPathFileAccessError = 75;
constexpr std::int32_t kPathNotFound = 76;
constexpr std::int32_t kInvalidProcedureCall = 5;
constexpr std::int32_t kObjectNotSet = 91;
constexpr std::int32_t kResourceNotFound = 326;
constexpr std::int32_t kInvalidPicture = 481;
}  // namespace errors

// The runtime's standard description of a number ("File not found" for 53),
// or "Application-defined or object-defined error" for numbers it has none for.
std::u16string standardDescription(std::int32_t number);

// A record for a standard number with its standard description.
ErrorRecord standardError(std::int32_t number, std::u16string source = {});

// The runtime error a failed file-system call gives, from the errno value.
ErrorRecord fileSystemError(int err, std::u16string source = {});

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(ErrorRecord record);
  const ErrorRecord& record() const noexcept { return record_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  ErrorRecord record_;
  std::string what_;
};

// Raises the standard error `number` (with its standard description).
[[noreturn]] void raiseError(std::int32_t number, std::u16string source = {});

}  // namespace tov
