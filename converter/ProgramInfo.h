#pragma once
// Who the program is: its name, title, version and executable name.
#include "support/AppInfo.h"

namespace quillmark {

inline constexpr char16_t kProgramTitle[] = u"TOVapps - Quillmark";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 4;

// The application record of this run; the executable name is read from the
// running program's own file name.
const tov::AppInfo& programInfo();

}  // namespace quillmark
