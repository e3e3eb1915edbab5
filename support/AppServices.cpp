#include "support/AppServices.h"

#include <string>

#include "support/SystemFunctions.h"
#include "ui/MessageBox.h"

namespace tov {
namespace {
std::u16string decimal(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}
}  // namespace

AppServices& AppServices::instance() {
  static AppServices services;
  return services;
}

ArgumentList& AppServices::Arguments() {
  if (!arguments_) arguments_ = std::make_unique<ArgumentList>();
  return *arguments_;
}

void AppServices::ShowAbout(std::int32_t, const AppInfo& app, const std::u16string& extraText, const void*,
                            const std::u16string& dedication) {
  std::u16string text = app.title + u"\r\n" + u"Version " + asFormatVersion(app.major, app.minor, app.revision);
  if (!extraText.empty()) text += u"\r\n\r\n" + extraText;
  if (!dedication.empty()) text += u"\r\n\r\n" + dedication;
  ui::MessageBox(text, ui::kMbIconInformation, u"About " + app.title);
}

std::u16string AppServices::errorReportText(const ErrorRecord& error, const std::u16string& message) {
  std::u16string text = message;
  if (!text.empty()) text += u"\r\n\r\n";
  text += u"Error " + decimal(error.number) + u": " + error.description;
  return text;
}

int AppServices::ReportError(const ErrorRecord& error, int style, std::int32_t, const std::u16string& message, bool) {
  return ui::MessageBox(errorReportText(error, message), style);
}

}  // namespace tov
