#include "ui/MessageBox.h"

#include <errno.h>

#include <optional>

#include "platform/Utf.h"
#include "ui/Backend.h"

namespace tov::ui {
namespace {

std::optional<std::u16string>& titleSlot() {
  static std::optional<std::u16string> title;
  return title;
}

}  // namespace

void setApplicationTitle(std::u16string title) { titleSlot() = std::move(title); }

std::u16string applicationTitle() {
  if (titleSlot()) return *titleSlot();
  return platform::fromUtf8(program_invocation_short_name);
}

int MessageBox(std::u16string_view text, int style, std::u16string_view title) {
  MessageBoxRequest request;
  request.text = std::u16string(text);
  request.style = style;
  request.title = title.empty() ? applicationTitle() : std::u16string(title);
  return Backend::current().messageBox(request);
}

}  // namespace tov::ui
