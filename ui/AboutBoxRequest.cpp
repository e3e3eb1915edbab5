#include "ui/AboutBoxRequest.h"

namespace tov::ui {

std::u16string AboutBoxRequest::windowTitle() const { return u"About " + title; }

MessageBoxRequest AboutBoxRequest::asMessageBox() const {
  MessageBoxRequest box;
  box.text = title + u"\r\nVersion " + version;
  if (!extraText.empty()) box.text += u"\r\n\r\n" + extraText;
  if (!dedication.empty()) box.text += u"\r\n\r\n" + dedication;
  box.style = kMbOk | kMbIconInformation;
  box.title = windowTitle();
  return box;
}

}  // namespace tov::ui
