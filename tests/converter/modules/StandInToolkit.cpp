// A stand-in for the window toolkit module, built with a stamp of another
// build (STAND_IN_STAMP), or with none, as an older module has. The program
// must refuse it before it calls anything in it; if it ever starts it, the
// note on stderr shows it.
#include <cstdio>

#ifdef STAND_IN_STAMP
extern "C" __attribute__((visibility("default"))) const char tovui_build_stamp[] = STAND_IN_STAMP;
#endif

extern "C" __attribute__((visibility("default"))) void* tovui_start_toolkit(const char*) {
  std::fputs("stand-in toolkit started\n", stderr);
  return nullptr;
}
