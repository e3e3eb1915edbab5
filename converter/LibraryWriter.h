#pragma once
// The converter's way to the file library's whole-file writers.
#include <memory>

#include "converter/HistoryConversion.h"

namespace quillmark {

// The writer of this run: created on first use, kept until the run ends.
TextFileWriter& libraryWriter();

}  // namespace quillmark
