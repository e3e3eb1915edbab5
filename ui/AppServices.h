#pragma once
// Services the application shares: its arguments, the about box and the
// error report.
#include <cstdint>
#include <memory>
#include <string>

#include "support/AppInfo.h"
#include "support/ArgumentList.h"
#include "support/ErrorRecord.h"

namespace tov {

class AppServices {
 public:
  // The one shared instance, made on first use.
  static AppServices& instance();

  // The argument list of the run.
  ArgumentList& Arguments();

  // A modal about box: the program's icon, title and version, the extra
  // text and the dedication. Without a display it goes to stderr like a
  // message box and does not wait.
  void ShowAbout(std::int32_t ownerWindow, const AppInfo& app, const std::u16string& extraText,
                 const void* picture, const std::u16string& dedication);

  // A modal report of the error: the message, then the error's number and
  // description. Returns the button chosen.
  int ReportError(const ErrorRecord& error, int style, std::int32_t unused, const std::u16string& message,
                  bool flag = false);

  // The text ReportError shows.
  static std::u16string errorReportText(const ErrorRecord& error, const std::u16string& message);

 private:
  std::unique_ptr<ArgumentList> arguments_;
};

}  // namespace tov
