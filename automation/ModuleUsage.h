#pragma once
// Counts the objects alive and the server locks held in this module, so the
// library can tell whether it may be unloaded. Every shared library and
// program that links the frame has a copy of its own, which is what the
// count is about: the objects that this module's code serves.
#include <cstdint>

namespace tov::automation {

class ModuleUsage {
 public:
  static void objectCreated();
  static void objectDestroyed();
  static void lock();
  static void unlock();
  static std::int64_t objects();
  static std::int64_t locks();
  static bool inUse() { return objects() > 0 || locks() > 0; }
};

}  // namespace tov::automation
