#include "ui/Backend.h"

#include "ui/HeadlessBackend.h"

namespace tov::ui {
namespace {

std::unique_ptr<Backend>& slot() {
  static std::unique_ptr<Backend> backend;
  return backend;
}

}  // namespace

Backend& Backend::current() {
  std::unique_ptr<Backend>& backend = slot();
  if (!backend) backend = std::make_unique<HeadlessBackend>();
  return *backend;
}

std::unique_ptr<Backend> Backend::install(std::unique_ptr<Backend> backend) {
  std::unique_ptr<Backend> old = std::move(slot());
  slot() = std::move(backend);
  return old;
}

void Backend::aboutBox(const AboutBoxRequest& request) { messageBox(request.asMessageBox()); }

void Backend::setBusy(bool) {}

void Backend::runBusy(const std::function<void()>& work) { work(); }

void runEventLoop() { Backend::current().runEventLoop(); }

}  // namespace tov::ui
