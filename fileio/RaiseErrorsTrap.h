#pragma once
// The RaiseErrors convention shared by the file members of tovFSO: with
// RaiseErrors a failure of the file work passes to the caller unchanged,
// without it the member returns its failure result. What the work holds
// (open files) is released by destructors on the way out.
#include <new>

#include "fileio/tovFSO.h"
#include "support/ErrorRecord.h"

namespace ferrule {

template <typename Result, typename Work>
Result trapped(bool raiseErrors, Result failure, Work&& work) {
  try {
    return work();
  } catch (const tov::RuntimeError&) {
    if (raiseErrors) throw;
    return failure;
  } catch (const std::bad_alloc&) {
    // Running out of memory is the runtime's error 7, never a crash.
    if (raiseErrors) tov::raiseError(tov::errors::kOutOfMemory, kLibrarySource);
    return failure;
  }
}

}  // namespace ferrule
