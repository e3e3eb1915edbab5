// Every test program runs with its own settings and registry locations, so no
// test ever reads or writes the real user's files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TempDir.h"

// GIO keeps a few bytes of its type database, read on first use, for the
// rest of the run where the leak checker cannot see them; they are not the
// tests' to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgio-2.0.so\n"; }

int main(int argc, char** argv) {
  static tovtest::TempDir home("home");
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
  setenv("TOVAPPS_REGISTRY", (home.path() / "registry.ini").c_str(), 1);
  setenv("QUILLMARK_UI", "headless", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
