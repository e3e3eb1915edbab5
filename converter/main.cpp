// The program's entry point.
#include <cstdio>
#include <exception>

#include "converter/modMain.h"

int main() {
  try {
    return quillmark::Main();
  } catch (const std::exception& e) {
    // Anything that escapes the run ends it with a message and a failure
    // status rather than an abort.
    std::fprintf(stderr, "quillmark: %s\n", e.what());
    return quillmark::kExitConversionFailed;
  }
}
