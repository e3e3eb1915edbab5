#include "ui/HeadlessBackend.h"

#include <algorithm>
#include <cstdio>

#include "platform/Utf.h"

namespace tov::ui {
namespace {

// "\r\n" pairs, and lone CRs, become line breaks of the terminal.
std::string terminalText(std::u16string_view text) {
  std::string out = platform::toUtf8(text);
  std::string lines;
  lines.reserve(out.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] != '\r') {
      lines.push_back(out[i]);
    } else if (i + 1 >= out.size() || out[i + 1] != '\n') {
      lines.push_back('\n');
    }
  }
  return lines;
}

}  // namespace

void HeadlessBackend::queueScript(Script script) { scripts_.push_back(std::move(script)); }

void HeadlessBackend::showForm(Form& form) {
  if (std::find(shown_.begin(), shown_.end(), &form) == shown_.end()) shown_.push_back(&form);
}

void HeadlessBackend::forget(Form& form) { std::erase(shown_, &form); }

void HeadlessBackend::hideForm(Form& form) { forget(form); }

void HeadlessBackend::dropForm(Form& form) { forget(form); }

void HeadlessBackend::runNextScript(Form& form) {
  if (scripts_.empty()) return;
  Script script = std::move(scripts_.front());
  scripts_.pop_front();
  script(form);
}

void HeadlessBackend::runModal(Form& form) {
  runNextScript(form);
  if (form.isVisible()) form.pressCloseBox();
  // A Form_Unload that shows the window again must not keep a modal open.
  if (form.isVisible()) form.hide();
}

int HeadlessBackend::messageBox(const MessageBoxRequest& request) {
  messageBoxes_.push_back(request);
  if (echo_) {
    const std::string title = terminalText(request.title);
    const std::string text = terminalText(request.text);
    std::fprintf(stderr, "%s%s%s\n", title.c_str(), title.empty() ? "" : ": ", text.c_str());
    std::fflush(stderr);
  }
  return request.defaultButton();
}

void HeadlessBackend::runEventLoop() {
  if (shown_.empty()) return;
  runNextScript(*shown_.back());
  const std::vector<Form*> left(shown_.rbegin(), shown_.rend());
  for (Form* form : left) {
    // An earlier close may have destroyed or closed it already.
    if (std::find(shown_.begin(), shown_.end(), form) == shown_.end()) continue;
    form->pressCloseBox();
    if (form->isVisible()) form->hide();
  }
}

Size HeadlessBackend::screenSize() const { return {pixelsToTwips(1024), pixelsToTwips(768)}; }

HeadlessBackend& useHeadlessBackend() {
  auto backend = std::make_unique<HeadlessBackend>();
  HeadlessBackend& ref = *backend;
  Backend::install(std::move(backend));
  return ref;
}

}  // namespace tov::ui
