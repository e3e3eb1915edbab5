#include "ui/AppServices.h"

#include <string>

#include "support/SystemFunctions.h"
#include "ui/ApplicationWindow.h"
#include "ui/Backend.h"
#include "ui/HandleTable.h"
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

// The picture is the owner window's icon, or the application's; no other
// picture is ever passed.
void AppServices::ShowAbout(std::int32_t ownerWindow, const AppInfo& app, const std::u16string& extraText,
                            const void*, const std::u16string& dedication) {
  ui::AboutBoxRequest request;
  request.owner = ownerWindow;
  request.title = app.title;
  request.version = asFormatVersion(app.major, app.minor, app.revision);
  request.extraText = extraText;
  request.dedication = dedication;
  const ui::Form* owner = ui::HandleTable::form(ownerWindow);
  request.icon = owner && !owner->icon().empty() ? owner->icon() : ui::ApplicationWindow::instance().icon();
  ui::Backend::current().aboutBox(request);
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
