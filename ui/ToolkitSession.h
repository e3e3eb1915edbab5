#pragma once
// What a window toolkit gives the program: the toolkit started, alive for as
// long as the session is, and the backend that draws with it.
//
// The Qt toolkit lives in a module of its own that the program loads only
// when it is going to show windows; the module exports
//   extern "C" const char tovui_build_stamp[]
// the build it belongs to, which must be the program's own, and
//   extern "C" ToolkitSession* tovui_start_toolkit(const char* programName)
// which returns null when the toolkit cannot open the display.
#include <memory>

#include "ui/Backend.h"

namespace tov::ui {

class ToolkitSession {
 public:
  virtual ~ToolkitSession() = default;
  // The backend must go before the session does.
  virtual std::unique_ptr<Backend> createBackend() = 0;
};

using ToolkitStart = ToolkitSession* (*)(const char* programName);

inline constexpr char kToolkitStartSymbol[] = "tovui_start_toolkit";
inline constexpr char kToolkitStampSymbol[] = "tovui_build_stamp";

}  // namespace tov::ui
