#pragma once
// The backend without a display, for tests and unattended runs. Nothing is
// drawn; the user's actions come from the program or the test through the
// model's own methods.
//
// Where a real user would be waited for (a modal window, the message loop)
// the next queued script runs with the window concerned; whatever the script
// leaves open is then closed as by its close box, so nothing ever blocks.
// Message boxes go to stderr and to a record that tests read.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace tov::ui {

class HeadlessBackend : public Backend {
 public:
  using Script = std::function<void(Form&)>;

  void queueScript(Script script);
  std::size_t pendingScripts() const { return scripts_.size(); }

  const std::vector<MessageBoxRequest>& messageBoxes() const { return messageBoxes_; }
  void clearMessageBoxes() { messageBoxes_.clear(); }
  // Whether message boxes are also written to stderr (default on).
  void setEcho(bool echo) { echo_ = echo; }

  // How many busy marks are on now (BusyCursor).
  int busyDepth() const { return busyDepth_; }
  void setBusy(bool busy) override { busyDepth_ += busy ? 1 : -1; }

  // Windows shown now, oldest first.
  const std::vector<Form*>& shownForms() const { return shown_; }

  void showForm(Form& form) override;
  void hideForm(Form& form) override;
  void dropForm(Form& form) override;
  void runModal(Form& form) override;
  void formChanged(Form&, FormProperty) override {}
  void controlChanged(Control&, ControlProperty) override {}
  void focusChanged(Form&, Control*) override {}
  int messageBox(const MessageBoxRequest& request) override;
  void runEventLoop() override;
  // A 1024 x 768 screen.
  Size screenSize() const override;

 private:
  void runNextScript(Form& form);
  void forget(Form& form);

  std::deque<Script> scripts_;
  std::vector<MessageBoxRequest> messageBoxes_;
  std::vector<Form*> shown_;
  bool echo_ = true;
  int busyDepth_ = 0;
};

// Installs a fresh headless backend and returns it: the tests' starting point.
HeadlessBackend& useHeadlessBackend();

}  // namespace tov::ui
