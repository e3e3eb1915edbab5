// A Windows program runs on a desktop: unless it is a service without one,
// windows can be shown.
#include "ui/DisplayPresence.h"

#include <windows.h>

namespace tov::ui {

bool displayPresent() {
  USEROBJECTFLAGS flags{};
  const HWINSTA station = ::GetProcessWindowStation();
  if (!station) return false;
  if (!::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool toolkitCanDraw() { return displayPresent(); }

}  // namespace tov::ui
