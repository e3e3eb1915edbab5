#pragma once
// Reading a text file in a single-byte code page one line at a time, as the
// list and description files are read.
//
// A line ends at CR LF or at a lone CR, and also at a lone LF, because
// files written by POSIX tools end their lines that way. The line end is
// not part of the line; the last line needs none, and a line end after the
// last line adds no further (empty) line.
#include <functional>
#include <string_view>

#include "platform/CodePage.h"

namespace ferrule {

// Calls onLine with each line, decoded with `page` before anything else
// looks at it. The file is open only during the call; writers are refused
// meanwhile, readers are not.
//
// Raises the runtime error of a failure: 53 when the file does not exist,
// 76 when its directory does not, 75 when the name is a directory or
// anything else that is not a regular file (a device or a pipe could feed
// lines forever), 52 for an empty name or one holding a NUL, 7 for a file
// too large to hold, and the file layer's error for a failed open or read. Lines already
// passed to onLine stay passed.
void readTextFileLines(std::u16string_view fileName, const tov::platform::CodePage& page,
                       const std::function<void(std::u16string_view line)>& onLine);

}  // namespace ferrule
