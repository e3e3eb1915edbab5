#include "ui/BusyWork.h"

#include "ui/Backend.h"

namespace tov::ui {

BusyCursor::BusyCursor() { Backend::current().setBusy(true); }

BusyCursor::~BusyCursor() { Backend::current().setBusy(false); }

void runBusy(const std::function<void()>& work) {
  const BusyCursor busy;
  Backend::current().runBusy(work);
}

}  // namespace tov::ui
