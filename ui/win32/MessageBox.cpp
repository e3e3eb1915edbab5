#include "ui/MessageBox.h"

#include <optional>

#include "platform/ProgramLocation.h"
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
  const std::wstring name = platform::programPath().stem().wstring();
  return std::u16string(reinterpret_cast<const char16_t*>(name.data()), name.size());
}

int MessageBox(std::u16string_view text, int style, std::u16string_view title) {
  MessageBoxRequest request;
  request.text = std::u16string(text);
  request.style = style;
  request.title = title.empty() ? applicationTitle() : std::u16string(title);
  return Backend::current().messageBox(request);
}

}  // namespace tov::ui
