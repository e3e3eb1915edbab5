#pragma once
// Work that keeps the user waiting, such as converting a log of a gigabyte.
// Meanwhile the program shows it is busy, with the wait cursor, takes no
// input, and its windows keep repainting.
#include <functional>

namespace tov::ui {

// Shows the program busy for as long as it lives; the wait cursor gives way
// to the ordinary pointer over message boxes and dialogs shown meanwhile.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs `work` on a thread of its own while the windows repaint and take no
// input, and returns when it is done, throwing here what it threw. `work`
// must not touch windows, nor objects bound to this thread (the file
// library's). Without windows it simply runs.
void runBusy(const std::function<void()>& work);

}  // namespace tov::ui
