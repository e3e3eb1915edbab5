#pragma once
// Fixes the ANSI and OEM code pages for the life of the object.
#include "ScopedEnv.h"

namespace tovtest {

class CodePageOverride {
 public:
  CodePageOverride(const char* ansi, const char* oem) : ansi_("TOVAPPS_ACP", ansi), oem_("TOVAPPS_OEMCP", oem) {}

 private:
  ScopedEnv ansi_;
  ScopedEnv oem_;
};

}  // namespace tovtest
