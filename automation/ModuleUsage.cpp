#include "automation/ModuleUsage.h"

#include <atomic>

namespace tov::automation {
namespace {
std::atomic<std::int64_t> gObjects{0};
std::atomic<std::int64_t> gLocks{0};
}  // namespace

void ModuleUsage::objectCreated() { ++gObjects; }
void ModuleUsage::objectDestroyed() { --gObjects; }
void ModuleUsage::lock() { ++gLocks; }
// An unbalanced unlock must not make the count negative and hide real locks.
void ModuleUsage::unlock() {
  std::int64_t n = gLocks.load();
  while (n > 0 && !gLocks.compare_exchange_weak(n, n - 1)) {
  }
}
std::int64_t ModuleUsage::objects() { return gObjects.load(); }
std::int64_t ModuleUsage::locks() { return gLocks.load(); }

}  // namespace tov::automation
