#pragma once
// Fixes the ANSI and OEM code pages for the life of the object.
#include <cstdlib>

namespace tovtest {

class CodePageOverride {
 public:
  CodePageOverride(const char* ansi, const char* oem) {
    setenv("TOVAPPS_ACP", ansi, 1);
    setenv("TOVAPPS_OEMCP", oem, 1);
  }
  ~CodePageOverride() {
    unsetenv("TOVAPPS_ACP");
    unsetenv("TOVAPPS_OEMCP");
  }
  CodePageOverride(const CodePageOverride&) = delete;
  CodePageOverride& operator=(const CodePageOverride&) = delete;
};

}  // namespace tovtest
