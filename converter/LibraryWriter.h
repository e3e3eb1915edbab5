#pragma once
// The converter's way to the file library: tovFSO created through the
// component registry on first use, kept for the rest of the run, and its
// whole-file writers called by their slots, as any early-bound client does.
#include "converter/HistoryConversion.h"

namespace quillmark {

// The writer of this run.
TextFileWriter& libraryWriter();
// Lets go of the library's object; the end of the run calls it.
void releaseLibraryWriter();

}  // namespace quillmark
